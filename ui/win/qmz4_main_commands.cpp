// The main window's commands: pages, the lists' conventions, help, about and closing.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <shellapi.h>

#include "resources/string_ids.h"
#include "ui/model/list_conventions.h"
#include "ui/model/page_model.h"
#include "ui/resource_ids.h"
#include "ui/win/about_dialog.h"
#include "ui/win/qmz4_main.h"

namespace qmz {
namespace {

// The publisher's web page, opened from the right-hand banner.
constexpr wchar_t kPublisherPage[] = L"https://www.quellmark.example/";

OperationList Single(std::unique_ptr<CEraseOperationBase> operation) {
    OperationList list;
    list.push_back(std::move(operation));
    return list;
}

}  // namespace

void CQMZ4Main::OnCommand(int id, int code) {
    if (OnControlCommand(id)) {
        return;
    }
    switch (id) {
        case ID_APP_ABOUT:
            ShowAboutBox(m_env.resources, m_hwnd);
            break;
        case ID_APP_EXIT:
            Exit();
            break;
        case ID_HELP_SHOW_FILE:
            ShowHelpFile();
            break;
        case IDC_BANNER_RIGHT:
            if (code == STN_CLICKED) {
                OpenPublisherPage();
            }
            break;
        case IDC_GOTO_BASIC:
            SelectTab(kPageBasic);
            break;
        case IDC_GOTO_FULL:
            SelectTab(kPageFull);
            break;
        case IDC_ERASE_SELECT_ALL:
            OnSelectAll();
            break;
        case IDC_ERASE_TOGGLE:
            OnToggleSelection();
            break;
        case IDC_ERASE_REMOVE:
            OnRemoveSelected();
            break;
        case IDC_ERASE_ADD:
            OnPickItems();
            break;
        case IDC_INTERNET_HISTORY:
            AddButtonRequest(Single(m_requests->ForInternetHistory()));
            break;
        case IDC_INTERNET_TEMP:
            AddButtonRequest(Single(m_requests->ForInternetTemp()));
            break;
        case IDC_INTERNET_COOKIES:
            AddButtonRequest(Single(m_requests->ForInternetCookies()));
            break;
        case IDC_WINDOWS_TEMP:
            AddButtonRequest(m_requests->ForWindowsTemp());
            break;
        case IDC_FREE_SPACE:
            OnChooseDrives(false);
            break;
        case IDC_RECYCLE_BIN:
            AddButtonRequest(Single(
                m_requests->ForRecycleBin(Text(IDS_RECYCLE_BIN), m_settings.AllUsersRecycleBin)));
            break;
        case IDC_ENTIRE_PARTITION:
            OnChooseDrives(true);
            break;
        case IDC_START_ERASE:
        case IDOK:  // Return
            OnStartErase();
            break;
        case IDC_PAUSE:
            OnPauseButton();
            break;
        case IDCANCEL:  // Esc: the pause action, or during an exit the last way out
            if (m_exiting) {
                OnCancelWhileExiting();
            } else {
                OnPauseButton();
            }
            break;
        case ID_ABORT_ITEM:
            OnAbortItem();
            break;
        case IDC_RESULT_SELECT_ALL: {
            CProgrammaticChange change(this);
            m_results.SelectAll();
            break;
        }
        case IDC_RESULT_TOGGLE: {
            CProgrammaticChange change(this);
            m_results.Toggle();
            break;
        }
        case IDC_RESULT_REMOVE: {
            CProgrammaticChange change(this);
            m_results.RemoveSelected([this](const std::wstring& detail) { InternalError(detail); });
            break;
        }
        case IDC_SHOW_FAILED:
        case IDC_SHOW_SUCCEEDED:
            OnResultFilter(id);
            break;
        case ID_APP_SETTINGS:
        case IDC_ERASE_SETTINGS:
        case IDC_RESULT_SETTINGS:
            OnSettings();
            break;
        case ID_SHOW_WINDOW:
            Restore();
            break;
        case IDC_CLOSE:
        case IDC_HIDDEN_CLOSE:
            OnClose();
            break;
        default:
            break;
    }
}

void CQMZ4Main::OnSysCommand(WPARAM) {
    ShowAboutBox(m_env.resources, m_hwnd);
}

bool CQMZ4Main::OnNotify(const NMHDR& header, LRESULT* result) {
    if (header.idFrom == IDC_TABS && header.code == TCN_SELCHANGE) {
        SwitchPage(static_cast<int>(SendDlgItemMessageW(m_hwnd, IDC_TABS, TCM_GETCURSEL, 0, 0)));
        return true;
    }
    const bool eraseList = header.idFrom == IDC_ERASE_LIST;
    if (eraseList || header.idFrom == IDC_RESULT_LIST) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (header.code == LVN_ITEMCHANGING && eraseList && m_programmaticChange == 0 &&
            (SelectionChanged(change) || CheckChanged(change))) {
            *result = BeginListChange() ? FALSE : TRUE;
            return true;
        }
        if (header.code == LVN_ITEMCHANGED) {
            OnListItemChanged(static_cast<int>(header.idFrom), change);
            return false;
        }
        if (header.code == LVN_GETINFOTIPW) {
            auto& tip =
                const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(header));
            const CListView& list = eraseList ? m_eraseList : m_results.View();
            lstrcpynW(tip.pszText, list.CellText(tip.iItem, 1).c_str(), tip.cchTextMax);
            return true;
        }
        return false;
    }
    // A column resized by the user: show the list afresh so that it repaints whole.
    if ((header.code == HDN_ITEMCHANGEDW || header.code == HDN_ITEMCHANGEDA) &&
        m_programmaticChange == 0) {
        for (const CListView* list : {&m_eraseList, &m_results.View()}) {
            if (header.hwndFrom == list->Header() && IsWindowVisible(list->Handle())) {
                CProgrammaticChange change(this);
                ShowWindow(list->Handle(), SW_HIDE);
                ShowWindow(list->Handle(), SW_SHOW);
            }
        }
    }
    return false;
}

