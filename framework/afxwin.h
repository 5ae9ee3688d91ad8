// Umbrella header of the class-library layer: include this one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "AfxTypes.h"
#include "AfxString.h"
#include "AfxObject.h"
#include "CmdTarget.h"
#include "Wnd.h"
#include "Dialog.h"
#include "PropertySheet.h"
#include "Controls.h"
#include "Menu.h"
#include "WinThread.h"
#include "WinApp.h"
#include "File.h"
#include "SyncObjects.h"
#if __has_include("Gdi.h")
#include "Gdi.h"
#endif
