// Member names: code page 1252 conversion and the rules that keep every
// name inside the extraction folder and creatable on Windows.
#include "ArchiveNames.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ArchiveParser.h"
#include "HtarWriter.h"
#include "MemberNameCases.h"

using namespace sfxpack;

namespace {

std::string Convert(const std::string& utf8, bool& ok, std::string& error) {
    std::string out;
    ok = Utf8ToCp1252(utf8, out, error);
    return out;
}

TEST(Utf8ToCp1252, MapsLatinLettersAndTheCodePagesOwnCharacters) {
    bool ok;
    std::string error;
    // é U+00E9, € U+20AC (0x80), Ÿ U+0178 (0x9F), ‚ U+201A (0x82), ÿ U+00FF.
    EXPECT_EQ(std::string("caf\xE9 \x80\x9F\x82\xFF"), Convert("caf\xC3\xA9 \xE2\x82\xAC\xC5\xB8\xE2\x80\x9A\xC3\xBF", ok, error));
    EXPECT_TRUE(ok);
    EXPECT_EQ("plain ascii", Convert("plain ascii", ok, error));
}

TEST(Utf8ToCp1252, RefusesCharactersOutsideTheCodePageAndNamesThem) {
    bool ok;
    std::string error;
    Convert("\xCE\xA9.txt", ok, error);  // Ω
    EXPECT_FALSE(ok);
    EXPECT_NE(std::string::npos, error.find("U+03A9")) << error;
    Convert("\xC2\x81", ok, error);  // U+0081: the code page leaves 0x81 undefined
    EXPECT_FALSE(ok);
    Convert("\xF0\x9F\x98\x80", ok, error);  // outside the BMP
    EXPECT_FALSE(ok);
}

TEST(Utf8ToCp1252, RefusesInvalidUtf8) {
    const char* bad[] = {"\xC3", "a\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xFF", "\x80", "\xC3\x28"};
    for (const char* s : bad) {
        bool ok;
        std::string error;
        Convert(s, ok, error);
        EXPECT_FALSE(ok) << "accepted: " << testing::PrintToString(std::string(s));
    }
}

TEST(CheckMemberName, AcceptsOrdinaryRelativeNames) {
    const char* good[] = {"a", "dir\\file.txt", "a\\b\\c\\d.e", "sub\\temp.htar", "temp.htar.txt", "contoso.txt",
                          "COM10", "lpt", "nul_file", "caf\xE9 \x80.txt", ".hidden", "a..b"};
    for (const char* s : good) {
        std::string error;
        EXPECT_TRUE(CheckMemberName(s, error)) << s << ": " << error;
    }
}

TEST(CheckMemberName, RefusesNamesThatLeaveTheFolderOrCannotBeCreated) {
    const char* bad[] = {"",         "\\abs",     "a\\\\b",    "a\\",       ".",        "..",     "a\\..\\b",
                         "a\\.\\b",  "..\\x",     "c:x",       "C:\\x",     "a\tb",     "a\x7f",  "a\x01",
                         "temp.htar", "TEMP.Htar", "nul",       "NUL.txt",   "com1",     "Lpt9.log", "aux \\x",
                         "d\\con",   "a*b",       "a?b",       "a\"b",      "a<b",      "a>b",    "a|b",
                         "a/b"};
    for (const char* s : bad) {
        std::string error;
        EXPECT_FALSE(CheckMemberName(s, error)) << "accepted: " << testing::PrintToString(std::string(s));
        EXPECT_FALSE(error.empty());
    }
}

TEST(CheckMemberName, NameWithItsNulMayBe4096Bytes) {
    std::string error;
    EXPECT_TRUE(CheckMemberName(std::string(4095, 'n'), error)) << error;
    EXPECT_FALSE(CheckMemberName(std::string(4096, 'n'), error));
    EXPECT_TRUE(CheckMemberName("d\\" + std::string(4093, 'n'), error)) << error;
    EXPECT_FALSE(CheckMemberName("d\\" + std::string(4094, 'n'), error));
}

// The launcher's verdict on the names of an archive: the parser fed the
// archive's names.
bool LauncherAccepts(const std::vector<std::string>& names) {
    std::vector<uint8_t> stream = {0, 0, 0, 0, static_cast<uint8_t>(names.size()), 0};
    for (const std::string& name : names) {
        stream.insert(stream.end(), name.begin(), name.end());
        stream.push_back(0);
    }
    CArchiveParser parser(nullptr);
    const uint32_t length = static_cast<uint32_t>(stream.size());
    return parser.Write(stream.data(), length) == length;
}

bool LauncherAccepts(const std::string& name) { return LauncherAccepts(std::vector<std::string>{name}); }

TEST(CheckMemberName, RefusesExactlyWhatTheLauncherRefuses) {
    ASSERT_EQ(GetACP(), 1252u);  // the code page the tool packs for
    const std::string names[] = {
        "setup.exe", "a\\b\\c.txt", "caf\xE9 \x80.txt", "COM10", ".hidden", "dir\\temp.htar", std::string(4095, 'n'),
        "trailing.", "trailing ", "dir.\\x", "CONIN$", "conout$.txt", "com\xB9", "nul .txt", "a\x81", "a\x7F",
        "a?b", "temp.htar", "..\\up", "", "\\abs", "C:x", "a\\\\b", std::string(4096, 'n')};
    int accepted = 0;
    for (const std::string& name : names) {
        std::string error;
        const bool tool = CheckMemberName(name, error);
        EXPECT_EQ(tool, LauncherAccepts(name)) << testing::PrintToString(name.substr(0, 20)) << " " << error;
        accepted += tool ? 1 : 0;
    }
    EXPECT_EQ(accepted, 7);
}

// The table the launcher's own check runs too (tests/extract).
TEST(CheckMemberName, HoldsTheRuleTheLauncherAndThePackingToolShare) {
    ASSERT_EQ(GetACP(), 1252u);
    for (const quortest::MemberNameCase& c : quortest::MemberNameCases()) {
        std::string error;
        EXPECT_EQ(c.safe, CheckMemberName(c.name, error)) << testing::PrintToString(c.name) << " " << error;
        EXPECT_EQ(c.safe, LauncherAccepts(c.name)) << testing::PrintToString(c.name) << " (launcher)";
    }
}

// Two names that Windows takes for one file, as its case-insensitive
// comparison of names sees them, are refused when packing and by the
// launcher; names it tells apart pass both. Every pair of characters of
// code page 1252 that a name may hold.
TEST(CheckMemberName, NamesThatMeetOnDiskAreRefusedWhenPackingAndByTheLauncher) {
    ASSERT_EQ(GetACP(), 1252u);
    std::vector<std::string> names;
    std::vector<std::wstring> wide;
    for (int c = 0x20; c <= 0xFF; ++c) {
        const std::string name = std::string("n") + static_cast<char>(c) + ".txt";
        std::string error;
        if (!CheckMemberName(name, error)) continue;
        wchar_t w[8] = {};
        ASSERT_EQ(5, MultiByteToWideChar(1252, 0, name.data(), 5, w, 8));
        names.push_back(name);
        wide.push_back(w);
    }
    ASSERT_GT(names.size(), 200u);
    int meeting = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j) {
            const bool meet = CompareStringOrdinal(wide[i].c_str(), -1, wide[j].c_str(), -1, TRUE) == CSTR_EQUAL;
            meeting += meet ? 1 : 0;
            CHtarWriter archive;
            archive.AddFile(names[i], "unused", 0);
            archive.AddFile(names[j], "unused", 0);
            std::string error;
            const std::string pair = testing::PrintToString(names[i]) + " / " + testing::PrintToString(names[j]);
            EXPECT_EQ(!meet, archive.Plan(error)) << pair;
            EXPECT_EQ(!meet, LauncherAccepts({names[i], names[j]})) << pair << " (launcher)";
        }
    }
    EXPECT_GE(meeting, 26 + 30 + 4);  // a-z, the Latin-1 letters, s/o-e/z caron, y diaeresis
}

