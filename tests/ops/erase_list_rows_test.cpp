// The erase list's row bookkeeping: ranges kept across deletions, what removing a
// selection does to each row, and when a user change must wait for a pause.
#include "ops/erase_list_rows.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

TEST(UserChangeGateTest, UserChangesWaitForAPauseWhileAnItemRuns) {
    EXPECT_EQ(GateUserChange(false, false), UserChangeGate::kApply);
    EXPECT_EQ(GateUserChange(false, true), UserChangeGate::kApply);
    EXPECT_EQ(GateUserChange(true, false), UserChangeGate::kPauseThenApply);
    EXPECT_EQ(GateUserChange(true, true), UserChangeGate::kIgnore);
}

// Rows: 0 executing, 1-2 queued, 3-5 awaiting confirmation.
EraseListRows TypicalRows() {
    EraseListRows rows;
    rows.m_executingRow = 0;
    rows.m_firstQueuedRow = 1;
    rows.m_lastQueuedRow = 2;
    rows.m_firstNewRow = 3;
    rows.m_lastNewRow = 5;
    return rows;
}

TEST(EraseListRowsTest, DeletingAnAwaitingRowShortensOnlyItsRange) {
    EraseListRows rows = TypicalRows();
    rows.RowDeleted(4);
    EXPECT_EQ(rows.m_executingRow, 0);
    EXPECT_EQ(rows.m_firstQueuedRow, 1);
    EXPECT_EQ(rows.m_lastQueuedRow, 2);
    EXPECT_EQ(rows.m_firstNewRow, 3);
    EXPECT_EQ(rows.m_lastNewRow, 4);
}

TEST(EraseListRowsTest, DeletingAQueuedRowShiftsTheLaterRanges) {
    EraseListRows rows = TypicalRows();
    rows.RowDeleted(1);
    EXPECT_EQ(rows.m_firstQueuedRow, 1);
    EXPECT_EQ(rows.m_lastQueuedRow, 1);
    EXPECT_EQ(rows.m_firstNewRow, 2);
    EXPECT_EQ(rows.m_lastNewRow, 4);
    rows.RowDeleted(1);  // the last queued row: the range becomes empty
    EXPECT_GT(rows.m_firstQueuedRow, rows.m_lastQueuedRow);
    EXPECT_EQ(rows.m_firstNewRow, 1);
}

TEST(EraseListRowsTest, DeletingTheExecutingRowClearsIt) {
    EraseListRows rows = TypicalRows();
    rows.RowDeleted(0);
    EXPECT_EQ(rows.m_executingRow, -1);
    EXPECT_EQ(rows.m_firstQueuedRow, 0);
    EXPECT_EQ(rows.m_lastNewRow, 4);
}

TEST(EraseListRowsTest, RemovingEveryAwaitingRowEmptiesTheList) {
    EraseListRows rows;
    rows.m_firstNewRow = 0;
    rows.m_lastNewRow = 2;
    for (int32_t row : {2, 1, 0}) {
        rows.RowDeleted(row);
    }
    EXPECT_EQ(rows.m_lastNewRow, -1);
    EXPECT_EQ(rows.m_firstNewRow, 0);
    EXPECT_EQ(rows.m_firstQueuedRow, 0);
    EXPECT_EQ(rows.m_lastQueuedRow, -1);
}

TEST(PlanRemovalTest, EachStatusGetsItsOwnTreatmentHighestRowFirst) {
    const std::vector<EraseRowState> rows = {
        {true, true, 3},   // executing
        {true, true, 2},   // queued
        {false, true, 2},  // queued, not selected
        {true, false, 0},  // left over by a cancellation
        {true, true, 0},   // awaiting confirmation
        {true, true, 4},   // paused but not the executing row: still the worker's
    };
    std::vector<RemoveStep> steps = PlanRemoval(rows, 0);
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].row, 5);
    EXPECT_EQ(steps[0].action, RemoveAction::kReportAndRemove);
    EXPECT_EQ(steps[1].row, 4);
    EXPECT_EQ(steps[1].action, RemoveAction::kDiscardAndRemove);
    EXPECT_EQ(steps[2].row, 3);
    EXPECT_EQ(steps[2].action, RemoveAction::kRemoveRow);
    EXPECT_EQ(steps[3].row, 1);
    EXPECT_EQ(steps[3].action, RemoveAction::kUnqueueAndRemove);
    EXPECT_EQ(steps[4].row, 0);
    EXPECT_EQ(steps[4].action, RemoveAction::kScrollIntoView);
}

TEST(PlanRemovalTest, TheBookkeepingFollowsACarriedOutPlan) {
    // Executing 0, queued 1-2, awaiting 3-4; remove rows 1, 3 and 4.
    std::vector<EraseRowState> rows = {
        {false, true, 3}, {true, true, 2}, {false, true, 2}, {true, true, 0}, {true, true, 0}};
    EraseListRows ranges;
    ranges.m_executingRow = 0;
    ranges.m_firstQueuedRow = 1;
    ranges.m_lastQueuedRow = 2;
    ranges.m_firstNewRow = 3;
    ranges.m_lastNewRow = 4;
    for (const RemoveStep& step : PlanRemoval(rows, ranges.m_executingRow)) {
        if (step.action != RemoveAction::kScrollIntoView) {
            ranges.RowDeleted(step.row);
        }
    }
    // Left: row 0 executing, row 1 the remaining queued one, nothing awaiting.
    EXPECT_EQ(ranges.m_executingRow, 0);
    EXPECT_EQ(ranges.m_firstQueuedRow, 1);
    EXPECT_EQ(ranges.m_lastQueuedRow, 1);
    EXPECT_EQ(ranges.m_firstNewRow, 2);
    EXPECT_EQ(ranges.m_lastNewRow, 1);
}

TEST(PlanRemovalTest, NothingSelectedDoesNothing) {
    EXPECT_TRUE(PlanRemoval({{false, true, 0}, {false, true, 2}}, -1).empty());
}

}  // namespace
}  // namespace qmz
