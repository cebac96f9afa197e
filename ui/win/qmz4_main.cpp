// The main window's life: initialisation, placement, scrolling and page switching.
#include "ui/win/qmz4_main.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <shlobj.h>

#include <iterator>

#include "engine/method_table.h"
#include "ops/operation_names.h"
#include "resources/string_ids.h"
#include "ui/model/page_model.h"
#include "ui/resource_ids.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

constexpr UINT_PTR kStartupTimer = 88;
constexpr UINT kStartupDelay = 30;
// Tab captions in page order (MainPage).
constexpr uint32_t kTabCaptionIds[kPageCount] = {IDS_TAB_WELCOME, IDS_TAB_BASIC, IDS_TAB_FULL,
                                                 IDS_TAB_RESULTS};

std::wstring DocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, path))) {
        return std::wstring();
    }
    return path;
}

HICON LoadIconSized(HMODULE module, int id, int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0));
}

}  // namespace

CQMZ4Main::CQMZ4Main(MainWindowEnvironment environment)
    : m_env(std::move(environment)), m_taskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")) {}

CQMZ4Main::~CQMZ4Main() {
    // The coordinator outlives the window: its worker ends, and it must not call back.
    m_env.coordinator->Shutdown();
    m_env.coordinator->Attach(nullptr, nullptr, m_title, m_env.errorMessagePrefix);
}

INT_PTR CQMZ4Main::RunModal(HWND owner) {
    return DialogBoxParamW(m_env.resources, MAKEINTRESOURCEW(IDD_QMZ4_MAIN), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CQMZ4Main::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CQMZ4Main*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
        self->m_hwnd = hwnd;
        self->OnInitDialog();
        return FALSE;  // the focus is set
    }
    auto* self = reinterpret_cast<CQMZ4Main*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self == nullptr ? FALSE : self->HandleMessage(message, wParam, lParam);
}

INT_PTR CQMZ4Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                OnSysCommand(wParam);
                return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), &result)) {
                SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
                return TRUE;
            }
            return FALSE;
        }
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const bool filterOn =
                (item.CtlID == IDC_SHOW_FAILED && m_results.Filters().ShowFailed()) ||
                (item.CtlID == IDC_SHOW_SUCCEEDED && m_results.Filters().ShowSucceeded());
            return m_skin.Draw(item, filterOn) ? TRUE : FALSE;
        }
        case WM_TIMER:
            if (wParam == kStartupTimer) {
                OnStartupTimer();
            } else if (wParam == kTrayAnimationTimer) {
                OnTrayAnimationTimer();
            }
            return TRUE;
        case WM_TRAY_NOTIFY:
            OnTrayNotify(lParam);
            return TRUE;
        case WM_WINDOWPOSCHANGED:
            OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
            return FALSE;  // the default handling still sends WM_SIZE and WM_MOVE
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (lParam == 0) {
                OnScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, wParam);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        case WM_OPERATION_STATUS:
            m_env.coordinator->OnOperationStatus(reinterpret_cast<COperationBase*>(lParam));
            return TRUE;
        case WM_OPERATION_DONE:
            m_env.coordinator->OnOperationDone(reinterpret_cast<COperationBase*>(lParam));
            return TRUE;
        case WM_OPERATION_ITEM_RESULT:
            m_env.coordinator->OnItemResult(reinterpret_cast<COperationBase*>(lParam));
            return TRUE;
        default:
            if (message == m_taskbarCreated && m_taskbarCreated != 0) {
                AddTrayIcon(true);
                return TRUE;
            }
            return FALSE;
    }
}

void CQMZ4Main::OnInitDialog() {
    InitSystemMenuAndIcons();
    InitTitle();
    AttachCoordinator();
    LoadTexts();
    std::vector<std::wstring> captions;
    for (uint32_t id : kTabCaptionIds) {
        captions.push_back(Text(id));
    }
    for (uint32_t id : {IDS_COLUMN_NAME, IDS_COLUMN_PATH, IDS_COLUMN_OPERATION, IDS_COLUMN_STATUS,
                        IDS_COLUMN_ESTIMATE, IDS_COLUMN_FAILURES}) {
        captions.push_back(Text(id));
    }
    m_layout.Adapt(m_hwnd, m_env.platform->isVistaOrLater, captions,
                   [this](const wchar_t* step) { InternalError(step); });
    InitSettings();
    InitPauseMenu();
    InitTrayMenuAndIcon();
    InitRequests();
    InitSettingsDialogAndLog();
    InitTabsAndLists();
    AddTrayIcon(false);
    InitCounters();
    m_skin.Load(m_env.resources, m_env.platform->isVistaOrLater);
    m_skin.Apply(m_hwnd);
    SendDlgItemMessageW(m_hwnd, IDC_BANNER_LEFT, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_skin.Banner(IDB_BANNER_LEFT)));
    SendDlgItemMessageW(m_hwnd, IDC_BANNER_RIGHT, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_skin.Banner(IDB_BANNER_RIGHT)));
    CheckDlgButton(m_hwnd, IDC_SHOW_FAILED, BST_UNCHECKED);
    CheckDlgButton(m_hwnd, IDC_SHOW_SUCCEEDED, BST_UNCHECKED);
    m_env.coordinator->StartWorker();
    {
        CProgrammaticChange change(this);
        ShowWindow(m_hwnd, SW_SHOWMINNOACTIVE);
    }
    SetTimer(m_hwnd, kStartupTimer, kStartupDelay, nullptr);
    for (int id : {IDC_START_ERASE, IDC_GOTO_BASIC}) {
        HWND control = GetDlgItem(m_hwnd, id);
        if (IsWindowVisible(control)) {
            SetFocus(control);
            break;
        }
    }
    if (m_env.onInitialised) {
        m_env.onInitialised(m_hwnd);
    }
    m_initialised = true;
    // Automation calls that COM delivered while the window was being made.
    std::vector<std::function<void()>> pending;
    pending.swap(m_pendingRequests);
    for (const auto& request : pending) {
        request();
    }
}

