// The simulated machine around its volumes: what kind each volume is, the network
// shares the user is connected to, and the end of the process under test.
#include <algorithm>
#include <cwctype>

#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_state.h"
#include "platform/sim/sim_volumes.h"
#include "platform/win_types.h"

namespace qmz {

namespace {

// The share volume's GUID: never listed, only there because every volume has one.
std::wstring ShareGuid(size_t number) {
    std::wstring digits = std::to_wstring(number);
    digits.insert(0, 12 - std::min<size_t>(12, digits.size()), L'0');
    return L"{5348a3e0-0000-0000-0000-" + digits + L"}";
}

}  // namespace

IVolumes& CSimFileSystem::Volumes() {
    return *m_volumes;
}

uint32_t CSimFileSystem::SetVolumeKind(const std::wstring& root, const SimVolumeKind& kind) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimPath parsed;
    if (ParseSimPath(root, &parsed) != ERROR_SUCCESS || !parsed.components.empty() ||
        parsed.root == SimPathRoot::kDevice) {
        return ERROR_INVALID_PARAMETER;
    }
    CSimVolume* volume = m_state->FindVolume(parsed);
    if (volume == nullptr) {
        return ERROR_PATH_NOT_FOUND;
    }
    volume->SetKind(kind);
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::AddNetworkShare(const std::wstring& share, wchar_t letter,
                                         uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                                         uint64_t totalClusters) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimPath parsed;
    if (ParseSimPath(share, &parsed) != ERROR_SUCCESS || parsed.root != SimPathRoot::kShare ||
        !parsed.components.empty() || bytesPerSector == 0 || sectorsPerCluster == 0) {
        return ERROR_INVALID_PARAMETER;
    }
    SimPath byLetter;
    byLetter.driveLetter = static_cast<wchar_t>(std::towupper(letter));
    if (m_state->FindVolume(parsed) != nullptr ||
        (letter != 0 && m_state->FindVolume(byLetter) != nullptr)) {
        return ERROR_ALREADY_EXISTS;
    }
    const SimGeometry geometry{bytesPerSector, sectorsPerCluster, totalClusters};
    m_state->m_volumes.push_back(std::make_unique<CSimVolume>(
        byLetter.driveLetter, ShareGuid(m_state->m_volumes.size()), geometry, parsed.share));
    m_state->m_connections.push_back({parsed.share, byLetter.driveLetter});
    return ERROR_SUCCESS;
}

uint32_t CSimFileSystem::AddNetworkConnection(const std::wstring& share) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    SimPath parsed;
    if (ParseSimPath(share, &parsed) != ERROR_SUCCESS || parsed.root != SimPathRoot::kShare ||
        !parsed.components.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    const CSimVolume* volume = m_state->FindVolume(parsed);
    if (volume == nullptr) {
        return ERROR_PATH_NOT_FOUND;
    }
    m_state->m_connections.push_back({volume->Share(), 0});
    return ERROR_SUCCESS;
}

void CSimFileSystem::EndProcess() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const std::set<ISimHandle*> handles = m_state->m_handles;
    for (ISimHandle* handle : handles) {
        handle->EndLocked();
    }
}

}  // namespace qmz
