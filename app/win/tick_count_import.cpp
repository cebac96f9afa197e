// The static thread library (winpthreads, as Debian's mingw-w64 builds it, for Vista and
// later) times its waits with GetTickCount64, which XP's kernel32 lacks; its import alone
// would keep the program from loading on XP. Every call of an imported function goes
// through the import's address slot, __imp_<name>. Defining that slot here, in an object
// linked straight into the program, leaves the linker nothing to fetch from kernel32, so
// the import is gone and the library's calls come here instead: to the system's
// GetTickCount64 where there is one, else to the high-resolution counter, which is what
// the library itself uses when it is built for XP.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
    using TickCount64Function = ULONGLONG(WINAPI*)();
    // Looked up on each call: this may run before any static initialiser has, and no
    // C++ machinery (a guarded static) may run inside the thread library's waits.
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto system = reinterpret_cast<TickCount64Function>(reinterpret_cast<void*>(
        kernel32 != nullptr ? ::GetProcAddress(kernel32, "GetTickCount64") : nullptr));
    if (system != nullptr) {
        return system();
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 ||
        !::QueryPerformanceCounter(&counter)) {
        return ::GetTickCount();
    }
    const ULONGLONG ticks = static_cast<ULONGLONG>(counter.QuadPart);
    const ULONGLONG perSecond = static_cast<ULONGLONG>(frequency.QuadPart);
    return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

}  // namespace

extern "C" ULONGLONG(WINAPI* const __imp_GetTickCount64)() = &TickCount64;
