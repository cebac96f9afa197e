// What kind of volume a simulated volume is: its file system, label and drive.
#pragma once

#include <cstdint>
#include <string>

#include "platform/volumes.h"

namespace qmz {

struct SimVolumeKind {
    std::wstring fileSystem = L"NTFS";  // "NTFS", "FAT32", "exFAT", "CDFS", ...
    std::wstring label;
    DriveType driveType = kDriveFixed;
    // What IOCTL_DISK_GET_LENGTH_INFO reports; 0 for the file system's own size. A real
    // partition is usually a little longer than the file system on it.
    uint64_t deviceBytes = 0;
    // False for a removable or CD-ROM drive without a disk in it: every call that reaches
    // the volume answers ERROR_NOT_READY.
    bool mediaPresent = true;
};

}  // namespace qmz
