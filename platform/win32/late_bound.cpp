// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/late_bound.h"

#include "platform/win32/system_version.h"

namespace qmz {
namespace {

template <class Function>
void Bind(HMODULE module, const char* name, Function* function) {
    *function =
        module != nullptr
            ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
            : nullptr;
}

LateBoundKernel LookUp() {
    LateBoundKernel kernel = {};
    // Both modules are mapped into every process for its whole life.
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (IsVistaOrLater(ReadSystemVersion())) {
        Bind(kernel32, "GetFileInformationByHandleEx", &kernel.getFileInformationByHandleEx);
        Bind(kernel32, "GetFinalPathNameByHandleW", &kernel.getFinalPathNameByHandleW);
    }
    Bind(ntdll, "NtQueryInformationFile", &kernel.ntQueryInformationFile);
    Bind(ntdll, "RtlNtStatusToDosError", &kernel.rtlNtStatusToDosError);
    return kernel;
}

}  // namespace

const LateBoundKernel& LateBound() {
    static const LateBoundKernel kernel = LookUp();
    return kernel;
}

}  // namespace qmz
