// CQMZ4Main: the program's main window (dialog 102) with its four pages, the erase and
// results lists and the command buttons. It owns the operation queue and the worker.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "settings/settings_store.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "platform/lcg_random.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "ui/model/erase_list_rows.h"
#include "ui/model/status_texts.h"
#include "ui/win/list_view.h"
#include "ui/win/main_layout.h"
#include "ui/win/skin.h"
#include "ui/win/win_handles.h"

namespace qmz {

// What the start-up code hands the main window.
struct MainWindowEnvironment {
    HMODULE resources = nullptr;  // the language resource module
    std::wstring programDirectory;
    std::wstring commandLine;
    std::wstring applicationTitle;
    std::wstring errorMessagePrefix;
};

class CQMZ4Main {
public:
    explicit CQMZ4Main(MainWindowEnvironment environment);
    ~CQMZ4Main();
    CQMZ4Main(const CQMZ4Main&) = delete;
    CQMZ4Main& operator=(const CQMZ4Main&) = delete;

    // Runs the window modally with `owner` as its parent.
    INT_PTR RunModal(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Initialisation, in its order.
    void OnInitDialog();
    void InitSystemMenuAndIcons();
    void InitVersionAndTitle();
    void InitQueue();
    void LoadTexts();
    void InitSettings();
    void InitTabsAndLists();
    void InitCounters();
    void StartWorker();

    // Window state.
    void OnStartupTimer();
    void Restore();
    void OnWindowPosChanged(const WINDOWPOS& position);
    void RelayoutAndScrollBars();
    void OnScroll(int bar, WPARAM wParam);
    void SwitchPage(int page);
    void SelectTab(int tab);

    // Commands and notifications.
    void OnCommand(int id, int code);
    void OnSysCommand(WPARAM command);
    bool OnNotify(const NMHDR& header, LRESULT* result);
    void OnListItemChanged(int listId, const NMLISTVIEW& change);
    bool OnEraseListChanging(const NMLISTVIEW& change);
    bool AllowUserChange();
    void OnSelectAll();
    void OnToggleSelection();
    void OnRemoveSelected();
    void OnResultSelectAll();
    void OnResultToggle();
    void ShowHelpFile();
    void OpenPublisherPage();
    void OnOperationDone(COperationBase* operation);

    // Closing.
    void OnClose();
    void Exit();
    void OnDestroy();
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);

    void InternalError(const std::wstring& detail) const;
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
    bool m_isVistaOrLater = true;
    bool m_isWin7OrLater = true;
    int m_programmaticChange = 0;
    int m_startupState = 0;  // 0 before the start-up timer, 1 a request came first, 2 done
    int m_page = 0;

    // Texts loaded at initialisation.
    StatusTexts m_statusTexts;
    std::wstring m_exitQuestion;
    std::wstring m_helpFileName;

    // Pictures.
    CIcon m_bigIcon;
    CIcon m_smallIcon;
    CIcon m_animationIcons[5];
    CSkin m_skin;
    CMainLayout m_layout;

    // Settings and placement.
    CWin32Registry m_registry;
    std::unique_ptr<CSettingsStore> m_store;
    SettingsRecord m_settings;
    std::wstring m_browseFolder;
    WindowPlacement m_placement;

    // Lists.
    CListView m_eraseList;
    CListView m_resultList;
    EraseListRows m_rows;
    bool m_busy = false;  // an erase item is executing

    // Worker side. The services outlive the queue, the queue outlives the worker.
    std::unique_ptr<CWindowMessageSink> m_sink;
    CWin32MessageBox m_messageBox;
    CWin32Clock m_clock;
    CLcgRandom m_random;
    std::unique_ptr<CWin32FileSystem> m_fileSystem;
    PlatformServices m_platform;
    std::unique_ptr<COperationQueue> m_queue;
    CWorkerThread m_worker;
    COperationBase* m_pendingControl = nullptr;
    bool m_pausedUi = false;
    bool m_exiting = false;
};

}  // namespace qmz