void CQMZ4Main::InitSystemMenuAndIcons() {
    const std::wstring about = Text(IDS_ABOUTBOX);
    HMENU systemMenu = GetSystemMenu(m_hwnd, FALSE);
    if (systemMenu != nullptr && !about.empty()) {
        AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    m_bigIcon.Reset(LoadIconSized(m_env.resources, IDI_APPLICATION_ICON, SM_CXICON, SM_CYICON));
    m_smallIcon.Reset(
        LoadIconSized(m_env.resources, IDI_APPLICATION_ICON, SM_CXSMICON, SM_CYSMICON));
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));
}

void CQMZ4Main::InitTitle() {
    m_title = Text(IDS_APPLICATION_TITLE);
    SetWindowTextW(m_hwnd, m_title.c_str());
}

void CQMZ4Main::AttachCoordinator() {
    m_env.sink->SetWindow(m_hwnd);
    m_env.coordinator->Attach(this, m_hwnd, m_title, m_env.errorMessagePrefix);
}

void CQMZ4Main::LoadTexts() {
    auto loader = [this](uint32_t id) { return Text(id); };
    LoadOperationNames(loader);
    m_statusTexts.Load(loader);
    LoadMethodNames(loader);
    m_exitQuestion = Text(IDS_EXIT_QUESTION);
    m_helpFileName = Text(IDS_HELP_FILE);
    m_timeUnits = {Text(IDS_UNIT_SECONDS), Text(IDS_UNIT_MINUTES), Text(IDS_UNIT_HOURS)};
    wchar_t caption[64] = {};
    GetDlgItemTextW(m_hwnd, IDC_PAUSE, caption, static_cast<int>(std::size(caption)));
    m_pauseCaption = caption;
}

void CQMZ4Main::InitSettings() {
    m_store = std::make_unique<CSettingsStore>(m_env.registry, DocumentsFolder());
    m_settings = m_store->LoadSettings();
    const LayoutSize minimum = m_layout.MinimumWindowSize();
    const LatestRecord latest =
        m_store->LoadLatest(m_layout.WorkArea(), WindowSize{minimum.width, minimum.height});
    m_browseFolder = latest.BrowseFolder;
    m_placement = latest.Placement;
}

void CQMZ4Main::InitTabsAndLists() {
    HWND tabs = GetDlgItem(m_hwnd, IDC_TABS);
    for (int tab = 0; tab < kPageCount; ++tab) {
        std::wstring caption = Text(kTabCaptionIds[tab]);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageW(tabs, TCM_INSERTITEMW, tab, reinterpret_cast<LPARAM>(&item));
    }
    m_eraseList = CListView(GetDlgItem(m_hwnd, IDC_ERASE_LIST));
    m_results = CResultList(GetDlgItem(m_hwnd, IDC_RESULT_LIST));
    const std::wstring name = Text(IDS_COLUMN_NAME);
    const std::wstring path = Text(IDS_COLUMN_PATH);
    const std::wstring operation = Text(IDS_COLUMN_OPERATION);
    const std::wstring status = Text(IDS_COLUMN_STATUS);
    m_eraseList.AddExtendedStyles();
    m_eraseList.InsertColumns({name, path, operation, status, Text(IDS_COLUMN_ESTIMATE)});
    m_results.View().AddExtendedStyles();
    m_results.View().InsertColumns({name, path, operation, status, Text(IDS_COLUMN_FAILURES)});
    for (int i = 0; i < 5; ++i) {
        m_animationIcons[i].Reset(
            LoadIconSized(m_env.resources, IDI_ANIMATION_FIRST + i, SM_CXSMICON, SM_CYSMICON));
    }
    SelectTab(kPageWelcome);
}

void CQMZ4Main::InitCounters() {
    SetDlgItemTextW(m_hwnd, IDC_ERASED_COUNT, L"0");
    SetDlgItemTextW(m_hwnd, IDC_ERASE_TIME, L"0:00:00");
    SetDlgItemTextW(m_hwnd, IDC_SYSTEM_FAILED_COUNT, L"0");
    SetDlgItemTextW(m_hwnd, IDC_OTHER_FAILED_COUNT, L"0");
}

