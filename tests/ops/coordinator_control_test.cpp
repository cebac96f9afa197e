// The user's control commands through the coordinator, the real queue and the worker:
// what they do to the executing item and to the rows that have not started, how they
// are kept from piling up, and the exit sequence.
#include <gtest/gtest.h>

#include <thread>

#include "tests/ops/coordinator_rig.h"

namespace qmz {
namespace {

CTestEraseOperation Item(const std::wstring& path, int files = 1, int passes = 1, int chunks = 1) {
    CTestEraseOperation item(files, passes, chunks);
    item.m_path = path;
    return item;
}

struct StopCase {
    const char* name;
    void (CEraseCoordinator::*command)();
    bool pausedFirst;
    int32_t itemStatus;
    size_t chunksWritten;  // of 2 files of 2 passes of 2 chunks, held before the second
    std::vector<int> filesCompleted;
};

void PrintTo(const StopCase& stop, std::ostream* out) {
    *out << stop.name;
}

class CoordinatorStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(CoordinatorStopTest, TheItemStopsAsAskedAndNoRowBehindItEverRuns) {
    const StopCase& stop = GetParam();
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    auto settled = [&] { return !coordinator.ControlPending(); };
    auto gate = rig.NewGate();
    CTestEraseOperation running = Item(L"C:\\a", 2, 2, 2);
    running.HoldAt({0, 0, 1}, gate);
    const CTestEraseOperation queued = Item(L"C:\\b");
    const CTestEraseOperation awaiting = Item(L"C:\\c");
    rig.Add(running);
    rig.Add(queued);
    ASSERT_TRUE(rig.Start());
    rig.Add(awaiting);
    gate->WaitArrived();
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.ItemExecuting() && settled(); }));
    if (stop.pausedFirst) {
        coordinator.Pause();
        gate->Release();
        ASSERT_TRUE(rig.PumpUntil(settled));
        ASSERT_EQ(rig.RowCalls(0).back(), L"status 0 4");
    }

    (coordinator.*stop.command)();
    for (int32_t row : {1, 2}) {
        EXPECT_EQ(coordinator.RowOperation(row), nullptr) << row;
        EXPECT_EQ(rig.RowCalls(row).back(), L"status " + std::to_wstring(row) + L" 8");
    }
    const EraseListRows& ranges = coordinator.Ranges();
    EXPECT_GT(ranges.m_firstQueuedRow, ranges.m_lastQueuedRow);
    EXPECT_GT(ranges.m_firstNewRow, ranges.m_lastNewRow);
    EXPECT_EQ(ranges.m_firstNewRow, 3);  // new rows go behind the ones left over
    if (!stop.pausedFirst) {
        gate->Release();
    }
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.RowCount() == 2 && settled(); }));
    ASSERT_EQ(rig.Window().ResultRows().size(), 1u);
    EXPECT_EQ(rig.Window().ResultRows()[0].status, stop.itemStatus);
    EXPECT_EQ(running.Log()->chunksWritten.size(), stop.chunksWritten);
    EXPECT_EQ(running.Log()->filesCompleted, stop.filesCompleted);
    EXPECT_FALSE(coordinator.HasWork());

    // Were a cancelled item still queued, it would run before one confirmed later.
    const CTestEraseOperation later = Item(L"C:\\d");
    EXPECT_EQ(rig.Add(later), 2);
    coordinator.StartErase();
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.RowCount() == 2 && settled(); }));
    EXPECT_EQ(later.Log()->executions, 1);
    EXPECT_EQ(queued.Log()->executions, 0);
    EXPECT_EQ(awaiting.Log()->executions, 0);
    EXPECT_TRUE(rig.Window().InternalErrors().empty());
}

