#include "tests/com/com_fixture.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <objbase.h>

#include <cstdio>

#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

constexpr wchar_t kProgramKey[] = L"Software\\Quellmark\\QMZ4";

}  // namespace

std::wstring& ScriptFolder() {
    static std::wstring folder;
    return folder;
}

ChildRun RunProgram(const std::wstring& arguments) {
    const std::wstring program = L"\"" + gui::ProgramPath() + L"\"";
    return RunWatched(arguments.empty() ? program : program + L" " + arguments, 20000);
}

ChildRun RunScript(const std::wstring& script, const std::wstring& arguments) {
    return RunWatched(L"cscript.exe \"" + ScriptFolder() + L"\\" + script + L"\" " + arguments,
                      30000);
}

void ResetSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
}

void SetSetting(const wchar_t* name, DWORD value) {
    const std::wstring key = std::wstring(kProgramKey) + L"\\Settings";
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
}

std::wstring ScratchFolder(const std::wstring& name) {
    const std::wstring folder = L"D:\\com\\" + name;
    CreateDirectoryW(L"D:\\com", nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool WriteText(const std::wstring& path, const std::string& text) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

::testing::AssertionResult HasRows(const CRunningProgram& program,
                                   const std::vector<ExpectedRow>& expected) {
    const int rows = program.Rows();
    bool same = rows == static_cast<int>(expected.size());
    ::testing::Message list;
    for (int row = 0; row < rows; ++row) {
        const std::wstring path = program.Cell(row, 1);
        const std::wstring kind = program.Cell(row, 2);
        const std::wstring status = program.Cell(row, 3);
        if (same) {
            const ExpectedRow& want = expected[static_cast<size_t>(row)];
            same = (want.path.empty() || path == want.path) && kind == want.kind &&
                   status == kAwaiting;
        }
        list << "\n  [" << row << "] " << path << " | " << kind << " | " << status;
    }
    if (same) {
        return ::testing::AssertionSuccess();
    }
    ::testing::Message want;
    for (const ExpectedRow& row : expected) {
        want << "\n  " << row.path << " | " << row.kind << " | " << kAwaiting;
    }
    return ::testing::AssertionFailure() << "erase list:" << list << "\nexpected:" << want;
}

GUID Guid(const wchar_t* text) {
    GUID guid = {};
    CLSIDFromString(text, &guid);
    return guid;
}

void CComServerTest::SetUp() {
    EndAllPrograms();
    ResetSettings();
    const ChildRun registration = RunProgram(L"/Register");
    ASSERT_TRUE(registration.ended) << "QMZ4 /Register did not end";
}

void CComServerTest::TearDown() {
    EndAllPrograms();
    RunProgram(L"/Unregister");
    ResetSettings();
}

}  // namespace qmz::comtest
