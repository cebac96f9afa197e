// The queue's list discipline, without a worker: where clones are linked, where the
// cursor goes, and who owns method snapshots.
#include <gtest/gtest.h>

#include "ops/control_operations.h"
#include "ops/operation_queue.h"
#include "platform/sim/sim_services.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_erase_operation.h"

namespace qmz {
namespace {

class QueueTest : public ::testing::Test {
protected:
    QueueTest() : m_queue(&m_sink, &m_customMethod) {}

    COperationBase* AppendErase() { return m_queue.AppendOperation(CTestEraseOperation(1, 1, 1)); }
    COperationBase* InsertPause() { return m_queue.InsertControlOperation(CPauseNow()); }
    std::vector<COperationBase*> Linked() { return m_queue.Inspect().linked; }

    CRecordingSink m_sink;
    MethodEntry m_customMethod;
    COperationQueue m_queue;
};

TEST_F(QueueTest, AppendToEmptyQueueMakesTheCloneHeadTailAndCursor) {
    CTestEraseOperation original(1, 1, 1);
    COperationBase* queued = m_queue.AppendOperation(original);

    ASSERT_NE(queued, nullptr);
    EXPECT_NE(queued, &original);
    auto layout = m_queue.Inspect();
    EXPECT_EQ(layout.head, queued);
    EXPECT_EQ(layout.tail, queued);
    EXPECT_EQ(layout.cursor, queued);
    EXPECT_EQ(queued->m_status, StatusQueued);
    EXPECT_EQ(queued->m_isControl, 0);
    EXPECT_EQ(queued->m_prev, nullptr);
    EXPECT_EQ(queued->m_next, nullptr);
    // The caller's object is untouched.
    EXPECT_EQ(original.m_status, StatusAwaitingConfirmation);
    EXPECT_EQ(original.m_next, nullptr);
}

TEST_F(QueueTest, AppendAfterEverythingWasTakenMakesTheCloneTheCursor) {
    COperationBase* first = AppendErase();
    ASSERT_EQ(m_queue.TakeNext(false), first);
    EXPECT_EQ(m_queue.Inspect().cursor, nullptr);

    COperationBase* second = AppendErase();
    auto layout = m_queue.Inspect();
    EXPECT_EQ(layout.cursor, second);
    EXPECT_EQ(layout.head, first);
    EXPECT_EQ(layout.tail, second);
    EXPECT_EQ(first->m_next, second);
    EXPECT_EQ(second->m_prev, first);
}

TEST_F(QueueTest, AppendKeepsTheCursorOnTheFirstWaitingOperation) {
    COperationBase* first = AppendErase();
    AppendErase();
    EXPECT_EQ(m_queue.Inspect().cursor, first);
}

TEST_F(QueueTest, ControlOperationJumpsAheadOfWaitingEraseWorkAndBecomesHead) {
    COperationBase* erase1 = AppendErase();
    COperationBase* erase2 = AppendErase();
    COperationBase* pause = InsertPause();

    EXPECT_EQ(pause->m_isControl, 1);
    EXPECT_EQ(pause->m_status, StatusQueued);
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{pause, erase1, erase2}));
    auto layout = m_queue.Inspect();
    EXPECT_EQ(layout.head, pause);
    EXPECT_EQ(layout.cursor, pause);
    EXPECT_EQ(erase1->m_prev, pause);
}

TEST_F(QueueTest, ControlOperationGoesBehindTheTakenOnesAndBeforeTheFirstWaiting) {
    COperationBase* running = AppendErase();
    COperationBase* waiting = AppendErase();
    ASSERT_EQ(m_queue.TakeNext(false), running);

    COperationBase* pause = InsertPause();
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{running, pause, waiting}));
    EXPECT_EQ(m_queue.Inspect().head, running);
    EXPECT_EQ(m_queue.Inspect().cursor, pause);
}

TEST_F(QueueTest, ControlOperationsWaitingTogetherKeepTheirOrder) {
    COperationBase* erase = AppendErase();
    COperationBase* pause = InsertPause();
    COperationBase* resume = m_queue.InsertControlOperation(CResumePausedOperation());
    COperationBase* finish = m_queue.InsertControlOperation(CFinishFile());

    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{pause, resume, finish, erase}));
    EXPECT_EQ(m_queue.Inspect().cursor, pause);
}

