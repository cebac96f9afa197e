#include "shellext/model/menu_model.h"

#include <cwctype>

namespace qmz {
namespace {

// Buffer of the current-volume query; a longer root is no root at all.
constexpr size_t kMaxPathChars = 260;

std::wstring WithoutTrailingBackslashes(std::wstring text, bool all) {
    while (!text.empty() && text.back() == L'\\') {
        text.pop_back();
        if (!all) {
            break;
        }
    }
    return text;
}

bool IsLetterColonBackslash(const std::wstring& path) {
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

}  // namespace

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(static_cast<wint_t>(a[i])) != std::towupper(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool CMenuModel::Collect(const std::vector<std::wstring>& paths, bool includeNetworkDrives) {
    m_selection = MenuSelection();
    m_selection.IncludeNetworkDrives = includeNetworkDrives;
    std::wstring currentRoot;
    if (m_drives->VolumePathName(L"\\", kMaxPathChars, &currentRoot)) {
        m_selection.CurrentVolumeRoot = currentRoot;
    }
    for (const std::wstring& path : paths) {
        if (path.empty()) {
            continue;
        }
        m_selection.SelectedPaths.push_back(path);
        m_selection.NetworkNames.emplace_back();
        // Each item on its own: a file after a drive root is still a non-root item.
        if (IsDriveRoot(path)) {
            m_selection.HasRootItem = true;
            if (SameTextIgnoringCase(path, m_selection.CurrentVolumeRoot)) {
                m_selection.IncludesCurrentVolume = true;
            }
        } else {
            m_selection.HasNonRootItem = true;
        }
    }
    return !m_selection.SelectedPaths.empty();
}

bool CMenuModel::IsDriveRoot(const std::wstring& path) {
    const std::wstring bare = WithoutTrailingBackslashes(path, false);
    const std::wstring slashed = bare + L"\\";
    uint32_t type = m_drives->DriveType(bare);
    if (type == kDriveNoRootDir) {
        type = m_drives->DriveType(slashed);
    }
    const bool network = type == kDriveRemote || type == kDriveNoRootDir;
    if (type != kDriveFixed && type != kDriveRemovable &&
        !(m_selection.IncludeNetworkDrives && network)) {
        return false;
    }
    if (IsLetterColonBackslash(path)) {
        return true;
    }
    // A volume mounted in a folder is its own volume's root.
    std::wstring volumeRoot;
    return m_drives->VolumePathName(path, path.size() + 2, &volumeRoot) &&
           SameTextIgnoringCase(volumeRoot, slashed);
}

std::vector<MenuCommand> CMenuModel::BuildMenu() {
    std::vector<MenuCommand> commands;
    if (!m_selection.HasNonRootItem && !m_selection.HasRootItem) {
        return commands;
    }
    commands.push_back(CommandErase);
    if (m_selection.HasRootItem && !m_selection.HasNonRootItem) {
        ResolveNetworkNames();
        if (m_selection.NetworkNamesResolved) {
            commands.push_back(CommandEraseFreeSpace);
            // Never offer to wipe the volume this process runs from.
            if (!m_selection.IncludesCurrentVolume) {
                commands.push_back(CommandEraseDrive);
            }
        }
    }
    return commands;
}

void CMenuModel::ResolveNetworkNames() {
    m_selection.NetworkNamesResolved = true;
    for (size_t i = 0; i < m_selection.SelectedPaths.size(); ++i) {
        const std::wstring& path = m_selection.SelectedPaths[i];
        if (m_drives->DriveType(path) != kDriveRemote) {
            continue;
        }
        const std::wstring device = WithoutTrailingBackslashes(path, true);
        std::wstring connection;
        std::wstring resource;
        if (!m_drives->NetworkConnection(device, &connection) ||
            !m_drives->NetworkResourceName(device, connection, &resource)) {
            m_selection.NetworkNamesResolved = false;
            continue;
        }
        m_selection.NetworkNames[i] = WithoutTrailingBackslashes(resource, true);
        // A drive mapped to a folder below a share: its volume is the whole share.
        if (!SameTextIgnoringCase(m_selection.NetworkNames[i], connection)) {
            m_selection.NetworkNamesResolved = false;
        }
    }
}

std::wstring CMenuModel::PathList(MenuCommand command) const {
    const bool byShare = command == CommandEraseFreeSpace || command == CommandEraseDrive;
    // The string grows with the names themselves: a share name has no length limit.
    std::wstring list;
    for (size_t i = 0; i < m_selection.SelectedPaths.size(); ++i) {
        const std::wstring& share = m_selection.NetworkNames[i];
        list += L'"';
        list += byShare && !share.empty() ? share : m_selection.SelectedPaths[i];
        list += L"\" ";
    }
    return list;
}

}  // namespace qmz
