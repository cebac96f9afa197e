#include "ui/win/list_view.h"

#include "ui/model/list_conventions.h"

namespace qmz {
namespace {

constexpr UINT kCheckedImage = 2;  // state image 1 is unchecked, 2 checked

UINT StateImage(UINT state) {
    return (state & LVIS_STATEIMAGEMASK) >> 12;
}

}  // namespace

void CListView::AddExtendedStyles() {
    const DWORD styles =
        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP;
    ListView_SetExtendedListViewStyleEx(m_list, styles, styles);
}

void CListView::InsertColumns(const std::vector<std::wstring>& captions) {
    for (size_t i = 0; i < captions.size(); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_WIDTH;
        column.pszText = const_cast<LPWSTR>(captions[i].c_str());
        column.iSubItem = static_cast<int>(i);
        column.cx = 50;
        SendMessageW(m_list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void CListView::SetColumnWidths(const ColumnWidths& widths) {
    for (int i = 0; i < kListColumnCount; ++i) {
        ListView_SetColumnWidth(m_list, i, widths[i]);
    }
}

int CListView::RowCount() const {
    return ListView_GetItemCount(m_list);
}

std::vector<bool> CListView::SelectedRows() const {
    std::vector<bool> selected(RowCount());
    for (int row = 0; row < static_cast<int>(selected.size()); ++row) {
        selected[row] = IsSelected(row);
    }
    return selected;
}

bool CListView::IsSelected(int row) const {
    return (ListView_GetItemState(m_list, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

bool CListView::IsChecked(int row) const {
    return ListView_GetCheckState(m_list, row) != 0;
}

void CListView::MarkRow(int row, bool marked) {
    ListView_SetItemState(m_list, row, marked ? LVIS_SELECTED : 0, LVIS_SELECTED);
    ListView_SetCheckState(m_list, row, marked);
}

void CListView::MarkRows(const std::vector<bool>& marked) {
    for (int row = 0; row < static_cast<int>(marked.size()); ++row) {
        MarkRow(row, marked[row]);
    }
}

bool CListView::InsertRow(int row, const std::vector<std::wstring>& cells) {
    if (cells.empty()) {
        return false;
    }
    std::wstring first = cells[0];
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = first.data();
    if (SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != row) {
        return false;
    }
    for (size_t column = 1; column < cells.size(); ++column) {
        SetCellText(row, static_cast<int>(column), cells[column]);
    }
    return true;
}

int CListView::AppendRow(const std::vector<std::wstring>& cells, int groupId, LPARAM data) {
    if (cells.empty()) {
        return -1;
    }
    std::wstring first = cells[0];
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = first.data();
    item.lParam = data;
    if (groupId >= 0 && SendMessageW(m_list, LVM_HASGROUP, groupId, 0) != 0) {
        item.mask |= LVIF_GROUPID;
        item.iGroupId = groupId;
    }
    const int row =
        static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (size_t column = 1; row >= 0 && column < cells.size(); ++column) {
        SetCellText(row, static_cast<int>(column), cells[column]);
    }
    return row;
}

bool CListView::IsRowVisible(int row) const {
    RECT bounds = {};
    RECT client = {};
    if (!ListView_GetItemRect(m_list, row, &bounds, LVIR_BOUNDS) ||
        !GetClientRect(m_list, &client)) {
        return false;
    }
    return bounds.top >= client.top && bounds.top < client.bottom;
}

void CListView::SetCellText(int row, int column, const std::wstring& text) {
    std::wstring copy = text;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = copy.data();
    SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

bool CListView::DeleteRow(int row) {
    return ListView_DeleteItem(m_list, row) != FALSE;
}

void CListView::EnsureVisible(int row) {
    ListView_EnsureVisible(m_list, row, FALSE);
}

std::wstring CListView::CellText(int row, int column) const {
    wchar_t buffer[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(std::size(buffer));
    SendMessageW(m_list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

LPARAM CListView::RowData(int row) const {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

bool CListView::EnableGroupView(bool on) {
    // 0 means the view was already so; only -1 is a refusal.
    return SendMessageW(m_list, LVM_ENABLEGROUPVIEW, on ? TRUE : FALSE, 0) != -1;
}

bool CListView::IsGroupViewEnabled() const {
    return SendMessageW(m_list, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
}

bool CListView::InsertGroup(int groupId, int index, const std::wstring& header) {
    std::wstring text = header;
    LVGROUP group = {};
    // The size of the structure as Windows XP's comctl32 knows it; the later fields
    // are not used.
    group.cbSize = LVGROUP_V5_SIZE;
    group.mask = LVGF_HEADER | LVGF_GROUPID | LVGF_ALIGN;
    group.pszHeader = text.data();
    group.cchHeader = static_cast<int>(text.size());
    group.iGroupId = groupId;
    group.uAlign = LVGA_HEADER_LEFT;
    return SendMessageW(m_list, LVM_INSERTGROUP, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&group)) != -1;
}

bool CListView::RemoveGroup(int groupId) {
    return SendMessageW(m_list, LVM_REMOVEGROUP, groupId, 0) != -1;
}

void CListView::RemoveAllGroups() {
    SendMessageW(m_list, LVM_REMOVEALLGROUPS, 0, 0);
}

bool CListView::HasGroup(int groupId) const {
    return SendMessageW(m_list, LVM_HASGROUP, groupId, 0) != 0;
}

int CListView::GroupCount() const {
    return static_cast<int>(SendMessageW(m_list, LVM_GETGROUPCOUNT, 0, 0));
}

int CListView::GroupIdAt(int index) const {
    LVGROUP group = {};
    group.cbSize = LVGROUP_V5_SIZE;
    group.mask = LVGF_GROUPID;
    group.iGroupId = I_GROUPIDNONE;
    SendMessageW(m_list, LVM_GETGROUPINFOBYINDEX, index, reinterpret_cast<LPARAM>(&group));
    return group.iGroupId;
}

std::wstring CListView::GroupHeader(int groupId) const {
    wchar_t buffer[256] = {};
    LVGROUP group = {};
    group.cbSize = LVGROUP_V5_SIZE;
    group.mask = LVGF_HEADER;
    group.pszHeader = buffer;
    group.cchHeader = static_cast<int>(std::size(buffer));
    if (SendMessageW(m_list, LVM_GETGROUPINFO, groupId, reinterpret_cast<LPARAM>(&group)) == -1) {
        return L"";
    }
    // Some versions hand back their own copy instead of filling the buffer.
    return group.pszHeader != nullptr ? group.pszHeader : L"";
}

bool CListView::SetRowGroup(int row, int groupId) {
    LVITEMW item = {};
    item.mask = LVIF_GROUPID;
    item.iItem = row;
    item.iGroupId = groupId;
    return SendMessageW(m_list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

int CListView::RowGroup(int row) const {
    LVITEMW item = {};
    item.mask = LVIF_GROUPID;
    item.iItem = row;
    item.iGroupId = I_GROUPIDNONE;
    SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iGroupId;
}

void CListView::FollowMarkChange(const NMLISTVIEW& change) {
    // Row -1 stands for every row, as when a click on empty space deselects them all.
    const RowRange rows = NotifiedRows(change.iItem, RowCount());
    for (int row = rows.first; row <= rows.last; ++row) {
        if (SelectionChanged(change)) {
            MarkRow(row, MatchMarks({SelectedAfter(change), false}, RowChange::kSelection).checked);
        } else if (CheckChanged(change)) {
            MarkRow(row, MatchMarks({false, CheckedAfter(change)}, RowChange::kCheck).selected);
        }
    }
}

bool SelectionChanged(const NMLISTVIEW& change) {
    return (change.uChanged & LVIF_STATE) != 0 &&
           ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0;
}

bool CheckChanged(const NMLISTVIEW& change) {
    return (change.uChanged & LVIF_STATE) != 0 && StateImage(change.uOldState) != 0 &&
           StateImage(change.uOldState) != StateImage(change.uNewState);
}

bool SelectedAfter(const NMLISTVIEW& change) {
    return (change.uNewState & LVIS_SELECTED) != 0;
}

bool CheckedAfter(const NMLISTVIEW& change) {
    return StateImage(change.uNewState) == kCheckedImage;
}

}  // namespace qmz
