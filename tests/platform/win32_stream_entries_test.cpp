// Reading the stream list a stream query wrote: every entry, and nothing past the bytes
// the query filled. The list ends right before a page that cannot be read, so a parser
// that followed a cut-off or corrupt entry past the filled bytes would fault the test.
#ifdef _WIN32

// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/stream_entries.h"

namespace qmz {
namespace {

constexpr size_t kHeadBytes = 24;

// Appends one entry in FILE_STREAM_INFO's layout and returns its offset; each entry but
// the last is padded to 8 bytes and points at the next.
size_t AppendEntry(std::vector<uint8_t>* list, const std::wstring& name, uint64_t size,
                   uint64_t allocated) {
    const size_t offset = list->size();
    const uint32_t nameBytes = static_cast<uint32_t>(name.size() * sizeof(wchar_t));
    list->resize(offset + kHeadBytes + nameBytes);
    uint8_t* entry = list->data() + offset;
    std::memcpy(entry + 4, &nameBytes, 4);
    std::memcpy(entry + 8, &size, 8);
    std::memcpy(entry + 16, &allocated, 8);
    std::memcpy(entry + kHeadBytes, name.data(), nameBytes);
    return offset;
}

void Chain(std::vector<uint8_t>* list, size_t from, size_t to) {
    const uint32_t next = static_cast<uint32_t>(to - from);
    std::memcpy(list->data() + from, &next, 4);
}

void PadToEntry(std::vector<uint8_t>* list) {
    list->resize((list->size() + 7) / 8 * 8);
}

// The bytes of a list, placed so that the first unreadable page follows them as closely
// as the entries' 8-byte alignment allows.
class CGuardedList {
public:
    explicit CGuardedList(const std::vector<uint8_t>& list) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const size_t page = system.dwPageSize;
        const size_t pages = (list.size() + page - 1) / page + 1;
        m_memory = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, pages * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (m_memory == nullptr ||
            !VirtualProtect(m_memory + (pages - 1) * page, page, PAGE_NOACCESS, &old)) {
            return;
        }
        m_entries = m_memory + (pages - 1) * page - (list.size() + 7) / 8 * 8;
        std::memcpy(m_entries, list.data(), list.size());
    }
    ~CGuardedList() {
        if (m_memory != nullptr) {
            VirtualFree(m_memory, 0, MEM_RELEASE);
        }
    }
    CGuardedList(const CGuardedList&) = delete;
    CGuardedList& operator=(const CGuardedList&) = delete;

    const void* Entries() const { return m_entries; }

private:
    uint8_t* m_memory = nullptr;
    uint8_t* m_entries = nullptr;
};

std::vector<StreamInfo> Stale() {
    return {{L":stale:$DATA", 1, 1}};
}

TEST(Win32StreamEntriesTest, EveryEntryOfTheChainIsListed) {
    std::vector<uint8_t> list;
    const size_t main = AppendEntry(&list, L"::$DATA", 5000, 8192);
    PadToEntry(&list);
    const size_t zone = AppendEntry(&list, L":Zone.Identifier:$DATA", 26, 32);
    Chain(&list, main, zone);
    CGuardedList guarded(list);
    ASSERT_NE(nullptr, guarded.Entries());

    std::vector<StreamInfo> streams = Stale();
    ASSERT_EQ(ERROR_SUCCESS, ParseStreamEntries(guarded.Entries(), list.size(), &streams));
    ASSERT_EQ(2u, streams.size());
    EXPECT_EQ(L"::$DATA", streams[0].name);
    EXPECT_EQ(5000u, streams[0].size);
    EXPECT_EQ(8192u, streams[0].allocationSize);
    EXPECT_EQ(L":Zone.Identifier:$DATA", streams[1].name);
    EXPECT_EQ(26u, streams[1].size);
    EXPECT_EQ(32u, streams[1].allocationSize);

    // Bytes that hold no entry list nothing: ntdll reporting nothing written, or a
    // zeroed buffer that the call left alone.
    streams = Stale();
    EXPECT_EQ(ERROR_SUCCESS, ParseStreamEntries(guarded.Entries(), 0, &streams));
    EXPECT_TRUE(streams.empty());
    const std::vector<uint8_t> zeros(64, 0);
    CGuardedList zeroed(zeros);
    streams = Stale();
    EXPECT_EQ(ERROR_SUCCESS, ParseStreamEntries(zeroed.Entries(), zeros.size(), &streams));
    EXPECT_TRUE(streams.empty());
}

TEST(Win32StreamEntriesTest, AnEntryReachingPastTheFilledBytesListsNothing) {
    std::vector<uint8_t> list;
    const size_t main = AppendEntry(&list, L"::$DATA", 10, 4096);
    PadToEntry(&list);
    const size_t named = AppendEntry(&list, L":s:$DATA", 3, 8);
    Chain(&list, main, named);
    const uint32_t wholeName = 8 * sizeof(wchar_t);

    struct Case {
        const char* what;
        size_t filledBytes;  // of `list`, possibly after a change
        uint32_t namedNameBytes;
        uint32_t mainNext;
    };
    const Case cases[] = {
        // The second entry's name runs on past the end of what was written.
        {"cut-off name", list.size() - 4, wholeName, static_cast<uint32_t>(named)},
        // A name length far past the end, as a corrupt entry might say.
        {"name past the end", list.size(), 1u << 20, static_cast<uint32_t>(named)},
        // Only part of the second entry's fixed part was written.
        {"cut-off head", named + 12, wholeName, static_cast<uint32_t>(named)},
        // The chain points past the filled bytes, or back into the entry it leaves.
        {"next past the end", list.size(), wholeName, static_cast<uint32_t>(list.size() + 8)},
        {"overlapping next", list.size(), wholeName, 8},
        {"misaligned next", list.size(), wholeName, static_cast<uint32_t>(named + 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> changed = list;
        std::memcpy(changed.data() + named + 4, &c.namedNameBytes, 4);
        std::memcpy(changed.data() + main, &c.mainNext, 4);
        changed.resize(c.filledBytes);
        CGuardedList guarded(changed);
        ASSERT_NE(nullptr, guarded.Entries());
        std::vector<StreamInfo> streams = Stale();
        EXPECT_EQ(ERROR_INVALID_DATA,
                  ParseStreamEntries(guarded.Entries(), changed.size(), &streams));
        EXPECT_TRUE(streams.empty());
    }
}

}  // namespace
}  // namespace qmz

#endif  // _WIN32
