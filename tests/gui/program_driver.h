// Drives the real QMZ4.exe from another process: start, find its window, read controls
// through window messages (with buffers inside the program's process), close.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qmz::gui {

class CProgram {
public:
    explicit CProgram(std::wstring exePath) : m_exePath(std::move(exePath)) {}
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    // Starts the program with `arguments` after its name and waits until its main window
    // is shown restored.
    bool Start(const std::wstring& arguments = L"");
    // Posts WM_CLOSE and waits for the process to end.
    bool Close();
    // Waits up to `milliseconds` for the process to end.
    bool WaitForExit(DWORD milliseconds);
    HWND Window() const { return m_window; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Visible top-level windows of the process.
    int VisibleWindowCount() const;

    // LVM_GETCOLUMNW / TCM_GETITEMW texts through memory in the program's process.
    std::wstring ColumnCaption(HWND list, int column) const;
    int ColumnWidth(HWND list, int column) const;
    std::wstring TabCaption(HWND tabs, int tab) const;
    // LVM_GETITEMTEXTW of one cell.
    std::wstring CellText(HWND list, int row, int column) const;
    // The list-view group id of a row (LVM_GETITEMW with LVIF_GROUPID); -100 when unreadable.
    int ItemGroupId(HWND list, int row) const;
    // Selects and checks the row as a click would (LVM_SETITEMSTATE).
    void SelectRow(HWND list, int row) const;
    // A visible top-level window of the program other than its main window (a message
    // box or a dialog), waiting up to `milliseconds` for one; null when none came.
    HWND WaitForOtherWindow(DWORD milliseconds) const;

private:
    std::wstring m_exePath;
    PROCESS_INFORMATION m_process = {};
    HWND m_window = nullptr;
};

// The program under test and the folder for screenshots (empty: none), set by main.
std::wstring& ProgramPath();
std::wstring& ScreenshotFolder();

// LVM_GETITEMTEXTW of one cell of a list view in process `processId`, through memory in
// that process; "<unreadable>" when none can be had there.
std::wstring ListCellText(DWORD processId, HWND list, int row, int column);

// Pumps this thread's messages and sleeps a little, so the program can react.
void Settle(DWORD milliseconds);

// A window's caption and class; every window below `window`, depth first.
std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
std::vector<HWND> Descendants(HWND window);
// The first visible descendant of class `className` (compared without case) and, when
// `text` is given, with that caption; null when there is none.
HWND FindDescendant(HWND window, const wchar_t* className, const std::wstring* text = nullptr);

// The text of a message box's text control.
std::wstring MessageBoxText(HWND box);

// Polls `done` while pumping, up to `milliseconds`; its last answer.
template <class TDone>
bool WaitUntil(DWORD milliseconds, TDone done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) {
            return done();
        }
        Settle(50);
    }
    return true;
}

// Everything a file holds; empty when it cannot be read.
std::string Contents(const std::wstring& path);

// Writes the screen area of `window` as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace qmz::gui
