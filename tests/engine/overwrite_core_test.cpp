#include "engine/overwrite_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/compressed_streams.h"
#include "engine/erase_operations.h"
#include "engine/page_buffer.h"
#include "tests/support/sim_platform.h"

namespace qmz {
namespace {

constexpr uint32_t kMiB = 1048576;
constexpr wchar_t kVolume[] = L"\\\\?\\Volume{0000000c-0000-0000-0000-000000000001}\\";
constexpr uint32_t kVolumeCluster = 4096;
constexpr uint64_t kVolumeClusters = 4096;

// RunPasses over files of the simulated volume; the operation is not run by a worker,
// so control requests are set on it directly.
class RunPassesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Sim().AddVolume(L'C', kVolume, 512, kVolumeCluster / 512, kVolumeClusters),
                  ERROR_SUCCESS);
    }

    void Prepare(const std::vector<uint32_t>& codes,
                 std::vector<uint32_t> randomValues = {0x1234}) {
        for (size_t i = 0; i < codes.size(); ++i) {
            m_method.PassCodes[i] = codes[i];
        }
        m_method.PassCodes[codes.size()] = PassListEnd;
        m_random = std::make_unique<CScriptedRandom>(std::move(randomValues));
        m_platform.UseRandom(m_random.get());
        m_operation.m_platform = m_platform.Services();
        m_operation.m_method = &m_method;
    }

    CSimFileSystem& Sim() { return m_platform.FileSystem(); }
    static std::wstring PathOf(const std::wstring& name) { return L"C:\\" + name; }

    // A new file of `size` bytes of `fill`, opened the way the engine opens a stream.
    std::unique_ptr<IFileHandle> File(const std::wstring& name, uint64_t size,
                                      uint8_t fill = 0x33) {
        std::unique_ptr<IFileHandle> handle;
        EXPECT_EQ(Sim().AddFile(PathOf(name), std::string(size, static_cast<char>(fill))),
                  ERROR_SUCCESS);
        EXPECT_EQ(Sim().Open(PathOf(name), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                             FILE_FLAG_WRITE_THROUGH, &handle),
                  ERROR_SUCCESS);
        return handle;
    }

    int Run(IFileHandle* handle, uint32_t unit, uint64_t length) {
        EXPECT_EQ(handle->Seek(0, FILE_BEGIN, nullptr), ERROR_SUCCESS);
        return RunPasses(&m_operation, handle, unit, length);
    }

    // The journal of one kind of call on the file, in order.
    std::vector<SimJournalEntry> Calls(const std::wstring& name, SimCall call) {
        std::vector<SimJournalEntry> kept;
        for (const SimJournalEntry& entry : Sim().JournalFor(PathOf(name))) {
            if (entry.call == call) {
                kept.push_back(entry);
            }
        }
        return kept;
    }

    std::vector<uint8_t> Bytes(const std::wstring& name) {
        const std::string data = Sim().ReadAll(PathOf(name));
        return std::vector<uint8_t>(data.begin(), data.end());
    }

    // Runs `action` after each write to the file, between two calls of the passes.
    void AfterEachWriteTo(const std::wstring& name, std::function<void(uint32_t number)> action) {
        Sim().SetWriteObserver([name, action](uint32_t number, const std::wstring& path) {
            if (path == PathOf(name)) {
                action(number);
            }
        });
    }

    // What the disk or another program does to the file behind the handle's back.
    void SetByte(const std::wstring& name, size_t at, uint8_t value) {
        std::string data = Sim().ReadAll(PathOf(name));
        data[at] = static_cast<char>(value);
        ASSERT_EQ(Sim().ReplaceData(PathOf(name), data), ERROR_SUCCESS);
    }
    void Shorten(const std::wstring& name, size_t size) {
        ASSERT_EQ(Sim().ReplaceData(PathOf(name), Sim().ReadAll(PathOf(name)).substr(0, size)),
                  ERROR_SUCCESS);
    }

    CSimPlatform m_platform;
    std::unique_ptr<CScriptedRandom> m_random;
    MethodEntry m_method;
    CEraseFile m_operation;
};

