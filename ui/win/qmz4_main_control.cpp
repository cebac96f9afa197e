// The main window's control commands: the pause button and its menu, the menu commands
// that steer the running item, the list changes that pause first, and closing.
#include <windows.h>

#include "resources/string_ids.h"
#include "ui/resource_ids.h"
#include "ui/win/qmz4_main.h"
#include "ui/win/resource_texts.h"

namespace qmz {

void CQMZ4Main::InitPauseMenu() {
    m_pauseMenu.Reset(LoadMenuW(m_env.resources, MAKEINTRESOURCEW(IDR_PAUSE_MENU)));
    if (!m_pauseMenu) {
        InternalError(L"LoadMenu() of pause menu failed");
    }
}

void CQMZ4Main::OnPauseButton() {
    if (!m_env.coordinator->PressPauseButton()) {
        m_env.coordinator->PauseMenuClosed();
        return;
    }
    HMENU popup = m_pauseMenu ? GetSubMenu(m_pauseMenu.Get(), 0) : nullptr;
    if (popup != nullptr) {
        RECT button = {};
        GetWindowRect(GetDlgItem(m_hwnd, IDC_PAUSE), &button);
        // Returns once the menu has closed; the chosen command arrives as WM_COMMAND.
        // Its bottom-left corner at the button's bottom-right: it opens beside the button
        // and upwards, over the window rather than off the screen's bottom edge.
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, button.right,
                       button.bottom, 0, m_hwnd, nullptr);
    }
    m_env.coordinator->PauseMenuClosed();
}

void CQMZ4Main::OnAbortItem() {
    CEraseCoordinator* coordinator = m_env.coordinator;
    if (coordinator->ControlPending()) {
        return;
    }
    if (coordinator->ItemExecuting() &&
        MessageBoxW(m_hwnd, Text(IDS_ABORT_ITEM_QUESTION).c_str(), m_title.c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    CProgrammaticChange change(this);
    coordinator->AbortItem();
}

bool CQMZ4Main::OnControlCommand(int id) {
    CEraseCoordinator* coordinator = m_env.coordinator;
    CProgrammaticChange change(this);
    switch (id) {
        case ID_PAUSE_NOW:
            coordinator->Pause();
            return true;
        case ID_RESUME:
            coordinator->Resume();
            return true;
        case ID_FINISH_CYCLE:
            coordinator->FinishCycle();
            return true;
        case ID_FINISH_FILE:
            coordinator->FinishFile();
            return true;
        case ID_FINISH_ITEM:
            coordinator->FinishItem();
            return true;
        default:
            return false;
    }
}

bool CQMZ4Main::BeginListChange() {
    // One click or key press can select one row, deselect others and check a box: the
    // list reports each, but the user did one thing.
    const uint64_t action = (static_cast<uint64_t>(GetMessageTime()) << 32) | GetMessagePos();
    return m_env.coordinator->BeginUserChange(action);
}

void CQMZ4Main::OnClose() {
    if (m_env.coordinator->HasWork()) {
        if (MessageBoxW(m_hwnd, m_exitQuestion.c_str(), m_title.c_str(),
                        MB_YESNO | MB_ICONQUESTION) != IDYES) {
            return;
        }
    }
    Exit();
}

bool CQMZ4Main::RefuseExitForProxy() {
    if (!m_automationProxyActive) {
        return false;
    }
    ShowInternalError(m_hwnd, m_env.errorMessagePrefix, m_title,
                      L"CanExit() fails because a proxy is active");
    return true;
}

void CQMZ4Main::Exit() {
    if (m_exiting) {
        return;
    }
    CEraseCoordinator* coordinator = m_env.coordinator;
    {
        CProgrammaticChange change(this);
        coordinator->PauseAndDiscardForExit();
    }
    if (RefuseExitForProxy()) {
        return;
    }
    m_exiting = true;
    if (!coordinator->EndWorker()) {
        InternalError(L"MsgWaitForMultipleObjectsEx() failed");
        return;
    }
    m_store->SaveLatest(m_browseFolder, m_placement);
    EndDialog(m_hwnd, IDOK);
}

void CQMZ4Main::OnCancelWhileExiting() {
    if (!RefuseExitForProxy()) {
        EndDialog(m_hwnd, IDOK);
    }
}

}  // namespace qmz
