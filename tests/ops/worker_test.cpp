// The worker thread through the real queue: what it runs, in which order it reports,
// and how control operations steer it from its loop and from check points.
#include <gtest/gtest.h>

#include "ops/check_point.h"
#include "ops/control_operations.h"
#include "settings/string_table.h"
#include "tests/support/test_erase_operation.h"
#include "tests/support/worker_harness.h"

namespace qmz {
namespace {

std::vector<uint32_t> Kinds(const std::vector<PostedMessage>& messages) {
    std::vector<uint32_t> kinds;
    for (const PostedMessage& m : messages) {
        kinds.push_back(m.message);
    }
    return kinds;
}

std::vector<int32_t> Statuses(const std::vector<PostedMessage>& messages) {
    std::vector<int32_t> statuses;
    for (const PostedMessage& m : messages) {
        statuses.push_back(m.statusWhenPosted);
    }
    return statuses;
}

const std::vector<uint32_t> kStatusStatusDone = {WM_OPERATION_STATUS, WM_OPERATION_STATUS,
                                                 WM_OPERATION_DONE};

class WorkerTest : public ::testing::Test {
protected:
    COperationBase* Append(const CTestEraseOperation& operation) {
        return m_harness.Append(operation);
    }
    // Queues an operation that stops on a gate at `position`.
    COperationBase* AppendHeldAt(CTestEraseOperation operation, ChunkPosition position) {
        operation.HoldAt(position, m_gate);
        m_log = operation.Log();
        return Append(operation);
    }
    std::vector<ChunkPosition> Written() {
        std::lock_guard<std::mutex> lock(m_log->mutex);
        return m_log->chunksWritten;
    }

    CWorkerHarness m_harness;
    std::shared_ptr<CGate> m_gate = std::make_shared<CGate>();
    std::shared_ptr<TestEraseLog> m_log;
};

TEST_F(WorkerTest, EraseOperationIsReportedExecutingThenFinalThenDone) {
    m_harness.StartWorker();
    CTestEraseOperation operation(2, 3, 2);
    COperationBase* queued = Append(operation);

    auto messages = m_harness.RunUntilDone(queued);
    EXPECT_EQ(Kinds(messages), kStatusStatusDone);
    EXPECT_EQ(Statuses(messages),
              (std::vector<int32_t>{StatusExecuting, StatusCompleted, StatusCompleted}));
    EXPECT_EQ(operation.Log()->chunksWritten.size(), 12u);
    EXPECT_EQ(operation.Log()->executions, 1);
}

TEST_F(WorkerTest, ControlOperationWhileIdleIsReportedTwiceThenDone) {
    m_harness.StartWorker();
    COperationBase* pause = m_harness.Insert<CPauseNow>();
    auto messages = m_harness.RunUntilDone(pause);
    // No erase operation runs, so no third status report.
    EXPECT_EQ(Kinds(messages), kStatusStatusDone);
    EXPECT_EQ(Statuses(messages),
              (std::vector<int32_t>{StatusExecuting, StatusCompleted, StatusCompleted}));
}

TEST_F(WorkerTest, OperationTakenWithAnotherStatusIsNeverExecutedAndEndsTheWorker) {
    CTestEraseOperation operation(1, 1, 1);
    COperationBase* queued = Append(operation);
    queued->m_status = StatusAwaitingConfirmation;  // corrupt before the worker sees it
    m_harness.StartWorker();

    auto messages = m_harness.RunUntilDone(queued);
    EXPECT_EQ(Kinds(messages), (std::vector<uint32_t>{WM_OPERATION_DONE}));
    EXPECT_EQ(operation.Log()->executions, 0);
    auto boxes = m_harness.MessageBoxes().Shown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, BuiltinString(IDS_ERROR_MESSAGE_PREFIX) +
                                 L"Expected operation status to be waiting for execution");
    EXPECT_EQ(boxes[0].caption, L"ヌルベイン Z 4");
    EXPECT_EQ(boxes[0].style, MB_ICONINFORMATION);
    // The worker has ended by itself: joining returns without any exit request.
    m_harness.Worker().Join();
    EXPECT_FALSE(m_harness.Worker().Running());
}

TEST_F(WorkerTest, PauseWhileIdleHoldsTheQueueUntilResume) {
    m_harness.StartWorker();
    m_harness.RunUntilDone(m_harness.Insert<CPauseNow>());

    CTestEraseOperation operation(1, 1, 1);
    COperationBase* queued = Append(operation);
    PostedMessage unexpected;
    EXPECT_FALSE(m_harness.Sink().Next(&unexpected, std::chrono::milliseconds(200)));
    EXPECT_EQ(operation.Log()->executions, 0);

    COperationBase* resume = m_harness.Insert<CResumePausedOperation>();
    auto messages = m_harness.RunUntilDone(queued);
    // The resume runs first (it was placed ahead of the waiting erase operation).
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[2].message, WM_OPERATION_DONE);
    EXPECT_EQ(messages[2].operation, resume);
    EXPECT_EQ(operation.Log()->executions, 1);
}