TEST_F(RunPassesTest, TriplePatternsRestartAtEvery512ByteBlock) {
    const uint8_t patterns[6][3] = {{0x92, 0x49, 0x24}, {0x49, 0x24, 0x92}, {0x24, 0x92, 0x49},
                                    {0x6D, 0xB6, 0xDB}, {0xB6, 0xDB, 0x6D}, {0xDB, 0x6D, 0xB6}};
    for (uint32_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        Prepare({PassTriple1 + (i << 8)});
        const std::wstring name = L"triple" + std::to_wstring(i);
        std::unique_ptr<IFileHandle> handle = File(name, 1024);
        ASSERT_EQ(Run(handle.get(), 512, 1024), 1);
        const std::vector<uint8_t> d = Bytes(name);
        ASSERT_EQ(d.size(), 1024u);
        EXPECT_EQ(d[0], patterns[i][0]);
        EXPECT_EQ(d[1], patterns[i][1]);
        EXPECT_EQ(d[2], patterns[i][2]);
        EXPECT_EQ(d[509], patterns[i][2]);
        EXPECT_EQ(d[510], patterns[i][0]);
        EXPECT_EQ(d[511], patterns[i][1]);
        EXPECT_EQ(d[512], patterns[i][0]);  // not the continuation of the triple
        EXPECT_TRUE(std::equal(d.begin(), d.begin() + 512, d.begin() + 512));
    }
}

TEST_F(RunPassesTest, RandomPassesNeverUseZeroFFOrThePreviousByte) {
    // 0x100 and 0x2FF give 0x00 and 0xFF; the repeated 0x37 is the byte just written.
    Prepare({PassRandom, PassRandom, 0x58, PassRandom},
            {0x100, 0x2FF, 0x137, 0x37, 0x0, 0x7F58, 0x58, 0x1C});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 100);
    ASSERT_EQ(Run(handle.get(), 512, 100), 1);
    const std::vector<SimJournalEntry> writes = Calls(L"handle", SimCall::kWrite);
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].firstByte, 0x37);
    EXPECT_EQ(writes[1].firstByte, 0x58);  // 0x7F58 & 0xFF
    EXPECT_EQ(writes[2].firstByte, 0x58);  // a fixed byte may repeat
    EXPECT_EQ(writes[3].firstByte, 0x1C);  // 0x58 refused after the 0x58 pass
}

TEST_F(RunPassesTest, EachCallStartsWithoutAPreviousByte) {
    Prepare({PassRandom}, {0x44, 0x44, 0x55});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 10);
    ASSERT_EQ(Run(handle.get(), 512, 10), 1);
    ASSERT_EQ(Run(handle.get(), 512, 10), 1);
    const std::vector<SimJournalEntry> writes = Calls(L"handle", SimCall::kWrite);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].firstByte, 0x44);

    // Verification before any write expects all bits set.
    Prepare({PassVerify});
    std::unique_ptr<IFileHandle> ones = File(L"ones", 10, 0xFF);
    EXPECT_EQ(Run(ones.get(), 512, 10), 1);
    std::unique_ptr<IFileHandle> other = File(L"other", 10, 0x33);
    EXPECT_EQ(Run(other.get(), 512, 10), 0);
}

TEST_F(RunPassesTest, EveryWrittenPassIsFlushedBeforeTheNextAndVerificationIsNot) {
    Prepare({0x11, PassVerify, 0x22, PassVerifyOnePercent});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 3 * kMiB);
    ASSERT_EQ(Run(handle.get(), 4096, 3 * kMiB), 1);
    std::vector<SimCall> kinds;
    for (const SimJournalEntry& entry : Sim().JournalFor(PathOf(L"handle"))) {
        if (entry.call != SimCall::kRead) {
            kinds.push_back(entry.call);
        }
    }
    // Three 1 MiB chunks per written pass, one flush after the last of them.
    const auto W = SimCall::kWrite;
    const auto F = SimCall::kFlush;
    EXPECT_EQ(kinds, (std::vector<SimCall>{W, W, W, F, W, W, W, F}));

    std::unique_ptr<IFileHandle> failing = File(L"failing", 100);
    Sim().InjectFault(SimCall::kFlush, 1, ERROR_NOT_READY, true, PathOf(L"failing"));
    const int liveBefore = CPageBuffer::LiveCount();
    EXPECT_EQ(Run(failing.get(), 512, 100), 0);
    EXPECT_EQ(Calls(L"failing", SimCall::kWrite).size(), 1u);  // no second pass
    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
}

