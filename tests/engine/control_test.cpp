#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/page_buffer.h"
#include "ops/control_operations.h"
#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;
constexpr uint32_t kMiB = 1048576;

// Control operations arrive while the worker writes: the volume's write observer inserts
// them right after an exact write, and the engine's next check point runs them.
class ControlTest : public ::testing::Test {
protected:
    template <class TControl>
    void InsertAtWrite(uint32_t number) {
        m_h.Sim().SetWriteObserver([this, number](uint32_t n, const std::wstring&) {
            if (n == number) {
                m_h.Queue().InsertControlOperation(TControl());
            }
        });
    }
    size_t Writes() { return m_h.Sim().Journal(SimCall::kWrite).size(); }
    CEngineHarness m_h;
};

TEST_F(ControlTest, FinishCycleDuringPassTwoOfSevenCompletesThatPassOnly) {
    m_h.Sim().AddFile(L"C:\\big.bin", std::string(kMiB + 4096, 'd'));
    InsertAtWrite<CFinishCycle>(3);  // pass 2, first of its two chunks
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFile>(L"C:\\big.bin", kVsitr));

    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\big.bin", StatusAborted}}));
    EXPECT_EQ(Writes(), 4u);
    const std::string left = m_h.Sim().ReadAll(L"C:\\big.bin");
    ASSERT_EQ(left.size(), kMiB + 4096u);  // neither truncated nor deleted
    EXPECT_EQ(std::count(left.begin(), left.end(), '\xFF'), static_cast<long>(left.size()));
    CEraseOperationBase* queued = m_h.Queued();
    EXPECT_EQ(queued->m_finishCycleLatched, 1);
    EXPECT_EQ(queued->m_finishFileLatched, 1);
    EXPECT_EQ(queued->m_abortLatched, 1);
}

TEST_F(ControlTest, AbortDuringAWriteStopsBeforeTheNextChunkAndFreesTheBuffers) {
    m_h.Sim().AddFile(L"C:\\big.bin", std::string(3 * kMiB, 'd'));
    const int liveBefore = CPageBuffer::LiveCount();
    std::atomic<int> liveDuringWrite{-1};
    m_h.Sim().SetWriteObserver([&](uint32_t n, const std::wstring&) {
        if (n == 1) {
            liveDuringWrite = CPageBuffer::LiveCount();
            m_h.Queue().InsertControlOperation(CDiscardPausedOperation());
        }
    });
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFile>(L"C:\\big.bin", kDoD));
    EXPECT_EQ(outcome.status, StatusAborted);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\big.bin", StatusAborted}}));
    EXPECT_EQ(Writes(), 1u);
    EXPECT_EQ(liveDuringWrite, liveBefore + 2);
    EXPECT_EQ(CPageBuffer::LiveCount(), liveBefore);
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\big.bin").size(), 3 * kMiB);
    EXPECT_EQ(m_h.Sim().OpenHandleCount(), 0u);
}

TEST_F(ControlTest, AbortBetweenThePassesOfAShortFileLeavesItAborted) {
    // One chunk per pass: the abort is first met at the check point before pass two.
    m_h.Sim().AddFile(L"C:\\short.bin", "0123456789");
    InsertAtWrite<CDiscardPausedOperation>(1);
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFile>(L"C:\\short.bin", kNcsc));
    EXPECT_EQ(outcome.status, StatusAborted);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\short.bin", StatusAborted}}));
    EXPECT_EQ(Writes(), 1u);
    // Only the first pass went over it; neither truncated nor deleted.
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\short.bin"), std::string(10, '\0'));
}

TEST_F(ControlTest, APausedPassWaitsInSleepStepsAndGoesOnAfterResume) {
    m_h.Sim().AddFile(L"C:\\big.bin", std::string(kMiB + 10, 'd'));
    InsertAtWrite<CPauseNow>(1);
    size_t writesEarlyInPause = 0;
    size_t writesLateInPause = 0;
    std::thread user([&] {
        while (m_h.Clock().Sleeps() < 3) {
            std::this_thread::yield();
        }
        writesEarlyInPause = Writes();
        while (m_h.Clock().Sleeps() < 6) {
            std::this_thread::yield();
        }
        writesLateInPause = Writes();
        m_h.Queue().InsertControlOperation(CResumePausedOperation());
    });
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFile>(L"C:\\big.bin", kNcsc));
    user.join();
    EXPECT_EQ(writesEarlyInPause, 1u);
    EXPECT_EQ(writesLateInPause, 1u);
    EXPECT_GE(m_h.Clock().TickCount(), 600u);  // 100 ms steps
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(Writes(), 6u);
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\big.bin"));
}

