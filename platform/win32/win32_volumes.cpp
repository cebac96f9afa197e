#include "platform/win32/win32_volumes.h"

// clang-format off
#include <winnetwk.h>
// clang-format on

#include <algorithm>

#include "platform/win32/unique_handle.h"

namespace qmz {
namespace {

// A volume GUID path has 49 characters; the buffers of the volume calls take a path.
constexpr DWORD kVolumeNameChars = MAX_PATH;
// GetVolumeInformationW's label and file-system name buffers.
constexpr DWORD kInformationChars = MAX_PATH + 1;
// WNetEnumResourceW's first buffer and WNetGetResourceInformationW's only one.
constexpr DWORD kNetBufferBytes = 16384;
// More than any list of connections needs: a size beyond it is not believed.
constexpr DWORD kNetBufferLimit = 16 << 20;

struct NetEnumTraits : NullIsInvalid<HANDLE> {
    static void Free(HANDLE handle) { ::WNetCloseEnum(handle); }
};
using CNetEnumHandle = CUniqueHandle<HANDLE, NetEnumTraits>;

// Critical-error dialogs off for as long as this object lives (an empty removable drive
// would otherwise ask the user for a disk); the process's mode comes back afterwards.
class CCriticalErrorsOff {
public:
    CCriticalErrorsOff() : m_previous(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~CCriticalErrorsOff() { ::SetErrorMode(m_previous); }
    CCriticalErrorsOff(const CCriticalErrorsOff&) = delete;
    CCriticalErrorsOff& operator=(const CCriticalErrorsOff&) = delete;

private:
    UINT m_previous;
};

// The remote name a connection resolves to; empty when it cannot be resolved.
std::wstring ResolvedRemoteName(const NETRESOURCEW& connection) {
    std::vector<BYTE> buffer(kNetBufferBytes);
    DWORD bytes = kNetBufferBytes;
    NETRESOURCEW query = connection;
    wchar_t* system = nullptr;
    if (::WNetGetResourceInformationW(&query, buffer.data(), &bytes, &system) != NO_ERROR) {
        return std::wstring();
    }
    const auto* resolved = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
    return resolved->lpRemoteName != nullptr ? resolved->lpRemoteName : std::wstring();
}

}  // namespace

uint32_t CWin32Volumes::ListVolumes(std::vector<std::wstring>* names) {
    names->clear();
    wchar_t name[kVolumeNameChars] = {};
    const CScopedVolumeFind find(::FindFirstVolumeW(name, kVolumeNameChars));
    if (!find) {
        return ::GetLastError();
    }
    do {
        names->push_back(name);
    } while (::FindNextVolumeW(find.Get(), name, kVolumeNameChars));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
}

uint32_t CWin32Volumes::GetMountPaths(const std::wstring& volumeName, uint32_t bufferChars,
                                      std::vector<std::wstring>* paths, uint32_t* requiredChars) {
    paths->clear();
    *requiredChars = 0;
    std::vector<wchar_t> buffer(std::max<uint32_t>(bufferChars, 1), L'\0');
    DWORD returned = 0;
    if (!::GetVolumePathNamesForVolumeNameW(volumeName.c_str(), buffer.data(), bufferChars,
                                            &returned)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_MORE_DATA) {
            *requiredChars = returned;
        }
        return error;
    }
    *requiredChars = returned;
    // The list is NUL-separated and ends with an empty string; read no further than
    // what was written.
    const size_t end = std::min<size_t>(returned, bufferChars);
    for (size_t at = 0; at < end && buffer[at] != L'\0';) {
        const size_t stop =
            std::find(buffer.begin() + at, buffer.begin() + end, L'\0') - buffer.begin();
        paths->emplace_back(buffer.data() + at, stop - at);
        at = stop + 1;
    }
    return ERROR_SUCCESS;
}

uint32_t CWin32Volumes::GetDriveType(const std::wstring& root) {
    return ::GetDriveTypeW(root.c_str());
}

uint32_t CWin32Volumes::GetInformation(const std::wstring& root, VolumeInformation* info) {
    *info = VolumeInformation();
    wchar_t label[kInformationChars] = {};
    wchar_t fileSystem[kInformationChars] = {};
    BOOL ok = FALSE;
    DWORD error = ERROR_SUCCESS;
    {
        const CCriticalErrorsOff quiet;
        ok = ::GetVolumeInformationW(root.c_str(), label, kInformationChars, nullptr, nullptr,
                                     nullptr, fileSystem, kInformationChars);
        error = ok ? ERROR_SUCCESS : ::GetLastError();
    }
    if (ok) {
        info->label = label;
        info->fileSystem = fileSystem;
    }
    return error;
}

uint32_t CWin32Volumes::ConnectedNetworkDisks(std::vector<std::wstring>* remoteNames) {
    remoteNames->clear();
    HANDLE rawEnum = nullptr;
    const DWORD opened = ::WNetOpenEnumW(RESOURCE_CONNECTED, RESOURCETYPE_DISK,
                                         RESOURCEUSAGE_ATTACHED, nullptr, &rawEnum);
    if (opened != NO_ERROR) {
        return opened;
    }
    const CNetEnumHandle enumeration(rawEnum);
    std::vector<BYTE> buffer(kNetBufferBytes);
    for (;;) {
        DWORD count = static_cast<DWORD>(-1);  // as many as fit
        DWORD bytes = static_cast<DWORD>(buffer.size());
        const DWORD result = ::WNetEnumResourceW(enumeration.Get(), &count, buffer.data(), &bytes);
        if (result != NO_ERROR && result != ERROR_MORE_DATA) {
            break;  // ERROR_NO_MORE_ITEMS at the end
        }
        if (count > buffer.size() / sizeof(NETRESOURCEW)) {
            count = 0;  // a count the call did not set: nothing was placed
        }
        if (result == ERROR_MORE_DATA && count == 0 && bytes > buffer.size() &&
            bytes <= kNetBufferLimit) {
            buffer.resize(bytes);  // not even one entry fitted: again with what it needs
            continue;
        }
        if (count == 0) {
            break;
        }
        const auto* entries = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            if (entries[i].dwScope != RESOURCE_CONNECTED ||
                entries[i].dwType != RESOURCETYPE_DISK) {
                continue;
            }
            const std::wstring remote = ResolvedRemoteName(entries[i]);
            if (!remote.empty()) {
                remoteNames->push_back(remote);
            }
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace qmz