TEST_F(QueueTest, ControlOperationBehindOnlyControlOperationsIsAppended) {
    COperationBase* pause = InsertPause();
    COperationBase* resume = m_queue.InsertControlOperation(CResumePausedOperation());
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{pause, resume}));
    EXPECT_EQ(m_queue.Inspect().cursor, pause);
    EXPECT_EQ(m_queue.Inspect().tail, resume);
}

TEST_F(QueueTest, ControlOperationWhenNothingWaitsBecomesTheCursor) {
    COperationBase* running = AppendErase();
    m_queue.TakeNext(false);
    COperationBase* pause = InsertPause();
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{running, pause}));
    EXPECT_EQ(m_queue.Inspect().cursor, pause);
}

TEST_F(QueueTest, RemovingTheCursorMovesItToTheNextOperation) {
    COperationBase* taken = AppendErase();
    COperationBase* cursor = AppendErase();
    COperationBase* after = AppendErase();
    m_queue.TakeNext(false);

    m_queue.RemoveOperation(cursor);
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{taken, after}));
    EXPECT_EQ(m_queue.Inspect().cursor, after);
    EXPECT_EQ(taken->m_next, after);
    EXPECT_EQ(after->m_prev, taken);
}

TEST_F(QueueTest, RemovingHeadAndTailMovesThosePointersAndDestroysTheOperations) {
    CTestEraseOperation original(1, 1, 1);
    const std::shared_ptr<TestEraseLog> log = original.Log();
    COperationBase* a = m_queue.AppendOperation(original);
    COperationBase* b = m_queue.AppendOperation(original);
    COperationBase* c = m_queue.AppendOperation(original);
    ASSERT_EQ(log->liveObjects, 4);  // the original and three clones

    m_queue.RemoveOperation(a);
    EXPECT_EQ(log->liveObjects, 3);
    EXPECT_EQ(m_queue.Inspect().head, b);
    EXPECT_EQ(b->m_prev, nullptr);
    m_queue.RemoveOperation(c);
    EXPECT_EQ(log->liveObjects, 2);
    EXPECT_EQ(m_queue.Inspect().tail, b);
    EXPECT_EQ(b->m_next, nullptr);
    m_queue.RemoveOperation(b);
    EXPECT_EQ(log->liveObjects, 1);
    auto layout = m_queue.Inspect();
    EXPECT_TRUE(layout.linked.empty());
    EXPECT_EQ(layout.head, nullptr);
    EXPECT_EQ(layout.tail, nullptr);
    EXPECT_EQ(layout.cursor, nullptr);

    // Whatever is still linked when the queue goes is destroyed with it.
    {
        COperationQueue doomed(&m_sink, &m_customMethod);
        doomed.AppendOperation(original);
        doomed.AppendOperation(original);
        EXPECT_EQ(log->liveObjects, 3);
    }
    EXPECT_EQ(log->liveObjects, 1);
}

TEST_F(QueueTest, RemoveIfWaitingLeavesAnOperationTheWorkerHasTaken) {
    COperationBase* taken = AppendErase();
    COperationBase* waiting = AppendErase();
    ASSERT_EQ(m_queue.TakeNext(false), taken);

    EXPECT_FALSE(m_queue.RemoveIfWaiting(taken));
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{taken, waiting}));
    EXPECT_TRUE(m_queue.RemoveIfWaiting(waiting));
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{taken}));
    EXPECT_EQ(m_queue.Inspect().cursor, nullptr);
}

