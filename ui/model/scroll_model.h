// Scroll bars of a window that is smaller than its minimum size: the contents keep their
// minimum-size layout and are scrolled instead of squeezed.
#pragma once

namespace qmz {

struct ScrollAxis {
    bool visible = false;
    int maximum = 0;  // range 0 .. minimum - 1
    int page = 0;
    int position = 0;
};

// One direction: `size` is the window's size, `minimum` the minimum size.
ScrollAxis ComputeScrollAxis(int size, int minimum, int position);

enum class ScrollAction {
    kLineUp,
    kLineDown,
    kPageUp,
    kPageDown,
    kTrack,
    kThumbPosition,
    kTop,
    kBottom,
    kOther
};

constexpr int kScrollLine = 10;

// The new position for a scroll-bar action, clamped to the axis.
int ScrollTo(const ScrollAxis& axis, ScrollAction action, int trackPosition);

}  // namespace qmz
