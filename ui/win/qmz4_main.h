// CQMZ4Main: the program's main window (dialog 102) with its four pages, the erase and
// results lists and the command buttons. The work it shows belongs to the coordinator;
// the window turns messages into calls on it and mirrors its rows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/erase_requests.h"
#include "ops/erase_coordinator.h"
#include "ops/progress_text.h"
#include "platform/registry.h"
#include "platform/win32/win32_services.h"
#include "settings/settings_store.h"
#include "ui/model/erase_log.h"
#include "ui/model/status_texts.h"
#include "ui/win/automation_target.h"
#include "ui/win/drop_target.h"
#include "ui/win/file_picker.h"
#include "ui/win/list_view.h"
#include "ui/win/main_layout.h"
#include "ui/win/qmz4_settings.h"
#include "ui/win/result_list.h"
#include "ui/win/skin.h"
#include "ui/win/tray_icon.h"
#include "ui/win/win_handles.h"

namespace qmz {

// What the start-up code hands the main window.
struct MainWindowEnvironment {
    HMODULE resources = nullptr;  // the language resource module
    std::wstring programDirectory;
    std::wstring commandLine;
    std::wstring applicationTitle;
    std::wstring errorMessagePrefix;
    const PlatformServices* platform = nullptr;
    IRegistry* registry = nullptr;
    CWindowMessageSink* sink = nullptr;  // pointed at the window once it exists
    CEraseCoordinator* coordinator = nullptr;
    // Called once the window is initialised (the running-object-table entry is made there).
    std::function<void(HWND)> onInitialised;
};

class CQMZ4Main : private IEraseListView, public IAutomationTarget {
public:
    explicit CQMZ4Main(MainWindowEnvironment environment);
    ~CQMZ4Main();
    CQMZ4Main(const CQMZ4Main&) = delete;
    CQMZ4Main& operator=(const CQMZ4Main&) = delete;

    // Runs the window modally with `owner` as its parent.
    INT_PTR RunModal(HWND owner);

    // Automation requests (qmz4_main_requests.cpp). One that arrives before the window is
    // initialised waits until it is.
    void DoFilesAndFolders(const std::wstring& pathList) override;
    void DoFreeSpace(const std::wstring& rootList) override;
    void DoEntirePartitions(const std::wstring& rootList) override;
    void DoRecycleBin() override;
    void SetProxyAttached(bool attached) override { m_automationProxyActive = attached; }

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Initialisation, in its order.
    void OnInitDialog();
    void InitSystemMenuAndIcons();
    void InitTitle();
    void AttachCoordinator();
    void LoadTexts();
    void InitSettings();
    void InitTabsAndLists();
    void InitCounters();

    // Window state.
    void OnStartupTimer();
    void Restore();
    void OnWindowPosChanged(const WINDOWPOS& position);
    void RelayoutAndScrollBars();
    void OnScroll(int bar, WPARAM wParam);
    void SwitchPage(int page);
    void SelectTab(int tab);

    // Requests (qmz4_main_requests.cpp).
    void InitRequests();
    // A files-and-folders argument string from outside the window (command line, drop,
    // automation): rows awaiting confirmation, then the external-request step.
    void AddFileAndFolderRequest(const std::wstring& pathList);
    // Rows added by a button of the window: the first new one is scrolled into view.
    void AddButtonRequest(OperationList operations);
    void AddExternalRequest(OperationList operations, int tab);
    // Runs `request` now, or once the window is initialised.
    void WhenInitialised(std::function<void()> request);
    void FinishExternalRequest(int32_t firstNewRow, int tab);
    void OnPickItems();
    // The drive dialog, then one free-space erase (or whole-volume erase) per chosen drive.
    void OnChooseDrives(bool wholeVolume);
    void OnStartErase();

    // Settings and the log (qmz4_main_settings.cpp).
    void InitSettingsDialogAndLog();
    void OnSettings();
    void ApplySettings(SettingsDialogResult result);
    // Runs regsvr32 on the extension and says how it went; false when it failed.
    bool RunShellExtensionRegistration(bool enable);
    void OpenLog();

    // The notification icon (qmz4_main_tray.cpp).
    void InitTrayMenuAndIcon();
    void AddTrayIcon(bool afterTaskbarCreated);
    void OnTrayNotify(LPARAM lParam);
    void OnTrayAnimationTimer();
    void SetTaskbarButton(bool shown);

