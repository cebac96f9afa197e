// An open raw volume ("\\.\C:"): reads and writes the volume's clusters directly.
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/sim/sim_state.h"

namespace qmz {

class CSimDeviceHandle : public IFileHandle {
public:
    CSimDeviceHandle(std::shared_ptr<CSimState> state, CSimVolume* volume, uint64_t openId,
                     uint32_t access, uint32_t flags);
    ~CSimDeviceHandle() override;
    CSimDeviceHandle(const CSimDeviceHandle&) = delete;
    CSimDeviceHandle& operator=(const CSimDeviceHandle&) = delete;

    uint32_t Read(void* buffer, uint32_t length, uint32_t* bytesRead) override;
    uint32_t Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) override;
    uint32_t Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) override;
    uint32_t SetEndOfFile() override;
    uint32_t Flush() override;
    // Stands in for IOCTL_DISK_GET_LENGTH_INFO: the volume's length in bytes.
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

private:
    // Counts the call and applies an injected fault; reads and writes pass `limit`.
    uint32_t Enter(SimCall call, uint32_t* limit = nullptr);
    // Raw volume I/O is always in whole sectors inside the volume.
    uint32_t CheckTransfer(const void* buffer, uint32_t length) const;
    void Journal(SimCall call, uint64_t offset, uint64_t length, const uint8_t* data,
                 uint64_t requested);

    std::shared_ptr<CSimState> m_state;
    CSimVolume* m_volume;
    uint64_t m_openId;
    uint32_t m_access;
    uint32_t m_flags;
    uint64_t m_position = 0;
};

}  // namespace qmz