using C = CEraseCoordinator;
INSTANTIATE_TEST_SUITE_P(
    Commands, CoordinatorStopTest,
    ::testing::Values(
        StopCase{"FinishItemPaused", &C::FinishItem, true, StatusCompleted, 8, {0, 1}},
        StopCase{"FinishItemRunning", &C::FinishItem, false, StatusCompleted, 8, {0, 1}},
        StopCase{"FinishFilePaused", &C::FinishFile, true, StatusFailedOther, 4, {0}},
        StopCase{"FinishCyclePaused", &C::FinishCycle, true, StatusFailedOther, 2, {}},
        StopCase{"AbortPaused", &C::AbortItem, true, StatusAborted, 1, {}},
        StopCase{"AbortRunning", &C::AbortItem, false, StatusAborted, 1, {}}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// The worker reports to the window through its message queue, so it may have finished an
// item and taken the next before the window hears of it.
TEST(CoordinatorControlTest, AStopRacingTheWorkerToTheNextItemLetsThatItemEndNormally) {
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    auto gate = rig.NewGate();
    const CTestEraseOperation first = Item(L"C:\\a");
    CTestEraseOperation second = Item(L"C:\\b", 1, 1, 2);
    second.HoldAt({0, 0, 1}, gate);
    const CTestEraseOperation third = Item(L"C:\\c");
    rig.Add(first);
    rig.Add(second);
    rig.Add(third);
    ASSERT_TRUE(rig.Start());
    gate->WaitArrived();  // the first is done and the second taken
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.Ranges().m_executingRow == 0; }));

    coordinator.FinishItem();
    // The second row shows aborted but keeps the operation the worker runs.
    const std::vector<std::wstring> errors = {L"Expected different status:\nC:\\b"};
    EXPECT_EQ(rig.Window().InternalErrors(), errors);
    EXPECT_EQ(coordinator.RowOperation(1)->m_path, L"C:\\b");
    EXPECT_EQ(coordinator.RowOperation(2), nullptr);
    // Its first report finds its row and makes it the executing one, which a removal
    // only shows; the third's left-over row goes.
    ASSERT_TRUE(
        rig.PumpUntil([&] { return coordinator.RowCount() == 2 && coordinator.ItemExecuting(); }));
    EXPECT_EQ(coordinator.Ranges().m_executingRow, 0);
    coordinator.RemoveRows({true, true});
    ASSERT_EQ(coordinator.RowCount(), 1);
    EXPECT_EQ(coordinator.RowOperation(0)->m_path, L"C:\\b");
    gate->Release();
    ASSERT_TRUE(rig.PumpUntil(
        [&] { return coordinator.RowCount() == 0 && !coordinator.ControlPending(); }));

    EXPECT_EQ(rig.Window().InternalErrors(), errors);
    ASSERT_EQ(rig.Window().ResultRows().size(), 2u);
    EXPECT_EQ(rig.Window().ResultRows()[1].path, L"C:\\b");
    EXPECT_EQ(rig.Window().ResultRows()[1].status, StatusCompleted);
    EXPECT_EQ(second.Log()->chunksWritten.size(), 2u);
    EXPECT_EQ(third.Log()->executions, 0);
    EXPECT_FALSE(coordinator.ItemExecuting());
}

TEST(CoordinatorControlTest, PauseCommandsDoNotPileUpAndTheMenuIsNotReopenedByItsClosingClick) {
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    CFakeClock& clock = rig.Platform().Clock();
    const CCoordinatorWindow& window = rig.Window();
    auto settle = [&] { return rig.PumpUntil([&] { return !coordinator.ControlPending(); }); };
    ASSERT_TRUE(coordinator.StartWorker());
    clock.Advance(1000);

    EXPECT_TRUE(coordinator.PressPauseButton());
    // While that pause is on its way, no command is sent and no menu pops up.
    coordinator.Pause();
    coordinator.Resume();
    EXPECT_FALSE(coordinator.PressPauseButton());
    coordinator.PauseMenuClosed();
    ASSERT_TRUE(settle());
    EXPECT_EQ(window.ControlsDone(), 1);
    const std::vector<std::wstring> shown = {L"paused"};
    EXPECT_EQ(window.Calls(), shown);

    // The click that closed the menu arrives as a press 100 ms later: it pauses but
    // opens nothing; a press after more than 100 ms opens the menu again.
    clock.Advance(100);
    EXPECT_FALSE(coordinator.PressPauseButton());
    coordinator.PauseMenuClosed();
    ASSERT_TRUE(settle());
    clock.Advance(101);
    EXPECT_TRUE(coordinator.PressPauseButton());
    coordinator.PauseMenuClosed();
    ASSERT_TRUE(settle());
    EXPECT_EQ(window.ControlsDone(), 3);
    EXPECT_TRUE(coordinator.PauseRequested());

    // Starting with nothing awaiting still releases the held worker.
    coordinator.StartErase();
    EXPECT_FALSE(coordinator.PauseRequested());
    ASSERT_TRUE(settle());
    EXPECT_EQ(window.ControlsDone(), 4);
    EXPECT_EQ(window.Calls().back(), L"not paused");
}

TEST(CoordinatorControlTest, WhileACommandIsOnItsWayOnlyFinishItemStillCancelsTheRest) {
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    auto gate = rig.NewGate();
    CTestEraseOperation running = Item(L"C:\\a", 1, 1, 2);
    running.HoldAt({0, 0, 1}, gate);
    rig.Add(running);
    rig.Add(Item(L"C:\\b"));
    ASSERT_TRUE(rig.Start());
    gate->WaitArrived();
    ASSERT_TRUE(rig.PumpUntil(
        [&] { return coordinator.ItemExecuting() && !coordinator.ControlPending(); }));

    coordinator.Pause();  // held at the gate: stays on its way
    coordinator.AbortItem();
    coordinator.FinishCycle();
    coordinator.FinishFile();
    ASSERT_NE(coordinator.RowOperation(1), nullptr) << "ignored commands cancel nothing";
    EXPECT_EQ(coordinator.RowOperation(1)->m_status, StatusQueued);
    coordinator.FinishItem();
    EXPECT_EQ(coordinator.RowOperation(1), nullptr);
    EXPECT_EQ(rig.RowCalls(1).back(), L"status 1 8");

    gate->Release();
    ASSERT_TRUE(rig.PumpUntil([&] { return !coordinator.ControlPending(); }));
    EXPECT_EQ(rig.Window().ControlsDone(), 2) << "the start's resume and the pause only";
    coordinator.Resume();
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.RowCount() == 1; }));
    EXPECT_EQ(running.Log()->executions, 1);
}

