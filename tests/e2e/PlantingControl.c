/* The control of the planting test: a program that imports the common
   controls at load time, as the launcher once did. Beside a planted
   comctl32.dll it loads the planted one, so the test can see a marker run. */
#include <windows.h>
#include <commctrl.h>

int main(int argc, char** argv) {
    (void)argv;
    /* Never called in the test (the planted DLL has no such export); the
       reference keeps the import. */
    if (argc > 1) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
    }
    return 0;
}
