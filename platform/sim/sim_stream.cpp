#include "platform/sim/sim_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/sim_volume.h"
#include "platform/win_types.h"

namespace qmz {

uint64_t CSimStream::ClustersFor(const CSimVolume& volume, uint64_t bytes) const {
    return (bytes + volume.ClusterBytes() - 1) / volume.ClusterBytes();
}

uint64_t CSimStream::AllocatedBytes(const CSimVolume& volume) const {
    const auto count =
        std::count_if(m_lcns.begin(), m_lcns.end(), [](int64_t l) { return l >= 0; });
    return static_cast<uint64_t>(count) * volume.ClusterBytes();
}

void CSimStream::ForEachPiece(
    const CSimVolume& volume, uint64_t offset, uint64_t length,
    const std::function<void(int64_t lcn, uint64_t at, uint64_t count)>& piece) const {
    const uint64_t clusterBytes = volume.ClusterBytes();
    while (length > 0) {
        const uint64_t at = offset % clusterBytes;
        const uint64_t count = std::min(length, clusterBytes - at);
        piece(LcnOf(offset / clusterBytes), at, count);
        offset += count;
        length -= count;
    }
}

void CSimStream::CopyOut(const CSimVolume& volume, uint64_t offset, uint8_t* out,
                         uint64_t length) const {
    const uint64_t clusterBytes = volume.ClusterBytes();
    ForEachPiece(volume, offset, length, [&](int64_t lcn, uint64_t at, uint64_t count) {
        if (lcn < 0) {
            std::memset(out, 0, count);
        } else {
            volume.ReadBytes(static_cast<uint64_t>(lcn) * clusterBytes + at, out, count);
        }
        out += count;
    });
}

// A null `data` writes zeros.
void CSimStream::CopyIn(CSimVolume& volume, uint64_t offset, const uint8_t* data, uint64_t length) {
    const uint64_t clusterBytes = volume.ClusterBytes();
    ForEachPiece(volume, offset, length, [&](int64_t lcn, uint64_t at, uint64_t count) {
        if (lcn >= 0) {
            const uint64_t where = static_cast<uint64_t>(lcn) * clusterBytes + at;
            if (data != nullptr) {
                volume.WriteBytes(where, data, count);
            } else {
                volume.ZeroBytes(where, count);
            }
        }
        if (data != nullptr) {
            data += count;
        }
    });
}

uint32_t CSimStream::Read(const CSimVolume& volume, uint64_t offset, uint8_t* out,
                          uint32_t length) const {
    if (offset >= m_size) {
        return 0;
    }
    const uint64_t count = std::min<uint64_t>(length, m_size - offset);
    const uint64_t valid = offset < m_validLength ? std::min(count, m_validLength - offset) : 0;
    CopyOut(volume, offset, out, valid);
    std::memset(out + valid, 0, count - valid);
    return static_cast<uint32_t>(count);
}

// The quota is charged before clusters are looked for, so it is what a write meets first.
uint32_t CSimStream::CheckRoom(const CSimVolume& volume, uint64_t clusters) {
    if (clusters > volume.Quota() / volume.ClusterBytes()) {
        return ERROR_DISK_QUOTA_EXCEEDED;
    }
    return clusters > volume.FreeClusters() ? ERROR_DISK_FULL : ERROR_SUCCESS;
}

uint32_t CSimStream::AllocateRange(CSimVolume& volume, uint64_t firstVcn, uint64_t endVcn) {
    uint64_t missing = 0;
    for (uint64_t vcn = firstVcn; vcn < endVcn; ++vcn) {
        missing += LcnOf(vcn) < 0 ? 1 : 0;
    }
    // NTFS charges and reserves the whole extension before writing, so nothing is written.
    const uint32_t error = CheckRoom(volume, missing);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (m_lcns.size() < endVcn) {
        m_lcns.resize(endVcn, -1);
    }
    for (uint64_t vcn = firstVcn; vcn < endVcn; ++vcn) {
        if (m_lcns[vcn] < 0) {
            m_lcns[vcn] = volume.AllocateCluster();
            // A hole inside written data must go on reading as zeros.
            if (vcn * volume.ClusterBytes() < m_validLength) {
                volume.ZeroBytes(static_cast<uint64_t>(m_lcns[vcn]) * volume.ClusterBytes(),
                                 volume.ClusterBytes());
            }
        }
    }
    return ERROR_SUCCESS;
}

uint32_t CSimStream::Write(CSimVolume& volume, uint64_t offset, const uint8_t* data,
                           uint32_t length) {
    if (length == 0) {
        return ERROR_SUCCESS;
    }
    const uint64_t end = offset + length;
    const uint64_t firstVcn = m_sparse ? offset / volume.ClusterBytes() : 0;
    const uint32_t error = AllocateRange(volume, firstVcn, ClustersFor(volume, end));
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (offset > m_validLength) {
        CopyIn(volume, m_validLength, nullptr, offset - m_validLength);
    }
    CopyIn(volume, offset, data, length);
    m_validLength = std::max(m_validLength, end);
    m_size = std::max(m_size, end);
    return ERROR_SUCCESS;
}

// With zero-on-deallocation set, NTFS wipes a cluster as the stream lets go of it.
void CSimStream::Deallocate(CSimVolume& volume, int64_t lcn) {
    if (m_zeroOnDeallocation && volume.IsAllocated(lcn)) {
        volume.ZeroBytes(static_cast<uint64_t>(lcn) * volume.ClusterBytes(), volume.ClusterBytes());
    }
    volume.FreeCluster(lcn);
}

void CSimStream::FreeFrom(CSimVolume& volume, uint64_t vcn) {
    for (uint64_t i = vcn; i < m_lcns.size(); ++i) {
        Deallocate(volume, m_lcns[i]);
    }
    if (vcn < m_lcns.size()) {
        m_lcns.resize(vcn);
    }
}

uint32_t CSimStream::Resize(CSimVolume& volume, uint64_t size) {
    if (size < m_size) {
        FreeFrom(volume, ClustersFor(volume, size));
        m_validLength = std::min(m_validLength, size);
    } else if (!m_sparse) {
        const uint32_t error = AllocateRange(volume, 0, ClustersFor(volume, size));
        if (error != ERROR_SUCCESS) {
            return error;
        }
    }
    m_size = size;
    return ERROR_SUCCESS;
}

void CSimStream::ZeroRange(CSimVolume& volume, uint64_t begin, uint64_t end) {
    end = std::min(end, m_size);
    if (begin >= end) {
        return;
    }
    const uint64_t clusterBytes = volume.ClusterBytes();
    for (uint64_t vcn = begin / clusterBytes; vcn * clusterBytes < end; ++vcn) {
        const uint64_t from = std::max(begin, vcn * clusterBytes);
        const uint64_t to = std::min(end, (vcn + 1) * clusterBytes);
        if (m_sparse && to - from == clusterBytes && vcn < m_lcns.size()) {
            Deallocate(volume, m_lcns[vcn]);
            m_lcns[vcn] = -1;
        } else if (from < m_validLength) {
            CopyIn(volume, from, nullptr, std::min(to, m_validLength) - from);
        }
    }
}

void CSimStream::ReleaseClusters(CSimVolume& volume) {
    FreeFrom(volume, 0);
    m_size = 0;
    m_validLength = 0;
}

std::vector<AllocatedRange> CSimStream::AllocatedRanges(const CSimVolume& volume, uint64_t offset,
                                                        uint64_t length) const {
    std::vector<AllocatedRange> ranges;
    const uint64_t end = std::min(m_size, offset + length);
    if (offset >= end) {
        return ranges;
    }
    if (!m_sparse) {
        ranges.push_back({offset, end - offset});  // a dense stream is allocated throughout
        return ranges;
    }
    const uint64_t clusterBytes = volume.ClusterBytes();
    for (uint64_t vcn = offset / clusterBytes; vcn * clusterBytes < end; ++vcn) {
        if (LcnOf(vcn) < 0) {
            continue;
        }
        const uint64_t from = std::max(offset, vcn * clusterBytes);
        const uint64_t to = std::min(end, (vcn + 1) * clusterBytes);
        if (!ranges.empty() && ranges.back().offset + ranges.back().length == from) {
            ranges.back().length += to - from;
        } else {
            ranges.push_back({from, to - from});
        }
    }
    return ranges;
}

RetrievalPointers CSimStream::Extents(int64_t startingVcn) const {
    RetrievalPointers pointers;
    pointers.startingVcn = startingVcn;
    const int64_t count = static_cast<int64_t>(m_lcns.size());
    auto continues = [&](int64_t vcn) {
        const int64_t previous = m_lcns[vcn - 1];
        return m_lcns[vcn] < 0 ? previous < 0 : previous >= 0 && m_lcns[vcn] == previous + 1;
    };
    int64_t runStart = 0;
    for (int64_t vcn = 1; vcn <= count; ++vcn) {
        if (vcn < count && continues(vcn)) {
            continue;
        }
        if (vcn > startingVcn) {
            if (pointers.extents.empty()) {
                pointers.startingVcn = runStart;
            }
            pointers.extents.push_back({vcn, m_lcns[runStart]});
        }
        runStart = vcn;
    }
    return pointers;
}

uint32_t CSimStream::MakeSparse(CSimVolume& volume, const std::vector<AllocatedRange>& ranges) {
    m_sparse = true;
    const uint64_t clusterBytes = volume.ClusterBytes();
    for (uint64_t vcn = 0; vcn < m_lcns.size(); ++vcn) {
        const uint64_t from = vcn * clusterBytes;
        const bool kept = std::any_of(ranges.begin(), ranges.end(), [&](const AllocatedRange& r) {
            return r.offset < from + clusterBytes && from < r.offset + r.length;
        });
        if (!kept && m_lcns[vcn] >= 0) {
            Deallocate(volume, m_lcns[vcn]);
            m_lcns[vcn] = -1;
        }
    }
    for (const AllocatedRange& range : ranges) {
        const uint64_t end = std::min(m_size, range.offset + range.length);
        if (range.offset < end) {
            const uint32_t error =
                AllocateRange(volume, range.offset / clusterBytes, ClustersFor(volume, end));
            if (error != ERROR_SUCCESS) {
                return error;
            }
        }
    }
    return ERROR_SUCCESS;
}

uint32_t CSimStream::Remap(CSimVolume& volume, const std::vector<Extent>& extents) {
    std::vector<int64_t> lcns;
    for (const Extent& extent : extents) {
        const int64_t count = extent.nextVcn - static_cast<int64_t>(lcns.size());
        if (count <= 0) {
            return ERROR_INVALID_PARAMETER;
        }
        for (int64_t i = 0; i < count; ++i) {
            const int64_t lcn = extent.lcn < 0 ? -1 : extent.lcn + i;
            if (lcn >= 0 && (volume.IsAllocated(lcn) ||
                             std::find(lcns.begin(), lcns.end(), lcn) != lcns.end())) {
                return ERROR_INVALID_PARAMETER;  // the new place must be free clusters
            }
            lcns.push_back(lcn);
        }
    }
    const uint64_t clusterBytes = volume.ClusterBytes();
    std::vector<uint8_t> cluster(clusterBytes);
    for (uint64_t vcn = 0; vcn < lcns.size(); ++vcn) {
        if (lcns[vcn] >= 0) {
            volume.AllocateClusterAt(lcns[vcn]);
            CopyOut(volume, vcn * clusterBytes, cluster.data(), clusterBytes);
            volume.WriteBytes(static_cast<uint64_t>(lcns[vcn]) * clusterBytes, cluster.data(),
                              clusterBytes);
        }
    }
    FreeFrom(volume, 0);
    m_lcns = lcns;
    return ERROR_SUCCESS;
}

uint32_t CSimStream::Rewrite(CSimVolume& volume) {
    const uint64_t count = ClustersFor(volume, m_size);
    const uint32_t error = CheckRoom(volume, count);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    std::vector<uint8_t> data(m_size);  // bytes past the valid data read as zero
    CopyOut(volume, 0, data.data(), std::min(m_validLength, m_size));
    std::vector<int64_t> lcns(count);
    for (int64_t& lcn : lcns) {
        lcn = volume.AllocateCluster();
    }
    FreeFrom(volume, 0);
    m_lcns = lcns;
    m_validLength = m_size;
    CopyIn(volume, 0, data.data(), data.size());
    return ERROR_SUCCESS;
}

}  // namespace qmz
