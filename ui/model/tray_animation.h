// The notification icon's animation and the reading of its callback message, apart from
// the shell calls so that both can be tested natively.
#pragma once

#include <cstdint>

namespace qmz {

constexpr uint32_t kTrayIconId = 128;
constexpr uint32_t kTrayNotifyMessage = 0x8000 + 4;  // WM_APP + 4: WM_TRAY_NOTIFY
constexpr uintptr_t kTrayAnimationTimer = 87;
constexpr uint32_t kTrayAnimationMilliseconds = 500;
// Frame 0 is the still application icon; frames 1 to 5 turn while an item is erased.
constexpr int kTrayFrameCount = 5;
constexpr int kApplicationIconResource = 128;
constexpr int kFirstFrameIconResource = 138;

// The callback events the window acts on, as the shell sends them with version 3
// (the event is the low word of lParam; version 4 keeps it there too).
constexpr uint32_t kTrayEventContextMenu = 0x007B;  // WM_CONTEXTMENU
constexpr uint32_t kTrayEventSelect = 0x0400;       // NIN_SELECT
constexpr uint32_t kTrayEventKeySelect = 0x0401;    // NIN_KEYSELECT

struct TrayFrame {
    int index = 0;
    bool stopTimer = false;
};

// One animation tick: while busy the next turning frame (5 wraps to 1); otherwise the
// still icon, and the timer stops.
TrayFrame NextTrayFrame(int index, bool busy);

// The animation state: the frame shown, whether an item is executing, whether the
// timer runs.
class CTrayAnimation {
public:
    // An item began executing; true when the timer must be started.
    bool Start();
    // The item left the executing status; the next tick stops the timer.
    void Stop() { m_busy = false; }
    // A timer tick: the frame to show and whether to kill the timer.
    TrayFrame Tick();

    int Index() const { return m_index; }
    bool Busy() const { return m_busy; }
    bool TimerRunning() const { return m_timerRunning; }

private:
    int m_index = 0;
    bool m_busy = false;
    bool m_timerRunning = false;
};

// The icon resource of a frame.
int TrayFrameIcon(int index);

enum class TrayAction { kNone, kShowMenu, kRestore };

// What the window does for a callback message's lParam. Only the context-menu event
// opens the menu: with version 3 the shell sends it after WM_RBUTTONUP, so acting on
// the button message as well would open the menu twice.
TrayAction TrayActionFor(uintptr_t lParam);

// Whether the window must stay on the taskbar (WS_EX_APPWINDOW): when the icon could not
// be added, or on Windows 7 or later when the shell cannot say where the icon is.
bool NeedsTaskbarButton(bool iconAdded, bool windows7OrLater, bool iconRectKnown);

}  // namespace qmz
