// The results list's rows, its two filters and its row commands, as the list-view steps
// they take. The window replays the steps on the control; the row indexes are the list's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ops/erase_list_view.h"

namespace qmz {

// A row's result class, kept as its item data: the failed and succeeded classes share
// their numbers with their groups.
constexpr int32_t kResultClassFailed = kResultGroupFailed;
constexpr int32_t kResultClassSucceeded = kResultGroupCompleted;
constexpr int32_t kResultClassOther = kResultGroupNone;
// The group id of a row a filter hid: no group ever has it.
constexpr int32_t kResultGroupHidden = 5;

// Failed (6, 7, 8), succeeded (5) or other.
int32_t ResultClassOf(int32_t status);

// What the list must do when a filter is switched, in this order: insert the group,
// move the class's rows into `rowGroup` (unmarking them when `unmarkRows`), remove the
// group or all groups, then set the group view.
struct FilterSteps {
    int32_t insertGroup = 0;  // 0: none
    int insertAt = 0;         // the new group's index among the groups
    std::vector<int> rows;
    int32_t rowGroup = kResultGroupNone;
    bool unmarkRows = false;
    int32_t removeGroup = 0;  // 0: none
    bool removeAllGroups = false;
    bool groupView = false;
    bool changed = false;  // false: the filter was already so, nothing to do
};

struct RowMarkUpdate {
    int row = 0;
    bool marked = false;
};

class CResultFilters {
public:
    // A new row at the end; returns its group id (its class when that group exists).
    int32_t Append(int32_t status);
    // The list removed the row.
    void Removed(int row);

    std::size_t RowCount() const { return m_rows.size(); }
    int32_t ClassOf(int row) const { return m_rows[row].resultClass; }
    int32_t GroupOf(int row) const { return m_rows[row].group; }

    bool ShowFailed() const { return m_showFailed; }
    bool ShowSucceeded() const { return m_showSucceeded; }
    FilterSteps SetShowFailed(bool show);
    FilterSteps SetShowSucceeded(bool show);

    // The groups the list has, in their order, and whether it shows them.
    std::vector<int32_t> Groups() const;
    bool GroupView() const { return m_showFailed || m_showSucceeded; }
    // Whether the list shows the row: in group view only the rows of an existing group.
    bool IsShown(int row) const;
    // The rows the row commands act on: every row, or with a filter on the shown classes.
    bool IsAffected(int row) const;

    // Select all: every affected row marked.
    std::vector<RowMarkUpdate> SelectAll() const;
    // Toggle: among the affected rows, the selected ones unmarked and the others marked.
    std::vector<RowMarkUpdate> Toggle(const std::vector<bool>& selected) const;
    // Remove: the selected affected rows, highest first so that the indexes stay valid.
    std::vector<int> RowsToRemove(const std::vector<bool>& selected) const;

private:
    struct Row {
        int32_t resultClass = kResultClassOther;
        int32_t group = kResultGroupNone;
    };

    bool Shows(int32_t resultClass) const;
    FilterSteps Switch(int32_t resultClass, bool show);

    std::vector<Row> m_rows;
    bool m_showFailed = false;
    bool m_showSucceeded = false;
};

}  // namespace qmz
