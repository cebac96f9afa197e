// shellext_wine_tests QMZ4shellext.dll QMZ4.exe: both as the prefix sees them (B:/...).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/gui/program_driver.h"
#include "tests/shellext/shell_host.h"

namespace {

// Backslashes throughout: the DLL registers the path Windows gives it for itself.
std::wstring FullPath(const wchar_t* path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return full;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fwprintf(stderr, L"usage: shellext_wine_tests QMZ4shellext.dll QMZ4.exe\n");
        return 2;
    }
    qmz::shx::DllPath() = FullPath(argv[1]);
    qmz::gui::ProgramPath() = FullPath(argv[2]);
    return RUN_ALL_TESTS();
}
