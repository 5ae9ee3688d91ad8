// COzuWinApp::InvokeHelp belongs to the help subsystem, which replaces this
// file. Until then a help request does nothing (no window of the program
// issues one).
#include "OzuWinApp.h"

void COzuWinApp::InvokeHelp(COzuWinApp*, CString, DWORD_PTR, UINT, CString, int, CString)
{
}