TEST_F(RunPassesTest, DriveCommandCodesWriteZeros) {
    Prepare({PassDriveSecureErase, PassDriveSecureEraseEnhanced, PassDriveFormatUnit,
             PassDriveSanitize});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 700, 0x5A);
    ASSERT_EQ(Run(handle.get(), 512, 700), 1);
    EXPECT_EQ(Calls(L"handle", SimCall::kWrite).size(), 4u);
    const std::vector<uint8_t> data = Bytes(L"handle");
    ASSERT_EQ(data.size(), 700u);
    EXPECT_EQ(std::count(data.begin(), data.end(), 0), 700);
}

TEST_F(RunPassesTest, PassesGoInMegabyteChunksAndStartAgainAtTheRegion) {
    Prepare({0x11, 0x22});
    const uint64_t length = 2 * kMiB + 100;
    std::unique_ptr<IFileHandle> handle = File(L"handle", length + 50, 0x77);
    ASSERT_EQ(handle->Seek(50, FILE_BEGIN, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(RunPasses(&m_operation, handle.get(), 4096, length), 1);
    const std::vector<SimJournalEntry> writes = Calls(L"handle", SimCall::kWrite);
    ASSERT_EQ(writes.size(), 6u);
    const uint32_t sizes[3] = {kMiB, kMiB, 100};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(writes[i].requested, sizes[i % 3]) << i;
    }
    EXPECT_EQ(writes[3].offset, 50u);
    const std::vector<uint8_t> data = Bytes(L"handle");
    ASSERT_EQ(data.size(), length + 50);
    EXPECT_EQ(data[49], 0x77);  // the region only
    EXPECT_EQ(std::count(data.begin() + 50, data.end(), 0x22), static_cast<long>(length));
}

TEST_F(RunPassesTest, RepeatCountAppliesTheListAgainOverTheSameRegion) {
    Prepare({0x11});
    m_operation.m_repeatCount = 2;
    std::unique_ptr<IFileHandle> handle = File(L"handle", 300);
    ASSERT_EQ(Run(handle.get(), 512, 300), 1);
    const std::vector<SimJournalEntry> writes = Calls(L"handle", SimCall::kWrite);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].offset, 0u);
}

TEST_F(RunPassesTest, AnEmptyRegionIsNotTouched) {
    Prepare({0x11, PassVerify});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 0);
    EXPECT_EQ(Run(handle.get(), 512, 0), 1);
    EXPECT_TRUE(Calls(L"handle", SimCall::kWrite).empty());
    EXPECT_TRUE(Calls(L"handle", SimCall::kRead).empty());
}

// Verification reads unit-sized requests and judges only the bytes that came back.
TEST_F(RunPassesTest, FullVerificationReadsWholeUnits) {
    Prepare({0x5A, PassVerify});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 10000);
    ASSERT_EQ(Run(handle.get(), 4096, 10000), 1);
    const std::vector<SimJournalEntry> reads = Calls(L"handle", SimCall::kRead);
    ASSERT_EQ(reads.size(), 3u);
    for (const SimJournalEntry& read : reads) {
        EXPECT_EQ(read.requested, 4096u);
    }
    EXPECT_EQ(reads[2].length, 10000u - 8192u);
}

TEST_F(RunPassesTest, VerificationFailuresEndThePassesAndFreeTheBuffers) {
    const int liveBefore = CPageBuffer::LiveCount();
    Prepare({0x5A, PassVerify, 0x00});

    std::unique_ptr<IFileHandle> corrupted = File(L"corrupted", 10000);
    AfterEachWriteTo(L"corrupted", [&](uint32_t) { SetByte(L"corrupted", 9999, 0x5B); });
    EXPECT_EQ(Run(corrupted.get(), 4096, 10000), 0);
    EXPECT_EQ(Calls(L"corrupted", SimCall::kWrite).size(), 1u);  // no pass after the failure

    std::unique_ptr<IFileHandle> shortened = File(L"shortened", 10000);
    AfterEachWriteTo(L"shortened", [&](uint32_t) { Shorten(L"shortened", 4096); });
    EXPECT_EQ(Run(shortened.get(), 4096, 10000), 0);  // a read that returns nothing
    Sim().SetWriteObserver(nullptr);

    std::unique_ptr<IFileHandle> unreadable = File(L"unreadable", 10000);
    Sim().InjectFault(SimCall::kRead, 2, ERROR_NOT_READY, true, PathOf(L"unreadable"));
    EXPECT_EQ(Run(unreadable.get(), 4096, 10000), 0);
    EXPECT_EQ(Calls(L"unreadable", SimCall::kRead).size(), 1u);

    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
    EXPECT_EQ(m_operation.m_abortLatched, 0);  // a failure is not a stop
}

