#include "ui/model/layout_model.h"

#include <algorithm>

#include "ui/resource_ids.h"

namespace qmz {
namespace {

struct GridEntry {
    int id;
    GridEdges edges;
};

// Column and row boundaries of every control edge.
constexpr GridEntry kGrid[] = {
    {IDC_BANNER_LEFT, {0, 1, 0, 1}},         {IDC_BANNER_MIDDLE, {0, 1, 3, 1}},
    {IDC_BANNER_RIGHT, {3, 1, 3, 1}},        {IDC_TABS, {0, 1, 2, 2}},
    {IDC_PAGE_BACKGROUND, {0, 2, 3, 10}},    {IDC_GOTO_BASIC, {0, 2, 1, 9}},
    {IDC_GOTO_FULL, {2, 2, 3, 9}},           {IDC_ERASE_FRAME, {0, 2, 3, 6}},
    {IDC_RESULT_FRAME, {0, 2, 3, 6}},        {IDC_ERASE_LIST, {0, 3, 3, 4}},
    {IDC_RESULT_LIST, {0, 3, 3, 4}},         {IDC_ERASE_SELECT_ALL, {0, 4, 1, 5}},
    {IDC_ERASE_TOGGLE, {1, 4, 2, 5}},        {IDC_ERASE_REMOVE, {2, 4, 3, 5}},
    {IDC_RESULT_SELECT_ALL, {0, 4, 1, 5}},   {IDC_RESULT_TOGGLE, {1, 4, 2, 5}},
    {IDC_RESULT_REMOVE, {2, 4, 3, 5}},       {IDC_ERASE_ADD, {0, 5, 1, 6}},
    {IDC_ERASE_SETTINGS, {2, 5, 3, 6}},      {IDC_SHOW_FAILED, {0, 5, 1, 6}},
    {IDC_SHOW_SUCCEEDED, {1, 5, 2, 6}},      {IDC_RESULT_SETTINGS, {2, 5, 3, 6}},
    {IDC_EXTENDED_FRAME, {0, 6, 3, 10}},     {IDC_COUNTER_FRAME, {0, 6, 3, 10}},
    {IDC_INTERNET_HISTORY, {0, 7, 1, 8}},    {IDC_INTERNET_TEMP, {1, 7, 2, 8}},
    {IDC_INTERNET_COOKIES, {2, 7, 3, 8}},    {IDC_FREE_SPACE, {0, 8, 1, 9}},
    {IDC_WINDOWS_TEMP, {1, 8, 2, 9}},        {IDC_RECYCLE_BIN, {2, 8, 3, 9}},
    {IDC_ENTIRE_PARTITION, {0, 9, 1, 10}},   {IDC_ERASED_LABEL, {0, 7, 1, 8}},
    {IDC_ERASED_COUNT, {1, 7, 1, 8}},        {IDC_ERASE_TIME_LABEL, {2, 7, 3, 8}},
    {IDC_ERASE_TIME, {3, 7, 3, 8}},          {IDC_SYSTEM_FAILED_LABEL, {0, 8, 1, 9}},
    {IDC_SYSTEM_FAILED_COUNT, {1, 8, 1, 9}}, {IDC_OTHER_FAILED_LABEL, {2, 8, 3, 9}},
    {IDC_OTHER_FAILED_COUNT, {3, 8, 3, 9}},  {IDC_PAUSE, {0, 10, 1, 11}},
    {IDC_START_ERASE, {1, 10, 2, 11}},       {IDC_CLOSE, {2, 10, 3, 11}},
};

// How a control takes part in the extra size: its left/right edges move by the given
// quarters of ex, its top/bottom edges by the given halves of ey.
struct FinalRule {
    int id;
    int leftQuarters;
    int rightQuarters;
    int topHalves;
    int bottomHalves;
};

constexpr FinalRule kFinalRules[] = {
    {IDC_BANNER_MIDDLE, 0, 4, 0, 0},
    {IDC_BANNER_RIGHT, 4, 4, 0, 0},
    {IDC_TABS, 0, 4, 0, 0},
    {IDC_PAGE_BACKGROUND, 0, 4, 0, 2},
    {IDC_GOTO_BASIC, 1, 1, 1, 1},
    {IDC_GOTO_FULL, 3, 3, 1, 1},
    {IDC_ERASE_FRAME, 0, 4, 0, 2},
    {IDC_RESULT_FRAME, 0, 4, 0, 2},
    {IDC_ERASE_LIST, 0, 4, 0, 2},
    {IDC_RESULT_LIST, 0, 4, 0, 2},
    // Button rows: the left button stays, the middle one moves half, the right one all.
    {IDC_ERASE_SELECT_ALL, 0, 0, 2, 2},
    {IDC_ERASE_TOGGLE, 2, 2, 2, 2},
    {IDC_ERASE_REMOVE, 4, 4, 2, 2},
    {IDC_RESULT_SELECT_ALL, 0, 0, 2, 2},
    {IDC_RESULT_TOGGLE, 2, 2, 2, 2},
    {IDC_RESULT_REMOVE, 4, 4, 2, 2},
    {IDC_ERASE_ADD, 0, 0, 2, 2},
    {IDC_ERASE_SETTINGS, 4, 4, 2, 2},
    {IDC_SHOW_FAILED, 0, 0, 2, 2},
    {IDC_SHOW_SUCCEEDED, 2, 2, 2, 2},
    {IDC_RESULT_SETTINGS, 4, 4, 2, 2},
    {IDC_EXTENDED_FRAME, 0, 4, 2, 2},
    {IDC_COUNTER_FRAME, 0, 4, 2, 2},
    {IDC_INTERNET_HISTORY, 0, 0, 2, 2},
    {IDC_INTERNET_TEMP, 2, 2, 2, 2},
    {IDC_INTERNET_COOKIES, 4, 4, 2, 2},
    {IDC_FREE_SPACE, 0, 0, 2, 2},
    {IDC_WINDOWS_TEMP, 2, 2, 2, 2},
    {IDC_RECYCLE_BIN, 4, 4, 2, 2},
    {IDC_ENTIRE_PARTITION, 0, 0, 2, 2},
    {IDC_ERASED_LABEL, 0, 0, 2, 2},
    {IDC_ERASED_COUNT, 0, 0, 2, 2},
    {IDC_SYSTEM_FAILED_LABEL, 0, 0, 2, 2},
    {IDC_SYSTEM_FAILED_COUNT, 0, 0, 2, 2},
    {IDC_ERASE_TIME_LABEL, 4, 4, 2, 2},
    {IDC_ERASE_TIME, 4, 4, 2, 2},
    {IDC_OTHER_FAILED_LABEL, 4, 4, 2, 2},
    {IDC_OTHER_FAILED_COUNT, 4, 4, 2, 2},
    {IDC_PAUSE, 0, 0, 2, 2},
    {IDC_START_ERASE, 2, 2, 2, 2},
    {IDC_CLOSE, 4, 4, 2, 2},
};

}  // namespace

LayoutGrowth ComputeGrowth(const std::vector<TextExtent>& design,
                           const std::vector<TextExtent>& adapted, bool isVistaOrLater) {
    LayoutGrowth growth;
    const size_t count = std::min(design.size(), adapted.size());
    for (size_t i = 0; i < count; ++i) {
        growth.dx = std::max(growth.dx, adapted[i].width - design[i].width);
        growth.dy = std::max(growth.dy, adapted[i].height - design[i].height);
    }
    if (isVistaOrLater) {
        growth.dx = std::max(growth.dx, kVistaMinimumDx);
        growth.dy = std::max(growth.dy, kVistaMinimumDy);
    }
    return growth;
}

LayoutSize MinimumWindowSize(LayoutSize designWindow, LayoutGrowth growth) {
    return {designWindow.width + kGridColumns * growth.dx,
            designWindow.height + kGridRows * growth.dy};
}

bool GridEdgesOf(int controlId, GridEdges* edges) {
    for (const GridEntry& entry : kGrid) {
        if (entry.id == controlId) {
            *edges = entry.edges;
            return true;
        }
    }
    return false;
}

LayoutSnapshot AdaptLayout(const LayoutSnapshot& design, LayoutGrowth growth) {
    LayoutSnapshot adapted = design;
    for (auto& [id, rect] : adapted.controls) {
        GridEdges edges;
        if (!GridEdgesOf(id, &edges)) {
            continue;
        }
        rect.left += edges.left * growth.dx;
        rect.right += edges.right * growth.dx;
        rect.top += edges.top * growth.dy;
        rect.bottom += edges.bottom * growth.dy;
    }
    const int columnGrowth = kGridColumns * growth.dx / kListColumnCount;
    for (int& width : adapted.columns) {
        width += columnGrowth;
    }
    return adapted;
}

LayoutSize ExtraSize(LayoutSize window, LayoutSize minimum) {
    return {std::max(0, window.width - minimum.width), std::max(0, window.height - minimum.height)};
}

LayoutRect FinalRect(int controlId, const LayoutRect& adapted, LayoutSize extra) {
    for (const FinalRule& rule : kFinalRules) {
        if (rule.id == controlId) {
            LayoutRect rect = adapted;
            rect.left += extra.width * rule.leftQuarters / 4;
            rect.right += extra.width * rule.rightQuarters / 4;
            rect.top += extra.height * rule.topHalves / 2;
            rect.bottom += extra.height * rule.bottomHalves / 2;
            return rect;
        }
    }
    return adapted;
}

LayoutSnapshot FinalLayout(const LayoutSnapshot& adapted, LayoutSize extra) {
    LayoutSnapshot final = adapted;
    for (auto& [id, rect] : final.controls) {
        rect = FinalRect(id, rect, extra);
    }
    final.columns[0] += extra.width / 2;
    final.columns[1] += extra.width / 2;
    return final;
}

ColumnWidths DesignColumnWidths(int listClientWidth) {
    // Name, path, operation, status, estimate: the path gets the most room.
    constexpr int kShares[kListColumnCount] = {22, 34, 16, 14, 14};
    ColumnWidths widths{};
    for (int i = 0; i < kListColumnCount; ++i) {
        widths[i] = std::max(0, listClientWidth) * kShares[i] / 100;
    }
    return widths;
}

}  // namespace qmz
