// How the main window's layout follows the message font and the window size.
// The page is a grid of 3 columns and 11 text rows: when captions grow, every control
// edge on column boundary c moves right by c*dx and every edge on row boundary r moves
// down by r*dy; extra window size beyond the minimum is then handed out per control.
#pragma once

#include <array>
#include <map>
#include <vector>

namespace qmz {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const LayoutRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct LayoutSize {
    int width = 0;
    int height = 0;
    bool operator==(const LayoutSize& o) const { return width == o.width && height == o.height; }
};

// Pixel size of one measured caption.
struct TextExtent {
    int width = 0;
    int height = 0;
};

constexpr int kListColumnCount = 5;
using ColumnWidths = std::array<int, kListColumnCount>;

// Control rectangles (client coordinates) and caption extents measured with one font.
struct LayoutSnapshot {
    std::map<int, LayoutRect> controls;
    std::vector<TextExtent> texts;  // same captions, same order, in every snapshot
    ColumnWidths columns{};         // widths of the columns of both lists
};

struct LayoutGrowth {
    int dx = 0;
    int dy = 0;
};

// On Vista or later the message font is always treated as at least this much larger.
constexpr int kVistaMinimumDx = 46;
constexpr int kVistaMinimumDy = 6;
constexpr int kGridColumns = 3;
constexpr int kGridRows = 11;

// Largest growth of any caption between the two fonts, never negative.
LayoutGrowth ComputeGrowth(const std::vector<TextExtent>& design,
                           const std::vector<TextExtent>& adapted, bool isVistaOrLater);

LayoutSize MinimumWindowSize(LayoutSize designWindow, LayoutGrowth growth);

// Grid boundaries of a control's edges; false for controls outside the grid.
struct GridEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
bool GridEdgesOf(int controlId, GridEdges* edges);

// The design rectangles moved by the grid and the columns widened by 3*dx/5 each.
LayoutSnapshot AdaptLayout(const LayoutSnapshot& design, LayoutGrowth growth);

// The extra size beyond the minimum, 0 when the window is smaller.
LayoutSize ExtraSize(LayoutSize window, LayoutSize minimum);

// Final rectangle of a control for the given extra size.
LayoutRect FinalRect(int controlId, const LayoutRect& adapted, LayoutSize extra);
LayoutSnapshot FinalLayout(const LayoutSnapshot& adapted, LayoutSize extra);

// Design widths of the list columns for a list of the given client width.
ColumnWidths DesignColumnWidths(int listClientWidth);

}  // namespace qmz
