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

uint32_t CSimCodePage::ToAnsi(const std::wstring& text, std::string* bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string encoded;
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        i += CodePointAt(text, i, &codePoint);
        if (codePoint < 0x80) {
            encoded += static_cast<char>(codePoint);
            continue;
        }
        const auto found = m_extra.find(codePoint);
        if (found == m_extra.end()) {
            bytes->clear();
            return ERROR_NO_UNICODE_TRANSLATION;
        }
        encoded += found->second;
    }
    *bytes = std::move(encoded);
    return ERROR_SUCCESS;
}

void CSimCodePage::Add(uint32_t codePoint, const std::string& bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_extra[codePoint] = bytes;
}

}  // namespace qmz
