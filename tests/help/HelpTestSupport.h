// Test helpers: a thread that answers the next visible message box of the
// test's thread, the registry scope of product line 1 (current user) where
// boxes remember answers, and an initialized application object.
#pragma once

#include "OzuWinApp.h"
#include "ProductConfig.h"

#include <functional>
#include <string>
#include <thread>

namespace helptest {

class CBoxDriver
{
public:
    // Runs action(box) on its own thread once a box shows (waits up to 10 s).
    explicit CBoxDriver(std::function<void(HWND)> action) : m_nUiThread(GetCurrentThreadId())
    {
        m_thread = std::thread([this, action] {
            for (int i = 0; i < 200 && !m_hBox; ++i, Sleep(50))
                EnumThreadWindows(m_nUiThread, FindBox, reinterpret_cast<LPARAM>(&m_hBox));
            if (m_hBox)
                action(m_hBox);
        });
    }
    ~CBoxDriver() { Seen(); }
    bool Seen()
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_hBox != nullptr;
    }

private:
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM found)
    {
        wchar_t name[16] = {};
        GetClassNameW(hWnd, name, 16);
        if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(hWnd))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = hWnd;
        return FALSE;
    }
    DWORD m_nUiThread;
    HWND m_hBox = nullptr;
    std::thread m_thread;
};

inline std::wstring ScopeKeyPath()
{
    std::wstring path;
    CProductRegistry(false).GetScopeKeyPath(2, 1, &path);
    return path;
}

// The value's type and bytes; false when it (or the key) is missing.
inline bool ReadScopeValue(const wchar_t* name, DWORD& type, std::string& bytes)
{
    char data[64] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CURRENT_USER, ScopeKeyPath().c_str(), name, RRF_RT_ANY, &type, data, &size))
        return false;
    bytes.assign(data, size);
    return true;
}

class CHelpTestApp : public COzuWinApp
{
public:
    CHelpTestApp() : COzuWinApp(LOCALIZATION_DICTIONARY)
    {
        AfxWinInit(GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
        AfxSetResourceHandle(GetModuleHandleW(nullptr));
    }
};

}  // namespace helptest
