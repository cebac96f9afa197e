// The results list's filters and row commands: which rows each command reaches, the
// groups the list must have, and where new rows go while a filter is on.
#include "ui/model/result_filters.h"

#include <gtest/gtest.h>

#include "ops/operation.h"

namespace qmz {
namespace {

using Marks = std::vector<RowMarkUpdate>;

std::vector<int> Rows(const Marks& updates, bool marked) {
    std::vector<int> rows;
    for (const RowMarkUpdate& update : updates) {
        if (update.marked == marked) {
            rows.push_back(update.row);
        }
    }
    return rows;
}

// Rows 0..5: failed (system file), succeeded, failed (other), paused (other class),
// aborted (failed), succeeded.
class ResultFiltersTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int32_t status : {StatusFailedSystemFile, StatusCompleted, StatusFailedOther,
                               StatusPaused, StatusAborted, StatusCompleted}) {
            EXPECT_EQ(m_filters.Append(status), kResultGroupNone);
        }
    }

    std::vector<bool> ShownRows() const {
        std::vector<bool> shown;
        for (int row = 0; row < static_cast<int>(m_filters.RowCount()); ++row) {
            shown.push_back(m_filters.IsShown(row));
        }
        return shown;
    }

    CResultFilters m_filters;
};

TEST_F(ResultFiltersTest, ClassesFollowTheFinalStatus) {
    EXPECT_EQ(ResultClassOf(StatusCompleted), kResultClassSucceeded);
    for (int32_t failed : {StatusFailedSystemFile, StatusFailedOther, StatusAborted}) {
        EXPECT_EQ(ResultClassOf(failed), kResultClassFailed) << failed;
    }
    for (int32_t other :
         {int32_t{StatusQueued}, int32_t{StatusExecuting}, int32_t{StatusPaused}, 0, 9}) {
        EXPECT_EQ(ResultClassOf(other), kResultClassOther) << other;
    }
    EXPECT_EQ(m_filters.ClassOf(3), kResultClassOther);
}

