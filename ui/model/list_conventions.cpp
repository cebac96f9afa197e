#include "ui/model/list_conventions.h"

namespace qmz {

RowMark MatchMarks(RowMark changed, RowChange what) {
    const bool value = what == RowChange::kSelection ? changed.selected : changed.checked;
    return {value, value};
}

std::vector<bool> SelectAllRows(std::size_t rowCount) {
    return std::vector<bool>(rowCount, true);
}

std::vector<bool> ToggleRows(const std::vector<bool>& selected) {
    std::vector<bool> toggled(selected.size());
    for (std::size_t i = 0; i < selected.size(); ++i) {
        toggled[i] = !selected[i];
    }
    return toggled;
}

RowRange NotifiedRows(int item, int rowCount) {
    return item < 0 ? RowRange{0, rowCount - 1} : RowRange{item, item};
}

}  // namespace qmz
