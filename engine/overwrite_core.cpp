#include "engine/overwrite_core.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "engine/named_object.h"
#include "engine/operation_platform.h"
#include "engine/page_buffer.h"
#include "engine/path_helpers.h"
#include "ops/check_point.h"

namespace qmz {
namespace {

const uint8_t kTriplePatterns[6][3] = {
    {0x92, 0x49, 0x24}, {0x49, 0x24, 0x92}, {0x24, 0x92, 0x49},
    {0x6D, 0xB6, 0xDB}, {0xB6, 0xDB, 0x6D}, {0xDB, 0x6D, 0xB6},
};

bool IsWritePass(uint32_t code) {
    return code != PassVerify && code != PassVerifyOnePercent;
}

bool IsTriple(uint32_t code) {
    return code >= PassTriple1 && code <= PassTriple6;
}

// Each 512-byte block restarts the pattern: 170 triples, then its first two bytes.
// `patternBytes` is a whole number of blocks.
void FillTriple(uint32_t code, uint8_t* pattern, uint32_t patternBytes) {
    const uint8_t* bytes = kTriplePatterns[(code - PassTriple1) >> 8];
    uint8_t block[kTripleBlockBytes];
    for (uint32_t i = 0; i < kTripleBlockBytes - 2; ++i) {
        block[i] = bytes[i % 3];
    }
    block[kTripleBlockBytes - 2] = bytes[0];
    block[kTripleBlockBytes - 1] = bytes[1];
    for (uint32_t at = 0; at < patternBytes; at += kTripleBlockBytes) {
        std::memcpy(pattern + at, block, kTripleBlockBytes);
    }
}

uint8_t DrawRandomByte(IRandom* random, uint8_t previousByte) {
    for (;;) {
        const uint8_t value = static_cast<uint8_t>(random->Next() & 0xFF);
        if (value != 0x00 && value != 0xFF && value != previousByte) {
            return value;
        }
    }
}

// One pass over the region; the buffers live exactly as long as the pass.
class CPass {
public:
    CPass(CEraseOperationBase* operation, IFileHandle* handle, uint32_t unit, uint64_t length,
          CPassBuffers* buffers)
        : m_operation(operation),
          m_handle(handle),
          m_unit(unit),
          m_length(length),
          m_pattern(buffers->pattern),
          m_compare(buffers->compare) {}

    // 1 done, 0 failed or aborted. `previousByte` is updated after a completed pass.
    int Run(uint32_t code, uint8_t* previousByte, bool flush) {
        if (!m_pattern || !m_compare) {
            return 0;
        }
        Prepare(code, *previousByte);
        const int result = code == PassVerifyOnePercent ? VerifySamples() : WriteOrVerifyAll(code);
        if (result == 0) {
            return 0;
        }
        // Each pass must be on the disk before the next one: write-through alone is not
        // honoured everywhere, and a pass left in a cache can be merged with the next
        // or dropped with the deleted file, never reaching the old data.
        if (flush && IsWritePass(code) && m_length > 0 && m_handle->Flush() != ERROR_SUCCESS) {
            return 0;
        }
        *previousByte = m_pattern.Data()[0];
        return 1;
    }

private:
    // The part of the pattern buffer that writes can reach: a small file's pass need not
    // touch (and, under Wine, fault in) a whole fresh mebibyte. At least one block, so
    // that the first byte always carries the pattern.
    uint32_t PatternBytes() const {
        const uint64_t blocks = (m_length + kTripleBlockBytes - 1) / kTripleBlockBytes;
        return static_cast<uint32_t>(std::clamp<uint64_t>(blocks * kTripleBlockBytes,
                                                          kTripleBlockBytes, kPatternBufferBytes));
    }

    void Prepare(uint32_t code, uint8_t previousByte) {
        if (code <= 0xFF) {
            std::memset(m_pattern.Data(), static_cast<int>(code), PatternBytes());
        } else if (code == PassRandom) {
            const uint8_t value = DrawRandomByte(PlatformOf(m_operation).random, previousByte);
            std::memset(m_pattern.Data(), value, PatternBytes());
        } else if (code == PassVerify || code == PassVerifyOnePercent) {
            std::memset(m_compare.Data(), previousByte, m_compare.Size());
        } else if (IsTriple(code)) {
            FillTriple(code, m_pattern.Data(), PatternBytes());
        } else {
            // The drive-command codes write zeros.
            std::memset(m_pattern.Data(), 0, PatternBytes());
        }
    }

    // A unit-sized read, but never more than the pattern buffer holds (clusters can
    // be larger than 1 MiB on recent NTFS).
    uint32_t ReadSize() const { return std::min(m_unit, kPatternBufferBytes); }

    bool Matches(uint32_t count) const {
        return std::memcmp(m_pattern.Data(), m_compare.Data(), count) == 0;
    }

    int VerifySamples() {
        const uint64_t samples =
            m_length > kVerifySampleStride ? m_length / kVerifySampleStride : 1;
        uint64_t offset = 0;  // of the sample, from the start of the region
        for (uint64_t i = 0; i < samples && offset < m_length; ++i) {
            uint32_t read = 0;
            if (m_handle->Read(m_pattern.Data(), ReadSize(), &read) != ERROR_SUCCESS || read == 0) {
                return 0;
            }
            // With large clusters the later samples would start past the region, where
            // the bytes (of a volume, or of a fill file's next chunk) are not ours to judge.
            if (!Matches(static_cast<uint32_t>(std::min<uint64_t>(read, m_length - offset)))) {
                return 0;
            }
            if (m_handle->Seek(static_cast<int64_t>(kVerifySampleStride), FILE_CURRENT, nullptr) !=
                ERROR_SUCCESS) {
                return 0;
            }
            offset += read + kVerifySampleStride;
        }
        return 1;
    }

