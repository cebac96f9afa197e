// One simulated volume: its names, geometry, cluster bitmap and cluster contents.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sim/sim_open.h"
#include "platform/sim/sim_volume_kind.h"

namespace qmz {

class CSimNode;

struct SimGeometry {
    uint32_t bytesPerSector = 512;
    uint32_t sectorsPerCluster = 8;
    uint64_t totalClusters = 0;
};

class CSimVolume {
public:
    // `letter` is 0 for a volume without a drive letter; `guid` is "{...}". A network
    // share names itself ("\\server\share"); its GUID is the simulation's own.
    CSimVolume(wchar_t letter, const std::wstring& guid, const SimGeometry& geometry,
               const std::wstring& share = L"");
    ~CSimVolume();

    wchar_t Letter() const { return m_letter; }
    const std::wstring& Guid() const { return m_guid; }
    // "\\?\Volume{...}\", what GetVolumeNameForVolumeMountPointW reports.
    std::wstring GuidName() const;
    // "C:\" when lettered, "\\server\share\" for a share, else the GUID name: how
    // paths on this volume are shown.
    std::wstring DisplayRoot() const;
    // "\\server\share" of a network share; empty for a local volume.
    const std::wstring& Share() const { return m_share; }
    bool IsShare() const { return !m_share.empty(); }
    const SimVolumeKind& Kind() const { return m_kind; }
    void SetKind(const SimVolumeKind& kind) { m_kind = kind; }
    // NTFS compresses only with clusters of at most 4 KiB; FAT and the others never.
    bool SupportsCompression() const;
    uint64_t DeviceBytes() const;
    // "\\.\C:" or "\\.\Volume{...}": the raw device.
    std::wstring DeviceName() const;
    const SimGeometry& Geometry() const { return m_geometry; }
    uint64_t ClusterBytes() const;
    uint64_t TotalBytes() const;
    uint64_t FreeClusters() const { return m_freeClusters; }

    // What the caller's disk quota still lets it allocate; UINT64_MAX when it has none.
    // Clusters allocated count against it and clusters freed give back to it.
    uint64_t Quota() const { return m_quota; }
    void SetQuota(uint64_t bytes) { m_quota = bytes; }

    // Lowest free cluster, or -1 when the volume is full.
    int64_t AllocateCluster();
    bool AllocateClusterAt(int64_t lcn);
    void FreeCluster(int64_t lcn);
    bool IsAllocated(int64_t lcn) const;

    // Raw bytes at a volume offset, as the device sees them.
    void ReadBytes(uint64_t offset, uint8_t* out, uint64_t length) const;
    void WriteBytes(uint64_t offset, const uint8_t* data, uint64_t length);
    void ZeroBytes(uint64_t offset, uint64_t length);

    const std::shared_ptr<CSimNode>& Root() const { return m_root; }

    std::vector<SimOpen> m_deviceOpens;  // handles on the raw device

private:
    void WriteInCluster(uint64_t lcn, uint64_t at, const uint8_t* data, uint8_t fill,
                        uint64_t length);

    void Charge(bool allocated);

    wchar_t m_letter;
    std::wstring m_guid;
    std::wstring m_share;
    SimVolumeKind m_kind;
    SimGeometry m_geometry;
    uint64_t m_quota = UINT64_MAX;
    std::vector<bool> m_used;
    uint64_t m_freeClusters;
    uint64_t m_searchFrom = 0;
    // Only clusters ever written are stored; one byte stands for a cluster filled with it.
    std::unordered_map<uint64_t, std::vector<uint8_t>> m_contents;
    std::shared_ptr<CSimNode> m_root;
};

}  // namespace qmz
