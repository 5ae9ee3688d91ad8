// The launcher's command line: five switches and the tokens passed on to the
// installation program.
#pragma once

#include <string>

class CSfxOptions {
public:
    CSfxOptions() = default;

    // Fills fresh options from the command-line text behind the program's own
    // name. Tokens are split at blanks and tabs outside double quotes and keep
    // their quotes; "/q", "/u", "/w", "/CLEANUP" and "/UFPATH=folder" are
    // matched exactly and case-sensitively; every other token (an empty one
    // from trailing blanks included) is appended, behind one blank, to the
    // pass-on arguments, whole and unchanged.
    static void Parse(CSfxOptions& options, const wchar_t* commandLine);

    std::wstring GetArguments() const { return m_strArguments; }
    std::wstring GetUnpackFolder() const { return m_strUnpackFolder; }

    int m_bQuiet = 0;
    int m_bWait = 0;
    int m_bNoLaunch = 0;
    int m_bCleanup = 0;
    std::wstring m_strUnpackFolder;
    std::wstring m_strArguments;
};
