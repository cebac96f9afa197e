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
        case ScrollAction::LineUp:
            position -= kScrollLine;
            break;
        case ScrollAction::LineDown:
            position += kScrollLine;
            break;
        case ScrollAction::PageUp:
            position -= axis.page;
            break;
        case ScrollAction::PageDown:
            position += axis.page;
            break;
        case ScrollAction::Track:
            position = trackPosition;
            break;
        case ScrollAction::Top:
            position = 0;
            break;
        case ScrollAction::Bottom:
            position = axis.maximum;
            break;
        case ScrollAction::ThumbPosition:
        case ScrollAction::Other:
            break;
    }
    return Clamp(axis, position);
}

}  // namespace qmz
