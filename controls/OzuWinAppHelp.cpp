// COzuWinApp::InvokeHelp: what a help request of the application becomes.
// A missing help file is reported with a link to the maker's web site; ".hlp"
// files go to the class library's own help; an English help file under an
// interface of another language is announced once (the answer can be
// remembered); every other file is opened with the shell.
#include "OzuWinApp.h"

#include "HelpStringIds.h"
#include "LocalizedStrings.h"
#include "OzuConditionalMessageBox.h"
#include "UrlLauncher.h"

#include <shellapi.h>

namespace {

const wchar_t kMakerWebSite[] = L"https://www.quor.example/support";
// Where a text of the string table wants the link to the maker's web site.
const wchar_t kWebLinkTag[] = L"<a weblinkid=%i>";
// Both help boxes share this remembered answer.
const wchar_t kHelpAnswerValue[] = L"OzuEnglishHelpFile";
constexpr int kCurrentUserHive = 2;

// A translated text of the string table, its link tags pointing at the maker's site.
CString LoadTextWithMakerLink(UINT nID)
{
    CString text;
    LoadLocalizedString(text, nID);
    CString link = L"<a href=\"";
    link += kMakerWebSite;
    link += L"\">";
    text.Replace(kWebLinkTag, link);
    return text;
}

// ShellExecuteW answers a failure with a small result code of its own (0 and
// the SE_ERR_ codes), which are not all system error codes of the same meaning.
DWORD SystemErrorOfShellResult(INT_PTR result)
{
    switch (result) {
    case 0: return ERROR_OUTOFMEMORY;
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    default: return static_cast<DWORD>(result);   // 2, 3, 5, 8, 11: the same as the system's
    }
}

}  // namespace

void COzuWinApp::InvokeHelp(COzuWinApp* pApp, CString strHelpFile, DWORD_PTR dwData, UINT nCmd,
                            CString strCulture, int nProductLine, CString strMissingFileText)
{
    if (!IsLinkTarget(strHelpFile)) {
        COzuConditionalMessageBox box(kHelpAnswerValue, kCurrentUserHive, nProductLine, OZU_MB_MARKUP);
        CString text = strMissingFileText;
        if (text.IsEmpty())
            text = LoadTextWithMakerLink(IDS_OZU_HELP_FILE_MISSING);
        box.DoMessageBox(text, MB_ICONINFORMATION, 0);
        return;
    }

    const int length = strHelpFile.GetLength();
    if (length >= 4 && _wcsicmp(strHelpFile.GetString() + length - 4, L".hlp") == 0) {
        if (pApp != nullptr && pApp->GetMainWnd() != nullptr)
            pApp->WinHelpInternal(dwData, nCmd);
        return;
    }

    if (length >= 7) {
        // "Guide_DEU.chm" or "Guide_de-DE.chm": the code before a 3-letter extension.
        CLanguage helpLanguage = CLanguage::FromCode3(strHelpFile.Mid(length - 7, 3), FALSE);
        if (!helpLanguage.IsValid() && length >= 9)
            helpLanguage = CLanguage::FromCultureName(strHelpFile.Mid(length - 9, 5), FALSE);
        const CLanguage interfaceLanguage = CLanguage::FromString(strCulture, FALSE);
        if (!(interfaceLanguage == helpLanguage) && helpLanguage.IsDefaultLanguage()) {
            COzuConditionalMessageBox box(kHelpAnswerValue, kCurrentUserHive, nProductLine,
                                          OZU_MB_CHECKBOX | OZU_MB_MARKUP);
            box.DoMessageBox(LoadTextWithMakerLink(IDS_OZU_ENGLISH_HELP_NOTICE), MB_ICONINFORMATION, 0);
        }
    }

    // Through the URL launcher's ShellExecuteW, which tests can replace.
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        g_pfnUrlShellExecute(nullptr, nullptr, strHelpFile, nullptr, nullptr, SW_SHOW));
    if (result > 32)
        return;
    wchar_t systemText[256] = {};
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     SystemErrorOfShellResult(result), 0x400, systemText, 255, nullptr);
    CString format;
    format.LoadString(IDS_OZU_HELP_OPEN_FAILED);
    CString message;
    if (!format.IsEmpty())
        message.FormatMessage(format, systemText);
    AfxMessageBox(message, MB_OK, 0);
}
