// The coordinator through the real queue and worker: requests become awaiting rows,
// the start-erase command queues them, the worker's reports move and remove the rows,
// and the user's changes wait for a pause while an item runs.
#include "ops/erase_coordinator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/coordinator_window.h"
#include "tests/support/test_erase_operation.h"

namespace qmz {
namespace {

class EraseCoordinatorTest : public ::testing::Test {
protected:
    // A request for `path` that, when queued, stops on the gate at `hold`.
    int32_t Request(const std::wstring& path, ChunkPosition hold = {-1, -1, -1}) {
        auto operation = std::make_unique<CTestEraseOperation>(1, 2, 2);
        operation->m_path = path;
        operation->HoldAt(hold, m_gate);
        m_logs.push_back(operation->Log());
        return m_coordinator.AddRequest(std::move(operation));
    }
    int32_t Status(int32_t row) { return m_coordinator.RowOperation(row)->m_status; }

    CSimPlatform m_platform;
    CEraseCoordinator m_coordinator{m_platform.Services(), nullptr};
    CCoordinatorWindow m_window{&m_platform, &m_coordinator};
    std::shared_ptr<CGate> m_gate = std::make_shared<CGate>();
    std::vector<std::shared_ptr<TestEraseLog>> m_logs;
};

TEST_F(EraseCoordinatorTest, ConfirmedRowsRunInOrderAndLeaveTheList) {
    EXPECT_EQ(Request(L"C:\\a"), 0);
    EXPECT_EQ(Request(L"C:\\b"), 1);
    EXPECT_EQ(Status(1), StatusAwaitingConfirmation);
    EXPECT_EQ(m_coordinator.RowOperation(0)->m_platform, m_platform.Services());
    EXPECT_TRUE(m_coordinator.HasWork());

    m_coordinator.StartErase();
    EXPECT_EQ(Status(0), StatusQueued);
    EXPECT_TRUE(m_coordinator.ControlPending());  // the resume that releases the worker
    ASSERT_TRUE(m_coordinator.StartWorker());

    ASSERT_TRUE(m_window.PumpUntil([&] { return m_coordinator.RowCount() == 0; }));
    // A report shows the status the operation has when the window reads it, which the
    // worker may already have moved on: only the last one before a removal is fixed.
    std::vector<std::wstring> calls;
    for (const std::wstring& call : m_window.Calls()) {
        if (call == L"remove 0") {
            EXPECT_EQ(calls.back(), L"status 0 5");
        }
        if (calls.empty() || call != calls.back()) {
            calls.push_back(call);
        }
    }
    calls.erase(std::remove(calls.begin(), calls.end(), L"status 0 3"), calls.end());
    const std::vector<std::wstring> expected = {
        L"insert 0 C:\\a", L"insert 1 C:\\b", L"status 0 2", L"status 1 2", L"show 0",
        L"not paused",     L"status 0 5",     L"remove 0",   L"status 0 5", L"remove 0"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(m_logs[0]->executions, 1);
    EXPECT_EQ(m_logs[1]->executions, 1);
    EXPECT_FALSE(m_coordinator.HasWork());
    EXPECT_TRUE(m_window.InternalErrors().empty());
    // Each row left a results row; the window heard once that the list is empty.
    ASSERT_EQ(m_window.ResultRows().size(), 2u);
    EXPECT_EQ(m_window.ResultRows()[0].name, L"a");
    EXPECT_EQ(m_window.ResultRows()[1].path, L"C:\\b");
    EXPECT_EQ(m_window.ResultRows()[1].group, kResultGroupCompleted);
    EXPECT_EQ(std::count(m_window.Progress().begin(), m_window.Progress().end(), L"list empty"), 1);
    EXPECT_EQ(m_window.Progress().back(), L"list empty");
}

TEST_F(EraseCoordinatorTest, AUserChangeWhileAnItemRunsPausesItOnceAndKeepsTheRunningRow) {
    Request(L"C:\\running", {0, 1, 0});
    Request(L"C:\\waiting");
    // Queued before the worker starts, the resume runs first: nothing is pending once
    // the item is seen executing.
    m_coordinator.StartErase();
    ASSERT_TRUE(m_coordinator.StartWorker());
    m_gate->WaitArrived();
    ASSERT_TRUE(m_window.PumpUntil([&] {
        return m_coordinator.Ranges().m_executingRow == 0 && !m_coordinator.ControlPending();
    }));

    EXPECT_TRUE(m_coordinator.BeginUserChange());
    EXPECT_TRUE(m_coordinator.PauseRequested());
    EXPECT_TRUE(m_window.Called(L"paused"));
    // The pause is still on its way: a second action is dropped, no second pause sent.
    EXPECT_FALSE(m_coordinator.BeginUserChange());
    m_gate->Release();
    ASSERT_TRUE(m_window.PumpUntil([&] { return !m_coordinator.ControlPending(); }));
    EXPECT_EQ(Status(0), StatusPaused);

    // The executing row is only shown; the queued one leaves the queue unrun.
    m_coordinator.RemoveRows({true, true});
    ASSERT_EQ(m_coordinator.RowCount(), 1);
    EXPECT_EQ(m_coordinator.RowOperation(0)->m_path, L"C:\\running");
    EXPECT_TRUE(m_window.Called(L"show 0"));
    EXPECT_TRUE(m_window.Called(L"remove 1"));

    // Starting with nothing awaiting still sends the resume that lets the item finish.
    m_coordinator.StartErase();
    EXPECT_TRUE(m_window.Called(L"not paused"));
    ASSERT_TRUE(m_window.PumpUntil([&] { return m_coordinator.RowCount() == 0; }));
    EXPECT_EQ(m_logs[0]->executions, 1);
    EXPECT_EQ(m_logs[1]->executions, 0);
    EXPECT_TRUE(m_window.InternalErrors().empty());
}

TEST_F(EraseCoordinatorTest, RemovedAwaitingRowsAreDiscardedAndTheRestKeepTheirPlace) {
    Request(L"C:\\one");
    Request(L"C:\\two");
    Request(L"C:\\three");
    ASSERT_TRUE(m_coordinator.BeginUserChange());  // nothing runs: no pause needed
    EXPECT_FALSE(m_coordinator.ControlPending());

    m_coordinator.RemoveRows({true, false, true});
    ASSERT_EQ(m_coordinator.RowCount(), 1);
    EXPECT_EQ(m_coordinator.RowOperation(0)->m_path, L"C:\\two");
    EXPECT_EQ(m_coordinator.Ranges().m_firstNewRow, 0);
    EXPECT_EQ(m_coordinator.Ranges().m_lastNewRow, 0);
    EXPECT_EQ(Request(L"C:\\four"), 1);  // new rows still go to the end
    EXPECT_TRUE(m_coordinator.HasWork());

    ASSERT_TRUE(m_coordinator.StartWorker());
    m_coordinator.Shutdown();
    for (const auto& log : m_logs) {
        EXPECT_EQ(log->executions, 0);
    }
}

}  // namespace
}  // namespace qmz
