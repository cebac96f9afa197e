// clang-format off
#include <windows.h>
// clang-format on

#include "platform/win32/stream_entries.h"

#include <cstring>
#include <string>
#include <utility>

namespace qmz {
namespace {

// FILE_STREAM_INFO, and ntdll's FILE_STREAM_INFORMATION, up to the name that follows.
struct StreamEntryHead {
    ULONG nextEntryOffset;
    ULONG streamNameLength;  // bytes
    LONGLONG streamSize;
    LONGLONG streamAllocationSize;
};
static_assert(sizeof(StreamEntryHead) == 24, "the fixed part of an entry is 24 bytes");

// Entries start on 8-byte boundaries, which also keeps their names wchar_t-aligned.
constexpr size_t kEntryAlignment = 8;

}  // namespace

uint32_t ParseStreamEntries(const void* entries, size_t filledBytes,
                            std::vector<StreamInfo>* streams) {
    streams->clear();
    constexpr size_t kHead = sizeof(StreamEntryHead);
    const auto* base = static_cast<const uint8_t*>(entries);
    std::vector<StreamInfo> found;
    for (size_t offset = 0; filledBytes - offset >= kHead;) {
        StreamEntryHead head;
        std::memcpy(&head, base + offset, kHead);
        if (head.streamNameLength == 0) {
            if (offset == 0) {
                break;  // the call listed nothing
            }
            return ERROR_INVALID_DATA;
        }
        const size_t room = filledBytes - offset - kHead;
        if (head.streamNameLength > room) {
            return ERROR_INVALID_DATA;
        }
        found.push_back({std::wstring(reinterpret_cast<const wchar_t*>(base + offset + kHead),
                                      head.streamNameLength / sizeof(wchar_t)),
                         static_cast<uint64_t>(head.streamSize),
                         static_cast<uint64_t>(head.streamAllocationSize)});
        if (head.nextEntryOffset == 0) {
            break;
        }
        if (head.nextEntryOffset % kEntryAlignment != 0 ||
            head.nextEntryOffset < kHead + head.streamNameLength ||
            head.nextEntryOffset > filledBytes - offset - kHead) {
            return ERROR_INVALID_DATA;
        }
        offset += head.nextEntryOffset;
    }
    *streams = std::move(found);
    return ERROR_SUCCESS;
}

}  // namespace qmz
