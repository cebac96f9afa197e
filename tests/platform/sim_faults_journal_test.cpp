// Fault injection, the journal, other processes' handles and delete-pending objects.
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

TEST_F(SimFileSystemTest, TransientFaultFailsOnlyTheNthCall) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", ""));
    m_fs.InjectFault(SimCall::kWrite, 2, ERROR_LOCK_VIOLATION);
    auto file = OpenRw(L"C:\\f.bin");
    uint32_t done = 0;
    EXPECT_EQ(ERROR_SUCCESS, file->Write("a", 1, &done));
    EXPECT_EQ(ERROR_LOCK_VIOLATION, file->Write("b", 1, &done));
    EXPECT_EQ(0u, done);
    EXPECT_EQ(ERROR_SUCCESS, file->Write("c", 1, &done));
    EXPECT_EQ("ac", m_fs.ReadAll(L"C:\\f.bin"));
    EXPECT_EQ(3u, m_fs.CallCount(SimCall::kWrite));
}

TEST_F(SimFileSystemTest, PersistentFaultFailsEveryLaterCall) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", "abc"));
    m_fs.InjectFault(SimCall::kRead, 2, ERROR_NOT_READY, true);
    auto file = OpenRw(L"C:\\f.bin");
    char byte;
    uint32_t done;
    EXPECT_EQ(ERROR_SUCCESS, file->Read(&byte, 1, &done));
    EXPECT_EQ(ERROR_NOT_READY, file->Read(&byte, 1, &done));
    EXPECT_EQ(ERROR_NOT_READY, file->Read(&byte, 1, &done));
    m_fs.ClearFaults();
    EXPECT_EQ(ERROR_SUCCESS, file->Read(&byte, 1, &done));
    EXPECT_EQ('b', byte);  // failed reads did not move the position
}

TEST_F(SimFileSystemTest, FaultLimitedToAPathSparesOthers) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\dir\\a", "a"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\other", "o"));
    m_fs.InjectFault(SimCall::kDelete, 1, ERROR_ACCESS_DENIED, true, L"c:\\DIR");
    EXPECT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\other"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, m_fs.Delete(L"C:\\dir\\a"));
    m_fs.InjectFault(SimCall::kOpen, 1, ERROR_SHARING_VIOLATION, false, L"C:\\dir\\a");
    EXPECT_EQ("<error 32>", ReadWholeFile(m_fs, L"C:\\dir\\a:stream"));
    EXPECT_EQ("a", ReadWholeFile(m_fs, L"C:\\dir\\a"));
}

TEST_F(SimFileSystemTest, EveryKindOfCallCanBeFailed) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", std::string(100, 'x')));
    auto file = OpenRw(L"C:\\f.bin");
    const uint32_t kError = 1117;  // ERROR_IO_DEVICE
    for (int kind = 0; kind < static_cast<int>(SimCall::kCount); ++kind) {
        m_fs.InjectFault(static_cast<SimCall>(kind), 1, kError);
    }
    std::unique_ptr<IFileHandle> other;
    std::unique_ptr<IFindHandle> find;
    FindData data;
    uint32_t value = 0;
    uint64_t size = 0;
    std::wstring text;
    DiskFreeSpace space;
    std::vector<StreamInfo> streams;
    std::vector<AllocatedRange> ranges;
    RetrievalPointers pointers;
    char buffer[4];
    EXPECT_EQ(kError, m_fs.Open(L"C:\\f.bin", GENERIC_READ, 7, OPEN_EXISTING, 0, &other));
    EXPECT_EQ(kError, file->Read(buffer, 1, &value));
    EXPECT_EQ(kError, file->Write(buffer, 1, &value));
    EXPECT_EQ(kError, file->Seek(0, FILE_BEGIN, nullptr));
    EXPECT_EQ(kError, file->SetEndOfFile());
    EXPECT_EQ(kError, file->GetSize(&size));
    EXPECT_EQ(kError, file->QueryStreams(1024, &streams));
    EXPECT_EQ(kError, file->SetZeroOnDeallocation());
    EXPECT_EQ(kError, file->QueryAllocatedRanges(0, 100, 10, &ranges));
    EXPECT_EQ(kError, file->SetZeroData(0, 10));
    EXPECT_EQ(kError, file->GetRetrievalPointers(0, 1024, &pointers));
    EXPECT_EQ(kError, m_fs.Move(L"C:\\f.bin", L"C:\\g.bin"));
    EXPECT_EQ(kError, m_fs.Delete(L"C:\\f.bin"));
    EXPECT_EQ(kError, m_fs.RemoveFolder(L"C:\\x"));
    EXPECT_EQ(kError, m_fs.CreateFolder(L"C:\\x"));
    EXPECT_EQ(kError, m_fs.MakeWritable(L"C:\\f.bin"));
    EXPECT_EQ(kError, m_fs.SetAttributes(L"C:\\f.bin", 0));
    EXPECT_EQ(kError, m_fs.GetAttributes(L"C:\\f.bin", &value));
    EXPECT_EQ(kError, m_fs.GetVolumePath(L"C:\\f.bin", &text));
    EXPECT_EQ(kError, m_fs.GetVolumeNameForMountPoint(L"C:\\", &text));
    EXPECT_EQ(kError, m_fs.QueryFreeSpace(L"C:\\", &space));
    EXPECT_EQ(kError, m_fs.FindFirst(L"C:\\*", &find, &data));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.FindFirst(L"C:\\*", &find, &data));
    EXPECT_EQ(kError, find->Next(&data));
    // Nothing failed reached the volume.
    EXPECT_EQ(std::string(100, 'x'), m_fs.ReadAll(L"C:\\f.bin"));
}

