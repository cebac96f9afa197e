#include "ui/model/result_filters.h"

#include <algorithm>

#include "ops/operation.h"

namespace qmz {

int32_t ResultClassOf(int32_t status) {
    switch (status) {
        case StatusCompleted:
            return kResultClassSucceeded;
        case StatusFailedSystemFile:
        case StatusFailedOther:
        case StatusAborted:
            return kResultClassFailed;
        default:
            return kResultClassOther;
    }
}

int32_t CResultFilters::Append(int32_t status) {
    Row row;
    row.resultClass = ResultClassOf(status);
    row.group = Shows(row.resultClass) ? row.resultClass : kResultGroupNone;
    m_rows.push_back(row);
    return row.group;
}

void CResultFilters::Removed(int row) {
    if (row >= 0 && row < static_cast<int>(m_rows.size())) {
        m_rows.erase(m_rows.begin() + row);
    }
}

FilterSteps CResultFilters::SetShowFailed(bool show) {
    return Switch(kResultClassFailed, show);
}

FilterSteps CResultFilters::SetShowSucceeded(bool show) {
    return Switch(kResultClassSucceeded, show);
}

std::vector<int32_t> CResultFilters::Groups() const {
    std::vector<int32_t> groups;
    if (m_showFailed) {
        groups.push_back(kResultGroupFailed);
    }
    if (m_showSucceeded) {
        groups.push_back(kResultGroupCompleted);
    }
    return groups;
}

bool CResultFilters::IsShown(int row) const {
    if (!GroupView()) {
        return true;
    }
    const int32_t group = m_rows[row].group;
    return (group == kResultGroupFailed && m_showFailed) ||
           (group == kResultGroupCompleted && m_showSucceeded);
}

bool CResultFilters::IsAffected(int row) const {
    return !GroupView() || Shows(m_rows[row].resultClass);
}

std::vector<RowMarkUpdate> CResultFilters::SelectAll() const {
    std::vector<RowMarkUpdate> updates;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        if (IsAffected(row)) {
            updates.push_back({row, true});
        }
    }
    return updates;
}

std::vector<RowMarkUpdate> CResultFilters::Toggle(const std::vector<bool>& selected) const {
    std::vector<RowMarkUpdate> updates;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        if (IsAffected(row)) {
            const bool wasSelected = row < static_cast<int>(selected.size()) && selected[row];
            updates.push_back({row, !wasSelected});
        }
    }
    return updates;
}

std::vector<int> CResultFilters::RowsToRemove(const std::vector<bool>& selected) const {
    std::vector<int> rows;
    const int count = static_cast<int>(std::min(selected.size(), m_rows.size()));
    for (int row = count - 1; row >= 0; --row) {
        if (selected[row] && IsAffected(row)) {
            rows.push_back(row);
        }
    }
    return rows;
}

bool CResultFilters::Shows(int32_t resultClass) const {
    return (resultClass == kResultClassFailed && m_showFailed) ||
           (resultClass == kResultClassSucceeded && m_showSucceeded);
}

FilterSteps CResultFilters::Switch(int32_t resultClass, bool show) {
    FilterSteps steps;
    bool& flag = resultClass == kResultClassFailed ? m_showFailed : m_showSucceeded;
    if (flag == show) {
        steps.groupView = GroupView();
        return steps;
    }
    steps.changed = true;
    if (show) {
        // The failed group always comes first, whichever filter was switched on first.
        steps.insertGroup = resultClass;
        steps.insertAt = resultClass == kResultClassSucceeded && m_showFailed ? 1 : 0;
    }
    flag = show;
    steps.rowGroup = show ? resultClass : kResultGroupHidden;
    steps.unmarkRows = !show;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        if (m_rows[row].resultClass == resultClass) {
            m_rows[row].group = steps.rowGroup;
            steps.rows.push_back(row);
        }
    }
    if (!show) {
        steps.removeGroup = resultClass;
        steps.removeAllGroups = !GroupView();
    }
    steps.groupView = GroupView();
    return steps;
}

}  // namespace qmz
