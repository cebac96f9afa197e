// An open raw volume ("\\.\C:"): reads and writes the volume's clusters directly.
#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/sim/sim_state.h"

namespace qmz {

class CSimDeviceHandle : public IFileHandle, private ISimHandle {
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
    // The file system's length in bytes (GetLengthInfo gives the device's).
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
    uint32_t SetCompression(uint16_t format) override;
    // The device's length (SimVolumeKind::deviceBytes), which may exceed the file
    // system's; needs read access, as IOCTL_DISK_GET_LENGTH_INFO does. A share's drive
    // letter answers ERROR_INVALID_FUNCTION.
    uint32_t GetLengthInfo(uint64_t* length) override;

private:
    void EndLocked() override;
    // Counts the call and applies an injected fault; reads and writes pass `limit`. A
    // drive without its disk answers ERROR_NOT_READY.
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
    bool m_ended = false;  // closed by the end of the simulated process
};

}  // namespace qmz
