// One data stream: its size and where its clusters lie on the volume.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qmz {

class CSimVolume;

// COMPRESSION_FORMAT_LZNT1, the highest format NTFS takes (DEFAULT, 1, stands for it).
constexpr uint16_t kCompressionFormatLznt1 = 2;

class CSimStream {
public:
    explicit CSimStream(const std::wstring& name) : m_name(name) {}

    const std::wstring& Name() const { return m_name; }
    uint64_t Size() const { return m_size; }
    uint64_t AllocatedBytes(const CSimVolume& volume) const;
    bool Sparse() const { return m_sparse; }

    // Bytes past the end read as nothing; holes and bytes beyond the valid data read as zero.
    uint32_t Read(const CSimVolume& volume, uint64_t offset, uint8_t* out, uint32_t length) const;
    // All or nothing: ERROR_DISK_FULL when the clusters the write needs are not free,
    // ERROR_DISK_QUOTA_EXCEEDED when the caller's quota does not cover them.
    uint32_t Write(CSimVolume& volume, uint64_t offset, const uint8_t* data, uint32_t length);
    uint32_t Resize(CSimVolume& volume, uint64_t size);
    // FSCTL_SET_ZERO_DATA: a sparse stream gives whole clusters back, the rest is zeroed.
    void ZeroRange(CSimVolume& volume, uint64_t begin, uint64_t end);
    void ReleaseClusters(CSimVolume& volume);

    std::vector<AllocatedRange> AllocatedRanges(const CSimVolume& volume, uint64_t offset,
                                                uint64_t length) const;
    // Runs of the VCN->LCN map from `startingVcn` (start snapped to its run); -1 marks holes.
    RetrievalPointers Extents(int64_t startingVcn) const;
    const std::vector<int64_t>& Lcns() const { return m_lcns; }

    // Test set-up: sparse with only `ranges` allocated; or an explicit cluster map.
    uint32_t MakeSparse(CSimVolume& volume, const std::vector<AllocatedRange>& ranges);
    uint32_t Remap(CSimVolume& volume, const std::vector<Extent>& extents);
    // Writes the data out afresh into newly allocated clusters (holes included), then
    // frees the old ones with their bytes left in them: what decompressing does.
    // ERROR_DISK_FULL or ERROR_DISK_QUOTA_EXCEEDED, changing nothing, without the room.
    uint32_t Rewrite(CSimVolume& volume);

    bool m_zeroOnDeallocation = false;
    uint16_t m_compression = 0;  // the FSCTL_SET_COMPRESSION format; 0 when uncompressed

private:
    uint64_t ClustersFor(const CSimVolume& volume, uint64_t bytes) const;
    int64_t LcnOf(uint64_t vcn) const { return vcn < m_lcns.size() ? m_lcns[vcn] : -1; }
    uint32_t AllocateRange(CSimVolume& volume, uint64_t firstVcn, uint64_t endVcn);
    static uint32_t CheckRoom(const CSimVolume& volume, uint64_t clusters);
    void FreeFrom(CSimVolume& volume, uint64_t vcn);
    void Deallocate(CSimVolume& volume, int64_t lcn);
    // Cuts [offset, offset + length) at cluster boundaries and hands each piece to `piece`:
    // its LCN (-1 in a hole), where it starts inside that cluster and its length.
    void ForEachPiece(
        const CSimVolume& volume, uint64_t offset, uint64_t length,
        const std::function<void(int64_t lcn, uint64_t at, uint64_t count)>& piece) const;
    void CopyOut(const CSimVolume& volume, uint64_t offset, uint8_t* out, uint64_t length) const;
    void CopyIn(CSimVolume& volume, uint64_t offset, const uint8_t* data, uint64_t length);

    std::wstring m_name;
    uint64_t m_size = 0;
    // Bytes below this were written; above it the disk's old contents stay hidden.
    uint64_t m_validLength = 0;
    bool m_sparse = false;
    std::vector<int64_t> m_lcns;
};

}  // namespace qmz
