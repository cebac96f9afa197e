// bench_automation QMZ4.exe SCRIPT_FOLDER RUNS: times, under Wine, a script's automation
// call to the row it makes in the erase list, with the program running and with COM
// starting it, and the program's plain start to its window. Prints every run and the
// median of each measure (figures, not assertions).
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/com/running_program.h"

namespace qmz::comtest {
namespace {

using Samples = std::vector<double>;

double NowMs() {
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts `commandLine` without waiting; its process handle (empty on failure).
CProcessHandle StartProcess(const std::wstring& commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return CProcessHandle();
    }
    CloseHandle(started.hThread);
    return CProcessHandle(started.hProcess);
}

// Polls `done` every millisecond (no message pump: this thread owns no windows), up to 60 s.
template <class TDone>
bool Poll(TDone done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 60000) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

class CBench {
public:
    CBench(std::wstring program, std::wstring scripts)
        : m_program(std::move(program)), m_scripts(std::move(scripts)) {}

    std::wstring ScriptLine(const wchar_t* script, const std::wstring& arguments) const {
        return L"cscript.exe \"" + m_scripts + L"\\" + script + L"\" " + arguments;
    }
    std::wstring ProgramLine(const wchar_t* arguments) const {
        return L"\"" + m_program + L"\" " + arguments;
    }

    // The script host alone: an empty script, start to end.
    double EmptyScript() const {
        const double start = NowMs();
        RunWatched(ScriptLine(L"empty.vbs", L""), 60000);
        return NowMs() - start;
    }

    // One erase_files.vbs run against `running`, to its row in the list.
    double CallWhileRunning(const CRunningProgram& running, int run) const {
        const int rows = running.Rows();
        const double start = NowMs();
        CProcessHandle script = StartProcess(ScriptLine(L"erase_files.vbs", RowPath(run)));
        const bool arrived = Poll([&] { return running.Rows() > rows; });
        const double elapsed = NowMs() - start;
        WaitForSingleObject(script.Get(), 60000);
        return arrived ? elapsed : -1;
    }

    // One erase_files.vbs run with no program running: COM starts it; to the row.
    double CallWithComStart(int run) const {
        const double start = NowMs();
        CProcessHandle script = StartProcess(ScriptLine(L"erase_files.vbs", RowPath(run)));
        const bool arrived = Poll([&] {
            const std::vector<DWORD> processes = ProgramProcesses();
            HWND window = processes.size() == 1 ? MainWindowOf(processes[0]) : nullptr;
            return window != nullptr &&
                   SendMessageW(GetDlgItem(window, kEraseList), LVM_GETITEMCOUNT, 0, 0) > 0;
        });
        const double elapsed = NowMs() - start;
        WaitForSingleObject(script.Get(), 60000);
        EndAllPrograms();
        return arrived ? elapsed : -1;
    }

    // A plain start, to the main window shown.
    double PlainStart() const {
        const double start = NowMs();
        CProcessHandle program = StartProcess(ProgramLine(L""));
        const DWORD processId = GetProcessId(program.Get());
        const bool shown = Poll([&] { return MainWindowOf(processId) != nullptr; });
        const double elapsed = NowMs() - start;
        EndAllPrograms();
        return shown ? elapsed : -1;
    }

private:
    // A path that need not exist: the row is what is timed.
    static std::wstring RowPath(int run) {
        return L"D:\\rows\\row" + std::to_wstring(run) + L".txt";
    }

    std::wstring m_program;
    std::wstring m_scripts;
};

void Report(const char* label, Samples samples) {
    std::printf("%-44s", label);
    for (double sample : samples) {
        std::printf(" %7.0f", sample);
    }
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    const double median =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    std::printf("   median %7.0f ms\n", median);
    std::fflush(stdout);
}

int Run(const std::wstring& program, const std::wstring& scripts, int runs) {
    CBench bench(program, scripts);
    EndAllPrograms();
    RunWatched(bench.ProgramLine(L"/Register"), 60000);
    std::printf("%d runs each, times in ms (-1: never arrived)\n", runs);

    Samples host;
    for (int run = 0; run < runs; ++run) {
        host.push_back(bench.EmptyScript());
    }
    Report("cscript alone (empty script)", host);

    Samples running;
    {
        CProcessHandle started = StartProcess(bench.ProgramLine(L""));
        CRunningProgram program;
        if (!started || !program.AttachToOnly(60000)) {
            std::fprintf(stderr, "the program did not start\n");
            return 1;
        }
        for (int run = 0; run < runs; ++run) {
            running.push_back(bench.CallWhileRunning(program, run));
        }
        program.Close();
    }
    Report("(a) script call to row, program running", running);

    Samples comStart;
    for (int run = 0; run < runs; ++run) {
        comStart.push_back(bench.CallWithComStart(run));
    }
    Report("(b) script call to row, COM starts program", comStart);

    Samples plain;
    for (int run = 0; run < runs; ++run) {
        plain.push_back(bench.PlainStart());
    }
    Report("(c) plain start to main window", plain);
    return 0;
}

}  // namespace
}  // namespace qmz::comtest

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: bench_automation QMZ4.exe script_folder [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
    return qmz::comtest::Run(argv[1], argv[2], runs);
}
