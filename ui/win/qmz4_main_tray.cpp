// The main window's notification icon: added at initialisation and after Explorer
// restarts, animated while an item is erased, its menu, and minimising into it.
#include <windows.h>

#include "ui/resource_ids.h"
#include "ui/win/qmz4_main.h"

namespace qmz {

void CQMZ4Main::InitTrayMenuAndIcon() {
    m_trayMenu.Reset(LoadMenuW(m_env.resources, MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    if (!m_trayMenu) {
        InternalError(L"LoadMenu() of notify icon menu failed");
    }
}

void CQMZ4Main::AddTrayIcon(bool afterTaskbarCreated) {
    const int frame = m_trayAnimation.Index();
    HICON icon = frame == 0 ? m_smallIcon.Get() : m_animationIcons[frame - 1].Get();
    m_trayIcon.Delete();  // a new shell has no icon of ours; forget the old one
    const bool added = m_trayIcon.Add(m_hwnd, icon, m_title);
    const bool taskbarButton = m_trayIcon.NeedsTaskbarButton();
    if (!afterTaskbarCreated) {
        SetTaskbarButton(taskbarButton);
        return;
    }
    if (!added || taskbarButton) {
        // Without an icon to come back through, the window must not stay hidden.
        SetTaskbarButton(true);
        CProgrammaticChange change(this);
        ShowWindow(m_hwnd, SW_SHOWMINNOACTIVE);
    }
}

void CQMZ4Main::SetTaskbarButton(bool shown) {
    LONG_PTR style = GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE);
    style = shown ? (style | WS_EX_APPWINDOW) : (style & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE, style);
}

void CQMZ4Main::OnTrayNotify(LPARAM lParam) {
    switch (TrayActionFor(static_cast<uintptr_t>(lParam))) {
        case TrayAction::kShowMenu: {
            CProgrammaticChange change(this);
            if (!IsIconic(m_hwnd)) {
                SetForegroundWindow(m_hwnd);
                SetWindowPos(m_hwnd, HWND_BOTTOM, m_placement.Left, m_placement.Top,
                             m_placement.Width, m_placement.Height, SWP_NOACTIVATE);
            } else {
                SetForegroundWindow(m_hwnd);
            }
            HMENU popup = m_trayMenu ? GetSubMenu(m_trayMenu.Get(), 0) : nullptr;
            if (popup != nullptr) {
                POINT cursor = {};
                GetCursorPos(&cursor);
                TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, cursor.x,
                               cursor.y, 0, m_hwnd, nullptr);
                // Lets the menu close when the user clicks elsewhere (a known shell rule).
                PostMessageW(m_hwnd, WM_NULL, 0, 0);
            }
            break;
        }
        case TrayAction::kRestore:
            Restore();
            break;
        case TrayAction::kNone:
            break;
    }
}

void CQMZ4Main::ElapsedStarted() {
    if (m_trayAnimation.Start()) {
        SetTimer(m_hwnd, kTrayAnimationTimer, kTrayAnimationMilliseconds, nullptr);
    }
}

void CQMZ4Main::OnTrayAnimationTimer() {
    const TrayFrame frame = m_trayAnimation.Tick();
    if (frame.stopTimer) {
        KillTimer(m_hwnd, kTrayAnimationTimer);
    }
    HICON smallIcon =
        frame.index == 0 ? m_smallIcon.Get() : m_animationIcons[frame.index - 1].Get();
    HICON bigIcon = frame.index == 0 ? m_bigIcon.Get() : smallIcon;
    m_trayIcon.Modify(smallIcon);
    SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

}  // namespace qmz