    // Control commands and closing (qmz4_main_control.cpp).
    void InitPauseMenu();
    void OnPauseButton();
    void OnAbortItem();
    bool OnControlCommand(int id);
    // Whether a user change of the erase list may go ahead; decided once per input
    // message, however many list notifications that message causes.
    bool BeginListChange();

    // Commands and notifications.
    void OnCommand(int id, int code);
    void OnSysCommand(WPARAM command);
    bool OnNotify(const NMHDR& header, LRESULT* result);
    void OnListItemChanged(int listId, const NMLISTVIEW& change);
    void OnSelectAll();
    void OnToggleSelection();
    void OnRemoveSelected();
    void OnResultFilter(int id);
    void ShowHelpFile();
    void OpenPublisherPage();

    // The coordinator's rows, mirrored into the erase list.
    void RowInserted(int32_t row, const CEraseOperationBase& operation) override;
    void RowStatusChanged(int32_t row, int32_t status) override;
    void RowRemoved(int32_t row) override;
    void ShowRow(int32_t row) override;
    void PauseShown(bool paused) override;
    void InternalError(const std::wstring& detail) override;
    void ElapsedStarted() override;
    void ElapsedStopped(uint32_t totalMilliseconds) override;
    void ItemFinished(const CEraseOperationBase& record) override;
    void CountersChanged(const ResultCounters& counters) override;
    void ResultAdded(const ResultRow& row) override;
    void EraseListEmptied() override;

    // Closing.
    void OnClose();
    void Exit();
    // Esc once the exit sequence has begun.
    void OnCancelWhileExiting();
    bool RefuseExitForProxy();
    void OnDestroy();
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);

    std::wstring Text(uint32_t id) const;

    // Marks window changes made by the program itself, which the placement and list
    // handlers then leave alone.
    class CProgrammaticChange {
    public:
        explicit CProgrammaticChange(CQMZ4Main* window) : m_window(window) {
            ++m_window->m_programmaticChange;
        }
        ~CProgrammaticChange() { --m_window->m_programmaticChange; }
        CProgrammaticChange(const CProgrammaticChange&) = delete;
        CProgrammaticChange& operator=(const CProgrammaticChange&) = delete;

    private:
        CQMZ4Main* m_window;
    };

    MainWindowEnvironment m_env;
    HWND m_hwnd = nullptr;
    std::wstring m_title;
    int m_programmaticChange = 0;
    int m_startupState = 0;  // 0 before the start-up timer, 1 a request came first, 2 done
    int m_page = 0;

    // Texts loaded at initialisation.
    StatusTexts m_statusTexts;
    std::wstring m_exitQuestion;
    std::wstring m_helpFileName;
    std::wstring m_pauseCaption;  // the pause button's own caption, shown when not paused

    // Pictures.
    CIcon m_bigIcon;
    CIcon m_smallIcon;
    CIcon m_animationIcons[5];
    CSkin m_skin;
    CMainLayout m_layout;

    // Settings and placement.
    std::unique_ptr<CSettingsStore> m_store;
    SettingsRecord m_settings;
    std::wstring m_browseFolder;
    WindowPlacement m_placement;

    // Lists.
    CListView m_eraseList;
    CResultList m_results;
    TimeUnits m_timeUnits;

    // Requests: the folders known at start-up and what turns requests into operations.
    std::unique_ptr<CRequestFactory> m_requests;
    std::unique_ptr<IFilePicker> m_picker;
    std::unique_ptr<CQMZ4DropTarget> m_dropTarget;

    // Settings dialog and log.
    std::unique_ptr<CQMZ4Settings> m_settingsDialog;
    std::unique_ptr<CEraseLog> m_log;

    // Notification icon.
    UINT m_taskbarCreated = 0;  // the registered "TaskbarCreated" message
    CTrayIcon m_trayIcon;
    CTrayAnimation m_trayAnimation;
    CMenu m_trayMenu;

    // Control.
    CMenu m_pauseMenu;
    // Set by the automation proxy while a client holds it: closing is refused.
    bool m_automationProxyActive = false;
    bool m_initialised = false;
    std::vector<std::function<void()>> m_pendingRequests;
    bool m_exiting = false;
};

}  // namespace qmz
