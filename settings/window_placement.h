// Where the main window opens: the saved placement, checked against the work area.
#pragma once

#include <cstdint>

namespace qmz {

// Outer window rectangle as saved in the "Latest" section.
struct WindowPlacement {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
};

// A screen rectangle shaped like RECT (right and bottom exclusive), e.g. the work area.
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct WindowSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Distance of a replacement placement from the work-area origin, pixels.
constexpr int32_t kDefaultWindowOffset = 50;

// A saved placement with a negative origin or an empty size is replaced as a whole by the
// minimum size near the work-area origin; then an edge past the work area moves the window
// to the work-area origin on that axis, and a size larger than the work area is cut to it.
WindowPlacement FitWindowPlacement(const WindowPlacement& saved, const ScreenRect& workArea,
                                   const WindowSize& minimumSize);

}  // namespace qmz