TEST_F(RunPassesTest, OnePercentVerificationSamplesEvery51200Bytes) {
    Prepare({0x6B, PassVerifyOnePercent});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 1000000);
    ASSERT_EQ(Run(handle.get(), 4096, 1000000), 1);
    const std::vector<SimJournalEntry> reads = Calls(L"handle", SimCall::kRead);
    ASSERT_EQ(reads.size(), 19u);
    for (size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].offset, i * (4096 + 51200)) << i;
        EXPECT_EQ(reads[i].requested, 4096u);
    }

    // A difference between samples goes unseen; one inside a sample does not.
    std::unique_ptr<IFileHandle> between = File(L"between", 1000000);
    AfterEachWriteTo(L"between", [&](uint32_t) { SetByte(L"between", 5000, 0); });
    EXPECT_EQ(Run(between.get(), 4096, 1000000), 1);
    std::unique_ptr<IFileHandle> inside = File(L"inside", 1000000);
    AfterEachWriteTo(L"inside", [&](uint32_t) { SetByte(L"inside", 55296 + 7, 0); });
    EXPECT_EQ(Run(inside.get(), 4096, 1000000), 0);
    Sim().SetWriteObserver(nullptr);

    // Regions of at most one stride get one sample, from their start; longer ones one
    // per whole stride, even where another would still start inside the region.
    const std::pair<uint64_t, size_t> samplesOf[] = {
        {100, 1}, {51199, 1}, {51200, 1}, {102399, 1}, {200000, 3}};
    for (const auto& [size, samples] : samplesOf) {
        SCOPED_TRACE(size);
        const std::wstring name = L"region" + std::to_wstring(size);
        std::unique_ptr<IFileHandle> region = File(name, size);
        ASSERT_EQ(Run(region.get(), 4096, size), 1);
        const std::vector<SimJournalEntry> sampled = Calls(name, SimCall::kRead);
        ASSERT_EQ(sampled.size(), samples);
        EXPECT_EQ(sampled[0].offset, 0u);
        EXPECT_EQ(sampled[0].length, std::min<uint64_t>(size, 4096));
    }
    // The one sample of a short region is judged.
    std::unique_ptr<IFileHandle> corrupt = File(L"corrupt", 100);
    AfterEachWriteTo(L"corrupt", [&](uint32_t) { SetByte(L"corrupt", 99, 0); });
    EXPECT_EQ(Run(corrupt.get(), 4096, 100), 0);
    Sim().SetWriteObserver(nullptr);
}

TEST_F(RunPassesTest, OnePercentVerificationNeverJudgesBytesPastTheRegion) {
    // 64 KiB clusters: the seventh sample would start past a 600,000-byte region that
    // is followed by other data (the next chunk of a fill file, the rest of a volume).
    Prepare({0x6B, PassVerifyOnePercent});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 2000000);
    ASSERT_EQ(Run(handle.get(), 65536, 600000), 1);
    const std::vector<SimJournalEntry> reads = Calls(L"handle", SimCall::kRead);
    ASSERT_EQ(reads.size(), 6u);  // 11 by count, but only 6 start inside the region
    EXPECT_EQ(reads.back().offset, 5u * (65536 + 51200));
    EXPECT_EQ(Bytes(L"handle")[600000], 0x33);  // untouched, and not compared

    // A sample that cannot read anything inside the region is a failure.
    std::unique_ptr<IFileHandle> shortFile = File(L"shortFile", 200000);
    AfterEachWriteTo(L"shortFile", [&](uint32_t) { Shorten(L"shortFile", 1000); });
    EXPECT_EQ(Run(shortFile.get(), 4096, 200000), 0);
}

