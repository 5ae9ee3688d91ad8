/* A DLL that a test plants beside its program: loading it by name must fail
   once the program has restricted its DLL search to the system folder. */
#include <windows.h>

__declspec(dllexport) int QuorPlantedMarker(void) { return 42; }
