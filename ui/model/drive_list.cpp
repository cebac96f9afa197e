#include "ui/model/drive_list.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <memory>

#include "ops/no_case.h"
#include "platform/volume_paths.h"
#include "ui/model/list_conventions.h"

namespace qmz {
namespace {

// Ascending order as the C runtime's _wcsicmp gives it: both sides lower-cased.
bool LessNoCase(const std::wstring& a, const std::wstring& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const wint_t left = std::towlower(static_cast<wint_t>(a[i]));
        const wint_t right = std::towlower(static_cast<wint_t>(b[i]));
        if (left != right) {
            return left < right;
        }
    }
    return a.size() < b.size();
}

// Before the first entry that sorts after `path`: equal ones keep their arrival order.
void InsertSorted(std::vector<std::wstring>* list, const std::wstring& path) {
    auto place = list->begin();
    while (place != list->end() && !LessNoCase(path, *place)) {
        ++place;
    }
    list->insert(place, path);
}

bool Offered(uint32_t driveType) {
    return driveType == kDriveFixed || driveType == kDriveRemovable || driveType == kDriveRemote;
}

std::wstring WithoutTrailingBackslashes(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::wstring FormatDriveSize(uint64_t bytes) {
    constexpr uint64_t kKilo = uint64_t{1} << 10;
    constexpr uint64_t kMega = uint64_t{1} << 20;
    constexpr uint64_t kGiga = uint64_t{1} << 30;
    constexpr uint64_t kTera = uint64_t{1} << 40;
    const double value = static_cast<double>(bytes);
    char text[64];
    if (bytes < kKilo) {
        std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(bytes));
    } else if (bytes < kMega) {
        std::snprintf(text, sizeof text, "%.1f KB", value / static_cast<double>(kKilo));
    } else if (bytes < kGiga) {
        std::snprintf(text, sizeof text, "%.2f MB", value / static_cast<double>(kMega));
    } else if (bytes < kTera) {
        std::snprintf(text, sizeof text, "%.2f GB", value / static_cast<double>(kGiga));
    } else {
        std::snprintf(text, sizeof text, "%.2f TB", value / static_cast<double>(kTera));
    }
    const std::string narrow = text;
    return std::wstring(narrow.begin(), narrow.end());
}

std::wstring WindowsVolumeRoot(IShell* shell, IFileSystem* fileSystem) {
    const std::wstring windows = shell->SpecialFolderPath(kCsidlWindows, FolderOwner::kCurrentUser);
    std::wstring root;
    if (windows.empty() || fileSystem->GetVolumePath(windows, &root) != ERROR_SUCCESS) {
        return L"";
    }
    return root;
}

std::vector<std::wstring> LocalDriveCandidates(IVolumes* volumes) {
    std::vector<std::wstring> candidates;
    for (const std::wstring& path : AllMountPaths(volumes)) {
        InsertSorted(&candidates, path);
    }
    return candidates;
}

std::vector<std::wstring> NetworkDriveCandidates(IVolumes* volumes) {
    std::vector<std::wstring> candidates;
    std::vector<std::wstring> remoteNames;
    if (volumes->ConnectedNetworkDisks(&remoteNames) != ERROR_SUCCESS) {
        return candidates;
    }
    for (std::wstring name : remoteNames) {
        if (name.empty() || name.back() != L'\\') {
            name += L'\\';
        }
        bool known = false;
        for (const std::wstring& candidate : candidates) {
            known = known || EqualsNoCase(candidate, name);
        }
        if (!known) {
            InsertSorted(&candidates, name);
        }
    }
    return candidates;
}

std::vector<DriveRow> BuildDriveRows(const PlatformServices& platform,
                                     const DriveListOptions& options) {
    std::vector<DriveRow> rows;
    if (platform.volumes == nullptr) {
        return rows;
    }
    std::vector<std::wstring> candidates = LocalDriveCandidates(platform.volumes);
    if (options.includeNetworkDrives) {
        for (const std::wstring& share : NetworkDriveCandidates(platform.volumes)) {
            candidates.push_back(share);
        }
    }
    for (const std::wstring& candidate : candidates) {
        if (!Offered(platform.volumes->GetDriveType(candidate))) {
            continue;
        }
        if (options.excludeWindowsVolume && EqualsNoCase(candidate, options.windowsVolumeRoot)) {
            continue;
        }
        DriveRow row;
        VolumeInformation information;
        if (platform.volumes->GetInformation(candidate, &information) == ERROR_SUCCESS) {
            row.label = information.label;
        }
        DiskFreeSpaceEx space;
        if (platform.fileSystem->QueryFreeSpaceEx(candidate, &space) == ERROR_SUCCESS) {
            row.info.free = space.totalFreeBytes;
            row.info.total = space.totalBytes;
        }
        row.info.path = WithoutTrailingBackslashes(candidate);
        uint64_t length = 0;
        if (VolumeDeviceLength(platform.fileSystem, row.info.path, &length)) {
            row.info.total = length;
        }
        row.freeText = FormatDriveSize(row.info.free);
        row.totalText = FormatDriveSize(row.info.total);
        rows.push_back(std::move(row));
    }
    return rows;
}

RowFollow FollowRowChange(uint32_t changed, uint32_t oldState, uint32_t newState) {
    if ((changed & kItemStateChanged) == 0) {
        return {};
    }
    if (((oldState ^ newState) & kItemCheckMask) != 0) {
        const bool checked = (newState & kItemCheckMask) == kItemChecked;
        return {true, MatchMarks({false, checked}, RowChange::kCheck).selected};
    }
    if (((oldState ^ newState) & kItemSelected) != 0) {
        const bool selected = (newState & kItemSelected) != 0;
        return {true, MatchMarks({selected, false}, RowChange::kSelection).checked};
    }
    return {};
}

}  // namespace qmz
