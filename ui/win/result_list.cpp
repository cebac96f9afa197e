#include "ui/win/result_list.h"

#include "ui/model/list_conventions.h"

namespace qmz {

int CResultList::AppendResult(const ResultRow& row, const std::wstring& statusText) {
    CMarking marking(m_marking);
    const int lastBefore = m_view.RowCount() - 1;
    const bool followEnd = lastBefore < 0 || m_view.IsRowVisible(lastBefore);
    const int32_t group = m_filters.Append(row.status);
    const std::wstring failures = row.failureCount != 0 ? std::to_wstring(row.failureCount) : L"";
    const int added = m_view.AppendRow({row.name, row.path, row.kindName, statusText, failures},
                                       group, ResultClassOf(row.status));
    if (added < 0) {
        m_filters.Removed(static_cast<int>(m_filters.RowCount()) - 1);
        return -1;
    }
    // Follow the end only when the user is looking at it.
    if (followEnd) {
        m_view.EnsureVisible(added);
    }
    return added;
}

void CResultList::SetShowFailed(bool show, const std::wstring& header) {
    Apply(m_filters.SetShowFailed(show), header);
}

void CResultList::SetShowSucceeded(bool show, const std::wstring& header) {
    Apply(m_filters.SetShowSucceeded(show), header);
}

void CResultList::SelectAll() {
    Mark(m_filters.SelectAll());
}

void CResultList::Toggle() {
    Mark(m_filters.Toggle(m_view.SelectedRows()));
}

void CResultList::RemoveSelected(const std::function<void(const std::wstring&)>& report) {
    CMarking marking(m_marking);
    for (int row : m_filters.RowsToRemove(m_view.SelectedRows())) {
        const std::wstring path = m_view.CellText(row, 1);
        if (m_view.DeleteRow(row)) {
            m_filters.Removed(row);
        } else if (report) {
            report(L"DeleteItem() failed\n" + path);
        }
    }
}

void CResultList::OnItemChanged(const NMLISTVIEW& change) {
    if (m_marking > 0) {
        return;
    }
    CMarking marking(m_marking);
    m_view.FollowMarkChange(change);
}

void CResultList::Apply(const FilterSteps& steps, const std::wstring& header) {
    if (!steps.changed) {
        return;
    }
    CMarking marking(m_marking);
    if (steps.insertGroup != 0) {
        m_view.InsertGroup(steps.insertGroup, steps.insertAt, header);
    }
    for (int row : steps.rows) {
        m_view.SetRowGroup(row, steps.rowGroup);
        if (steps.unmarkRows) {
            m_view.MarkRow(row, false);
        }
    }
    if (steps.removeGroup != 0) {
        m_view.RemoveGroup(steps.removeGroup);
    }
    if (steps.removeAllGroups) {
        m_view.RemoveAllGroups();
    }
    m_view.EnableGroupView(steps.groupView);
}

void CResultList::Mark(const std::vector<RowMarkUpdate>& updates) {
    CMarking marking(m_marking);
    for (const RowMarkUpdate& update : updates) {
        m_view.MarkRow(update.row, update.marked);
    }
}

}  // namespace qmz