TEST_F(WorkerTest, EveryControlCommandButResumeLeavesAnIdleWorkerHoldingTheQueue) {
    m_harness.StartWorker();
    m_harness.RunUntilDone(m_harness.Insert<CFinishOperation>());
    CTestEraseOperation operation(1, 1, 1);
    Append(operation);
    PostedMessage unexpected;
    EXPECT_FALSE(m_harness.Sink().Next(&unexpected, std::chrono::milliseconds(100)));
    EXPECT_EQ(operation.Log()->executions, 0);
}

TEST_F(WorkerTest, PauseDuringAPassHoldsAtTheCheckPointAndStillRunsControlOperations) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(1, 2, 3), {0, 1, 0});
    m_gate->WaitArrived();
    COperationBase* pause = m_harness.Insert<CPauseNow>();
    m_gate->Release();

    // The pause runs inside the check point and reports the erase operation paused.
    auto messages = m_harness.RunUntilDone(pause);
    auto forPause = MessagesFor(messages, pause);
    EXPECT_EQ(Kinds(forPause), kStatusStatusDone);
    ASSERT_GE(messages.size(), 4u);
    const PostedMessage& third = messages[messages.size() - 2];
    EXPECT_EQ(third.operation, erase);
    EXPECT_EQ(third.statusWhenPosted, StatusPaused);

    // While paused it sleeps in steps and writes nothing.
    size_t writtenWhenPaused = Written().size();
    uint32_t sleeps = m_harness.Clock().Sleeps();
    while (m_harness.Clock().Sleeps() < sleeps + 3) {
        std::this_thread::yield();
    }
    EXPECT_EQ(Written().size(), writtenWhenPaused);
    EXPECT_EQ(m_harness.Clock().TickCount() % kPauseSleepMilliseconds, 0u);

    // A second pause is still executed from the paused check point, then a resume.
    auto again = m_harness.RunUntilDone(m_harness.Insert<CPauseNow>());
    EXPECT_EQ(Written().size(), writtenWhenPaused);
    COperationBase* resume = m_harness.Insert<CResumePausedOperation>();
    auto rest = m_harness.RunUntilDone(erase);
    auto forResume = MessagesFor(rest, resume);
    EXPECT_EQ(Kinds(forResume), kStatusStatusDone);
    EXPECT_EQ(erase, rest.back().operation);
    EXPECT_EQ(rest.back().statusWhenPosted, StatusCompleted);
    EXPECT_EQ(Written().size(), 6u);
}

