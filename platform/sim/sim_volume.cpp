#include "platform/sim/sim_volume.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/sim_node.h"
#include "platform/sim/sim_path.h"
#include "platform/win_types.h"

namespace qmz {

CSimVolume::CSimVolume(wchar_t letter, const std::wstring& guid, const SimGeometry& geometry,
                       const std::wstring& share)
    : m_letter(letter),
      m_guid(guid),
      m_share(share),
      m_geometry(geometry),
      m_used(geometry.totalClusters, false),
      m_freeClusters(geometry.totalClusters),
      m_root(std::make_shared<CSimNode>(this, L"", true)) {
    if (!share.empty()) {
        m_kind.driveType = kDriveRemote;
    }
    // A root folder reports itself hidden and system, as NTFS roots do.
    m_root->m_attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
}

CSimVolume::~CSimVolume() = default;

std::wstring CSimVolume::GuidName() const {
    return L"\\\\?\\Volume" + m_guid + L"\\";
}

std::wstring CSimVolume::DisplayRoot() const {
    if (m_letter != 0) {
        return std::wstring(1, m_letter) + L":\\";
    }
    return m_share.empty() ? GuidName() : m_share + L"\\";
}

bool CSimVolume::SupportsCompression() const {
    return EqualsNoCase(m_kind.fileSystem, L"NTFS") && ClusterBytes() <= 4096;
}

uint64_t CSimVolume::DeviceBytes() const {
    return m_kind.deviceBytes != 0 ? m_kind.deviceBytes : TotalBytes();
}

void CSimVolume::Charge(bool allocated) {
    if (m_quota == UINT64_MAX) {
        return;
    }
    m_quota = allocated ? m_quota - std::min(m_quota, ClusterBytes()) : m_quota + ClusterBytes();
}

std::wstring CSimVolume::DeviceName() const {
    return m_letter != 0 ? L"\\\\.\\" + std::wstring(1, m_letter) + L":"
                         : L"\\\\.\\Volume" + m_guid;
}

uint64_t CSimVolume::ClusterBytes() const {
    return static_cast<uint64_t>(m_geometry.bytesPerSector) * m_geometry.sectorsPerCluster;
}

uint64_t CSimVolume::TotalBytes() const {
    return ClusterBytes() * m_geometry.totalClusters;
}

int64_t CSimVolume::AllocateCluster() {
    if (m_freeClusters == 0) {
        return -1;
    }
    for (uint64_t scanned = 0; scanned < m_used.size(); ++scanned) {
        const uint64_t lcn = (m_searchFrom + scanned) % m_used.size();
        if (!m_used[lcn]) {
            m_used[lcn] = true;
            --m_freeClusters;
            Charge(true);
            m_searchFrom = lcn + 1;
            return static_cast<int64_t>(lcn);
        }
    }
    return -1;
}

bool CSimVolume::AllocateClusterAt(int64_t lcn) {
    if (lcn < 0 || static_cast<uint64_t>(lcn) >= m_used.size() || m_used[lcn]) {
        return false;
    }
    m_used[lcn] = true;
    --m_freeClusters;
    Charge(true);
    return true;
}

void CSimVolume::FreeCluster(int64_t lcn) {
    if (lcn >= 0 && static_cast<uint64_t>(lcn) < m_used.size() && m_used[lcn]) {
        m_used[lcn] = false;
        ++m_freeClusters;
        Charge(false);
        // Freed clusters keep their bytes, like a real disk; reuse starts low again.
        m_searchFrom = std::min<uint64_t>(m_searchFrom, static_cast<uint64_t>(lcn));
    }
}

bool CSimVolume::IsAllocated(int64_t lcn) const {
    return lcn >= 0 && static_cast<uint64_t>(lcn) < m_used.size() && m_used[lcn];
}

void CSimVolume::ReadBytes(uint64_t offset, uint8_t* out, uint64_t length) const {
    const uint64_t clusterBytes = ClusterBytes();
    while (length > 0) {
        const uint64_t lcn = offset / clusterBytes;
        const uint64_t at = offset % clusterBytes;
        const uint64_t count = std::min(length, clusterBytes - at);
        const auto found = m_contents.find(lcn);
        if (found == m_contents.end()) {
            std::memset(out, 0, count);
        } else if (found->second.size() == 1) {
            std::memset(out, found->second[0], count);
        } else {
            std::memcpy(out, found->second.data() + at, count);
        }
        out += count;
        offset += count;
        length -= count;
    }
}

void CSimVolume::WriteInCluster(uint64_t lcn, uint64_t at, const uint8_t* data, uint8_t fill,
                                uint64_t length) {
    const uint64_t clusterBytes = ClusterBytes();
    std::vector<uint8_t>& bytes = m_contents[lcn];
    const bool uniform = data == nullptr ||
                         std::all_of(data, data + length, [&](uint8_t b) { return b == data[0]; });
    if (length == clusterBytes && uniform) {
        bytes.assign(1, data != nullptr ? data[0] : fill);
        return;
    }
    if (bytes.size() != clusterBytes) {
        const uint8_t previous = bytes.empty() ? 0 : bytes[0];
        bytes.assign(clusterBytes, previous);
    }
    if (data != nullptr) {
        std::memcpy(bytes.data() + at, data, length);
    } else {
        std::memset(bytes.data() + at, fill, length);
    }
}

void CSimVolume::WriteBytes(uint64_t offset, const uint8_t* data, uint64_t length) {
    const uint64_t clusterBytes = ClusterBytes();
    while (length > 0) {
        const uint64_t at = offset % clusterBytes;
        const uint64_t count = std::min(length, clusterBytes - at);
        WriteInCluster(offset / clusterBytes, at, data, 0, count);
        data += count;
        offset += count;
        length -= count;
    }
}

void CSimVolume::ZeroBytes(uint64_t offset, uint64_t length) {
    const uint64_t clusterBytes = ClusterBytes();
    while (length > 0) {
        const uint64_t at = offset % clusterBytes;
        const uint64_t count = std::min(length, clusterBytes - at);
        WriteInCluster(offset / clusterBytes, at, nullptr, 0, count);
        offset += count;
        length -= count;
    }
}

}  // namespace qmz
