// volume_tests QMZ4.exe [SCREENSHOT_FOLDER]: both as the prefix sees them (B:/...). Run by
// with_image_drive.sh, which hands over the image drive through the environment.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdio>

#include "tests/gui/program_driver.h"

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fwprintf(stderr, L"usage: volume_tests QMZ4.exe [screenshot folder]\n");
        return 2;
    }
    qmz::gui::ProgramPath() = argv[1];
    if (argc > 2) {
        qmz::gui::ScreenshotFolder() = argv[2];
    }
    // One apartment for the whole run, as a script host has: the automation object lives
    // in the program, reached from this thread.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        fwprintf(stderr, L"CoInitializeEx failed\n");
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
