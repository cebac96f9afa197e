#include "ui/win/qmz4_drives.h"

#include "resources/string_ids.h"
#include "ui/model/list_conventions.h"
#include "ui/resource_ids.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

// Check boxes, full-row select and info tips.
constexpr DWORD kDriveListStyles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
constexpr uint32_t kColumnTexts[] = {IDS_DRIVE_COLUMN_LETTER, IDS_DRIVE_COLUMN_VOLUME,
                                     IDS_DRIVE_COLUMN_FREE_SPACE, IDS_DRIVE_COLUMN_CAPACITY};
// The four columns share the width with a fifth part left free.
constexpr int kWidthParts = 5;

}  // namespace

CQMZ4Drives::CQMZ4Drives(HMODULE resources, const PlatformServices* platform)
    : m_resources(resources), m_platform(platform) {
    m_options.windowsVolumeRoot = WindowsVolumeRoot(platform->shell, platform->fileSystem);
}

bool CQMZ4Drives::Run(HWND owner, const std::wstring& title) {
    m_title = title;
    m_rows.clear();
    m_chosen.clear();
    const INT_PTR ended = DialogBoxParamW(m_resources, MAKEINTRESOURCEW(IDD_DRIVES), owner,
                                          DialogProc, reinterpret_cast<LPARAM>(this));
    m_dialog = nullptr;
    m_list = CListView();
    if (ended != IDOK) {
        m_chosen.clear();
        return false;
    }
    return true;
}

INT_PTR CALLBACK CQMZ4Drives::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CQMZ4Drives*>(lParam)->OnInitDialog(dialog);
        return TRUE;
    }
    auto* self = reinterpret_cast<CQMZ4Drives*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom != IDC_DRIVE_LIST || header.code != LVN_ITEMCHANGED) {
            return FALSE;
        }
        self->OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(lParam));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        self->OnOk();
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

void CQMZ4Drives::OnInitDialog(HWND dialog) {
    m_dialog = dialog;
    m_list = CListView(GetDlgItem(dialog, IDC_DRIVE_LIST));
    m_updatingRows = true;
    ListView_SetExtendedListViewStyleEx(m_list.Handle(), kDriveListStyles, kDriveListStyles);
    InsertColumns();
    for (const DriveRow& row : BuildDriveRows(*m_platform, m_options)) {
        const int index = m_list.RowCount();
        if (m_list.InsertRow(index, {row.info.path, row.label, row.freeText, row.totalText})) {
            m_rows.push_back(row.info);
        }
    }
    m_updatingRows = false;
    if (m_rows.empty()) {
        MessageBoxW(dialog, LoadResourceString(m_resources, IDS_DRIVE_NONE_APPLICABLE).c_str(),
                    m_title.c_str(), MB_OK | MB_ICONERROR);
        EndDialog(dialog, IDCANCEL);
    }
}

void CQMZ4Drives::InsertColumns() {
    RECT client = {};
    GetClientRect(m_list.Handle(), &client);
    const int width = (client.right - client.left) / kWidthParts;
    int column = 0;
    for (const uint32_t text : kColumnTexts) {
        std::wstring caption = LoadResourceString(m_resources, text);
        LVCOLUMNW entry = {};
        entry.mask = LVCF_TEXT | LVCF_SUBITEM | LVCF_WIDTH;
        entry.pszText = caption.data();
        entry.iSubItem = column;
        entry.cx = width;
        SendMessageW(m_list.Handle(), LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&entry));
        ++column;
    }
}

void CQMZ4Drives::OnItemChanged(const NMLISTVIEW& change) {
    if (m_updatingRows) {
        return;
    }
    const RowFollow follow = FollowRowChange(change.uChanged, change.uOldState, change.uNewState);
    if (!follow.follows) {
        return;
    }
    m_updatingRows = true;
    // Row -1 stands for every row, as when the list clears its whole selection.
    const RowRange rows = NotifiedRows(change.iItem, m_list.RowCount());
    for (int row = rows.first; row <= rows.last; ++row) {
        m_list.MarkRow(row, follow.marked);
    }
    m_updatingRows = false;
}

void CQMZ4Drives::OnOk() {
    m_chosen.clear();
    for (int row = 0; row < m_list.RowCount() && row < static_cast<int>(m_rows.size()); ++row) {
        if (m_list.IsSelected(row)) {
            m_chosen.push_back(m_rows[static_cast<size_t>(row)]);
        }
    }
    if (!m_chosen.empty()) {
        EndDialog(m_dialog, IDOK);
    }
}

}  // namespace qmz
