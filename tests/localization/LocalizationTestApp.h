// An application object for one test: installs the strategy of the kind,
// takes the test program's names and points the strategy at dictionary 137.
#pragma once

#include "OzuWinApp.h"

class CTestApp : public COzuWinApp
{
public:
    explicit CTestApp(LocalizationType kind) : COzuWinApp(kind)
    {
        AfxWinInit(::GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_SHOW);
        AfxSetResourceHandle(::GetModuleHandleW(nullptr));
        if (g_pUserInterfaceLocalization != nullptr)
            g_pUserInterfaceLocalization->SetDictionaryResourceId(137);
    }
    ~CTestApp() override { AfxSetResourceHandle(::GetModuleHandleW(nullptr)); }
};
