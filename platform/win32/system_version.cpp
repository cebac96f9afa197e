// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/system_version.h"

namespace qmz {

SystemVersion ReadSystemVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    SystemVersion version;
    if (::GetVersionExW(&info)) {
        version.known = true;
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
    }
    return version;
}

bool IsVistaOrLater(const SystemVersion& version) {
    return !version.known || version.major >= 6;
}

}  // namespace qmz
