#include "platform/sim/sim_volumes.h"

#include <functional>

#include "platform/sim/sim_state.h"
#include "platform/win_types.h"

namespace qmz {

namespace {

// ERROR_DIR_NOT_ROOT: a folder that is neither a volume's root nor a mount folder.
constexpr uint32_t kErrorDirNotRoot = 144;

}  // namespace

uint32_t CSimVolumes::ListVolumes(std::vector<std::wstring>* names) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    names->clear();
    const uint32_t error = m_state->m_faults.Check(SimCall::kListVolumes, L"");
    if (error != ERROR_SUCCESS) {
        return error;
    }
    for (const auto& volume : m_state->m_volumes) {
        if (!volume->IsShare()) {
            names->push_back(volume->GuidName());
        }
    }
    return ERROR_SUCCESS;
}

std::vector<SimMountFolder> CSimVolumes::MountFolders() const {
    std::vector<SimMountFolder> mounts;
    for (const auto& host : m_state->m_volumes) {
        if (host->IsShare()) {
            continue;
        }
        // Below the root, links and mount folders not entered.
        std::function<void(const CSimNode&, const std::wstring&)> walk =
            [&](const CSimNode& folder, const std::wstring& relative) {
                for (const auto& entry : folder.m_children) {
                    const CSimNode& child = *entry.second;
                    const std::wstring path = relative + child.m_name + L"\\";
                    if (child.m_reparse == SimReparse::kMountPoint) {
                        mounts.push_back({host.get(), path, child.m_mounted});
                    } else if (child.IsFolder() && child.m_reparse == SimReparse::kNone) {
                        walk(child, path);
                    }
                }
            };
        walk(*host->Root(), L"");
    }
    return mounts;
}

std::vector<std::wstring> CSimVolumes::DosRoots(const CSimVolume& volume,
                                                const std::vector<SimMountFolder>& mounts,
                                                std::set<const CSimVolume*>* visiting) const {
    std::vector<std::wstring> roots;
    if (volume.Letter() != 0) {
        roots.push_back(volume.DisplayRoot());
    }
    if (!visiting->insert(&volume).second) {
        return roots;  // mounted inside itself: no path leads there twice
    }
    for (const SimMountFolder& mount : mounts) {
        if (mount.mounted != &volume) {
            continue;
        }
        // A folder no drive letter leads to has no path to give.
        for (const std::wstring& hostRoot : DosRoots(*mount.host, mounts, visiting)) {
            roots.push_back(hostRoot + mount.relative);
        }
    }
    visiting->erase(&volume);
    return roots;
}

uint32_t CSimVolumes::GetMountPaths(const std::wstring& volumeName, uint32_t bufferChars,
                                    std::vector<std::wstring>* paths, uint32_t* requiredChars) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    paths->clear();
    *requiredChars = 0;
    const uint32_t error = m_state->m_faults.Check(SimCall::kGetMountPaths, volumeName);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    SimPath parsed;
    if (ParseSimPath(volumeName, &parsed) != ERROR_SUCCESS ||
        parsed.root != SimPathRoot::kVolumeGuid || !parsed.components.empty() ||
        volumeName.back() != L'\\') {
        return ERROR_INVALID_NAME;
    }
    const CSimVolume* volume = m_state->FindVolume(parsed);
    if (volume == nullptr || volume->IsShare()) {
        return ERROR_FILE_NOT_FOUND;
    }
    std::set<const CSimVolume*> visiting;
    const std::vector<std::wstring> found = DosRoots(*volume, MountFolders(), &visiting);
    uint32_t required = 1;  // the NUL that ends the list
    for (const std::wstring& path : found) {
        required += static_cast<uint32_t>(path.size()) + 1;
    }
    *requiredChars = required;
    if (bufferChars < required) {
        return ERROR_MORE_DATA;
    }
    *paths = found;
    return ERROR_SUCCESS;
}

uint32_t CSimVolumes::VolumeAtRoot(const std::wstring& root, const CSimVolume** volume) const {
    SimPath parsed;
    uint32_t error = ParseSimPath(root, &parsed);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (parsed.root == SimPathRoot::kDevice) {
        return ERROR_INVALID_NAME;
    }
    if (parsed.components.empty()) {
        // A drive without its disk still has a root and a kind.
        *volume = m_state->FindVolume(parsed);
        return *volume != nullptr ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
    }
    SimLookup lookup;
    error = m_state->Resolve(root, false, &lookup);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (lookup.node->m_reparse != SimReparse::kMountPoint) {
        return kErrorDirNotRoot;
    }
    *volume = lookup.node->m_mounted;
    return ERROR_SUCCESS;
}

uint32_t CSimVolumes::GetDriveType(const std::wstring& root) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    if (m_state->m_faults.Check(SimCall::kGetDriveType, root) != ERROR_SUCCESS) {
        return kDriveUnknown;
    }
    const CSimVolume* volume = nullptr;
    if (VolumeAtRoot(root, &volume) != ERROR_SUCCESS) {
        return kDriveNoRootDir;
    }
    return volume->Kind().driveType;
}

uint32_t CSimVolumes::GetInformation(const std::wstring& root, VolumeInformation* info) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    *info = VolumeInformation();
    uint32_t error = m_state->m_faults.Check(SimCall::kGetVolumeInformation, root);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    // A root is asked for with its backslash ("C:" alone names the drive's root too).
    // Without it, a path of one folder is a bad name and a deeper one no root.
    SimPath parsed;
    error = ParseSimPath(root, &parsed);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (!root.empty() && root.back() != L'\\' && !parsed.components.empty()) {
        return parsed.components.size() == 1 ? ERROR_INVALID_NAME : kErrorDirNotRoot;
    }
    const CSimVolume* volume = nullptr;
    error = VolumeAtRoot(root, &volume);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (!volume->Kind().mediaPresent) {
        return ERROR_NOT_READY;
    }
    info->label = volume->Kind().label;
    info->fileSystem = volume->Kind().fileSystem;
    return ERROR_SUCCESS;
}

uint32_t CSimVolumes::ConnectedNetworkDisks(std::vector<std::wstring>* remoteNames) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    remoteNames->clear();
    const uint32_t error = m_state->m_faults.Check(SimCall::kConnectedNetworkDisks, L"");
    if (error != ERROR_SUCCESS) {
        return error;
    }
    for (const SimNetworkConnection& connection : m_state->m_connections) {
        remoteNames->push_back(connection.remoteName);
    }
    return ERROR_SUCCESS;
}

}  // namespace qmz
