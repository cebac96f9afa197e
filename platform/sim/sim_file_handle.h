// An open file, stream or folder of the simulated volume.
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/sim/sim_state.h"

namespace qmz {

class CSimFileHandle : public IFileHandle, private ISimHandle {
public:
    // `stream` is null for a folder opened as a whole.
    CSimFileHandle(std::shared_ptr<CSimState> state, std::shared_ptr<CSimNode> node,
                   std::shared_ptr<CSimStream> stream, uint64_t openId, uint32_t access,
                   uint32_t flags);
    ~CSimFileHandle() override;
    CSimFileHandle(const CSimFileHandle&) = delete;
    CSimFileHandle& operator=(const CSimFileHandle&) = delete;

    uint32_t Read(void* buffer, uint32_t length, uint32_t* bytesRead) override;
    uint32_t Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) override;
    uint32_t Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) override;
    uint32_t SetEndOfFile() override;
    uint32_t Flush() override;
    uint32_t GetSize(uint64_t* size) override;
    uint32_t QueryStreams(uint32_t bufferBytes, std::vector<StreamInfo>* streams) override;
    uint32_t SetZeroOnDeallocation() override;
    uint32_t QueryAllocatedRanges(uint64_t offset, uint64_t length, uint32_t maxRanges,
                                  std::vector<AllocatedRange>* ranges) override;
    uint32_t SetZeroData(uint64_t begin, uint64_t end) override;
    uint32_t GetRetrievalPointers(int64_t startingVcn, uint32_t bufferBytes,
                                  RetrievalPointers* pointers) override;
    uint32_t GetFinalPath(std::wstring* path) override;
    uint32_t GetReparsePoint(uint32_t* tag, std::wstring* substituteName) override;
    // NTFS with clusters of at most 4 KiB; ERROR_INVALID_FUNCTION elsewhere. Turning it
    // off moves a compressed stream's data into new clusters, as decompression does.
    uint32_t SetCompression(uint16_t format) override;
    // A file is no disk: ERROR_INVALID_FUNCTION.
    uint32_t GetLengthInfo(uint64_t* length) override;

private:
    void EndLocked() override;
    // Counts the call and applies an injected fault; then the common preconditions.
    // Calls that can answer short pass `limit` (see SimFault).
    uint32_t Enter(SimCall call, uint32_t neededAccess, bool needsStream,
                   uint32_t* limit = nullptr);
    uint32_t CheckUnbuffered(const void* buffer, uint32_t length) const;
    CSimVolume& Volume() const { return *m_node->m_volume; }

    std::shared_ptr<CSimState> m_state;
    std::shared_ptr<CSimNode> m_node;
    std::shared_ptr<CSimStream> m_stream;
    uint64_t m_openId;
    uint32_t m_access;
    uint32_t m_flags;
    uint64_t m_position = 0;
    bool m_ended = false;  // closed by the end of the simulated process
};

}  // namespace qmz