TEST(CoordinatorControlTest, OneUserActionReportedAsSeveralChangesPausesOnceAndAppliesThemAll) {
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    auto gate = rig.NewGate();
    CTestEraseOperation running = Item(L"C:\\a", 1, 1, 2);
    running.HoldAt({0, 0, 1}, gate);
    rig.Add(running);
    ASSERT_TRUE(rig.Start());
    gate->WaitArrived();
    ASSERT_TRUE(rig.PumpUntil(
        [&] { return coordinator.ItemExecuting() && !coordinator.ControlPending(); }));

    constexpr uint64_t kClick = 0x0012003400005678;
    for (int notification = 0; notification < 3; ++notification) {
        EXPECT_TRUE(coordinator.BeginUserChange(kClick)) << notification;
    }
    // Another action while the pause is still on its way is dropped.
    EXPECT_FALSE(coordinator.BeginUserChange(kClick + 1));
    gate->Release();
    ASSERT_TRUE(rig.PumpUntil([&] { return !coordinator.ControlPending(); }));
    EXPECT_EQ(rig.Window().ControlsDone(), 2);  // the start's resume and one pause
    EXPECT_EQ(rig.RowCalls(0).back(), L"status 0 4");
    coordinator.Resume();
    ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.RowCount() == 0; }));
}

// Between the two steps of exiting the window may go on handling reports (while it
// checks for automation clients), or not at all.
class CoordinatorExitTest : public ::testing::TestWithParam<bool> {};

TEST_P(CoordinatorExitTest, ExitingPausesAndAbortsTheRunningItemAndEndsTheWorker) {
    const bool reportsBetween = GetParam();
    CCoordinatorRig rig;
    CEraseCoordinator& coordinator = rig.Coordinator();
    CFakeClock& clock = rig.Platform().Clock();
    auto gate = rig.NewGate();
    CTestEraseOperation running = Item(L"C:\\a", 1, 2, 2);
    running.HoldAt({0, 1, 0}, gate);
    rig.Add(running);
    ASSERT_TRUE(rig.Start());
    gate->WaitArrived();
    ASSERT_TRUE(rig.PumpUntil(
        [&] { return coordinator.ItemExecuting() && !coordinator.ControlPending(); }));
    // A pause the user sent just before is superseded; its reports must still be safe.
    coordinator.Pause();

    // The worker goes on only once the exit sequence waits for it.
    const uint32_t sleepsBefore = clock.Sleeps();
    std::thread releaser([&] {
        while (clock.Sleeps() == sleepsBefore) {
            std::this_thread::yield();
        }
        gate->Release();
    });
    coordinator.PauseAndDiscardForExit();
    releaser.join();
    EXPECT_FALSE(coordinator.ControlPending());
    EXPECT_EQ(coordinator.RowOperation(0)->m_status, StatusAborted);
    EXPECT_EQ(running.Log()->chunksWritten.size(), 2u);  // the first pass only
    if (reportsBetween) {
        // The user's pause, the exit's pause and the abort are reported done after the
        // exit stopped waiting for them, and the item ends as usual.
        ASSERT_TRUE(rig.PumpUntil([&] { return coordinator.RowCount() == 0; }));
        ASSERT_TRUE(rig.PumpAll());
        EXPECT_EQ(rig.Window().ControlsDone(), 4);
        ASSERT_EQ(rig.Window().ResultRows().size(), 1u);
        EXPECT_EQ(rig.Window().ResultRows()[0].status, StatusAborted);
    }

    EXPECT_TRUE(coordinator.EndWorker());
    EXPECT_FALSE(coordinator.WorkerRunning());
    EXPECT_FALSE(coordinator.ControlPending());
    const size_t callsBefore = rig.Window().Calls().size();
    ASSERT_TRUE(rig.PumpAll());  // every report after the exit is ignored
    EXPECT_EQ(rig.Window().Calls().size(), callsBefore);
    EXPECT_TRUE(coordinator.EndWorker());  // a second exit has nothing left to end
    EXPECT_TRUE(rig.Window().InternalErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(ReportsBetweenTheSteps, CoordinatorExitTest, ::testing::Bool());

}  // namespace
}  // namespace qmz