void CQMZ4Main::OnStartupTimer() {
    KillTimer(m_hwnd, kStartupTimer);
    if (m_startupState != 0) {
        return;  // a request reached the window first and dealt with it
    }
    m_startupState = 2;
    Restore();
    SetForegroundWindow(m_hwnd);
    if (!m_env.commandLine.empty()) {
        AddFileAndFolderRequest(m_env.commandLine);
    }
}

void CQMZ4Main::Restore() {
    CProgrammaticChange change(this);
    if (!IsIconic(m_hwnd)) {
        ShowWindow(m_hwnd, SW_HIDE);
    }
    ShowWindow(m_hwnd, SW_RESTORE);
    // Topmost and back: in front of other windows without staying on top.
    for (HWND order : {HWND_TOPMOST, HWND_NOTOPMOST}) {
        SetWindowPos(m_hwnd, order, m_placement.Left, m_placement.Top, m_placement.Width,
                     m_placement.Height, SWP_SHOWWINDOW);
    }
    RelayoutAndScrollBars();
}

void CQMZ4Main::OnWindowPosChanged(const WINDOWPOS& position) {
    // Until the start-up restore the window is not where the user left it: a system that
    // un-minimises it early must not overwrite the saved placement.
    if (m_programmaticChange > 0 || m_startupState == 0 || !IsWindowVisible(m_hwnd) ||
        (position.flags & SWP_HIDEWINDOW) != 0) {
        return;
    }
    const bool appWindow = (GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
    if (IsIconic(m_hwnd)) {
        if (!appWindow) {
            CProgrammaticChange change(this);
            ShowWindow(m_hwnd, SW_HIDE);  // minimised into the notification area
        }
        return;  // a minimised window's rectangle is no placement to come back to
    }
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    m_placement = {window.left, window.top, window.right - window.left, window.bottom - window.top};
    RelayoutAndScrollBars();
}

void CQMZ4Main::RelayoutAndScrollBars() {
    CProgrammaticChange change(this);
    m_layout.Apply(m_hwnd);
    if (m_layout.UpdateScrollBars(m_hwnd)) {
        m_layout.Apply(m_hwnd);
    }
}

void CQMZ4Main::OnScroll(int bar, WPARAM wParam) {
    ScrollAction action = ScrollAction::kOther;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            action = ScrollAction::kLineUp;
            break;
        case SB_LINEDOWN:
            action = ScrollAction::kLineDown;
            break;
        case SB_PAGEUP:
            action = ScrollAction::kPageUp;
            break;
        case SB_PAGEDOWN:
            action = ScrollAction::kPageDown;
            break;
        case SB_THUMBTRACK:
            action = ScrollAction::kTrack;
            break;
        case SB_THUMBPOSITION:
            action = ScrollAction::kThumbPosition;
            break;
        case SB_TOP:
            action = ScrollAction::kTop;
            break;
        case SB_BOTTOM:
            action = ScrollAction::kBottom;
            break;
        default:
            break;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(m_hwnd, bar, &info);
    CProgrammaticChange change(this);
    m_layout.Scroll(m_hwnd, bar, action, info.nTrackPos);
}

void CQMZ4Main::SelectTab(int tab) {
    SendDlgItemMessageW(m_hwnd, IDC_TABS, TCM_SETCURSEL, tab, 0);
    SwitchPage(tab);
}

void CQMZ4Main::SwitchPage(int page) {
    CProgrammaticChange change(this);
    m_page = page;
    const POINT scroll = m_layout.ScrollPosition();
    m_layout.SetScrollPosition({0, 0});
    m_layout.Apply(m_hwnd);
    for (int id : PagedControls()) {
        ShowWindow(GetDlgItem(m_hwnd, id), ControlOnPage(id, page) ? SW_SHOWNA : SW_HIDE);
    }
    m_layout.SetScrollPosition(scroll);
    m_layout.Apply(m_hwnd);
}

// Labels and frame captions lie on the page background and show it through; the
// read-only counters keep their own face.
INT_PTR CQMZ4Main::OnCtlColorStatic(HDC dc, HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0) {
        return FALSE;
    }
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

void CQMZ4Main::OnDestroy() {
    KillTimer(m_hwnd, kStartupTimer);
    KillTimer(m_hwnd, kTrayAnimationTimer);
    m_trayIcon.Delete();
    m_dropTarget.reset();  // revoked while the window still exists
}

void CQMZ4Main::InternalError(const std::wstring& detail) {
    ShowInternalError(m_hwnd, m_env.errorMessagePrefix,
                      m_title.empty() ? m_env.applicationTitle : m_title, detail);
}

std::wstring CQMZ4Main::Text(uint32_t id) const {
    return LoadResourceString(m_env.resources, id);
}

}  // namespace qmz
