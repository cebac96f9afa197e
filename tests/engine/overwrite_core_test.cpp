#include "engine/overwrite_core.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/compressed_streams.h"
#include "engine/erase_operations.h"
#include "engine/page_buffer.h"
#include "tests/engine/memory_handle.h"
#include "tests/support/sim_platform.h"

namespace qmz {
namespace {

constexpr uint32_t kMiB = 1048576;

// RunPasses on an in-memory region; the operation is not run by a worker, so control
// requests are set on it directly.
class RunPassesTest : public ::testing::Test {
protected:
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

    int Run(CMemoryHandle* handle, uint32_t unit, uint64_t length) {
        handle->m_position = 0;
        return RunPasses(&m_operation, handle, unit, length);
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
        CMemoryHandle handle(1024);
        ASSERT_EQ(Run(&handle, 512, 1024), 1);
        const std::vector<uint8_t>& d = handle.m_data;
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
    CMemoryHandle handle(100);
    ASSERT_EQ(Run(&handle, 512, 100), 1);
    const std::vector<HandleCall> writes = handle.Calls(HandleCall::kWrite);
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].firstByte, 0x37);
    EXPECT_EQ(writes[1].firstByte, 0x58);  // 0x7F58 & 0xFF
    EXPECT_EQ(writes[2].firstByte, 0x58);  // a fixed byte may repeat
    EXPECT_EQ(writes[3].firstByte, 0x1C);  // 0x58 refused after the 0x58 pass
}

TEST_F(RunPassesTest, EachCallStartsWithoutAPreviousByte) {
    Prepare({PassRandom}, {0x44, 0x44, 0x55});
    CMemoryHandle handle(10);
    ASSERT_EQ(Run(&handle, 512, 10), 1);
    ASSERT_EQ(Run(&handle, 512, 10), 1);
    const std::vector<HandleCall> writes = handle.Calls(HandleCall::kWrite);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].firstByte, 0x44);

    // Verification before any write expects all bits set.
    Prepare({PassVerify});
    CMemoryHandle ones(10, 0xFF);
    EXPECT_EQ(Run(&ones, 512, 10), 1);
    CMemoryHandle other(10, 0x33);
    EXPECT_EQ(Run(&other, 512, 10), 0);
}

TEST_F(RunPassesTest, EveryWrittenPassIsFlushedBeforeTheNextAndVerificationIsNot) {
    Prepare({0x11, PassVerify, 0x22, PassVerifyOnePercent});
    CMemoryHandle handle(3 * kMiB);
    ASSERT_EQ(Run(&handle, 4096, 3 * kMiB), 1);
    std::vector<HandleCall::Kind> kinds;
    for (const HandleCall& call : handle.m_calls) {
        if (call.kind != HandleCall::kSeek && call.kind != HandleCall::kRead) {
            kinds.push_back(call.kind);
        }
    }
    // Three 1 MiB chunks per written pass, one flush after the last of them.
    const auto W = HandleCall::kWrite;
    const auto F = HandleCall::kFlush;
    EXPECT_EQ(kinds, (std::vector<HandleCall::Kind>{W, W, W, F, W, W, W, F}));

    CMemoryHandle failing(100);
    failing.m_flushError = ERROR_NOT_READY;
    const int liveBefore = CPageBuffer::LiveCount();
    EXPECT_EQ(Run(&failing, 512, 100), 0);
    EXPECT_EQ(failing.Calls(HandleCall::kWrite).size(), 1u);  // no second pass
    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
}

TEST_F(RunPassesTest, DriveCommandCodesWriteZeros) {
    Prepare({PassDriveSecureErase, PassDriveSecureEraseEnhanced, PassDriveFormatUnit,
             PassDriveSanitize});
    CMemoryHandle handle(700, 0x5A);
    ASSERT_EQ(Run(&handle, 512, 700), 1);
    EXPECT_EQ(handle.Calls(HandleCall::kWrite).size(), 4u);
    EXPECT_EQ(std::count(handle.m_data.begin(), handle.m_data.end(), 0), 700);
}

