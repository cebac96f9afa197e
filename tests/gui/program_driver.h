// Drives the real QMZ4.exe from another process: start, find its window, read controls
// through window messages (with buffers inside the program's process), close.
#pragma once

#include <windows.h>

#include <string>

namespace qmz::gui {

class CProgram {
public:
    explicit CProgram(std::wstring exePath) : m_exePath(std::move(exePath)) {}
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    // Starts the program and waits until its main window is shown restored.
    bool Start();
    // Posts WM_CLOSE and waits for the process to end.
    bool Close();
    HWND Window() const { return m_window; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Visible top-level windows of the process.
    int VisibleWindowCount() const;

    // LVM_GETCOLUMNW / TCM_GETITEMW texts through memory in the program's process.
    std::wstring ColumnCaption(HWND list, int column) const;
    int ColumnWidth(HWND list, int column) const;
    std::wstring TabCaption(HWND tabs, int tab) const;

private:
    std::wstring m_exePath;
    PROCESS_INFORMATION m_process = {};
    HWND m_window = nullptr;
};

// Pumps this thread's messages and sleeps a little, so the program can react.
void Settle(DWORD milliseconds);

// Writes the screen area of `window` as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace qmz::gui
