// Small helpers over a report-style list view whose rows are checked exactly when they
// are selected.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/model/layout_model.h"

namespace qmz {

class CListView {
public:
    CListView() = default;
    explicit CListView(HWND list) : m_list(list) {}

    HWND Handle() const { return m_list; }
    HWND Header() const { return ListView_GetHeader(m_list); }

    // Check boxes, full-row select, info tips and label tips on top of the existing styles.
    void AddExtendedStyles();
    void InsertColumns(const std::vector<std::wstring>& captions);
    void SetColumnWidths(const ColumnWidths& widths);

    int RowCount() const;
    std::vector<bool> SelectedRows() const;
    bool IsSelected(int row) const;
    bool IsChecked(int row) const;
    // Sets both marks of a row, keeping the check-equals-select convention.
    void MarkRow(int row, bool marked);
    void MarkRows(const std::vector<bool>& marked);
    // After an LVN_ITEMCHANGED the user caused: the rows it names get the other mark to
    // match (checking selects, selecting checks).
    void FollowMarkChange(const NMLISTVIEW& change);
    // A row at `row` with one text per column; false when the list refused it.
    bool InsertRow(int row, const std::vector<std::wstring>& cells);
    // A row at the end, in group `groupId` when the list has that group, with `data` as
    // its item data; its index, or -1 when the list refused it.
    int AppendRow(const std::vector<std::wstring>& cells, int groupId, LPARAM data);
    // Whether the row's top edge lies inside the list's client area.
    bool IsRowVisible(int row) const;
    void SetCellText(int row, int column, const std::wstring& text);
    bool DeleteRow(int row);
    void EnsureVisible(int row);
    std::wstring CellText(int row, int column) const;
    LPARAM RowData(int row) const;

    // Groups (comctl32 version 6). In group view the list shows only the rows of an
    // existing group; a row can name a group that does not exist.
    // Switches the group view; false when the list refused.
    bool EnableGroupView(bool on);
    bool IsGroupViewEnabled() const;
    // A group with a left-aligned header at `index` among the groups (-1: last).
    bool InsertGroup(int groupId, int index, const std::wstring& header);
    bool RemoveGroup(int groupId);
    void RemoveAllGroups();
    bool HasGroup(int groupId) const;
    // The groups in their order (Vista or later: XP's list cannot say; for tests).
    int GroupCount() const;
    // The id of the group at `index`, or I_GROUPIDNONE when there is none.
    int GroupIdAt(int index) const;
    std::wstring GroupHeader(int groupId) const;
    bool SetRowGroup(int row, int groupId);
    int RowGroup(int row) const;

private:
    HWND m_list = nullptr;
};

// The marks before and after an LVN_ITEMCHANGED notification, in the model's terms.
bool SelectionChanged(const NMLISTVIEW& change);
bool CheckChanged(const NMLISTVIEW& change);
bool SelectedAfter(const NMLISTVIEW& change);
bool CheckedAfter(const NMLISTVIEW& change);

}  // namespace qmz
