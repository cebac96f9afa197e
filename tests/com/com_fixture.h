// What the COM suites share: the program and the example scripts as the prefix sees
// them, settings and scratch files, the erase-list check, and a fixture that registers
// the server for one test and leaves neither a program nor a registration behind.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/com/running_program.h"

namespace qmz::comtest {

inline constexpr wchar_t kFileKind[] = L"ファイルを消去";
inline constexpr wchar_t kFreeSpaceKind[] = L"フリースペースを消去";
inline constexpr wchar_t kEntirePartitionKind[] = L"ドライブ領域をまるごと消去";
inline constexpr wchar_t kRecycleBinKind[] = L"ごみ箱の中身を消去";

// The folder of the example scripts (drive path, no trailing backslash), set by main.
std::wstring& ScriptFolder();

// Runs the program with `arguments` to its end, at most 20 s.
ChildRun RunProgram(const std::wstring& arguments);
// Runs an example script under cscript with `arguments`, at most 30 s.
ChildRun RunScript(const std::wstring& script, const std::wstring& arguments);

void ResetSettings();
void SetSetting(const wchar_t* name, DWORD value);

// A fresh folder D:\com\<name> on the scratch drive.
std::wstring ScratchFolder(const std::wstring& name);
bool WriteText(const std::wstring& path, const std::string& text);
bool Exists(const std::wstring& path);

struct ExpectedRow {
    std::wstring path;  // column 1; empty: not compared
    std::wstring kind;  // column 2
};
// The whole erase list, in order, every row awaiting confirmation.
::testing::AssertionResult HasRows(const CRunningProgram& program,
                                   const std::vector<ExpectedRow>& expected);

// A GUID from its registry text.
GUID Guid(const wchar_t* text);

// COM in this thread for one scope (a single-threaded apartment, as a script host has).
class CComSession {
public:
    CComSession() : m_ok(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~CComSession() {
        if (m_ok) {
            CoUninitialize();
        }
    }
    CComSession(const CComSession&) = delete;
    CComSession& operator=(const CComSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

// Each test starts with no program running, default settings and the server registered,
// and ends with the program gone and the registration removed.
class CComServerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace qmz::comtest
