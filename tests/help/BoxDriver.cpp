#include "BoxDriver.h"

#include "LocalizationDictionary.h"
#include "ProductConfig.h"

#include <gtest/gtest.h>

namespace helptest {

namespace {

struct FindBox
{
    HWND hBox = nullptr;
};

BOOL CALLBACK FindVisibleBox(HWND hWnd, LPARAM lParam)
{
    wchar_t name[16] = {};
    GetClassNameW(hWnd, name, 16);
    if (wcscmp(name, L"#32770") == 0 && IsWindowVisible(hWnd)) {
        reinterpret_cast<FindBox*>(lParam)->hBox = hWnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

CBoxDriver::CBoxDriver(std::function<void(HWND)> action)
    : m_nUiThread(GetCurrentThreadId()), m_action(std::move(action))
{
    m_thread = std::thread([this] {
        for (int i = 0; i < 200; ++i) {
            FindBox find;
            EnumThreadWindows(m_nUiThread, FindVisibleBox, reinterpret_cast<LPARAM>(&find));
            if (find.hBox != nullptr) {
                m_bSeen = true;
                m_action(find.hBox);
                return;
            }
            Sleep(50);
        }
    });
}

CBoxDriver::~CBoxDriver()
{
    Join();
}

void CBoxDriver::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PressButton(HWND hBox, int id)
{
    PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hBox, id)));
}

std::wstring WindowText(HWND hWnd)
{
    wchar_t text[1024] = {};
    GetWindowTextW(hWnd, text, 1024);
    return text;
}

RECT ClientRectOf(HWND hBox, HWND hControl)
{
    RECT rect = {};
    GetWindowRect(hControl, &rect);
    MapWindowPoints(nullptr, hBox, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int DluX(HWND hBox, int n)
{
    RECT rect = {0, 0, n, 0};
    MapDialogRect(hBox, &rect);
    return rect.right;
}

int DluY(HWND hBox, int n)
{
    RECT rect = {0, 0, 0, n};
    MapDialogRect(hBox, &rect);
    return rect.bottom;
}

std::wstring ScopeKeyPath()
{
    CProductRegistry registry(false);
    std::wstring path;
    EXPECT_EQ(S_OK, registry.GetScopeKeyPath(2, 1, &path));
    return path;
}

bool ScopeKeyExists()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

void DeleteScopeKey()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, ScopeKeyPath().c_str());
}

bool ReadScopeValue(const wchar_t* name, DWORD& type, std::string& bytes)
{
    BYTE data[64] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, data,
                     &size) != ERROR_SUCCESS)
        return false;
    bytes.assign(reinterpret_cast<const char*>(data), size);
    return true;
}

void WriteScopeValue(const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), 0, nullptr, 0,
                                             KEY_WRITE, nullptr, &hKey, nullptr));
    RegSetValueExW(hKey, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(hKey);
}

CHelpTestApp::CHelpTestApp() : COzuWinApp(LOCALIZATION_DICTIONARY)
{
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
    AfxSetResourceHandle(GetModuleHandleW(nullptr));
}

CHelpTestApp::~CHelpTestApp()
{
    GetLocalizationDictionary()->Clear();
}

}  // namespace helptest