TEST_F(QueueTest, CustomMethodIsSnapshotAndKeptWhenTheSettingsChangeIt) {
    m_customMethod.PassCodes[0] = 0xA5;
    m_customMethod.PassCodes[1] = PassListEnd;
    CTestEraseOperation original(1, 1, 1);
    original.m_method = &m_customMethod;

    auto* queued = static_cast<CEraseOperationBase*>(m_queue.AppendOperation(original));
    ASSERT_NE(queued->m_method, nullptr);
    EXPECT_NE(queued->m_method, &m_customMethod);
    EXPECT_EQ(queued->m_ownsMethod, 1);
    EXPECT_EQ(original.m_ownsMethod, 0);

    m_customMethod.PassCodes[0] = 0x11;  // the user edits the quick value afterwards
    EXPECT_EQ(queued->m_method->PassCodes[0], 0xA5u);
    EXPECT_EQ(queued->m_method->PassCodes[1], PassListEnd);

    // Removal destroys the clone with its snapshot (the sanitizer build's leak checker
    // also sees the snapshot itself freed), and the shared record lives on.
    ASSERT_EQ(original.Log()->liveObjects, 2);
    m_queue.RemoveOperation(queued);
    EXPECT_EQ(original.Log()->liveObjects, 1);
    EXPECT_EQ(m_customMethod.PassCodes[0], 0x11u);
    EXPECT_EQ(m_customMethod.PassCodes[1], PassListEnd);
}

TEST_F(QueueTest, TwoOperationsQueuedAroundAChangeKeepTheirOwnLists) {
    CTestEraseOperation original(1, 1, 1);
    original.m_method = &m_customMethod;
    m_customMethod.PassCodes[0] = 0x01;
    auto* before = static_cast<CEraseOperationBase*>(m_queue.AppendOperation(original));
    m_customMethod.PassCodes[0] = 0x02;
    auto* after = static_cast<CEraseOperationBase*>(m_queue.AppendOperation(original));
    EXPECT_NE(before->m_method, after->m_method);
    EXPECT_EQ(before->m_method->PassCodes[0], 0x01u);
    EXPECT_EQ(after->m_method->PassCodes[0], 0x02u);
}

TEST_F(QueueTest, BuiltInMethodIsSharedNotCopied) {
    MethodEntry builtIn;
    CTestEraseOperation original(1, 1, 1);
    original.m_method = &builtIn;

    auto* queued = static_cast<CEraseOperationBase*>(m_queue.AppendOperation(original));
    EXPECT_EQ(queued->m_method, &builtIn);
    EXPECT_EQ(queued->m_ownsMethod, 0);

    // Cloning a queued operation copies the reference, never the entry.
    std::unique_ptr<COperationBase> clone = queued->Clone();
    EXPECT_EQ(static_cast<CEraseOperationBase*>(clone.get())->m_method, &builtIn);
    clone.reset();
    m_queue.RemoveOperation(queued);
    EXPECT_EQ(builtIn.PassCodes[0], PassListEnd);  // still intact
}

TEST_F(QueueTest, ItemResultRecordNeverFreesTheMethodItCarries) {
    MethodEntry snapshot;
    auto record = std::make_unique<CTestEraseOperation>(1, 1, 1);
    record->m_method = &snapshot;
    record->m_ownsMethod = 1;
    record.reset();  // freeing the method, which lives on the stack, aborts in every build
    SUCCEED();
}

TEST_F(QueueTest, OperationThatCannotBeClonedIsNotQueued) {
    COperationBase* waiting = AppendErase();
    EXPECT_EQ(m_queue.AppendOperation(CUncloneableOperation()), nullptr);
    EXPECT_EQ(Linked(), (std::vector<COperationBase*>{waiting}));
}

TEST_F(QueueTest, ControlOperationWaitsOnlyWhenOneIsAtTheCursor) {
    EXPECT_FALSE(m_queue.ControlOperationWaits());
    AppendErase();
    EXPECT_FALSE(m_queue.ControlOperationWaits());
    InsertPause();
    EXPECT_TRUE(m_queue.ControlOperationWaits());
}

TEST_F(QueueTest, ItemResultThatCannotBeDeliveredIsDestroyedBySender) {
    m_sink.Close();
    auto record = std::make_unique<CTestEraseOperation>(1, 1, 1);
    const std::shared_ptr<TestEraseLog> log = record->Log();
    m_queue.PostItemResult(std::move(record));
    EXPECT_EQ(m_sink.Pending(), 0u);
    EXPECT_EQ(log->liveObjects, 0);
}

}  // namespace
}  // namespace qmz
