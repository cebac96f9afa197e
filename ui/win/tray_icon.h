// The main window's notification-area icon: added once per shell (again after
// "TaskbarCreated"), changed by the animation, and removed at the latest by the
// destructor.
#pragma once

#include <windows.h>

#include <string>

#include "platform/message_sink.h"
#include "ui/model/tray_animation.h"

namespace qmz {

constexpr UINT TrayIconId = kTrayIconId;
// The callback message is the window's WM_TRAY_NOTIFY (platform/message_sink.h).
static_assert(WM_TRAY_NOTIFY == kTrayNotifyMessage, "the callback message is WM_APP + 4");

class CTrayIcon {
public:
    CTrayIcon() = default;
    ~CTrayIcon() { Delete(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // NIM_ADD for `owner` with the tip cut to 127 characters, then NIM_SETVERSION (3).
    // Also the call after "TaskbarCreated". False when the shell refused the icon.
    bool Add(HWND owner, HICON icon, const std::wstring& tip);
    // A new image with the same tip; false when there is no icon or the shell refused.
    bool Modify(HICON icon);
    // NIM_DELETE when the icon was added; does nothing otherwise.
    void Delete();
    bool IsAdded() const { return m_added; }

    // Whether the shell says where the icon is (Shell_NotifyIconGetRect, which came with
    // Windows 7 and is looked up at run time so that the program still loads on XP).
    bool IconRectKnown() const;
    // The version test the rectangle step depends on.
    static bool IsWindows7OrLater();
    // After Add: whether the window must keep WS_EX_APPWINDOW.
    bool NeedsTaskbarButton() const;

private:
    NOTIFYICONDATAW Data(UINT flags) const;

    HWND m_owner = nullptr;
    HICON m_icon = nullptr;
    std::wstring m_tip;
    bool m_added = false;
};

}  // namespace qmz
