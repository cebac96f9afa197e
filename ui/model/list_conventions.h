// The lists' conventions: a row is checked exactly when it is selected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmz {

// What the user changed on a row.
enum class RowChange { kSelection, kCheck };

struct RowMark {
    bool selected = false;
    bool checked = false;
};

// The row after the user's change: the other mark follows the one that was changed.
RowMark MatchMarks(RowMark changed, RowChange what);

// Select all: every row selected (and checked).
std::vector<bool> SelectAllRows(std::size_t rowCount);

// The rows a list-view change notification is about: its item, or every row for -1.
struct RowRange {
    int first = 0;
    int last = -1;  // empty when last < first
};
RowRange NotifiedRows(int item, int rowCount);
// Toggle: every selected row unselected, every other row selected.
std::vector<bool> ToggleRows(const std::vector<bool>& selected);

}  // namespace qmz
