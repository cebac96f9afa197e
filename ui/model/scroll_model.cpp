#include "ui/model/scroll_model.h"

#include <algorithm>

namespace qmz {
namespace {

int Clamp(const ScrollAxis& axis, int position) {
    return std::max(0, std::min(position, axis.maximum - axis.page));
}

}  // namespace

ScrollAxis ComputeScrollAxis(int size, int minimum, int position) {
    ScrollAxis axis;
    axis.maximum = std::max(0, minimum - 1);
    axis.visible = size < minimum;
    axis.page = axis.visible ? std::max(0, size - 1) : axis.maximum;
    axis.position = Clamp(axis, position);
    return axis;
}

int ScrollTo(const ScrollAxis& axis, ScrollAction action, int trackPosition) {
    int position = axis.position;
    switch (action) {
        case ScrollAction::kLineUp:
            position -= kScrollLine;
            break;
        case ScrollAction::kLineDown:
            position += kScrollLine;
            break;
        case ScrollAction::kPageUp:
            position -= axis.page;
            break;
        case ScrollAction::kPageDown:
            position += axis.page;
            break;
        case ScrollAction::kTrack:
            position = trackPosition;
            break;
        case ScrollAction::kTop:
            position = 0;
            break;
        case ScrollAction::kBottom:
            position = axis.maximum;
            break;
        case ScrollAction::kThumbPosition:
        case ScrollAction::kOther:
            break;
    }
    return Clamp(axis, position);
}

}  // namespace qmz
