// Windows entry point.
//
// The library itself has nothing to set up or release, so every
// notification succeeds. The floating-point unit is left as Windows programs
// expect it: the runtime resets each thread that starts while the module is
// loaded to double precision with all exceptions masked (the module links
// CRT_fp8), and on 32-bit x86, where the x87 precision applies to all double
// arithmetic, the thread that loads the module gets the same setting here.
// The library's own results do not depend on it (module/x87_math_precision.cpp).
#include <float.h>
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE /*module*/, DWORD reason, LPVOID /*reserved*/) {
#if defined(__i386__)
    if (reason == DLL_PROCESS_ATTACH) _fpreset();
#else
    (void)reason;
#endif
    return TRUE;
}
