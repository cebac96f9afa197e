// The volume part of the platform seam: which volumes exist, where each is mounted, what
// kind of drive holds it, and the network shares the user is connected to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmz {

// GetDriveTypeW's answers.
enum DriveType : uint32_t {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6,
};

struct VolumeInformation {
    std::wstring label;
    std::wstring fileSystem;  // "NTFS", "FAT32", ...
};

class IVolumes {
public:
    virtual ~IVolumes() = default;
    // FindFirstVolumeW / FindNextVolumeW / FindVolumeClose: every volume's name
    // ("\\?\Volume{...}\") in the system's order.
    virtual uint32_t ListVolumes(std::vector<std::wstring>* names) = 0;
    // GetVolumePathNamesForVolumeNameW into a buffer of `bufferChars` characters: the
    // volume's mount paths ("C:\", "C:\mnt\data\"). ERROR_MORE_DATA, with the characters
    // needed in `*requiredChars`, when they do not fit.
    virtual uint32_t GetMountPaths(const std::wstring& volumeName, uint32_t bufferChars,
                                   std::vector<std::wstring>* paths, uint32_t* requiredChars) = 0;
    // GetDriveTypeW of a root ("C:\", "C:\mnt\data\", "\\server\share\").
    virtual uint32_t GetDriveType(const std::wstring& root) = 0;
    // GetVolumeInformationW with critical-error dialogs suppressed for the call, so that
    // an empty removable drive answers instead of asking the user for a disk.
    virtual uint32_t GetInformation(const std::wstring& root, VolumeInformation* info) = 0;
    // The connected disk resources (WNetOpenEnumW with RESOURCE_CONNECTED,
    // RESOURCETYPE_DISK, RESOURCEUSAGE_ATTACHED), each resolved with
    // WNetGetResourceInformationW: their remote names ("\\server\share"), in enumeration
    // order. An entry that cannot be resolved is left out; an error when the enumeration
    // cannot be started.
    virtual uint32_t ConnectedNetworkDisks(std::vector<std::wstring>* remoteNames) = 0;
};

}  // namespace qmz