TEST_F(SimFileSystemTest, JournalRecordsWhatReachedEachByte) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", std::string(2048, 'x')));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\f.bin", L"ads", "s"));
    m_fs.ClearJournal();
    auto file = OpenRw(L"C:\\f.bin");
    std::string triple;
    for (int i = 0; i < 2; ++i) {
        std::string block;
        while (block.size() < 510) {
            block += "\x92\x49\x24";
        }
        triple += block + "\x92\x49";
    }
    uint32_t done;
    ASSERT_EQ(ERROR_SUCCESS, file->Write(std::string(1024, '\x55').data(), 1024, &done));
    ASSERT_EQ(ERROR_SUCCESS, file->Write(triple.data(), 1024, &done));
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(0, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->SetEndOfFile());
    file.reset();
    WriteWholeFile(m_fs, L"C:\\f.bin:ads", "");
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Move(L"C:\\f.bin", L"C:\\$1"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\$1"));

    const std::vector<SimJournalEntry> entries = m_fs.Journal();
    ASSERT_EQ(6u, entries.size());
    EXPECT_EQ(SimCall::kWrite, entries[0].call);
    EXPECT_EQ(L"C:\\f.bin", entries[0].path);
    EXPECT_EQ(0u, entries[0].offset);
    EXPECT_EQ(1024u, entries[0].length);
    EXPECT_TRUE(entries[0].oneByte);
    EXPECT_EQ(0x55, entries[0].firstByte);
    EXPECT_EQ(1024u, entries[1].offset);
    EXPECT_FALSE(entries[1].oneByte);
    EXPECT_TRUE(entries[1].blockRepeat);
    EXPECT_EQ(0x92, entries[1].head[0]);
    EXPECT_EQ(0x24, entries[1].head[2]);
    EXPECT_EQ(SimCall::kSetEndOfFile, entries[2].call);
    EXPECT_EQ(L"ads", entries[3].stream);  // truncated by CREATE_ALWAYS
    EXPECT_EQ(SimCall::kMove, entries[4].call);
    EXPECT_EQ(L"C:\\$1", entries[4].target);
    EXPECT_EQ(SimCall::kDelete, entries[5].call);
    EXPECT_EQ(L"C:\\$1", entries[5].path);

    EXPECT_EQ(2u, m_fs.Journal(SimCall::kWrite).size());
    EXPECT_EQ(5u, m_fs.JournalFor(L"c:\\F.BIN").size());  // the move is its last
    m_fs.ClearJournal();
    EXPECT_TRUE(m_fs.Journal().empty());
}

