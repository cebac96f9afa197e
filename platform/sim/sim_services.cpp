#include "platform/sim/sim_services.h"

namespace qmz {

int CRecordingMessageBox::Show(WindowHandle, const std::wstring& text, const std::wstring& caption,
                               uint32_t style) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shown.push_back({text, caption, style});
    return m_answer;
}

std::vector<ShownMessageBox> CRecordingMessageBox::Shown() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_shown;
}

}  // namespace qmz