TEST_F(ControlTest, FinishFileLetsTheThirdFileFinishAndStartsNoOther) {
    for (const wchar_t* name :
         {L"C:\\f\\1.bin", L"C:\\f\\2.bin", L"C:\\f\\3.bin", L"C:\\f\\4.bin"}) {
        m_h.Sim().AddFile(name, "0123456789");
    }
    InsertAtWrite<CFinishFile>(7);  // the third file's first pass
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFolderAndContents>(L"C:\\f", kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\f\\1.bin", StatusCompleted},
                                    {ResultRecord::kFile, L"C:\\f\\2.bin", StatusCompleted},
                                    {ResultRecord::kFile, L"C:\\f\\3.bin", StatusAborted}}));
    EXPECT_FALSE(m_h.Sim().Exists(L"C:\\f\\3.bin"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\f\\4.bin"), "0123456789");
    EXPECT_EQ(Writes(), 9u);
}

TEST_F(ControlTest, FinishFileInsideASubFolderStopsTheParentToo) {
    m_h.Sim().AddFile(L"C:\\p\\a\\1.bin", "0123456789");
    m_h.Sim().AddFile(L"C:\\p\\b.bin", "0123456789");
    InsertAtWrite<CFinishFile>(1);
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFolderAndContents>(L"C:\\p", kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\p\\a\\1.bin", StatusAborted},
                                    {ResultRecord::kFolder, L"C:\\p\\a", StatusAborted}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\p\\b.bin"), "0123456789");
}

TEST_F(ControlTest, AbortBetweenFoldersEndsTheWalk) {
    m_h.Sim().AddFile(L"C:\\p\\a.bin", "0123456789");
    m_h.Sim().AddFile(L"C:\\p\\sub\\s.bin", "0123456789");
    InsertAtWrite<CDiscardPausedOperation>(3);  // a.bin's last pass; it completes
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFolderAndContents>(L"C:\\p", kNcsc));
    EXPECT_EQ(outcome.status, StatusAborted);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\p\\a.bin", StatusCompleted},
                                    {ResultRecord::kFolder, L"C:\\p\\sub", StatusAborted}}));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\p\\sub\\s.bin"), "0123456789");
}

TEST_F(ControlTest, FinishFileDuringAFoldersStreamKeepsTheFolderAndStartsNoOtherEntry) {
    m_h.Sim().AddFolder(L"C:\\p\\a");
    m_h.Sim().AddStream(L"C:\\p\\a", L"meta", "0123456789");
    m_h.Sim().AddFile(L"C:\\p\\b.bin", "0123456789");
    InsertAtWrite<CFinishFile>(1);  // the folder stream's first pass
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFolderAndContents>(L"C:\\p", kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    // The stream under way is finished; the folder that holds it is not removed.
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFolder, L"C:\\p\\a", StatusAborted}}));
    EXPECT_EQ(Writes(), 3u);
    EXPECT_TRUE(m_h.Sim().StreamNames(L"C:\\p\\a").empty());
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\p\\a"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\p\\b.bin"), "0123456789");
}

TEST_F(ControlTest, FinishCycleMetBeforeALinkLeavesTheLinkInPlace) {
    m_h.Sim().AddFile(L"C:\\target\\t.bin", "target");
    m_h.Sim().AddFile(L"C:\\p\\a.bin", "0123456789");
    m_h.Sim().AddJunction(L"C:\\p\\link", L"C:\\target");
    // During a.bin's last pass: the file completes, and the request is latched at the
    // check point of the next entry, the link, which has no passes to cut short.
    InsertAtWrite<CFinishCycle>(3);
    const RunOutcome outcome = m_h.Run(MakeOperation<CEraseFolderAndContents>(L"C:\\p", kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(outcome.lines, (Lines{{ResultRecord::kFile, L"C:\\p\\a.bin", StatusCompleted},
                                    {ResultRecord::kFolder, L"C:\\p\\link", StatusAborted}}));
    EXPECT_TRUE(m_h.Sim().Exists(L"C:\\p\\link"));
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\target\\t.bin"), "target");
    EXPECT_EQ(m_h.Queued()->m_finishCycleLatched, 1);
}

}  // namespace
}  // namespace qmz
