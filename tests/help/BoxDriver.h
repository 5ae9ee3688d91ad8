// Test helpers: a thread that waits for a message box of the test's UI
// thread, lets a test look at it and answer it; the registry scope of product
// line 1 where boxes remember answers; an application object for one test.
#pragma once

#include "OzuWinApp.h"

#include <functional>
#include <string>
#include <thread>

namespace helptest {

// Waits (up to 10 s) for a visible message box of the thread that made the
// driver, then runs the action on the driver's thread with the box's window.
class CBoxDriver
{
public:
    explicit CBoxDriver(std::function<void(HWND)> action);
    ~CBoxDriver();
    bool Seen() { Join(); return m_bSeen; }
    void Join();

private:
    DWORD m_nUiThread;
    std::function<void(HWND)> m_action;
    bool m_bSeen = false;
    std::thread m_thread;
};

// Presses a button of a box (as a click does).
void PressButton(HWND hBox, int id);
std::wstring WindowText(HWND hWnd);
// A control's rectangle in the box's client coordinates.
RECT ClientRectOf(HWND hBox, HWND hControl);
int DluX(HWND hBox, int n);
int DluY(HWND hBox, int n);

// HKEY_CURRENT_USER path of product line 1's scope for remembered answers.
std::wstring ScopeKeyPath();
bool ScopeKeyExists();
void DeleteScopeKey();
// The value's type and bytes; false when it is missing.
bool ReadScopeValue(const wchar_t* name, DWORD& type, std::string& bytes);
void WriteScopeValue(const wchar_t* name, DWORD type, const void* data, DWORD size);

// An initialized application object with the dictionary strategy.
class CHelpTestApp : public COzuWinApp
{
public:
    CHelpTestApp();
    ~CHelpTestApp() override;
};

}  // namespace helptest
