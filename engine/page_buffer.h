// A committed, zero-filled, page-aligned buffer, usable with unbuffered handles.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qmz {

class CPageBuffer {
public:
    // Size 0 or an allocation failure leaves the buffer empty (Data() null).
    explicit CPageBuffer(size_t size);
    ~CPageBuffer();
    CPageBuffer(const CPageBuffer&) = delete;
    CPageBuffer& operator=(const CPageBuffer&) = delete;

    uint8_t* Data() { return m_data; }
    const uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    explicit operator bool() const { return m_data != nullptr; }

    // How many buffers exist right now: lets tests prove that every path releases them.
    static int LiveCount();

private:
    uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

}  // namespace qmz
