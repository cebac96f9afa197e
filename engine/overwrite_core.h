// The code that destroys data: the pass loop over one region of an open handle, and
// the overwrite of one ordinary data stream.
#pragma once

#include <cstdint>
#include <string>

#include "engine/page_buffer.h"
#include "ops/operation.h"
#include "platform/file_system.h"

namespace qmz {

constexpr uint32_t kPatternBufferBytes = 1048576;  // also the largest chunk written at once
constexpr uint32_t kTripleBlockBytes = 512;
constexpr uint64_t kVerifySampleStride = 51200;
constexpr uint8_t kInitialPreviousByte = 0xFF;

// When a write pass is flushed to the disk. Every pass must be on the disk before the
// next pass over the same bytes; the last one only before the data could be dropped,
// which a caller that flushes the handle itself before closing it can defer.
enum class PassFlush { kEveryPass, kAllButLast };

// The pattern and verification buffers of a pass. A caller that overwrites many small
// regions (the free-space fill's chunks) keeps one set for all of them: allocating and
// releasing pages for every pass of every chunk costs more than the writing (under
// Wine, twenty times more).
struct CPassBuffers {
    explicit CPassBuffers(uint32_t unit) : pattern(kPatternBufferBytes), compare(unit) {}
    CPageBuffer pattern;
    CPageBuffer compare;  // one unit
};

// Applies the method's pass list (m_repeatCount times) to `length` bytes from the
// handle's current position. `unit` is the cluster size: the size of verification
// reads. 1 success, 0 failure or stop (the latches tell which).
int RunPasses(CEraseOperationBase* operation, IFileHandle* handle, uint32_t unit, uint64_t length,
              PassFlush flush = PassFlush::kEveryPass, CPassBuffers* keptBuffers = nullptr);

// Overwrites exactly `size` bytes of an ordinary stream with every pass, then
// truncates it to 0. 1 done, 0 failed or stopped.
int OverwriteStream(CEraseOperationBase* operation, uint32_t attributes,
                    const std::wstring& streamPath, uint64_t size);

// Cluster size of the volume that holds `path`; 0 when it cannot be determined.
uint32_t ClusterSizeOf(IFileSystem* fileSystem, const std::wstring& path);

}  // namespace qmz