TEST_F(WorkerTest, FinishCycleLetsThePassUnderWayCompleteThenStopsTheItem) {
    m_harness.StartWorker();
    // One file of 7 passes; the request arrives during pass 2 (index 1).
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(2, 7, 4), {0, 1, 2});
    m_gate->WaitArrived();
    m_harness.Insert<CFinishCycle>();
    m_gate->Release();
    auto messages = m_harness.RunUntilDone(erase);

    auto written = Written();
    ASSERT_EQ(written.size(), 8u);  // both passes complete, nothing of pass 3
    EXPECT_EQ(written.back(), (ChunkPosition{0, 1, 3}));
    EXPECT_TRUE(m_log->filesCompleted.empty());
    EXPECT_EQ(messages.back().operation, erase);
    EXPECT_EQ(MessagesFor(messages, erase).front().statusWhenPosted, StatusExecuting);
    EXPECT_EQ(MessagesFor(messages, erase)[1].statusWhenPosted, StatusExecuting);
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusFailedOther);
}

TEST_F(WorkerTest, FinishFileIssuedWhilePausedResumesAndCompletesOnlyTheCurrentFile) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(4, 2, 2), {2, 0, 1});
    m_gate->WaitArrived();
    m_harness.Insert<CPauseNow>();
    m_gate->Release();
    uint32_t sleeps = m_harness.Clock().Sleeps();
    while (m_harness.Clock().Sleeps() == sleeps) {
        std::this_thread::yield();  // it is holding at the check point
    }
    m_harness.Insert<CFinishFile>();
    auto messages = m_harness.RunUntilDone(erase);

    EXPECT_EQ(m_log->filesCompleted, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Written().back(), (ChunkPosition{2, 1, 1}));
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusFailedOther);
}

TEST_F(WorkerTest, FinishItemLetsTheItemComplete) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(3, 2, 2), {0, 0, 1});
    m_gate->WaitArrived();
    m_harness.Insert<CFinishOperation>();
    m_gate->Release();
    auto messages = m_harness.RunUntilDone(erase);
    EXPECT_EQ(Written().size(), 12u);
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusCompleted);
}

TEST_F(WorkerTest, AbortWhileRunningStopsAtTheNextCheckPoint) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(2, 3, 3), {0, 1, 1});
    m_gate->WaitArrived();
    m_harness.Insert<CDiscardPausedOperation>();
    m_gate->Release();
    auto messages = m_harness.RunUntilDone(erase);

    EXPECT_EQ(Written().size(), 4u);  // the held chunk was never written
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusAborted);
}

TEST_F(WorkerTest, AbortWhilePausedStopsAndEndsAborted) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(1, 3, 3), {0, 2, 0});
    m_gate->WaitArrived();
    m_harness.Insert<CPauseNow>();
    m_gate->Release();
    uint32_t sleeps = m_harness.Clock().Sleeps();
    while (m_harness.Clock().Sleeps() == sleeps) {
        std::this_thread::yield();
    }
    COperationBase* discard = m_harness.Insert<CDiscardPausedOperation>();
    auto messages = m_harness.RunUntilDone(erase);
    auto forDiscard = MessagesFor(messages, discard);
    EXPECT_EQ(Kinds(forDiscard), kStatusStatusDone);
    EXPECT_EQ(Written().size(), 6u);
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusAborted);
}

TEST_F(WorkerTest, ControlOperationWithAWrongStatusEndsThatCheckPoint) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(1, 1, 3), {0, 0, 1});
    m_gate->WaitArrived();
    COperationBase* broken = m_harness.Insert<CFinishOperation>();
    broken->m_status = StatusAwaitingConfirmation;
    m_harness.Insert<CPauseNow>();
    m_gate->Release();

    // The broken one is reported and the check point returns: the pause behind it is
    // run at the next check point, after one more chunk.
    uint32_t sleeps = m_harness.Clock().Sleeps();
    while (m_harness.Clock().Sleeps() == sleeps) {
        std::this_thread::yield();
    }
    EXPECT_EQ(Written().size(), 2u);
    ASSERT_EQ(m_harness.MessageBoxes().Shown().size(), 1u);
    m_harness.Insert<CResumePausedOperation>();
    auto messages = m_harness.RunUntilDone(erase);
    EXPECT_EQ(MessagesFor(messages, broken).size(), 1u);  // just "done"
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusCompleted);
}