TEST(SetupProgramPacked, FindsTheProgramAsTheLauncherOpensIt) {
    const std::vector<std::string> members = {"Setup.EXE", "tools\\inst.cmd", "readme.txt", "data\\run"};
    for (const char* found : {"setup.exe", "SETUP", "tools/Inst", "tools\\inst.cmd", "readme.txt", "data\\run"})
        EXPECT_TRUE(SetupProgramPacked(found, members)) << found;
    // Not packed; an extension of its own; only in a folder; arguments are part of the name.
    for (const char* missing : {"notthere", "readme", "setup.msi", "inst", "setup.exe /s", "setup.exe.exe"})
        EXPECT_FALSE(SetupProgramPacked(missing, members)) << missing;
    // Only the last part of the name can carry an extension: a dot in a folder does not.
    EXPECT_TRUE(SetupProgramPacked("v1.2\\setup", {"v1.2\\setup.exe"}));
    // The shell's extensions complete the name; longer names that start with it do not match.
    EXPECT_FALSE(SetupProgramPacked("setup", {"setup.exe.bak", "setup.exe1"}));
}

TEST(FoldCaseCp1252, FoldsAsciiAndLatinLetters) {
    EXPECT_EQ(FoldCaseCp1252("Read.Me"), FoldCaseCp1252("READ.ME"));
    EXPECT_EQ(FoldCaseCp1252("\xE4\x9A\xFF"), FoldCaseCp1252("\xC4\x8A\x9F"));  // äšÿ / ÄŠŸ
    EXPECT_NE(FoldCaseCp1252("\xF7"), FoldCaseCp1252("\xD7"));                    // ÷ and × are not a pair
    EXPECT_NE(FoldCaseCp1252("a\\b"), FoldCaseCp1252("a\\c"));
}

}  // namespace
