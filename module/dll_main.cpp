// Windows entry point. The C runtime's start-up has already run (and set the
// floating-point environment) when this is called; the library itself has
// nothing to set up or release, so every notification succeeds.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD /*reason*/, LPVOID /*reserved*/) {
    return TRUE;
}
