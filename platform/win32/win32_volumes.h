// The volume seam on the real system: kernel32's volume enumeration and mount paths,
// drive types and volume information, and mpr's list of connected network disks.
#pragma once

#include <windows.h>

#include "platform/volumes.h"

namespace qmz {

class CWin32Volumes : public IVolumes {
public:
    uint32_t ListVolumes(std::vector<std::wstring>* names) override;
    uint32_t GetMountPaths(const std::wstring& volumeName, uint32_t bufferChars,
                           std::vector<std::wstring>* paths, uint32_t* requiredChars) override;
    uint32_t GetDriveType(const std::wstring& root) override;
    uint32_t GetInformation(const std::wstring& root, VolumeInformation* info) override;
    uint32_t ConnectedNetworkDisks(std::vector<std::wstring>* remoteNames) override;
};

}  // namespace qmz
