/* Code in a satellite: if the program ever ran it, the program would end at
   once with exit code 99 (a satellite is only ever read as resources). */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved)
{
    (void)hInstance;
    (void)lpReserved;
    if (dwReason == DLL_PROCESS_ATTACH)
        ExitProcess(99);
    return TRUE;
}
