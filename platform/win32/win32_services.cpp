#include "platform/win32/win32_services.h"

namespace qmz {

bool CWindowMessageSink::Post(uint32_t message, COperationBase* operation) {
    return PostMessageW(m_window, message, 0, reinterpret_cast<LPARAM>(operation)) != FALSE;
}

int CWin32MessageBox::Show(WindowHandle owner, const std::wstring& text,
                           const std::wstring& caption, uint32_t style) {
    return MessageBoxW(static_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
}

uint32_t CWin32Clock::TickCount() {
    return GetTickCount();
}

void CWin32Clock::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace qmz
