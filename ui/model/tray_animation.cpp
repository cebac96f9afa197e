#include "ui/model/tray_animation.h"

namespace qmz {

TrayFrame NextTrayFrame(int index, bool busy) {
    if (!busy) {
        return {0, true};
    }
    return {index >= kTrayFrameCount || index < 0 ? 1 : index + 1, false};
}

bool CTrayAnimation::Start() {
    m_busy = true;
    const bool start = !m_timerRunning;
    m_timerRunning = true;
    return start;
}

TrayFrame CTrayAnimation::Tick() {
    const TrayFrame frame = NextTrayFrame(m_index, m_busy);
    m_index = frame.index;
    if (frame.stopTimer) {
        m_timerRunning = false;
    }
    return frame;
}

int TrayFrameIcon(int index) {
    if (index < 1 || index > kTrayFrameCount) {
        return kApplicationIconResource;
    }
    return kFirstFrameIconResource + index - 1;
}

TrayAction TrayActionFor(uintptr_t lParam) {
    switch (static_cast<uint32_t>(lParam & 0xFFFF)) {
        case kTrayEventContextMenu:
            return TrayAction::kShowMenu;
        case kTrayEventSelect:
        case kTrayEventKeySelect:
            return TrayAction::kRestore;
        default:
            return TrayAction::kNone;
    }
}

bool NeedsTaskbarButton(bool iconAdded, bool windows7OrLater, bool iconRectKnown) {
    return !iconAdded || (windows7OrLater && !iconRectKnown);
}

}  // namespace qmz