TEST_F(SimFileSystemTest, ShortAnswersMoveOrListLessThanWasAsked) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", "0123456789"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\map.bin", std::string(2 * kCluster, 'm')));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.MakeCompressed(L"C:\\map.bin", {{1, 500}, {2, 600}}));
    SimFault fault;
    fault.answersShort = true;
    fault.call = SimCall::kRead;
    fault.shortTo = 4;
    m_fs.InjectFault(fault);
    fault.call = SimCall::kWrite;
    fault.shortTo = 0;
    m_fs.InjectFault(fault);
    fault.call = SimCall::kGetRetrievalPointers;
    fault.shortTo = 1;
    m_fs.InjectFault(fault);
    m_fs.ClearJournal();

    auto file = OpenRw(L"C:\\f.bin");
    char buffer[10];
    uint32_t done = 99;
    EXPECT_EQ(ERROR_SUCCESS, file->Read(buffer, 10, &done));
    EXPECT_EQ(4u, done);
    EXPECT_EQ(ERROR_SUCCESS, file->Read(buffer, 10, &done));  // once only
    EXPECT_EQ("456789", std::string(buffer, done));
    EXPECT_EQ(ERROR_SUCCESS, file->Write("ab", 2, &done));
    EXPECT_EQ(0u, done);
    EXPECT_EQ(ERROR_SUCCESS, file->Write("ab", 2, &done));
    EXPECT_EQ(2u, done);
    EXPECT_EQ("0123456789ab", m_fs.ReadAll(L"C:\\f.bin"));
    // The journal tells what was asked for from what moved.
    const std::vector<SimJournalEntry> entries = m_fs.Journal();
    ASSERT_EQ(4u, entries.size());
    const uint64_t expected[4][3] = {{0, 4, 10}, {4, 6, 10}, {10, 0, 2}, {10, 2, 2}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i][0], entries[i].offset) << i;
        EXPECT_EQ(expected[i][1], entries[i].length) << i;
        EXPECT_EQ(expected[i][2], entries[i].requested) << i;
    }

    // A map cut short says that more follows.
    std::unique_ptr<IFileHandle> map;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\map.bin", GENERIC_READ, 0, OPEN_EXISTING, 0, &map));
    RetrievalPointers pointers;
    EXPECT_EQ(ERROR_MORE_DATA, map->GetRetrievalPointers(0, 1024, &pointers));
    ASSERT_EQ(1u, pointers.extents.size());
    EXPECT_EQ(500, pointers.extents[0].lcn);
    EXPECT_EQ(ERROR_SUCCESS, map->GetRetrievalPointers(1, 1024, &pointers));
    EXPECT_EQ(1, pointers.startingVcn);
    ASSERT_EQ(1u, pointers.extents.size());
    EXPECT_EQ(600, pointers.extents[0].lcn);
}

TEST_F(SimFileSystemTest, WriteObserverActsAfterEachWriteOnTheWritingThread) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", "xyz"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\f.bin", L"ads", ""));
    struct Seen {
        uint32_t number;
        std::wstring path;
        std::string data;
        std::thread::id thread;
    };
    std::vector<Seen> seen;
    // Outside the lock, so it can ask the simulation what the write did.
    m_fs.SetWriteObserver([&](uint32_t number, const std::wstring& path) {
        seen.push_back({number, path, m_fs.ReadAll(L"C:\\f.bin"), std::this_thread::get_id()});
    });
    std::thread::id writerThread;
    std::thread writer([&] {
        writerThread = std::this_thread::get_id();
        auto file = OpenRw(L"C:\\f.bin");
        uint32_t done;
        EXPECT_EQ(ERROR_SUCCESS, file->Write("ab", 2, &done));
        m_fs.InjectFault(SimCall::kWrite, 1, ERROR_DISK_FULL);
        EXPECT_EQ(ERROR_DISK_FULL, file->Write("cd", 2, &done));  // not seen: nothing written
        EXPECT_EQ(ERROR_SUCCESS, file->SetZeroData(0, 1));
        auto stream = OpenRw(L"C:\\f.bin:ads");
        EXPECT_EQ(ERROR_SUCCESS, stream->Write("s", 1, &done));
        std::unique_ptr<IFileHandle> device;
        ASSERT_EQ(ERROR_SUCCESS,
                  m_fs.Open(L"\\\\.\\C:", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, &device));
        ASSERT_EQ(ERROR_SUCCESS, device->Seek(100 * kCluster, FILE_BEGIN, nullptr));
        EXPECT_EQ(ERROR_SUCCESS, device->Write(std::string(512, 'v').data(), 512, &done));
    });
    writer.join();
    ASSERT_EQ(4u, seen.size());
    const std::wstring paths[4] = {L"C:\\f.bin", L"C:\\f.bin", L"C:\\f.bin:ads", L"\\\\.\\C:"};
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(i + 1, seen[i].number);
        EXPECT_EQ(paths[i], seen[i].path);
        EXPECT_EQ(writerThread, seen[i].thread);
    }
    EXPECT_EQ("abz", seen[0].data);
    EXPECT_EQ(std::string("\0bz", 3), seen[1].data);

    // What the observer changes is not the code under test's doing: neither journaled
    // nor observed. A new observer counts from 1; an empty one sees nothing.
    m_fs.ClearJournal();
    seen.clear();
    m_fs.SetWriteObserver([&](uint32_t number, const std::wstring& path) {
        seen.push_back({number, path, "", std::this_thread::get_id()});
        if (number == 1) {
            ASSERT_EQ(ERROR_SUCCESS, m_fs.ReplaceData(L"C:\\f.bin", "replaced"));
        }
    });
    auto file = OpenRw(L"C:\\f.bin");
    uint32_t done;
    EXPECT_EQ(ERROR_SUCCESS, file->Write("12", 2, &done));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(1u, seen[0].number);
    EXPECT_EQ(1u, m_fs.Journal().size());
    EXPECT_EQ("replaced", m_fs.ReadAll(L"C:\\f.bin"));
    EXPECT_EQ(ERROR_SUCCESS, file->Write("34", 2, &done));  // its position is its own
    EXPECT_EQ("re34aced", m_fs.ReadAll(L"C:\\f.bin"));
    m_fs.SetWriteObserver(nullptr);
    EXPECT_EQ(ERROR_SUCCESS, file->Write("5", 1, &done));
    EXPECT_EQ(2u, seen.size());
}