TEST_F(RunPassesTest, PassesGoInMegabyteChunksAndStartAgainAtTheRegion) {
    Prepare({0x11, 0x22});
    const uint64_t length = 2 * kMiB + 100;
    CMemoryHandle handle(length + 50, 0x77);
    handle.m_position = 50;
    ASSERT_EQ(RunPasses(&m_operation, &handle, 4096, length), 1);
    const std::vector<HandleCall> writes = handle.Calls(HandleCall::kWrite);
    ASSERT_EQ(writes.size(), 6u);
    const uint32_t sizes[3] = {kMiB, kMiB, 100};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(writes[i].requested, sizes[i % 3]) << i;
    }
    EXPECT_EQ(writes[3].offset, 50u);
    EXPECT_EQ(handle.m_data[49], 0x77);  // the region only
    EXPECT_EQ(std::count(handle.m_data.begin() + 50, handle.m_data.end(), 0x22),
              static_cast<long>(length));
}

TEST_F(RunPassesTest, RepeatCountAppliesTheListAgainOverTheSameRegion) {
    Prepare({0x11});
    m_operation.m_repeatCount = 2;
    CMemoryHandle handle(300);
    ASSERT_EQ(Run(&handle, 512, 300), 1);
    const std::vector<HandleCall> writes = handle.Calls(HandleCall::kWrite);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1].offset, 0u);
}

TEST_F(RunPassesTest, AnEmptyRegionIsNotTouched) {
    Prepare({0x11, PassVerify});
    CMemoryHandle handle(0);
    EXPECT_EQ(Run(&handle, 512, 0), 1);
    EXPECT_TRUE(handle.Calls(HandleCall::kWrite).empty());
    EXPECT_TRUE(handle.Calls(HandleCall::kRead).empty());
}

// Verification reads unit-sized requests and judges only the bytes that came back.
TEST_F(RunPassesTest, FullVerificationReadsWholeUnits) {
    Prepare({0x5A, PassVerify});
    CMemoryHandle handle(10000);
    ASSERT_EQ(Run(&handle, 4096, 10000), 1);
    const std::vector<HandleCall> reads = handle.Calls(HandleCall::kRead);
    ASSERT_EQ(reads.size(), 3u);
    for (const HandleCall& read : reads) {
        EXPECT_EQ(read.requested, 4096u);
    }
    EXPECT_EQ(reads[2].moved, 10000u - 8192u);
}

TEST_F(RunPassesTest, VerificationFailuresEndThePassesAndFreeTheBuffers) {
    const int liveBefore = CPageBuffer::LiveCount();
    Prepare({0x5A, PassVerify, 0x00});

    CMemoryHandle corrupted(10000);
    corrupted.m_afterWrite = [&] { corrupted.m_data[9999] = 0x5B; };
    EXPECT_EQ(Run(&corrupted, 4096, 10000), 0);
    EXPECT_EQ(corrupted.Calls(HandleCall::kWrite).size(), 1u);  // no pass after the failure

    CMemoryHandle shortened(10000);
    shortened.m_afterWrite = [&] { shortened.m_data.resize(4096); };
    EXPECT_EQ(Run(&shortened, 4096, 10000), 0);  // a read that returns nothing

    CMemoryHandle unreadable(10000);
    unreadable.m_readsLeftBeforeFailure = 1;
    EXPECT_EQ(Run(&unreadable, 4096, 10000), 0);
    EXPECT_EQ(unreadable.Calls(HandleCall::kRead).size(), 1u);

    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
    EXPECT_EQ(m_operation.m_abortLatched, 0);  // a failure is not a stop
}