    int WriteOrVerifyAll(uint32_t code) {
        uint64_t done = 0;
        while (done < m_length) {
            const uint32_t chunk =
                static_cast<uint32_t>(std::min<uint64_t>(m_length - done, kPatternBufferBytes));
            if (!CheckControlPoint(m_operation)) {
                return 0;
            }
            uint32_t moved = 0;
            if (code == PassVerify) {
                if (m_handle->Read(m_pattern.Data(), ReadSize(), &moved) != ERROR_SUCCESS ||
                    moved == 0) {
                    return 0;
                }
                // Bytes past the region (a raw volume or a longer file) are not ours to judge.
                const uint64_t inRegion = std::min<uint64_t>(moved, m_length - done);
                if (!Matches(static_cast<uint32_t>(inRegion))) {
                    return 0;
                }
            } else {
                // A write that moves nothing would never finish the region.
                if (m_handle->Write(m_pattern.Data(), chunk, &moved) != ERROR_SUCCESS ||
                    moved == 0) {
                    return 0;
                }
            }
            done += moved;
        }
        return 1;
    }

    CEraseOperationBase* m_operation;
    IFileHandle* m_handle;
    uint32_t m_unit;
    uint64_t m_length;
    CPageBuffer& m_pattern;
    CPageBuffer& m_compare;
};

bool SeekBack(IFileHandle* handle, uint64_t length) {
    return handle->Seek(-static_cast<int64_t>(length), FILE_CURRENT, nullptr) == ERROR_SUCCESS;
}

}  // namespace

int RunPasses(CEraseOperationBase* operation, IFileHandle* handle, uint32_t unit, uint64_t length,
              PassFlush flush, CPassBuffers* keptBuffers) {
    if (operation->m_method == nullptr ||
        (keptBuffers != nullptr && keptBuffers->compare.Size() != unit)) {
        return 0;
    }
    const uint32_t* codes = operation->m_method->PassCodes;
    const uint32_t passCount = CountPasses(*operation->m_method);
    uint8_t previousByte = kInitialPreviousByte;
    for (int32_t repetition = 0; repetition < operation->m_repeatCount; ++repetition) {
        if (repetition > 0 && !SeekBack(handle, length)) {
            return 0;
        }
        for (uint32_t pass = 0; pass < kPassCodeSlots && codes[pass] != PassListEnd; ++pass) {
            if (!CheckControlPoint(operation)) {
                return 0;
            }
            if (pass > 0 && !SeekBack(handle, length)) {
                return 0;
            }
            const bool last = repetition + 1 == operation->m_repeatCount && pass + 1 == passCount;
            const bool flushPass = flush == PassFlush::kEveryPass || !last;
            // Without buffers kept by the caller, each pass's live exactly as long as it.
            std::optional<CPassBuffers> ownBuffers;
            if (keptBuffers == nullptr) {
                ownBuffers.emplace(unit);
            }
            CPassBuffers* buffers = keptBuffers != nullptr ? keptBuffers : &*ownBuffers;
            if (CPass(operation, handle, unit, length, buffers)
                    .Run(codes[pass], &previousByte, flushPass) == 0) {
                return 0;
            }
            if (operation->m_finishCycleLatched != 0) {
                // The pass under way is complete; the file stops here.
                operation->m_finishFileLatched = 1;
                operation->m_abortLatched = 1;
                return 0;
            }
        }
    }
    return 1;
}

uint32_t ClusterSizeOf(IFileSystem* fileSystem, const std::wstring& path) {
    std::wstring volume;
    DiskFreeSpace space;
    if (fileSystem->GetVolumePath(path, &volume) != ERROR_SUCCESS ||
        fileSystem->QueryFreeSpace(volume, &space) != ERROR_SUCCESS) {
        return 0;
    }
    return space.sectorsPerCluster * space.bytesPerSector;
}

int OverwriteStream(CEraseOperationBase* operation, uint32_t attributes,
                    const std::wstring& streamPath, uint64_t size) {
    CExactPathFileSystem exactPaths = FileSystemOf(operation);
    IFileSystem* fileSystem = &exactPaths;
    uint32_t flags = FILE_FLAG_WRITE_THROUGH;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;  // the link itself, never its target
    }
    std::unique_ptr<IFileHandle> handle;
    if (fileSystem->Open(streamPath, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, flags,
                         &handle) != ERROR_SUCCESS) {
        return 0;
    }
    // What is written must be the named object, never a link's target.
    if (!NamesStream(streamPath) &&
        ReachOf(fileSystem, handle.get(), streamPath) != HandleReach::kNamedObject) {
        return 0;
    }
    const uint32_t cluster = ClusterSizeOf(fileSystem, streamPath);
    if (cluster == 0) {
        return 0;
    }
    if (size != 0) {
        if (handle->Seek(0, FILE_BEGIN, nullptr) != ERROR_SUCCESS ||
            RunPasses(operation, handle.get(), cluster, size) == 0) {
            return 0;
        }
    }
    // A stream that kept its length would not be what the caller was told.
    if (handle->Seek(0, FILE_BEGIN, nullptr) != ERROR_SUCCESS ||
        handle->SetEndOfFile() != ERROR_SUCCESS) {
        return 0;
    }
    return 1;
}

}  // namespace qmz