TEST_F(WorkerTest, CleanupAndExitEndsAnIdleWorker) {
    m_harness.StartWorker();
    COperationBase* exit = m_harness.Insert<CCleanupAndExit>();
    auto messages = m_harness.RunUntilDone(exit);
    EXPECT_EQ(Kinds(messages), kStatusStatusDone);
    m_harness.Worker().Join();
    EXPECT_FALSE(m_harness.Worker().Running());
}

TEST_F(WorkerTest, CleanupAndExitAbortsTheRunningOperationAndEndsTheWorker) {
    m_harness.StartWorker();
    COperationBase* erase = AppendHeldAt(CTestEraseOperation(1, 5, 5), {0, 0, 2});
    CTestEraseOperation never(1, 1, 1);
    Append(never);
    m_gate->WaitArrived();
    m_harness.Insert<CCleanupAndExit>();
    // Queued behind the exit, so met by the same check point: run after it, it would
    // replace the abort and let the item finish.
    COperationBase* finish = m_harness.Insert<CFinishOperation>();
    m_gate->Release();
    auto messages = m_harness.RunUntilDone(erase);
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[messages.size() - 2].statusWhenPosted, StatusAborted);
    EXPECT_EQ(Written().size(), 2u);  // stopped at the check point of the held chunk
    m_harness.Worker().Join();
    EXPECT_EQ(never.Log()->executions, 0);
    EXPECT_TRUE(MessagesFor(messages, finish).empty());
    EXPECT_EQ(finish->m_status, StatusQueued);
}

TEST_F(WorkerTest, StoppingTheWorkerObjectEndsABusyWorker) {
    m_harness.StartWorker();
    AppendHeldAt(CTestEraseOperation(1, 100, 100), {0, 0, 1});
    m_gate->WaitArrived();
    std::thread stopper([&] { m_harness.Worker().Stop(); });  // inserts the exit, waits
    while (!m_harness.Queue().ControlOperationWaits()) {
        std::this_thread::yield();
    }
    m_gate->Release();
    stopper.join();
    EXPECT_FALSE(m_harness.Worker().Running());
    EXPECT_EQ(Written().size(), 1u);  // stopped at the check point of the held chunk
}

TEST_F(WorkerTest, WaitingEraseOperationNeverRunsBeforeALaterControlOperation) {
    m_harness.StartWorker();
    COperationBase* running = AppendHeldAt(CTestEraseOperation(1, 1, 2), {0, 0, 1});
    m_gate->WaitArrived();
    CTestEraseOperation second(1, 1, 1);
    COperationBase* waiting = Append(second);
    COperationBase* finish = m_harness.Insert<CFinishOperation>();
    COperationBase* resume = m_harness.Insert<CResumePausedOperation>();
    m_gate->Release();

    auto messages = m_harness.RunUntilDone(running);
    auto rest = m_harness.RunUntilDone(waiting);
    messages.insert(messages.end(), rest.begin(), rest.end());
    EXPECT_EQ(second.Log()->executions, 1);

    auto indexOf = [&](COperationBase* operation, uint32_t message) {
        for (size_t i = 0; i < messages.size(); ++i) {
            if (messages[i].operation == operation && messages[i].message == message) {
                return i;
            }
        }
        return messages.size();
    };
    size_t waitingStarts = indexOf(waiting, WM_OPERATION_STATUS);
    ASSERT_LT(waitingStarts, messages.size());
    EXPECT_LT(indexOf(finish, WM_OPERATION_DONE), waitingStarts);
    EXPECT_LT(indexOf(resume, WM_OPERATION_DONE), waitingStarts);
}

}  // namespace
}  // namespace qmz
