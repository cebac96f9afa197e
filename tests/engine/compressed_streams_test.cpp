#include <gtest/gtest.h>

#include "ops/control_operations.h"
#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;
const std::wstring kPath = L"C:\\s\\special.bin";
const std::string kData(5 * kCluster, 'q');

size_t Count(CSimFileSystem& sim, SimCall call) {
    return sim.Journal(call).size();
}

bool AllBytes(const std::string& bytes, char value) {
    return std::count(bytes.begin(), bytes.end(), value) == static_cast<long>(bytes.size());
}

// Vista and later: the file system zeroes what is allocated; the passes are not run.
TEST(CompressedStreamsVista, SparseStreamsHaveTheirAllocatedRangesZeroed) {
    CEngineHarness h(true);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeSparse(kPath, {{0, kCluster}, {3 * kCluster, kCluster}});
    const std::vector<int64_t> clusters = h.Sim().ClustersOf(kPath);
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kDoD));

    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, kPath, StatusCompleted}}));
    const std::vector<SimJournalEntry> zeroed = h.Sim().Journal(SimCall::kSetZeroData);
    ASSERT_EQ(zeroed.size(), 2u);
    EXPECT_EQ(zeroed[0].offset, 0u);
    EXPECT_EQ(zeroed[1].offset, 3u * kCluster);
    EXPECT_EQ(Count(h.Sim(), SimCall::kSetZeroOnDeallocation), 1u);
    EXPECT_EQ(Count(h.Sim(), SimCall::kWrite), 0u);
    EXPECT_FALSE(h.Sim().Exists(kPath));
    // Clusters given back by the zeroing must be wiped by the file system: the request
    // to do so comes first.
    const std::vector<SimJournalEntry> journal = h.Sim().Journal();
    const auto first = [&](SimCall call) {
        return std::find_if(journal.begin(), journal.end(),
                            [call](const SimJournalEntry& e) { return e.call == call; });
    };
    EXPECT_LT(first(SimCall::kSetZeroOnDeallocation), first(SimCall::kSetZeroData));
    // And the old data is gone from the disk itself, not just from the file's view.
    size_t allocated = 0;
    for (int64_t lcn : clusters) {
        if (lcn >= 0) {
            ++allocated;
            EXPECT_TRUE(AllBytes(h.Sim().ReadClusters(L"C:\\", lcn, 1), '\0')) << lcn;
        }
    }
    EXPECT_EQ(allocated, 2u);
}

TEST(CompressedStreamsVista, CompressedStreamsAreZeroedToo) {
    CEngineHarness h(true);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeCompressed(kPath, {{2, 300}, {5, -1}});
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kDoD));
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_GE(Count(h.Sim(), SimCall::kSetZeroData), 1u);
    EXPECT_EQ(Count(h.Sim(), SimCall::kWrite), 0u);
    EXPECT_TRUE(AllBytes(h.Sim().ReadClusters(L"C:\\", 300, 2), '\0'));
}

TEST(CompressedStreamsVista, ASparseStreamWithNothingAllocatedFallsBackToPlainPasses) {
    CEngineHarness h(true);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeSparse(kPath, {});
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kNcsc));
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(Count(h.Sim(), SimCall::kSetZeroData), 0u);
    EXPECT_EQ(Count(h.Sim(), SimCall::kWrite), 3u);
}

TEST(CompressedStreamsVista, AFailedZeroingFailsTheFile) {
    CEngineHarness h(true);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeSparse(kPath, {{0, kCluster}});
    h.Sim().InjectFault(SimCall::kSetZeroData, 1, ERROR_ACCESS_DENIED);
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, kPath, StatusFailedOther}}));
    EXPECT_TRUE(h.Sim().Exists(kPath));
}

// Before Vista: every pass goes to the stream's clusters on the raw volume.
// Requests that arrive while allocated ranges are being zeroed (Vista and later).
template <class TControl>
RunOutcome ZeroWithRequestAtFirstRange(CEngineHarness& h) {
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeSparse(kPath, {{0, kCluster}, {2 * kCluster, kCluster}, {4 * kCluster, kCluster}});
    h.Sim().SetWriteObserver([&h](uint32_t n, const std::wstring&) {
        if (n == 1) {  // the first range is zeroed
            h.Queue().InsertControlOperation(TControl());
        }
    });
    return h.Run(MakeOperation<CEraseFile>(kPath, kDoD));
}

