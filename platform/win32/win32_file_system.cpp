// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/win32_file_system.h"

#include <sys/stat.h>
#include <wchar.h>

#include <cstdlib>

#include "platform/win32/win32_file_handle.h"

namespace qmz {

namespace {

uint32_t LastErrorUnless(BOOL ok) {
    return ok ? ERROR_SUCCESS : ::GetLastError();
}

// Long enough for any volume path or "\\?\Volume{GUID}\" name.
constexpr DWORD kVolumeNameChars = MAX_PATH + 1;

}  // namespace

CWin32FileSystem::CWin32FileSystem() = default;

CWin32FileSystem::~CWin32FileSystem() = default;

uint32_t CWin32FileSystem::GetAttributes(const std::wstring& path, uint32_t* attributes) {
    *attributes = ::GetFileAttributesW(path.c_str());
    return *attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_SUCCESS;
}

uint32_t CWin32FileSystem::GetAttributesEx(const std::wstring& path, FileAttributeData* data) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    const uint32_t error =
        LastErrorUnless(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info));
    if (error == ERROR_SUCCESS) {
        data->attributes = info.dwFileAttributes;
        data->size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    }
    return error;
}

uint32_t CWin32FileSystem::SetAttributes(const std::wstring& path, uint32_t attributes) {
    return LastErrorUnless(::SetFileAttributesW(path.c_str(), attributes));
}

uint32_t CWin32FileSystem::FindFirst(const std::wstring& pattern,
                                     std::unique_ptr<IFindHandle>* find, FindData* first) {
    find->reset();
    WIN32_FIND_DATAW found;
    const HANDLE handle = ::FindFirstFileW(pattern.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) {
        return ::GetLastError();
    }
    *find = std::make_unique<CWin32FindHandle>(handle);
    *first = ToFindData(found);
    return ERROR_SUCCESS;
}

uint32_t CWin32FileSystem::Open(const std::wstring& path, uint32_t access, uint32_t share,
                                uint32_t disposition, uint32_t flags,
                                std::unique_ptr<IFileHandle>* handle) {
    handle->reset();
    const HANDLE opened =
        ::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return ::GetLastError();
    }
    *handle = std::make_unique<CWin32FileHandle>(opened);
    return ERROR_SUCCESS;
}

uint32_t CWin32FileSystem::CreateFolder(const std::wstring& path) {
    return LastErrorUnless(::CreateDirectoryW(path.c_str(), nullptr));
}

uint32_t CWin32FileSystem::Move(const std::wstring& from, const std::wstring& to) {
    return LastErrorUnless(::MoveFileW(from.c_str(), to.c_str()));
}

uint32_t CWin32FileSystem::Delete(const std::wstring& path) {
    return LastErrorUnless(::DeleteFileW(path.c_str()));
}

uint32_t CWin32FileSystem::RemoveFolder(const std::wstring& path) {
    return LastErrorUnless(::RemoveDirectoryW(path.c_str()));
}

uint32_t CWin32FileSystem::MakeWritable(const std::wstring& path) {
    if (::_wchmod(path.c_str(), _S_IREAD | _S_IWRITE) == 0) {
        return ERROR_SUCCESS;
    }
    // The runtime keeps the system's own error code next to errno.
    const unsigned long error = _doserrno;
    return error != 0 ? static_cast<uint32_t>(error) : ERROR_ACCESS_DENIED;
}

uint32_t CWin32FileSystem::GetVolumePath(const std::wstring& path, std::wstring* volumePath) {
    wchar_t buffer[kVolumeNameChars];
    const uint32_t error =
        LastErrorUnless(::GetVolumePathNameW(path.c_str(), buffer, kVolumeNameChars));
    if (error == ERROR_SUCCESS) {
        *volumePath = buffer;
    }
    return error;
}

uint32_t CWin32FileSystem::GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                                      std::wstring* volumeName) {
    wchar_t buffer[kVolumeNameChars];
    const uint32_t error = LastErrorUnless(
        ::GetVolumeNameForVolumeMountPointW(mountPoint.c_str(), buffer, kVolumeNameChars));
    if (error == ERROR_SUCCESS) {
        *volumeName = buffer;
    }
    return error;
}

uint32_t CWin32FileSystem::QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) {
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    const uint32_t error = LastErrorUnless(::GetDiskFreeSpaceW(
        root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters));
    if (error == ERROR_SUCCESS) {
        *space = DiskFreeSpace{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
    }
    return error;
}

uint32_t CWin32FileSystem::QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) {
    ULARGE_INTEGER toCaller;
    ULARGE_INTEGER total;
    ULARGE_INTEGER totalFree;
    const uint32_t error =
        LastErrorUnless(::GetDiskFreeSpaceExW(path.c_str(), &toCaller, &total, &totalFree));
    if (error == ERROR_SUCCESS) {
        *space = DiskFreeSpaceEx{toCaller.QuadPart, total.QuadPart, totalFree.QuadPart};
    }
    return error;
}

}  // namespace qmz
