// What the context-menu handler asks Windows about the selected paths: the drive type, the
// volume a path lies on, and what a mapped network drive is connected to. The Win32 form
// makes the calls; tests hand the handler a simulated set of drives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qmz {

// GetDriveTypeW's answers (named apart from Win32's DRIVE_* macros).
constexpr uint32_t kDriveUnknown = 0;
constexpr uint32_t kDriveNoRootDir = 1;
constexpr uint32_t kDriveRemovable = 2;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kDriveRemote = 4;
constexpr uint32_t kDriveCdRom = 5;

class IDriveQueries {
public:
    virtual ~IDriveQueries() = default;
    // GetDriveTypeW.
    virtual uint32_t DriveType(const std::wstring& path) = 0;
    // GetVolumePathNameW with a buffer of bufferChars characters; false when it fails.
    virtual bool VolumePathName(const std::wstring& path, size_t bufferChars,
                                std::wstring* volumeRoot) = 0;
    // WNetGetConnectionW for a local device name such as "Z:": the remote name it is
    // connected to; false when it cannot be read.
    virtual bool NetworkConnection(const std::wstring& localName, std::wstring* remoteName) = 0;
    // WNetGetResourceInformationW for the connected disk share `remoteName` of `localName`:
    // the remote name of the resource the system reports; false when it cannot be read.
    virtual bool NetworkResourceName(const std::wstring& localName, const std::wstring& remoteName,
                                     std::wstring* resourceName) = 0;
};

}  // namespace qmz