TEST_F(RunPassesTest, OnePercentVerificationSamplesEvery51200Bytes) {
    Prepare({0x6B, PassVerifyOnePercent});
    CMemoryHandle handle(1000000);
    ASSERT_EQ(Run(&handle, 4096, 1000000), 1);
    const std::vector<HandleCall> reads = handle.Calls(HandleCall::kRead);
    ASSERT_EQ(reads.size(), 19u);
    for (size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].offset, i * (4096 + 51200)) << i;
        EXPECT_EQ(reads[i].requested, 4096u);
    }

    // A difference between samples goes unseen; one inside a sample does not.
    CMemoryHandle between(1000000);
    between.m_afterWrite = [&] { between.m_data[5000] = 0; };
    EXPECT_EQ(Run(&between, 4096, 1000000), 1);
    CMemoryHandle inside(1000000);
    inside.m_afterWrite = [&] { inside.m_data[55296 + 7] = 0; };
    EXPECT_EQ(Run(&inside, 4096, 1000000), 0);

    CMemoryHandle small(51200);
    ASSERT_EQ(Run(&small, 4096, 51200), 1);
    EXPECT_EQ(small.Calls(HandleCall::kRead).size(), 1u);
}

TEST_F(RunPassesTest, OnePercentVerificationNeverJudgesBytesPastTheRegion) {
    // 64 KiB clusters: the seventh sample would start past a 600,000-byte region that
    // is followed by other data (the next chunk of a fill file, the rest of a volume).
    Prepare({0x6B, PassVerifyOnePercent});
    CMemoryHandle handle(2000000);
    ASSERT_EQ(Run(&handle, 65536, 600000), 1);
    const std::vector<HandleCall> reads = handle.Calls(HandleCall::kRead);
    ASSERT_EQ(reads.size(), 6u);  // 11 by count, but only 6 start inside the region
    EXPECT_EQ(reads.back().offset, 5u * (65536 + 51200));
    EXPECT_EQ(handle.m_data[600000], 0x33);  // untouched, and not compared

    // A sample that cannot read anything inside the region is a failure.
    CMemoryHandle shortFile(200000);
    shortFile.m_afterWrite = [&] { shortFile.m_data.resize(1000); };
    EXPECT_EQ(Run(&shortFile, 4096, 200000), 0);
}

TEST_F(RunPassesTest, AWriteThatMovesNothingFailsInsteadOfSpinning) {
    Prepare({0x11});
    CMemoryHandle handle(100);
    handle.m_writesMoveNothing = true;
    EXPECT_EQ(Run(&handle, 512, 100), 0);
    EXPECT_EQ(handle.Calls(HandleCall::kWrite).size(), 1u);
}

TEST_F(RunPassesTest, FinishCycleCompletesThePassUnderWayThenStops) {
    Prepare({0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xAA});
    CMemoryHandle handle(3 * kMiB);
    handle.m_afterWrite = [&] {
        if (handle.Calls(HandleCall::kWrite).size() == 4) {  // pass 2, first chunk
            m_operation.m_request = RequestFinishCycle;
        }
    };
    EXPECT_EQ(Run(&handle, 4096, 3 * kMiB), 0);
    const std::vector<HandleCall> writes = handle.Calls(HandleCall::kWrite);
    ASSERT_EQ(writes.size(), 6u);  // pass 2 written to its end, nothing of pass 3
    EXPECT_EQ(writes[5].firstByte, 0xFF);
    EXPECT_EQ(m_operation.m_finishCycleLatched, 1);
    EXPECT_EQ(m_operation.m_finishFileLatched, 1);
    EXPECT_EQ(m_operation.m_abortLatched, 1);
}

TEST_F(RunPassesTest, AbortStopsBeforeTheNextChunkAndFreesTheBuffers) {
    const int liveBefore = CPageBuffer::LiveCount();
    Prepare({0x11, 0x22});
    CMemoryHandle handle(3 * kMiB);
    int liveDuringWrite = -1;
    handle.m_afterWrite = [&] {
        liveDuringWrite = CPageBuffer::LiveCount();
        m_operation.m_request = RequestAbort;
    };
    EXPECT_EQ(Run(&handle, 4096, 3 * kMiB), 0);
    EXPECT_EQ(handle.Calls(HandleCall::kWrite).size(), 1u);
    EXPECT_EQ(liveDuringWrite, liveBefore + 2);  // pattern and compare buffers
    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
    EXPECT_EQ(m_operation.m_abortLatched, 1);
    EXPECT_EQ(m_operation.m_finishCycleLatched, 0);
}

