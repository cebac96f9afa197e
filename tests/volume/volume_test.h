// What every test of the suite starts from: default settings and the image drive proven
// to be the loop-mounted image, so that no erase can reach a drive the host's disk backs.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/gui/erase_window_driver.h"
#include "tests/volume/image_drive.h"
#include "tests/volume/volume_program.h"

namespace qmz::volumetest {

class CVolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui::ResetRegistry();
        ASSERT_TRUE(m_drive.Prove()) << "nothing is erased on a drive that is not the image";
    }
    void TearDown() override { gui::ResetRegistry(); }

    // The fill files on the image, as the host lists them.
    std::vector<std::string> FillFiles() {
        std::vector<std::string> found;
        for (const HostEntry& entry : m_drive.Tree()) {
            const std::string name = entry.path.substr(entry.path.rfind('/') + 1);
            if (_strnicmp(name.c_str(), "qmztemp", 7) == 0 || entry.kind == "error") {
                found.push_back(entry.path);
            }
        }
        return found;
    }

    // Waits until a fill file exists and at least `bytes` of the space free before have
    // gone into the fill: the erase is surely in the middle of its fill. False as soon as
    // the erase ends without it.
    bool WaitForFill(const gui::CEraseWindow& window, uint64_t freeBefore, uint64_t bytes) {
        bool seen = false;
        gui::WaitUntil(60000, [&] {
            const uint64_t free = m_drive.FreeBytes();
            seen = free != UINT64_MAX && free + bytes <= freeBefore && !FillFiles().empty();
            return seen || window.Rows(gui::kResultList) > 0;
        });
        return seen;
    }

    // Waits until no fill file is left and the free space is back to at least `bytes`.
    bool WaitForSpaceBack(uint64_t bytes, DWORD milliseconds = 30000) {
        return gui::WaitUntil(milliseconds, [&] {
            const uint64_t free = m_drive.FreeBytes();
            return FillFiles().empty() && free != UINT64_MAX && free >= bytes;
        });
    }

    static std::string Join(const std::vector<std::string>& items) {
        std::string text;
        for (const std::string& item : items) {
            text += (text.empty() ? "" : ", ") + item;
        }
        return text;
    }

    static void Print(const std::vector<ResultRow>& rows) {
        for (const ResultRow& row : rows) {
            std::printf("result: %s\n", Describe(row).c_str());
        }
    }

    CImageDrive m_drive;
};

// Directory blocks the file system may keep after files come and go: what "the same free
// space" allows.
constexpr uint64_t kSpaceSlack = 64 * 1024;
// "Full": less than one chunk of the fill (128 clusters of 4 KiB) is left.
constexpr uint64_t kFullWithin = 128 * 4096;

}  // namespace qmz::volumetest
