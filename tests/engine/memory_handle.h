// An in-memory IFileHandle that records every request: lets the pass loop be tested
// byte by byte without a file system.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/file_system.h"

namespace qmz {

struct HandleCall {
    enum Kind { kRead, kWrite, kSeek, kFlush } kind;
    uint64_t offset = 0;     // position before the call (Seek: after it)
    uint32_t requested = 0;  // bytes asked for
    uint32_t moved = 0;      // bytes read or written
    uint8_t firstByte = 0;
};

class CMemoryHandle : public IFileHandle {
public:
    explicit CMemoryHandle(uint64_t size, uint8_t fill = 0x33) : m_data(size, fill) {}

    uint32_t Read(void* buffer, uint32_t length, uint32_t* bytesRead) override {
        if (m_readsLeftBeforeFailure == 0) {
            return ERROR_NOT_READY;
        }
        --m_readsLeftBeforeFailure;
        const uint64_t available = m_position < m_data.size() ? m_data.size() - m_position : 0;
        const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(length, available));
        std::memcpy(buffer, m_data.data() + m_position, count);
        m_calls.push_back({HandleCall::kRead, m_position, length, count,
                           count ? m_data[m_position] : uint8_t{0}});
        m_position += count;
        *bytesRead = count;
        return ERROR_SUCCESS;
    }
    uint32_t Write(const void* buffer, uint32_t length, uint32_t* bytesWritten) override {
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        const uint32_t count = m_writesMoveNothing ? 0 : length;
        if (m_position + count > m_data.size()) {
            m_data.resize(m_position + count);
        }
        std::memcpy(m_data.data() + m_position, bytes, count);
        m_calls.push_back({HandleCall::kWrite, m_position, length, count, bytes[0]});
        m_position += count;
        *bytesWritten = count;
        if (m_afterWrite) {
            m_afterWrite();
        }
        return ERROR_SUCCESS;
    }
    uint32_t Seek(int64_t distance, uint32_t moveMethod, uint64_t* newPosition) override {
        int64_t base = moveMethod == FILE_BEGIN     ? 0
                       : moveMethod == FILE_CURRENT ? static_cast<int64_t>(m_position)
                                                    : static_cast<int64_t>(m_data.size());
        if (base + distance < 0) {
            return ERROR_NEGATIVE_SEEK;
        }
        m_position = static_cast<uint64_t>(base + distance);
        m_calls.push_back({HandleCall::kSeek, m_position, 0, 0, 0});
        if (newPosition != nullptr) {
            *newPosition = m_position;
        }
        return ERROR_SUCCESS;
    }
    uint32_t SetEndOfFile() override {
        m_data.resize(m_position);
        return ERROR_SUCCESS;
    }
    uint32_t Flush() override {
        m_calls.push_back({HandleCall::kFlush, m_position, 0, 0, 0});
        return m_flushError;
    }
    uint32_t GetSize(uint64_t* size) override {
        *size = m_data.size();
        return ERROR_SUCCESS;
    }
    uint32_t QueryStreams(uint32_t, std::vector<StreamInfo>*) override {
        return ERROR_INVALID_FUNCTION;
    }
    uint32_t SetZeroOnDeallocation() override { return ERROR_INVALID_FUNCTION; }
    uint32_t QueryAllocatedRanges(uint64_t, uint64_t, uint32_t,
                                  std::vector<AllocatedRange>*) override {
        return ERROR_INVALID_FUNCTION;
    }
    uint32_t SetZeroData(uint64_t, uint64_t) override { return ERROR_INVALID_FUNCTION; }
    uint32_t GetRetrievalPointers(int64_t, uint32_t, RetrievalPointers*) override {
        return ERROR_INVALID_FUNCTION;
    }

    std::vector<HandleCall> Calls(HandleCall::Kind kind) const {
        std::vector<HandleCall> selected;
        for (const HandleCall& call : m_calls) {
            if (call.kind == kind) {
                selected.push_back(call);
            }
        }
        return selected;
    }

    std::vector<uint8_t> m_data;
    uint64_t m_position = 0;
    std::vector<HandleCall> m_calls;
    int m_readsLeftBeforeFailure = -1;  // negative: never fail
    bool m_writesMoveNothing = false;
    std::function<void()> m_afterWrite;
    uint32_t m_flushError = ERROR_SUCCESS;
};

}  // namespace qmz
