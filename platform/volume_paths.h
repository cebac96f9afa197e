// The mount paths of volumes, asked for the way GetVolumePathNamesForVolumeNameW wants:
// a first buffer of MAX_PATH characters, enlarged to the size the call names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/volumes.h"
#include "platform/win_types.h"

namespace qmz {

constexpr uint32_t kVolumeNameChars = 260;

// The volume's mount paths ("C:\", "C:\mnt\data\"); none when the call fails.
inline std::vector<std::wstring> MountPathsOf(IVolumes* volumes, const std::wstring& volumeName) {
    std::vector<std::wstring> paths;
    uint32_t bufferChars = kVolumeNameChars;
    uint32_t rc = volumes->GetMountPaths(volumeName, bufferChars, &paths, &bufferChars);
    // A path list can grow between two calls; each retry asks for what the last one named.
    for (int retry = 0; rc == ERROR_MORE_DATA && retry < 8; ++retry) {
        rc = volumes->GetMountPaths(volumeName, bufferChars, &paths, &bufferChars);
    }
    if (rc != ERROR_SUCCESS) {
        paths.clear();
    }
    return paths;
}

// Every mount path of every volume, volume by volume in the system's order.
inline std::vector<std::wstring> AllMountPaths(IVolumes* volumes) {
    std::vector<std::wstring> all;
    std::vector<std::wstring> names;
    if (volumes == nullptr || volumes->ListVolumes(&names) != ERROR_SUCCESS) {
        return all;
    }
    for (const std::wstring& name : names) {
        for (std::wstring& path : MountPathsOf(volumes, name)) {
            all.push_back(std::move(path));
        }
    }
    return all;
}

// The length of the volume at `root` ("E:", "E:\\", "C:\\mnt\\e") as its device reports it
// (IOCTL_DISK_GET_LENGTH_INFO): a drive letter opens as "\\.\\E:", anything else by its
// path, which for a folder or a share fails. False when it cannot be told.
inline bool VolumeDeviceLength(IFileSystem* fileSystem, std::wstring root, uint64_t* length) {
    while (!root.empty() && root.back() == L'\\') {
        root.pop_back();
    }
    if (root.size() == 2 && root[1] == L':') {
        root = L"\\\\.\\" + root;
    }
    std::unique_ptr<IFileHandle> handle;
    return !root.empty() &&
           fileSystem->Open(root, FILE_READ_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                            0, &handle) == ERROR_SUCCESS &&
           handle != nullptr && handle->GetLengthInfo(length) == ERROR_SUCCESS;
}

}  // namespace qmz
