// A QMZ4.exe that this process did not start itself (COM started it, or another test
// step did): found by its process, its erase list read and the program closed again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace qmz::comtest {

inline constexpr int kEraseList = 1009;
inline constexpr wchar_t kAwaiting[] = L"ユーザ確認待ち";

// Ids of every running QMZ4.exe.
std::vector<DWORD> ProgramProcesses();
// The main window of process `processId` (a visible, restored dialog with a menu); null
// when it has none.
HWND MainWindowOf(DWORD processId);
// Visible top-level windows of process `processId`.
int VisibleWindowCount(DWORD processId);

class CRunningProgram {
public:
    CRunningProgram() = default;
    // Ends the program if a test left it running.
    ~CRunningProgram();
    CRunningProgram(const CRunningProgram&) = delete;
    CRunningProgram& operator=(const CRunningProgram&) = delete;

    // Waits up to `milliseconds` until exactly one QMZ4.exe runs and shows its main window.
    bool AttachToOnly(DWORD milliseconds);
    HWND Window() const { return m_window; }
    DWORD ProcessId() const { return m_processId; }
    bool Running() const;
    bool WaitForExit(DWORD milliseconds) const;

    int Rows() const;
    // LVM_GETITEMTEXTW of one cell of the erase list.
    std::wstring Cell(int row, int column) const;
    bool WaitForRows(int rows, DWORD milliseconds = 20000) const;
    // A visible window of the program besides its main window (a message box).
    HWND WaitForOtherWindow(DWORD milliseconds) const;

    // Posts WM_CLOSE and answers Yes to each message box until the process ends; the texts
    // of the boxes answered go to `answered`. False when it did not end within 20 s.
    bool Close(std::vector<std::wstring>* answered = nullptr);

private:
    CProcessHandle m_process;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
};

// How a process run to its end behaved.
struct ChildRun {
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
    bool showedWindow = false;  // any visible top-level window, at any poll
};
// Runs `commandLine` and waits up to `milliseconds` for its end, watching its windows.
ChildRun RunWatched(const std::wstring& commandLine, DWORD milliseconds);

// Closes every running QMZ4.exe (answering Yes), terminating what does not end; returns
// how many there were.
int EndAllPrograms();

}  // namespace qmz::comtest