TEST(CompressedStreamsVista, FinishCycleWhileZeroingKeepsTheFileAndReportsItStopped) {
    CEngineHarness h(true);
    const RunOutcome outcome = ZeroWithRequestAtFirstRange<CFinishCycle>(h);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, kPath, StatusAborted}}));
    EXPECT_EQ(Count(h.Sim(), SimCall::kSetZeroData), 3u);  // the zeroing under way completes
    EXPECT_TRUE(h.Sim().Exists(kPath));                    // but the file is not deleted
    EXPECT_EQ(Count(h.Sim(), SimCall::kDelete), 0u);
}

TEST(CompressedStreamsVista, AbortWhileZeroingStopsAfterTheRangeUnderWay) {
    CEngineHarness h(true);
    const RunOutcome outcome = ZeroWithRequestAtFirstRange<CDiscardPausedOperation>(h);
    EXPECT_EQ(outcome.status, StatusAborted);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, kPath, StatusAborted}}));
    EXPECT_EQ(Count(h.Sim(), SimCall::kSetZeroData), 1u);
    EXPECT_TRUE(h.Sim().Exists(kPath));
    EXPECT_EQ(Count(h.Sim(), SimCall::kWrite), 0u);  // no fall-back to plain passes
}

TEST(CompressedStreamsXp, CompressedClustersAreOverwrittenOnTheVolume) {
    CEngineHarness h(false);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeCompressed(kPath, {{2, 300}, {4, -1}, {5, 400}});
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kNcsc));

    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(h.Sim().Exists(kPath));
    std::vector<SimJournalEntry> deviceWrites;
    for (const SimJournalEntry& e : h.Sim().Journal(SimCall::kWrite)) {
        EXPECT_TRUE(e.device);  // nothing through the file itself
        EXPECT_EQ(e.path, L"\\\\.\\C:");
        deviceWrites.push_back(e);
    }
    ASSERT_EQ(deviceWrites.size(), 6u);  // two extents, three passes each
    EXPECT_EQ(deviceWrites[0].offset, 300u * kCluster);
    EXPECT_EQ(deviceWrites[0].length, 2u * kCluster);
    EXPECT_EQ(deviceWrites[3].offset, 400u * kCluster);
    EXPECT_EQ(deviceWrites[3].length, kCluster);
    EXPECT_TRUE(AllBytes(h.Sim().ReadClusters(L"C:\\", 300, 2), '\xE5'));
    EXPECT_TRUE(AllBytes(h.Sim().ReadClusters(L"C:\\", 400, 1), '\xE5'));
}

TEST(CompressedStreamsXp, AVolumeWithoutALetterIsOpenedByItsGuid) {
    CEngineHarness h(false);
    h.Sim().AddVolume(0, kVolumeD, 512, 8, 1024);
    h.Sim().AddMountPoint(L"C:\\mnt", kVolumeD);
    const std::wstring path = L"C:\\mnt\\enc.bin";
    h.Sim().AddFile(path, std::string(kCluster, 'e'));
    h.Sim().MakeEncrypted(path, {{1, 50}});
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(path, kQuickZero));
    EXPECT_EQ(outcome.status, StatusCompleted);
    const std::vector<SimJournalEntry> writes = h.Sim().Journal(SimCall::kWrite);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].path, L"\\\\.\\Volume{0000000d-0000-0000-0000-000000000002}");
    EXPECT_EQ(writes[0].offset, 50u * kCluster);
}

TEST(CompressedStreamsXp, StreamsWithoutAClusterMapFallBackToPlainPasses) {
    CEngineHarness h(false);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeEncrypted(kPath, {{5, -1}});  // nothing allocated
    RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kNcsc));
    EXPECT_EQ(outcome.status, StatusCompleted);
    std::vector<SimJournalEntry> writes = h.Sim().Journal(SimCall::kWrite);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_FALSE(writes[0].device);

    h.Sim().ClearJournal();
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeCompressed(kPath, {{5, 600}});
    h.Sim().InjectFault(SimCall::kGetRetrievalPointers, 1, ERROR_INVALID_FUNCTION);
    outcome = h.Run(MakeOperation<CEraseFile>(kPath, kNcsc));
    EXPECT_EQ(outcome.status, StatusCompleted);
    writes = h.Sim().Journal(SimCall::kWrite);
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_FALSE(writes[0].device);
}

TEST(CompressedStreamsXp, AFailedVolumeWriteFailsTheFile) {
    CEngineHarness h(false);
    h.Sim().AddFile(kPath, kData);
    h.Sim().MakeCompressed(kPath, {{5, 700}});
    h.Sim().InjectFault(SimCall::kWrite, 2, ERROR_NOT_READY);
    const RunOutcome outcome = h.Run(MakeOperation<CEraseFile>(kPath, kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(h.Sim().Exists(kPath));
}

}  // namespace
}  // namespace qmz
