// The Win32 forms of the small seam pieces: posted window messages, message boxes,
// the tick clock and the ANSI code page.
#pragma once

#include <windows.h>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "platform/message_sink.h"

namespace qmz {

class CWindowMessageSink : public IMessageSink {
public:
    explicit CWindowMessageSink(HWND window = nullptr) : m_window(window) {}
    // The window is known only once it exists; set it before the worker starts.
    void SetWindow(HWND window) { m_window = window; }
    bool Post(uint32_t message, COperationBase* operation) override;

private:
    HWND m_window;
};

class CWin32MessageBox : public IMessageBox {
public:
    int Show(WindowHandle owner, const std::wstring& text, const std::wstring& caption,
             uint32_t style) override;
};

class CWin32Clock : public IClock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
    std::wstring LocalDateTimeText() override;
};

class CWin32CodePage : public ICodePage {
public:
    uint32_t ToAnsi(const std::wstring& text, std::string* bytes) override;
};

}  // namespace qmz