TEST_F(SimFileSystemTest, ObjectHeldByAnotherProcessResistsConflictingUse) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\busy.doc", "doc"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.HoldOpen(L"C:\\busy.doc", FILE_SHARE_READ));
    std::unique_ptr<IFileHandle> file;
    EXPECT_EQ(ERROR_SHARING_VIOLATION,
              m_fs.Open(L"C:\\busy.doc", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, 0, &file));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, m_fs.Open(L"C:\\busy.doc", GENERIC_READ, FILE_SHARE_READ,
                                                 OPEN_EXISTING, 0, &file));  // holder writes
    EXPECT_EQ(ERROR_SHARING_VIOLATION, m_fs.Delete(L"C:\\busy.doc"));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, m_fs.Move(L"C:\\busy.doc", L"C:\\$1"));
    m_fs.ReleaseHolds(L"C:\\busy.doc");
    EXPECT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\busy.doc"));
}

TEST_F(SimFileSystemTest, ProtectedObjectsRefuseDeleteOrRename) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\sys\\pagefile.sys", "p"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.SetCannotDelete(L"C:\\sys\\pagefile.sys"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.SetCannotRename(L"C:\\sys"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, m_fs.Delete(L"C:\\sys\\pagefile.sys"));
    EXPECT_EQ(ERROR_SUCCESS, m_fs.Move(L"C:\\sys\\pagefile.sys", L"C:\\sys\\$1"));
    EXPECT_EQ(ERROR_ACCESS_DENIED, m_fs.Move(L"C:\\sys", L"C:\\other"));
}

TEST_F(SimFileSystemTest, DeleteWhileSharedOpenWaitsForTheLastHandle) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", std::string(kCluster, 'x')));
    const uint64_t freeBefore = FreeBytes();
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\f.bin", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                        OPEN_EXISTING, 0, &file));
    EXPECT_EQ(1u, m_fs.OpenHandleCount());
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\f.bin"));
    std::unique_ptr<IFileHandle> again;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              m_fs.Open(L"C:\\f.bin", GENERIC_READ, 7, OPEN_EXISTING, 0, &again));
    EXPECT_TRUE(m_fs.Exists(L"C:\\f.bin"));
    EXPECT_EQ(freeBefore, FreeBytes());
    file.reset();
    EXPECT_FALSE(m_fs.Exists(L"C:\\f.bin"));
    EXPECT_EQ(freeBefore + kCluster, FreeBytes());
    EXPECT_EQ(0u, m_fs.OpenHandleCount());
}

TEST_F(SimFileSystemTest, InspectionFromAnotherThreadWhileWriting) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", ""));
    std::thread writer([this] {
        auto file = OpenRw(L"C:\\f.bin");
        uint32_t done;
        for (int i = 0; i < 200; ++i) {
            file->Write("0123456789", 10, &done);
        }
    });
    for (int i = 0; i < 200; ++i) {
        const std::string data = m_fs.ReadAll(L"C:\\f.bin");
        ASSERT_EQ(0u, data.size() % 10);
        m_fs.Journal(SimCall::kWrite);
    }
    writer.join();
    EXPECT_EQ(2000u, m_fs.ReadAll(L"C:\\f.bin").size());
}

}  // namespace
}  // namespace qmz