TEST_F(ResultFiltersTest, FailedFilterShowsAndSelectsOnlyFailedRowsAndUnmarksThemWhenOff) {
    const FilterSteps on = m_filters.SetShowFailed(true);
    EXPECT_TRUE(on.changed);
    EXPECT_EQ(on.insertGroup, kResultGroupFailed);
    EXPECT_EQ(on.insertAt, 0);
    EXPECT_EQ(on.rows, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(on.rowGroup, kResultGroupFailed);
    EXPECT_FALSE(on.unmarkRows);
    EXPECT_EQ(on.removeGroup, 0);
    EXPECT_TRUE(on.groupView);
    EXPECT_EQ(ShownRows(), (std::vector<bool>{true, false, true, false, true, false}));

    const Marks all = m_filters.SelectAll();
    EXPECT_EQ(Rows(all, true), (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(Rows(all, false).empty());

    // Off again: every row shown, the failed ones unmarked and moved to the hidden group.
    const FilterSteps off = m_filters.SetShowFailed(false);
    EXPECT_TRUE(off.changed);
    EXPECT_EQ(off.insertGroup, 0);
    EXPECT_EQ(off.rows, (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(off.rowGroup, kResultGroupHidden);
    EXPECT_TRUE(off.unmarkRows);
    EXPECT_EQ(off.removeGroup, kResultGroupFailed);
    EXPECT_TRUE(off.removeAllGroups);
    EXPECT_FALSE(off.groupView);
    EXPECT_EQ(ShownRows(), std::vector<bool>(6, true));
    EXPECT_TRUE(m_filters.Groups().empty());
    EXPECT_EQ(m_filters.GroupOf(2), kResultGroupHidden);
    EXPECT_EQ(Rows(m_filters.SelectAll(), true), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(ResultFiltersTest, FailedGroupStaysFirstAndOneFilterOffKeepsTheOther) {
    const FilterSteps succeeded = m_filters.SetShowSucceeded(true);
    EXPECT_EQ(succeeded.insertGroup, kResultGroupCompleted);
    EXPECT_EQ(succeeded.insertAt, 0);
    EXPECT_EQ(succeeded.rows, (std::vector<int>{1, 5}));
    const FilterSteps failed = m_filters.SetShowFailed(true);
    EXPECT_EQ(failed.insertAt, 0);
    EXPECT_EQ(m_filters.Groups(),
              (std::vector<int32_t>{kResultGroupFailed, kResultGroupCompleted}));
    // Only the "other" row stays out of both groups.
    EXPECT_EQ(ShownRows(), (std::vector<bool>{true, true, true, false, true, true}));
    EXPECT_EQ(Rows(m_filters.SelectAll(), true), (std::vector<int>{0, 1, 2, 4, 5}));

    const FilterSteps failedOff = m_filters.SetShowFailed(false);
    EXPECT_EQ(failedOff.removeGroup, kResultGroupFailed);
    EXPECT_FALSE(failedOff.removeAllGroups);
    EXPECT_TRUE(failedOff.groupView);
    EXPECT_EQ(m_filters.Groups(), (std::vector<int32_t>{kResultGroupCompleted}));
    EXPECT_EQ(ShownRows(), (std::vector<bool>{false, true, false, false, false, true}));

    // Failed on again while succeeded is on: inserted before the succeeded group.
    EXPECT_EQ(m_filters.SetShowFailed(true).insertAt, 0);
    m_filters.SetShowSucceeded(false);
    // The other order: succeeded switched on after failed goes behind it.
    EXPECT_EQ(m_filters.SetShowSucceeded(true).insertAt, 1);
    EXPECT_EQ(m_filters.Groups(),
              (std::vector<int32_t>{kResultGroupFailed, kResultGroupCompleted}));
}

TEST_F(ResultFiltersTest, SwitchingAFilterToItsStateDoesNothing) {
    const FilterSteps off = m_filters.SetShowFailed(false);
    EXPECT_FALSE(off.changed);
    EXPECT_TRUE(off.rows.empty());
    EXPECT_FALSE(off.unmarkRows);
    EXPECT_FALSE(off.removeAllGroups);
    m_filters.SetShowSucceeded(true);
    const FilterSteps again = m_filters.SetShowSucceeded(true);
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(again.insertGroup, 0);
    EXPECT_TRUE(again.groupView);
}

TEST_F(ResultFiltersTest, ToggleAndRemoveReachOnlyTheShownRows) {
    m_filters.SetShowSucceeded(true);
    // Rows 0 (failed, hidden), 1 and 3 (other, hidden) selected.
    const std::vector<bool> selected = {true, true, false, true, false, false};
    const Marks toggled = m_filters.Toggle(selected);
    EXPECT_EQ(Rows(toggled, false), (std::vector<int>{1}));
    EXPECT_EQ(Rows(toggled, true), (std::vector<int>{5}));
    EXPECT_EQ(m_filters.RowsToRemove(selected), (std::vector<int>{1}));

    // Without a filter every selected row goes, the highest first.
    m_filters.SetShowSucceeded(false);
    EXPECT_EQ(m_filters.RowsToRemove(selected), (std::vector<int>{3, 1, 0}));
    EXPECT_EQ(Rows(m_filters.Toggle(selected), true), (std::vector<int>{2, 4, 5}));
}

TEST_F(ResultFiltersTest, RemovedRowsShiftTheLaterOnes) {
    m_filters.SetShowFailed(true);
    for (int row : m_filters.RowsToRemove({true, false, true, false, false, false})) {
        m_filters.Removed(row);
    }
    ASSERT_EQ(m_filters.RowCount(), 4u);
    EXPECT_EQ(m_filters.ClassOf(0), kResultClassSucceeded);
    EXPECT_EQ(m_filters.ClassOf(2), kResultClassFailed);  // the aborted row
    EXPECT_EQ(m_filters.GroupOf(2), kResultGroupFailed);
    EXPECT_EQ(Rows(m_filters.SelectAll(), true), (std::vector<int>{2}));
}

TEST_F(ResultFiltersTest, NewRowsGoIntoTheirGroupOnlyWhileItExists) {
    m_filters.SetShowFailed(true);
    EXPECT_EQ(m_filters.Append(StatusAborted), kResultGroupFailed);
    EXPECT_EQ(m_filters.Append(StatusCompleted), kResultGroupNone);
    EXPECT_EQ(m_filters.Append(StatusPaused), kResultGroupNone);
    EXPECT_TRUE(m_filters.IsShown(6));
    EXPECT_FALSE(m_filters.IsShown(7));
    EXPECT_FALSE(m_filters.IsShown(8));
    EXPECT_EQ(Rows(m_filters.SelectAll(), true), (std::vector<int>{0, 2, 4, 6}));

    // A succeeded row that arrived outside its group joins it when its filter comes on.
    const FilterSteps succeeded = m_filters.SetShowSucceeded(true);
    EXPECT_EQ(succeeded.insertAt, 1);
    EXPECT_EQ(succeeded.rows, (std::vector<int>{1, 5, 7}));
    EXPECT_TRUE(m_filters.IsShown(7));
    EXPECT_EQ(m_filters.Append(StatusCompleted), kResultGroupCompleted);

    // With both off again, new rows go outside any group and are shown.
    m_filters.SetShowFailed(false);
    m_filters.SetShowSucceeded(false);
    EXPECT_EQ(m_filters.Append(StatusFailedOther), kResultGroupNone);
    EXPECT_TRUE(m_filters.IsShown(10));
}

}  // namespace
}  // namespace qmz
