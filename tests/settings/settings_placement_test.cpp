// Where the main window opens for a saved placement and a work area.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "settings/window_placement.h"

namespace qmz {
namespace {

const WindowSize kMinimum{640, 480};
// A taskbar on the left: the work area does not start at the screen origin.
const ScreenRect kWorkArea{100, 0, 1920, 1040};

void ExpectPlacement(const WindowPlacement& actual, int32_t left, int32_t top, int32_t width,
                     int32_t height) {
    EXPECT_EQ(actual.Left, left);
    EXPECT_EQ(actual.Top, top);
    EXPECT_EQ(actual.Width, width);
    EXPECT_EQ(actual.Height, height);
}

TEST(SettingsPlacement, PlacementInsideTheWorkAreaIsKept) {
    ExpectPlacement(FitWindowPlacement({200, 100, 800, 600}, kWorkArea, kMinimum), 200, 100, 800,
                    600);
    // Smaller than the minimum is allowed: the window scrolls.
    ExpectPlacement(FitWindowPlacement({0, 0, 1, 1}, {0, 0, 1920, 1040}, kMinimum), 0, 0, 1, 1);
}

TEST(SettingsPlacement, AnyInvalidPartDiscardsTheWholePlacement) {
    const WindowPlacement invalid[] = {{-8, 100, 800, 600},   {200, -1, 800, 600},
                                       {200, 100, 0, 600},    {200, 100, 800, 0},
                                       {200, 100, -800, 600}, {0, 0, 0, 0}};
    for (const WindowPlacement& saved : invalid) {
        ExpectPlacement(FitWindowPlacement(saved, kWorkArea, kMinimum), 150, 50, 640, 480);
    }
}

TEST(SettingsPlacement, WindowPastAnEdgeMovesToTheWorkAreaOrigin) {
    // Wider than the work area: moved left and cut.
    ExpectPlacement(FitWindowPlacement({300, 10, 2500, 600}, kWorkArea, kMinimum), 100, 10, 1820,
                    600);
    // Only hanging over the right edge: moved, size kept.
    ExpectPlacement(FitWindowPlacement({1500, 10, 800, 600}, kWorkArea, kMinimum), 100, 10, 800,
                    600);
    // The same rule vertically.
    ExpectPlacement(FitWindowPlacement({200, 900, 800, 2000}, kWorkArea, kMinimum), 200, 0, 800,
                    1040);
    // Ending exactly on the edge fits.
    ExpectPlacement(FitWindowPlacement({1020, 40, 900, 1000}, kWorkArea, kMinimum), 1020, 40, 900,
                    1000);
}

TEST(SettingsPlacement, MinimumLargerThanTheWorkAreaIsCut) {
    ExpectPlacement(FitWindowPlacement({-1, 0, 0, 0}, {0, 0, 800, 600}, {1000, 700}), 0, 0, 800,
                    600);
}

TEST(SettingsPlacement, ExtremeSavedValuesDoNotOverflow) {
    const int32_t kMax = std::numeric_limits<int32_t>::max();
    ExpectPlacement(FitWindowPlacement({kMax, kMax, kMax, kMax}, kWorkArea, kMinimum), 100, 0, 1820,
                    1040);
}

}  // namespace
}  // namespace qmz
