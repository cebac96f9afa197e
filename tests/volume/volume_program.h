// The real QMZ4.exe under Wine for one volume request: started as a user starts it, asked
// for the erase through its automation object (as the examples and the Explorer
// extension ask), confirmed with the start button, and read back from its result list.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "tests/gui/erase_window_driver.h"
#include "tests/gui/program_driver.h"

namespace qmz::volumetest {

inline constexpr wchar_t kFreeSpaceKind[] = L"フリースペースを消去";
inline constexpr wchar_t kEntirePartitionKind[] = L"ドライブ領域をまるごと消去";
inline constexpr wchar_t kRecycleBinKind[] = L"ごみ箱の中身を消去";
// Methods of the settings' list: one pass of 00; 00 FF E5; the 35 passes of Gutmann's.
constexpr DWORD kQuickMethod = 0;
constexpr DWORD kNcscMethod = 3;
constexpr DWORD kGutmannMethod = 17;

// One row of the results list, every column.
struct ResultRow {
    std::wstring name;
    std::wstring path;
    std::wstring operation;
    std::wstring status;
    std::wstring failures;
};

class CVolumeProgram {
public:
    // Chooses `method` in the settings, starts the program and reaches its automation
    // object. COM must be initialised on the calling thread.
    explicit CVolumeProgram(DWORD method);
    ~CVolumeProgram();
    CVolumeProgram(const CVolumeProgram&) = delete;
    CVolumeProgram& operator=(const CVolumeProgram&) = delete;

    bool Ready() const { return m_ready; }
    gui::CProgram& Program() { return m_program; }
    const gui::CEraseWindow& Window() const { return m_window; }

    // Calls DoFreeSpace or DoEntirePartitions with `root` quoted (as the examples write
    // it), or DoRecycleBin (empty root), and waits for the row awaiting confirmation with
    // that path and kind.
    ::testing::AssertionResult Request(DISPID method, const std::wstring& root,
                                       const wchar_t* kind);
    // The start button; any question the program asks on the way is answered Yes by
    // WaitForEnd.
    void Start() const { m_window.Command(gui::kStartErase); }
    // Whether every item has ended: none left in the erase list, and a result row.
    bool Ended() const;
    // Waits until every item has ended, answering questions on the way.
    bool WaitForEnd(DWORD milliseconds);
    std::vector<ResultRow> Results() const;
    // The texts of the questions answered so far.
    const std::vector<std::wstring>& Questions() const { return m_questions; }
    // Posts WM_CLOSE and waits for the end, answering Yes to a question.
    bool Close();

private:
    void AnswerQuestion();

    gui::CProgram m_program;
    gui::CEraseWindow m_window;
    CComPtr<IDispatch> m_automation;
    std::vector<std::wstring> m_questions;
    bool m_ready = false;
};

// A row's columns on one line, for test output.
std::string Describe(const ResultRow& row);
std::string Utf8(const std::wstring& text);

}  // namespace qmz::volumetest
