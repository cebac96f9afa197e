#include "platform/win32/win32_services.h"

#include <vector>

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

namespace {

// One GetDateFormatW / GetTimeFormatW answer for the current local time; empty on failure.
template <class Format>
std::wstring FormatNow(Format format) {
    const int size = format(nullptr, 0);
    if (size <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(size));
    const int written = format(buffer.data(), size);
    return written > 0 ? std::wstring(buffer.data(), static_cast<size_t>(written - 1))
                       : std::wstring();
}

}  // namespace

std::wstring CWin32Clock::LocalDateTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring date = FormatNow([&](wchar_t* buffer, int size) {
        return GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, buffer, size);
    });
    const std::wstring time = FormatNow([&](wchar_t* buffer, int size) {
        return GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, buffer, size);
    });
    return date + L" " + time;
}

uint32_t CWin32CodePage::ToAnsi(const std::wstring& text, std::string* bytes) {
    bytes->clear();
    if (text.empty()) {
        return ERROR_SUCCESS;
    }
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    // A UTF-8 ANSI code page takes neither flag nor default-character report, and has
    // every character.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, reportDefault);
    if (size <= 0) {
        return GetLastError();
    }
    if (usedDefault) {
        return ERROR_NO_UNICODE_TRANSLATION;
    }
    std::string encoded(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), length, &encoded[0], size, nullptr,
                            reportDefault) != size) {
        return GetLastError();
    }
    *bytes = std::move(encoded);
    return ERROR_SUCCESS;
}

}  // namespace qmz
