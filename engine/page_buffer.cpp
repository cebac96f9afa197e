#ifdef _WIN32
#include <windows.h>
#endif

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "engine/page_buffer.h"

namespace qmz {
namespace {

// Diagnostic only: counts buffers so that tests can see leaks on abort and failure.
std::atomic<int> g_liveBuffers{0};

uint8_t* AllocatePages(size_t size) {
#ifdef _WIN32
    return static_cast<uint8_t*>(
        VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
#else
    constexpr size_t kPageBytes = 4096;
    const size_t rounded = (size + kPageBytes - 1) / kPageBytes * kPageBytes;
    auto* data = static_cast<uint8_t*>(std::aligned_alloc(kPageBytes, rounded));
    if (data != nullptr) {
        std::memset(data, 0, rounded);
    }
    return data;
#endif
}

void ReleasePages(uint8_t* data) {
#ifdef _WIN32
    VirtualFree(data, 0, MEM_RELEASE);
#else
    std::free(data);
#endif
}

}  // namespace

CPageBuffer::CPageBuffer(size_t size) {
    if (size == 0) {
        return;
    }
    m_data = AllocatePages(size);
    if (m_data != nullptr) {
        m_size = size;
        ++g_liveBuffers;
    }
}

CPageBuffer::~CPageBuffer() {
    if (m_data != nullptr) {
        ReleasePages(m_data);
        --g_liveBuffers;
    }
}

int CPageBuffer::LiveCount() {
    return g_liveBuffers.load();
}

}  // namespace qmz
