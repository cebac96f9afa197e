#include "platform/sim/sim_device_handle.h"

#include <algorithm>

#include "platform/sim/sim_seek.h"
#include "platform/win_types.h"

namespace qmz {

CSimDeviceHandle::CSimDeviceHandle(std::shared_ptr<CSimState> state, CSimVolume* volume,
                                   uint64_t openId, uint32_t access, uint32_t flags)
    : m_state(std::move(state)),
      m_volume(volume),
      m_openId(openId),
      m_access(access),
      m_flags(flags) {
    m_state->m_handles.insert(this);  // constructed under the lock
}

CSimDeviceHandle::~CSimDeviceHandle() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    if (!m_ended) {
        EndLocked();
    }
}

void CSimDeviceHandle::EndLocked() {
    m_ended = true;
    m_state->m_handles.erase(this);
    auto& opens = m_volume->m_deviceOpens;
    for (auto it = opens.begin(); it != opens.end(); ++it) {
        if (it->id == m_openId) {
            opens.erase(it);
            break;
        }
    }
}

uint32_t CSimDeviceHandle::Enter(SimCall call, uint32_t* limit) {
    const uint32_t error = m_state->m_faults.Check(call, m_volume->DeviceName(), limit);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (m_ended) {
        return ERROR_INVALID_HANDLE;
    }
    return m_volume->Kind().mediaPresent ? ERROR_SUCCESS : ERROR_NOT_READY;
}

uint32_t CSimDeviceHandle::CheckTransfer(const void* buffer, uint32_t length) const {
    const uint64_t sector = m_volume->Geometry().bytesPerSector;
    const bool bufferAligned = (m_flags & FILE_FLAG_NO_BUFFERING) == 0 ||
                               reinterpret_cast<uintptr_t>(buffer) % sector == 0;
    if (m_position % sector != 0 || length % sector != 0 || !bufferAligned) {
        return ERROR_INVALID_PARAMETER;
    }
    return ERROR_SUCCESS;
}

void CSimDeviceHandle::Journal(SimCall call, uint64_t offset, uint64_t length, const uint8_t* data,
                               uint64_t requested) {
    SimJournalEntry entry;
    entry.call = call;
    entry.path = m_volume->DeviceName();
    entry.device = true;
    entry.offset = offset;
    entry.length = length;
    entry.requested = requested;
    entry.Describe(data, length);
    m_state->m_journal.Add(entry);
}

uint32_t CSimDeviceHandle::Read(void* buffer, uint32_t length, uint32_t* bytesRead) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    *bytesRead = 0;
    uint32_t limit = length;
    uint32_t error = Enter(SimCall::kRead, &limit);
    if (error == ERROR_SUCCESS && (m_access & kSimReadAccess) == 0) {
        error = ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_SUCCESS) {
        error = CheckTransfer(buffer, length);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    const uint64_t total = m_volume->TotalBytes();
    const uint32_t asked = std::min(length, limit);
    const uint64_t count = m_position >= total ? 0 : std::min<uint64_t>(asked, total - m_position);
    auto* out = static_cast<uint8_t*>(buffer);
    m_volume->ReadBytes(m_position, out, count);
    Journal(SimCall::kRead, m_position, count, out, length);
    m_position += count;
    *bytesRead = static_cast<uint32_t>(count);
    return ERROR_SUCCESS;
}

uint32_t CSimDeviceHandle::Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) {
    std::unique_lock<std::mutex> lock(m_state->m_mutex);
    *bytesWritten = 0;
    uint32_t limit = length;
    uint32_t error = Enter(SimCall::kWrite, &limit);
    if (error == ERROR_SUCCESS && (m_access & kSimWriteAccess) == 0) {
        error = ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_SUCCESS) {
        error = CheckTransfer(buffer, length);
    }
    if (error == ERROR_SUCCESS && m_position + length > m_volume->TotalBytes()) {
        error = ERROR_INVALID_PARAMETER;  // past the last sector of the volume
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    const auto* data = static_cast<const uint8_t*>(buffer);
    const uint32_t count = std::min(length, limit);
    m_volume->WriteBytes(m_position, data, count);
    Journal(SimCall::kWrite, m_position, count, data, length);
    m_position += count;
    *bytesWritten = count;
    m_state->ReleaseAfterWrite(lock, m_volume->DeviceName());
    return ERROR_SUCCESS;
}

uint32_t CSimDeviceHandle::Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kSeek);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    return MoveFilePointer(&m_position, distance, moveMethod, m_volume->TotalBytes(), newPosition);
}

uint32_t CSimDeviceHandle::Flush() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kFlush);
    if (error == ERROR_SUCCESS) {
        Journal(SimCall::kFlush, 0, 0, nullptr, 0);
    }
    return error;
}

uint32_t CSimDeviceHandle::SetEndOfFile() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kSetEndOfFile);
    return error != ERROR_SUCCESS ? error : ERROR_INVALID_PARAMETER;
}

uint32_t CSimDeviceHandle::GetSize(uint64_t* size) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const uint32_t error = Enter(SimCall::kGetSize);
    if (error == ERROR_SUCCESS) {
        *size = m_volume->TotalBytes();
    }
    return error;
}

// The file-level queries and controls make no sense on a raw volume.
uint32_t CSimDeviceHandle::QueryStreams(uint32_t, std::vector<StreamInfo>* streams) {
    streams->clear();
    return ERROR_INVALID_PARAMETER;
}

uint32_t CSimDeviceHandle::SetZeroOnDeallocation() {
    return ERROR_INVALID_PARAMETER;
}

uint32_t CSimDeviceHandle::QueryAllocatedRanges(uint64_t, uint64_t, uint32_t,
                                                std::vector<AllocatedRange>* ranges) {
    ranges->clear();
    return ERROR_INVALID_PARAMETER;
}

uint32_t CSimDeviceHandle::SetZeroData(uint64_t, uint64_t) {
    return ERROR_INVALID_PARAMETER;
}

uint32_t CSimDeviceHandle::GetRetrievalPointers(int64_t, uint32_t, RetrievalPointers* pointers) {
    *pointers = RetrievalPointers();
    return ERROR_INVALID_PARAMETER;
}

// A volume opened as a device has no path of its own and is no reparse point.
uint32_t CSimDeviceHandle::GetFinalPath(std::wstring*) {
    return ERROR_INVALID_FUNCTION;
}

uint32_t CSimDeviceHandle::GetReparsePoint(uint32_t*, std::wstring*) {
    return ERROR_INVALID_FUNCTION;
}

uint32_t CSimDeviceHandle::SetCompression(uint16_t) {
    return ERROR_INVALID_PARAMETER;
}

uint32_t CSimDeviceHandle::GetLengthInfo(uint64_t* length) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    *length = 0;
    uint32_t error = Enter(SimCall::kGetLengthInfo);
    if (error == ERROR_SUCCESS && (m_access & kSimReadAccess) == 0) {
        error = ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_SUCCESS && m_volume->IsShare()) {
        error = ERROR_INVALID_FUNCTION;  // a share is no disk of this machine
    }
    if (error == ERROR_SUCCESS) {
        *length = m_volume->DeviceBytes();
    }
    return error;
}

}  // namespace qmz
