#include "settings/window_placement.h"

#include <algorithm>
#include <limits>

namespace qmz {

namespace {

// 64-bit arithmetic throughout: saved values are arbitrary 32-bit integers from the registry.
int32_t OffsetFromOrigin(int32_t origin) {
    return static_cast<int32_t>(std::min<int64_t>(
        static_cast<int64_t>(origin) + kDefaultWindowOffset, std::numeric_limits<int32_t>::max()));
}

void FitAxis(int32_t* start, int32_t* length, int32_t areaStart, int32_t areaEnd) {
    const int64_t areaLength = std::max<int64_t>(static_cast<int64_t>(areaEnd) - areaStart, 0);
    if (static_cast<int64_t>(*start) + *length > static_cast<int64_t>(areaStart) + areaLength) {
        *start = areaStart;
        if (*length > areaLength) {
            *length = static_cast<int32_t>(areaLength);
        }
    }
}

}  // namespace

WindowPlacement FitWindowPlacement(const WindowPlacement& saved, const ScreenRect& workArea,
                                   const WindowSize& minimumSize) {
    WindowPlacement placement = saved;
    if (saved.Left < 0 || saved.Top < 0 || saved.Width <= 0 || saved.Height < 1) {
        placement.Left = OffsetFromOrigin(workArea.left);
        placement.Top = OffsetFromOrigin(workArea.top);
        placement.Width = minimumSize.width;
        placement.Height = minimumSize.height;
    }
    FitAxis(&placement.Left, &placement.Width, workArea.left, workArea.right);
    FitAxis(&placement.Top, &placement.Height, workArea.top, workArea.bottom);
    return placement;
}

}  // namespace qmz
