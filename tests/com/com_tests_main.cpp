// com_tests QMZ4.exe SCRIPT_FOLDER: both as the prefix sees them (B:/...).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"

namespace {

// Backslashes throughout: the program registers the path it finds for itself.
std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return full;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fwprintf(stderr, L"usage: com_tests QMZ4.exe script_folder\n");
        return 2;
    }
    qmz::gui::ProgramPath() = FullPath(argv[1]);
    qmz::comtest::ScriptFolder() = FullPath(argv[2]);
    return RUN_ALL_TESTS();
}
