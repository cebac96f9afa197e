#include "tests/com/running_program.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <tlhelp32.h>

#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

struct WindowSearch {
    DWORD processId;
    HWND exclude;
    HWND mainWindow;
    HWND other;
    int visible;
};

BOOL CALLBACK InspectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    ++search->visible;
    if (gui::ClassOf(window) == L"#32770" && GetMenu(window) != nullptr && !IsIconic(window)) {
        search->mainWindow = window;
    } else if (window != search->exclude) {
        search->other = window;
    }
    return TRUE;
}

WindowSearch Inspect(DWORD processId, HWND exclude = nullptr) {
    WindowSearch search{processId, exclude, nullptr, nullptr, 0};
    EnumWindows(InspectWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

}  // namespace

std::vector<DWORD> ProgramProcesses() {
    std::vector<DWORD> found;
    CScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"QMZ4.exe") == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}

HWND MainWindowOf(DWORD processId) {
    return Inspect(processId).mainWindow;
}

int VisibleWindowCount(DWORD processId) {
    return Inspect(processId).visible;
}

CRunningProgram::~CRunningProgram() {
    if (Running()) {
        TerminateProcess(m_process.Get(), 1);
        WaitForExit(5000);
    }
}

bool CRunningProgram::AttachToOnly(DWORD milliseconds) {
    gui::WaitUntil(milliseconds, [&] {
        const std::vector<DWORD> processes = ProgramProcesses();
        m_window = processes.size() == 1 ? MainWindowOf(processes[0]) : nullptr;
        m_processId = m_window != nullptr ? processes[0] : 0;
        return m_window != nullptr;
    });
    if (m_window == nullptr) {
        return false;
    }
    m_process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE,
                                m_processId));
    gui::Settle(300);  // let the restore and the layout finish
    return static_cast<bool>(m_process);
}

bool CRunningProgram::Running() const {
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

bool CRunningProgram::WaitForExit(DWORD milliseconds) const {
    return m_process && WaitForSingleObject(m_process.Get(), milliseconds) == WAIT_OBJECT_0;
}

int CRunningProgram::Rows() const {
    return static_cast<int>(SendMessageW(GetDlgItem(m_window, kEraseList), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring CRunningProgram::Cell(int row, int column) const {
    return gui::ListCellText(m_processId, GetDlgItem(m_window, kEraseList), row, column);
}

bool CRunningProgram::WaitForRows(int rows, DWORD milliseconds) const {
    return gui::WaitUntil(milliseconds, [&] { return Rows() == rows; });
}

HWND CRunningProgram::WaitForOtherWindow(DWORD milliseconds) const {
    HWND other = nullptr;
    gui::WaitUntil(milliseconds, [&] {
        other = Inspect(m_processId, m_window).other;
        return other != nullptr;
    });
    return other;
}

bool CRunningProgram::Close(std::vector<std::wstring>* answered) {
    if (!Running()) {
        return true;
    }
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    return gui::WaitUntil(20000, [&] {
        if (WaitForExit(0)) {
            return true;
        }
        if (HWND box = Inspect(m_processId, m_window).other; box != nullptr) {
            if (answered != nullptr) {
                answered->push_back(gui::MessageBoxText(box));
            }
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, 0), 0);
            gui::WaitUntil(3000, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
        }
        return false;
    });
}

ChildRun RunWatched(const std::wstring& commandLine, DWORD milliseconds) {
    ChildRun run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return run;
    }
    const CProcessHandle process(started.hProcess);
    const CProcessHandle thread(started.hThread);
    // Polled often: a window that flashes up for a moment still counts.
    const DWORD start = GetTickCount();
    while (!run.ended && GetTickCount() - start < milliseconds) {
        run.showedWindow = run.showedWindow || VisibleWindowCount(started.dwProcessId) > 0;
        run.ended = WaitForSingleObject(process.Get(), 10) == WAIT_OBJECT_0;
    }
    if (!run.ended) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
        return run;
    }
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}

int EndAllPrograms() {
    const std::vector<DWORD> processes = ProgramProcesses();
    for (DWORD processId : processes) {
        CProcessHandle process(OpenProcess(
            SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId));
        if (HWND window = MainWindowOf(processId); window != nullptr) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            gui::WaitUntil(10000, [&] {
                if (HWND box = Inspect(processId, window).other; box != nullptr) {
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, 0), 0);
                }
                return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
            });
        }
        if (process && WaitForSingleObject(process.Get(), 0) != WAIT_OBJECT_0) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
        }
    }
    return static_cast<int>(processes.size());
}

}  // namespace qmz::comtest
