// The drive dialog's rows without its window: which mount points and network shares a
// free-space or whole-volume erase is offered, what each row shows, and how a row's check
// box and its selection follow each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_services.h"

namespace qmz {

// One offered drive: its mount path without a trailing backslash ("C:", "C:\mnt\data",
// "\\server\share") and its sizes in bytes, 0 where they cannot be told.
struct CDriveInfo {
    std::wstring path;
    uint64_t free = 0;
    uint64_t total = 0;
};

// A row of the list: the record it stands for (its path is the first column) and the
// texts of the volume, free-space and capacity columns.
struct DriveRow {
    CDriveInfo info;
    std::wstring label;
    std::wstring freeText;
    std::wstring totalText;
};

// "512", "1.5 KB", "12.34 MB", "5.00 GB", "2.00 TB".
std::wstring FormatDriveSize(uint64_t bytes);

// The volume root of the Windows folder ("C:\"); empty when either cannot be told.
std::wstring WindowsVolumeRoot(IShell* shell, IFileSystem* fileSystem);

// Every mount path of every volume ("C:\", "C:\mnt\data\"), sorted without regard to case
// and kept twice when two volumes share a path; a volume without one is not listed.
std::vector<std::wstring> LocalDriveCandidates(IVolumes* volumes);

// The connected shares as roots ("\\server\share\"), sorted without regard to case, each
// once; none when they cannot be listed.
std::vector<std::wstring> NetworkDriveCandidates(IVolumes* volumes);

struct DriveListOptions {
    // A whole-volume erase must never be offered the volume Windows runs from.
    bool excludeWindowsVolume = false;
    bool includeNetworkDrives = false;
    std::wstring windowsVolumeRoot;  // as WindowsVolumeRoot gives it
};

// The rows of the dialog in order: local candidates, then network ones, each kept only on
// a fixed, removable or remote drive. The total is the device's length where the volume
// opens as a device and reports one, else what the free-space query says.
std::vector<DriveRow> BuildDriveRows(const PlatformServices& platform,
                                     const DriveListOptions& options);

// The parts of a list-view item change (LVN_ITEMCHANGED) that the rule below reads.
constexpr uint32_t kItemStateChanged = 0x0008;  // LVIF_STATE in uChanged
constexpr uint32_t kItemSelected = 0x0002;      // LVIS_SELECTED
constexpr uint32_t kItemCheckMask = 0xF000;     // LVIS_STATEIMAGEMASK
constexpr uint32_t kItemChecked = 0x2000;       // state image 2: the box is ticked

// What the dialog does after a change of a row's state: whether it answers the change, and
// whether the row then ends selected and checked (both) or neither.
struct RowFollow {
    bool follows = false;
    bool marked = false;
};

// A changed check box moves the selection along; otherwise a changed selection moves the
// check box. Nothing follows a change that is not one of the item's state.
RowFollow FollowRowChange(uint32_t changed, uint32_t oldState, uint32_t newState);

}  // namespace qmz
