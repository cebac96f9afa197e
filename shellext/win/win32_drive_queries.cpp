#include "shellext/win/win32_drive_queries.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <winnetwk.h>

#include <memory>
#include <new>
#include <vector>

namespace qmz {
namespace {

// The network provider's answers are not bounded by MAX_PATH; these are their buffers.
constexpr DWORD kConnectionChars = 16384;
constexpr DWORD kResourceBytes = 16384;

}  // namespace

uint32_t CWin32DriveQueries::DriveType(const std::wstring& path) {
    return GetDriveTypeW(path.c_str());
}

bool CWin32DriveQueries::VolumePathName(const std::wstring& path, size_t bufferChars,
                                        std::wstring* volumeRoot) {
    std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
    if (!GetVolumePathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(bufferChars))) {
        return false;
    }
    *volumeRoot = buffer.data();
    return true;
}

bool CWin32DriveQueries::NetworkConnection(const std::wstring& localName,
                                           std::wstring* remoteName) {
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[kConnectionChars]);
    DWORD chars = kConnectionChars;
    if (!buffer || WNetGetConnectionW(localName.c_str(), buffer.get(), &chars) != NO_ERROR) {
        return false;
    }
    buffer[kConnectionChars - 1] = L'\0';
    *remoteName = buffer.get();
    return true;
}

bool CWin32DriveQueries::NetworkResourceName(const std::wstring& localName,
                                             const std::wstring& remoteName,
                                             std::wstring* resourceName) {
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kResourceBytes]);
    if (!buffer) {
        return false;
    }
    NETRESOURCEW request = {};
    request.dwScope = RESOURCE_CONNECTED;
    request.dwType = RESOURCETYPE_DISK;
    request.dwDisplayType = RESOURCEDISPLAYTYPE_SHARE;
    request.dwUsage = RESOURCEUSAGE_CONNECTABLE;
    std::wstring local = localName;
    std::wstring remote = remoteName;
    request.lpLocalName = local.data();
    request.lpRemoteName = remote.data();
    DWORD bytes = kResourceBytes;
    LPWSTR system = nullptr;
    if (WNetGetResourceInformationW(&request, buffer.get(), &bytes, &system) != NO_ERROR) {
        return false;
    }
    const auto* resource = reinterpret_cast<const NETRESOURCEW*>(buffer.get());
    if (resource->lpRemoteName == nullptr) {
        return false;
    }
    *resourceName = resource->lpRemoteName;
    return true;
}

}  // namespace qmz