TEST_F(RunPassesTest, AWriteThatMovesNothingFailsInsteadOfSpinning) {
    Prepare({0x11});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 100);
    SimFault fault;
    fault.call = SimCall::kWrite;
    fault.persistent = true;
    fault.path = PathOf(L"handle");
    fault.answersShort = true;  // of nothing at all
    Sim().InjectFault(fault);
    EXPECT_EQ(Run(handle.get(), 512, 100), 0);
    const std::vector<SimJournalEntry> writes = Calls(L"handle", SimCall::kWrite);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].length, 0u);
    EXPECT_EQ(Sim().CallCount(SimCall::kWrite), 1u);
}

TEST_F(RunPassesTest, FinishCycleCompletesThePassUnderWayThenStops) {
    Prepare({0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xAA});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 3 * kMiB);
    AfterEachWriteTo(L"handle", [&](uint32_t number) {
        if (number == 4) {  // pass 2, first chunk
            m_operation.m_request = RequestFinishCycle;
        }
    });
    EXPECT_EQ(Run(handle.get(), 4096, 3 * kMiB), 0);
    const std::vector<SimJournalEntry> writes = Calls(L"handle", SimCall::kWrite);
    ASSERT_EQ(writes.size(), 6u);  // pass 2 written to its end, nothing of pass 3
    EXPECT_EQ(writes[5].firstByte, 0xFF);
    EXPECT_EQ(m_operation.m_finishCycleLatched, 1);
    EXPECT_EQ(m_operation.m_finishFileLatched, 1);
    EXPECT_EQ(m_operation.m_abortLatched, 1);
}

TEST_F(RunPassesTest, AbortStopsBeforeTheNextChunkAndFreesTheBuffers) {
    const int liveBefore = CPageBuffer::LiveCount();
    Prepare({0x11, 0x22});
    std::unique_ptr<IFileHandle> handle = File(L"handle", 3 * kMiB);
    int liveDuringWrite = -1;
    AfterEachWriteTo(L"handle", [&](uint32_t) {
        liveDuringWrite = CPageBuffer::LiveCount();
        m_operation.m_request = RequestAbort;
    });
    EXPECT_EQ(Run(handle.get(), 4096, 3 * kMiB), 0);
    EXPECT_EQ(Calls(L"handle", SimCall::kWrite).size(), 1u);
    EXPECT_EQ(liveDuringWrite, liveBefore + 2);  // pattern and compare buffers
    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
    EXPECT_EQ(m_operation.m_abortLatched, 1);
    EXPECT_EQ(m_operation.m_finishCycleLatched, 0);

    // Met between passes, it stops before a sampled verification, which has no check
    // point of its own and would otherwise let the region pass as done.
    Prepare({0x11, PassVerifyOnePercent});
    m_operation.m_request = RequestNone;
    m_operation.m_abortLatched = 0;
    std::unique_ptr<IFileHandle> small = File(L"small", 100);
    AfterEachWriteTo(L"small", [&](uint32_t) { m_operation.m_request = RequestAbort; });
    EXPECT_EQ(Run(small.get(), 4096, 100), 0);
    EXPECT_TRUE(Calls(L"small", SimCall::kRead).empty());
    EXPECT_EQ(m_operation.m_abortLatched, 1);
}

TEST_F(RunPassesTest, FinishFileIsOnlyLatched) {
    Prepare({0x11, 0x22});
    m_operation.m_request = RequestFinishFile;
    std::unique_ptr<IFileHandle> handle = File(L"handle", 100);
    EXPECT_EQ(Run(handle.get(), 512, 100), 1);
    EXPECT_EQ(Calls(L"handle", SimCall::kWrite).size(), 2u);
    EXPECT_EQ(m_operation.m_finishFileLatched, 1);
    EXPECT_EQ(m_operation.m_abortLatched, 0);
}

TEST(PageBuffer, IsZeroFilledAndPageAligned) {
    CPageBuffer buffer(5000);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.Data()) % 4096, 0u);
    EXPECT_EQ(std::count(buffer.Data(), buffer.Data() + 5000, 0), 5000);
    CPageBuffer empty(0);
    EXPECT_FALSE(empty);
}

// OverwriteExtents from a file's cluster map onto the raw volume.
class OverwriteExtentsTest : public RunPassesTest {
protected:
    // The file for reading its map, and the volume for writing, as the engine opens them.
    void OpenMapped() {
        ASSERT_EQ(Sim().Open(PathOf(L"mapped"), GENERIC_READ, 0, OPEN_EXISTING, 0, &m_file),
                  ERROR_SUCCESS);
        ASSERT_EQ(Sim().Open(L"\\\\.\\C:", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                             FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH, &m_volume),
                  ERROR_SUCCESS);
    }

