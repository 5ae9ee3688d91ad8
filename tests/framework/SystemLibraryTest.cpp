// DLLs planted beside the program are not loaded once the search path is
// restricted (the launcher does this before anything else), and the system
// functions the program binds at first call come from the system folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "SystemLibrary.h"

namespace {

std::wstring ModulePath(const wchar_t* name)
{
    wchar_t path[MAX_PATH * 2] = {};
    HMODULE module = GetModuleHandleW(name);
    if (module == nullptr || GetModuleFileNameW(module, path, MAX_PATH * 2) == 0) return std::wstring();
    return path;
}

std::wstring WindowsFolder()
{
    wchar_t path[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryW(path, MAX_PATH);
    return std::wstring(path, n < MAX_PATH ? n : 0) + L"\\";
}

bool IsUnder(const std::wstring& path, const std::wstring& folder)
{
    return !folder.empty() && path.size() > folder.size() &&
           _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

// A page made from an in-memory template with no controls.
struct EmptyPageTemplate {
    DLGTEMPLATE dialog = {WS_CHILD | WS_CAPTION, 0, 0, 0, 0, 100, 50};
    WORD menu = 0, windowClass = 0, title = 0, pad = 0;
};

INT_PTR CALLBACK EmptyPageProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

TEST(DllSearchPath, PlantedLibraryBesideTheProgramIsNotLoaded)
{
    // Found beside the program while the default search order holds...
    HMODULE before = LoadLibraryW(L"quorplanted.dll");
    ASSERT_NE(nullptr, before) << "the planted library is missing beside the test program";
    FreeLibrary(before);
    ASSERT_EQ(nullptr, GetModuleHandleW(L"quorplanted.dll"));

    ASSERT_TRUE(RestrictDllSearchPath());
    EXPECT_EQ(nullptr, LoadLibraryW(L"quorplanted.dll"));
    // ...while system libraries still load.
    HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(nullptr, system);
    if (system) FreeLibrary(system);
}

TEST(DllSearchPath, SystemLibraryLoaderNeverLooksBesideTheProgram)
{
    EXPECT_EQ(nullptr, LoadSystemLibrary(L"quorplanted.dll"));
    HMODULE system = LoadSystemLibrary(L"comctl32.dll");
    EXPECT_NE(nullptr, system);
    if (system) FreeLibrary(system);
}

TEST(SystemLibrary, FunctionsAreBoundFromTheSystemFolderAtFirstCall)
{
    // This program imports neither DLL: each call below binds its function.
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    EXPECT_TRUE(SystemLibrary::InitCommonControlsEx(&icc));

    EmptyPageTemplate page;
    PROPSHEETPAGEW pageInfo = {};
    pageInfo.dwSize = sizeof(pageInfo);
    pageInfo.dwFlags = PSP_DLGINDIRECT;
    pageInfo.pResource = &page.dialog;
    pageInfo.pfnDlgProc = EmptyPageProc;
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.pszCaption = L"Sheet";
    header.nPages = 1;
    header.ppsp = &pageInfo;
    const INT_PTR sheet = SystemLibrary::PropertySheetW(&header);
    EXPECT_TRUE(sheet != 0 && sheet != -1);
    if (sheet != 0 && sheet != -1) DestroyWindow(reinterpret_cast<HWND>(sheet));

    // The version of a system DLL, read through the version functions.
    const std::wstring kernel = ModulePath(L"kernel32.dll");
    DWORD handle = 0;
    const DWORD size = SystemLibrary::GetFileVersionInfoSizeW(kernel.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(SystemLibrary::GetFileVersionInfoW(kernel.c_str(), 0, size, &block[0]));
    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(SystemLibrary::VerQueryValueW(block.data(), L"\\", &fixed, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(0xFEEF04BDu, static_cast<const VS_FIXEDFILEINFO*>(fixed)->dwSignature);

    // Both came from the Windows folder (the system folder or its side-by-side store).
    EXPECT_TRUE(IsUnder(ModulePath(L"comctl32.dll"), WindowsFolder())) << ModulePath(L"comctl32.dll").c_str();
    EXPECT_TRUE(IsUnder(ModulePath(L"version.dll"), WindowsFolder())) << ModulePath(L"version.dll").c_str();
}