TEST_F(RunPassesTest, FinishFileIsOnlyLatched) {
    Prepare({0x11, 0x22});
    m_operation.m_request = RequestFinishFile;
    CMemoryHandle handle(100);
    EXPECT_EQ(Run(&handle, 512, 100), 1);
    EXPECT_EQ(handle.Calls(HandleCall::kWrite).size(), 2u);
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

// A file whose cluster map comes back in scripted batches, keyed by the starting VCN
// asked for; anything else is refused.
class CMappedFile : public CMemoryHandle {
public:
    struct Batch {
        RetrievalPointers pointers;
        uint32_t result;
    };
    CMappedFile() : CMemoryHandle(0) {}
    uint32_t GetRetrievalPointers(int64_t startingVcn, uint32_t, RetrievalPointers* out) override {
        m_asked.push_back(startingVcn);
        for (const Batch& batch : m_batches) {
            if (batch.pointers.startingVcn == startingVcn) {
                *out = batch.pointers;
                return batch.result;
            }
        }
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<Batch> m_batches;
    std::vector<int64_t> m_asked;
};

class OverwriteExtentsTest : public RunPassesTest {};

TEST_F(OverwriteExtentsTest, BatchesOfTheMapAreOverwrittenExactlyAtTheirOwnClusters) {
    constexpr uint32_t kUnit = 512;
    Prepare({0xAB});
    CMappedFile file;
    // VCN 0-1 at LCN 10, a hole at VCN 2, VCN 3-4 at LCN 20; "more data"; then the
    // second batch starts at VCN 5: VCN 5 at LCN 30, VCN 6-7 at LCN 40.
    file.m_batches = {{{0, {{2, 10}, {3, -1}, {5, 20}}}, ERROR_MORE_DATA},
                      {{5, {{6, 30}, {8, 40}}}, ERROR_SUCCESS}};
    CMemoryHandle volume(64 * kUnit, 0x33);
    ExtentsOutcome outcome;
    ASSERT_EQ(OverwriteExtents(&m_operation, &volume, kUnit, &file, &outcome), kSpecialDone);

    EXPECT_EQ(file.m_asked, (std::vector<int64_t>{0, 5}));
    EXPECT_TRUE(outcome.someAllocated);
    EXPECT_TRUE(outcome.wholeMapRead);
    std::vector<bool> expected(64, false);
    for (int lcn : {10, 11, 20, 21, 30, 40, 41}) {
        expected[lcn] = true;
    }
    for (uint32_t lcn = 0; lcn < 64; ++lcn) {
        const uint8_t want = expected[lcn] ? 0xAB : 0x33;
        for (uint32_t at = lcn * kUnit; at < (lcn + 1) * kUnit; ++at) {
            ASSERT_EQ(volume.m_data[at], want) << "cluster " << lcn << " byte " << at;
        }
    }
}

TEST_F(OverwriteExtentsTest, AMapThatNeverAdvancesIsNotFollowedForever) {
    Prepare({0xAB});
    CMappedFile file;
    file.m_batches = {{{0, {}}, ERROR_MORE_DATA}};
    CMemoryHandle volume(4096);
    ExtentsOutcome outcome;
    EXPECT_EQ(OverwriteExtents(&m_operation, &volume, 512, &file, &outcome), kSpecialNotApplicable);
    EXPECT_EQ(file.m_asked.size(), 1u);
    EXPECT_TRUE(volume.Calls(HandleCall::kWrite).empty());
}

}  // namespace
}  // namespace qmz