    // OverwriteExtents on them; `requests` gets how often it asked for the map.
    int Overwrite(ExtentsOutcome* outcome, uint32_t* requests) {
        const uint32_t before = Sim().CallCount(SimCall::kGetRetrievalPointers);
        const int result =
            OverwriteExtents(&m_operation, m_volume.get(), kVolumeCluster, m_file.get(), outcome);
        *requests = Sim().CallCount(SimCall::kGetRetrievalPointers) - before;
        return result;
    }

    std::unique_ptr<IFileHandle> m_file;
    std::unique_ptr<IFileHandle> m_volume;
};

TEST_F(OverwriteExtentsTest, BatchesOfTheMapAreOverwrittenExactlyAtTheirOwnClusters) {
    Prepare({0xAB});
    // VCN 0-1 at LCN 10, a hole at VCN 2, VCN 3-4 at LCN 20, VCN 5 at LCN 30, VCN 6-7 at
    // LCN 40. The first answer stops after three extents ("more data"), so the second
    // batch starts at VCN 5.
    ASSERT_EQ(Sim().AddFile(PathOf(L"mapped"), std::string(8 * kVolumeCluster, 'm')),
              ERROR_SUCCESS);
    ASSERT_EQ(
        Sim().MakeCompressed(PathOf(L"mapped"), {{2, 10}, {3, -1}, {5, 20}, {6, 30}, {8, 40}}),
        ERROR_SUCCESS);
    OpenMapped();
    SimFault shortAnswer;
    shortAnswer.call = SimCall::kGetRetrievalPointers;
    shortAnswer.answersShort = true;
    shortAnswer.shortTo = 3;
    Sim().InjectFault(shortAnswer);
    const std::string before = Sim().ReadClusters(L"C:\\", 0, 64);

    ExtentsOutcome outcome;
    uint32_t requests = 0;
    ASSERT_EQ(Overwrite(&outcome, &requests), kSpecialDone);
    // The second request starts where the first batch ended: from earlier, runs would be
    // written twice, from later some not at all (the writes below tell).
    EXPECT_EQ(requests, 2u);
    EXPECT_TRUE(outcome.someAllocated);
    EXPECT_TRUE(outcome.wholeMapRead);
    const std::vector<SimJournalEntry> writes = Sim().Journal(SimCall::kWrite);
    ASSERT_EQ(writes.size(), 4u);  // one per allocated run, in map order
    const uint64_t runs[4][2] = {{10, 2}, {20, 2}, {30, 1}, {40, 2}};  // LCN, clusters
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(writes[i].device) << i;
        EXPECT_EQ(writes[i].offset, runs[i][0] * kVolumeCluster) << i;
        EXPECT_EQ(writes[i].length, runs[i][1] * kVolumeCluster) << i;
    }
    const std::string after = Sim().ReadClusters(L"C:\\", 0, 64);
    std::vector<bool> expected(64, false);
    for (int lcn : {10, 11, 20, 21, 30, 40, 41}) {
        expected[lcn] = true;
    }
    for (uint32_t lcn = 0; lcn < 64; ++lcn) {
        const std::string want = expected[lcn]
                                     ? std::string(kVolumeCluster, '\xAB')
                                     : before.substr(lcn * kVolumeCluster, kVolumeCluster);
        EXPECT_TRUE(after.substr(lcn * kVolumeCluster, kVolumeCluster) == want)
            << "cluster " << lcn;
    }
}

TEST_F(OverwriteExtentsTest, AMapThatNeverAdvancesIsNotFollowedForever) {
    Prepare({0xAB});
    ASSERT_EQ(Sim().AddFile(PathOf(L"mapped"), std::string(4096, 'm')), ERROR_SUCCESS);
    OpenMapped();
    // "More data" with nothing in it, every time it is asked.
    Sim().InjectFault(SimCall::kGetRetrievalPointers, 1, ERROR_MORE_DATA, true);
    ExtentsOutcome outcome;
    uint32_t requests = 0;
    EXPECT_EQ(Overwrite(&outcome, &requests), kSpecialNotApplicable);
    EXPECT_EQ(requests, 1u);
    EXPECT_TRUE(Sim().Journal(SimCall::kWrite).empty());
}

}  // namespace
}  // namespace qmz