void CQMZ4Main::OnListItemChanged(int listId, const NMLISTVIEW& change) {
    if (m_programmaticChange > 0) {
        return;
    }
    CProgrammaticChange programmatic(this);
    if (listId == IDC_RESULT_LIST) {
        m_results.OnItemChanged(change);  // no pause: finished rows are the user's alone
        return;
    }
    m_eraseList.FollowMarkChange(change);
}

void CQMZ4Main::OnSelectAll() {
    if (!m_env.coordinator->BeginUserChange()) {
        return;
    }
    CProgrammaticChange change(this);
    m_eraseList.MarkRows(SelectAllRows(m_eraseList.RowCount()));
}

void CQMZ4Main::OnToggleSelection() {
    if (!m_env.coordinator->BeginUserChange()) {
        return;
    }
    CProgrammaticChange change(this);
    m_eraseList.MarkRows(ToggleRows(m_eraseList.SelectedRows()));
}

void CQMZ4Main::OnRemoveSelected() {
    if (!m_env.coordinator->BeginUserChange()) {
        return;
    }
    CProgrammaticChange change(this);
    m_env.coordinator->RemoveRows(m_eraseList.SelectedRows());
}

void CQMZ4Main::OnResultFilter(int id) {
    const CResultFilters& filters = m_results.Filters();
    // The skin's buttons are drawn by the window and hold no check state of their own:
    // the filters hold it.
    const bool show = id == IDC_SHOW_FAILED ? !filters.ShowFailed() : !filters.ShowSucceeded();
    CProgrammaticChange change(this);
    if (id == IDC_SHOW_FAILED) {
        m_results.SetShowFailed(show, Text(IDS_GROUP_FAILED));
    } else {
        m_results.SetShowSucceeded(show, Text(IDS_GROUP_SUCCEEDED));
    }
    CheckDlgButton(m_hwnd, id, show ? BST_CHECKED : BST_UNCHECKED);
    InvalidateRect(GetDlgItem(m_hwnd, id), nullptr, TRUE);
}

void CQMZ4Main::ShowHelpFile() {
    const std::wstring path = m_env.programDirectory + L"\\" + m_helpFileName;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = m_hwnd;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) {
        return;
    }
    // A missing help file or a missing PDF reader is not a program fault: say what the
    // system says, and where the file was looked for.
    const DWORD error = GetLastError();
    wchar_t* reason = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr);
    std::wstring text = reason != nullptr ? reason : L"";
    LocalFree(reason);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
        text.pop_back();
    }
    MessageBoxW(m_hwnd, (text + L"\n" + path).c_str(), m_title.c_str(), MB_OK | MB_ICONERROR);
}

void CQMZ4Main::OpenPublisherPage() {
    ShellExecuteW(m_hwnd, L"open", kPublisherPage, nullptr, nullptr, SW_SHOWNORMAL);
}

void CQMZ4Main::RowInserted(int32_t row, const CEraseOperationBase& operation) {
    CProgrammaticChange change(this);
    const std::wstring& path = operation.m_path;
    const size_t slash = path.rfind(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        name = path;
    }
    const std::wstring estimate = EstimateText(operation.m_bytesToWrite, operation.m_fileCount,
                                               operation.m_folderCount, m_timeUnits);
    if (!m_eraseList.InsertRow(row, {name, path, operation.KindName(),
                                     m_statusTexts.Text(operation.m_status), estimate})) {
        InternalError(L"InsertItem() failed:\n" + path);
    }
}

void CQMZ4Main::RowStatusChanged(int32_t row, int32_t status) {
    CProgrammaticChange change(this);
    m_eraseList.SetCellText(row, 3, m_statusTexts.Text(status));
}

void CQMZ4Main::RowRemoved(int32_t row) {
    CProgrammaticChange change(this);
    if (!m_eraseList.DeleteRow(row)) {
        InternalError(L"DeleteItem() failed:\n" + m_eraseList.CellText(row, 1));
    }
}

void CQMZ4Main::ShowRow(int32_t row) {
    m_eraseList.EnsureVisible(row);
}

void CQMZ4Main::ElapsedStopped(uint32_t totalMilliseconds) {
    SetDlgItemTextW(m_hwnd, IDC_ERASE_TIME, FormatElapsed(totalMilliseconds).c_str());
}

void CQMZ4Main::CountersChanged(const ResultCounters& counters) {
    SetDlgItemInt(m_hwnd, IDC_ERASED_COUNT, counters.erased, FALSE);
    SetDlgItemInt(m_hwnd, IDC_SYSTEM_FAILED_COUNT, counters.failedSystem, FALSE);
    SetDlgItemInt(m_hwnd, IDC_OTHER_FAILED_COUNT, counters.failedOther, FALSE);
}

void CQMZ4Main::ResultAdded(const ResultRow& row) {
    CProgrammaticChange change(this);
    if (m_results.AppendResult(row, m_statusTexts.Text(row.status)) < 0) {
        InternalError(L"InsertItem() failed:\n" + row.path);
    }
}

void CQMZ4Main::EraseListEmptied() {
    SelectTab(kPageResults);
}

void CQMZ4Main::PauseShown(bool paused) {
    SetDlgItemTextW(m_hwnd, IDC_PAUSE,
                    paused ? Text(IDS_PAUSE_BUTTON_PAUSED).c_str() : m_pauseCaption.c_str());
    m_skin.SetPaused(m_hwnd, paused);
}

}  // namespace qmz
