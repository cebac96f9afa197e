// Layout arithmetic of the main window: growth from the fonts, the minimum size, the grid
// moves of the adapted layout and the hand-out of extra size on resize.
#include "ui/model/layout_model.h"

#include <gtest/gtest.h>

#include "ui/model/page_model.h"
#include "ui/resource_ids.h"

namespace qmz {
namespace {

// The dialog's design rectangles (dialog units, x y w h), doubled as pixels.
struct DesignControl {
    int id, x, y, w, h;
};
constexpr DesignControl kDesign[] = {
    {1000, 11, 6, 68, 16},    {1001, 79, 6, 266, 16},    {1002, 345, 6, 68, 16},
    {1003, 13, 24, 398, 12},  {1005, 11, 36, 402, 268},  {1006, 37, 130, 80, 60},
    {1007, 310, 130, 80, 60}, {1008, 15, 44, 394, 139},  {1009, 25, 60, 374, 76},
    {1010, 29, 142, 104, 15}, {1011, 160, 142, 104, 15}, {1012, 291, 142, 104, 15},
    {1013, 29, 160, 104, 15}, {1015, 291, 160, 104, 15}, {1016, 15, 192, 394, 75},
    {1017, 29, 208, 104, 15}, {1018, 160, 208, 104, 15}, {1019, 291, 208, 104, 15},
    {1020, 29, 226, 104, 15}, {1021, 160, 226, 104, 15}, {1022, 291, 226, 104, 15},
    {1023, 29, 244, 104, 15}, {1024, 15, 44, 394, 139},  {1025, 25, 63, 374, 76},
    {1026, 29, 142, 104, 15}, {1027, 160, 142, 104, 15}, {1028, 291, 142, 104, 15},
    {1029, 29, 160, 104, 15}, {1030, 160, 160, 104, 15}, {1031, 291, 160, 104, 15},
    {1032, 15, 192, 394, 75}, {1033, 31, 211, 89, 11},   {1034, 134, 211, 55, 12},
    {1035, 245, 211, 89, 11}, {1036, 338, 211, 55, 12},  {1037, 31, 229, 89, 11},
    {1038, 134, 229, 55, 12}, {1039, 245, 229, 89, 11},  {1040, 338, 229, 55, 12},
    {1041, 29, 277, 104, 18}, {1042, 160, 277, 104, 18}, {1043, 291, 277, 104, 18},
};
constexpr int kScale = 2;
constexpr LayoutSize kDesignClient{427 * kScale, 313 * kScale};

LayoutSnapshot DesignSnapshot() {
    LayoutSnapshot snapshot;
    for (const DesignControl& c : kDesign) {
        snapshot.controls[c.id] = {c.x * kScale, c.y * kScale, (c.x + c.w) * kScale,
                                   (c.y + c.h) * kScale};
    }
    snapshot.columns = DesignColumnWidths(374 * kScale);
    return snapshot;
}

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Contains(const LayoutRect& outer, const LayoutRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool IsFrameOrBackground(int id) {
    return id == IDC_PAGE_BACKGROUND || id == IDC_ERASE_FRAME || id == IDC_RESULT_FRAME ||
           id == IDC_EXTENDED_FRAME || id == IDC_COUNTER_FRAME || id == IDC_TABS;
}

// Controls that share a page must not overlap (frames and the background hold others).
void ExpectNoOverlapOnAnyPage(const LayoutSnapshot& layout, const char* what) {
    for (int page = 0; page < kPageCount; ++page) {
        for (const auto& [a, ra] : layout.controls) {
            for (const auto& [b, rb] : layout.controls) {
                if (a >= b || IsFrameOrBackground(a) || IsFrameOrBackground(b) ||
                    !ControlOnPage(a, page) || !ControlOnPage(b, page)) {
                    continue;
                }
                EXPECT_FALSE(Overlap(ra, rb))
                    << what << ": controls " << a << " and " << b << " overlap on page " << page;
            }
        }
    }
}

TEST(LayoutGrowthTest, TakesTheLargestIncreaseOfAnyCaption) {
    std::vector<TextExtent> design = {{100, 12}, {40, 12}, {80, 12}};
    std::vector<TextExtent> adapted = {{110, 13}, {70, 15}, {81, 12}};
    LayoutGrowth g = ComputeGrowth(design, adapted, false);
    EXPECT_EQ(g.dx, 30);
    EXPECT_EQ(g.dy, 3);
}

TEST(LayoutGrowthTest, ASmallerMessageFontNeverShrinksTheWindow) {
    LayoutGrowth g = ComputeGrowth({{100, 14}}, {{90, 12}}, false);
    EXPECT_EQ(g.dx, 0);
    EXPECT_EQ(g.dy, 0);
}

TEST(LayoutGrowthTest, VistaOrLaterGrowsAtLeast46By6) {
    LayoutGrowth same = ComputeGrowth({{100, 12}}, {{100, 12}}, true);
    EXPECT_EQ(same.dx, kVistaMinimumDx);
    EXPECT_EQ(same.dy, kVistaMinimumDy);
    LayoutGrowth larger = ComputeGrowth({{100, 12}}, {{160, 20}}, true);
    EXPECT_EQ(larger.dx, 60);
    EXPECT_EQ(larger.dy, 8);
}

TEST(LayoutGrowthTest, MinimumSizeAddsThreeColumnsAndElevenRows) {
    EXPECT_EQ(MinimumWindowSize({900, 700}, {10, 2}), (LayoutSize{930, 722}));
    // With the Vista floors the window grows by at least 138 x 66.
    LayoutGrowth floor = ComputeGrowth({{1, 1}}, {{1, 1}}, true);
    EXPECT_EQ(MinimumWindowSize({900, 700}, floor), (LayoutSize{900 + 138, 700 + 66}));
}

TEST(AdaptedLayoutTest, EdgesMoveByTheirGridBoundaries) {
    LayoutSnapshot design = DesignSnapshot();
    LayoutSnapshot adapted = AdaptLayout(design, {10, 3});
    const LayoutRect& d = design.controls[IDC_ERASE_REMOVE];  // columns 2..3, rows 4..5
    EXPECT_EQ(adapted.controls[IDC_ERASE_REMOVE],
              (LayoutRect{d.left + 20, d.top + 12, d.right + 30, d.bottom + 15}));
    const LayoutRect& e = design.controls[IDC_ERASE_TIME];  // column 3 both sides, rows 7..8
    EXPECT_EQ(adapted.controls[IDC_ERASE_TIME],
              (LayoutRect{e.left + 30, e.top + 21, e.right + 30, e.bottom + 24}));
    const LayoutRect& c = design.controls[IDC_CLOSE];  // last column, last row
    EXPECT_EQ(adapted.controls[IDC_CLOSE].right, c.right + 30);
    EXPECT_EQ(adapted.controls[IDC_CLOSE].bottom, c.bottom + 33);
}

TEST(AdaptedLayoutTest, ColumnsShareTheListsGrowth) {
    LayoutSnapshot design = DesignSnapshot();
    LayoutSnapshot adapted = AdaptLayout(design, {47, 6});
    for (int k = 0; k < kListColumnCount; ++k) {
        EXPECT_EQ(adapted.columns[k], design.columns[k] + 3 * 47 / 5) << "column " << k;
    }
}

TEST(AdaptedLayoutTest, GrownControlsStayApartAndInsideTheMinimumClient) {
    LayoutSnapshot design = DesignSnapshot();
    ExpectNoOverlapOnAnyPage(design, "design");
    for (LayoutGrowth g : {LayoutGrowth{46, 6}, LayoutGrowth{80, 9}, LayoutGrowth{0, 0}}) {
        LayoutSnapshot adapted = AdaptLayout(design, g);
        const LayoutRect client{0, 0, kDesignClient.width + 3 * g.dx,
                                kDesignClient.height + 11 * g.dy};
        for (const auto& [id, rect] : adapted.controls) {
            EXPECT_TRUE(Contains(client, rect)) << "control " << id << " leaves the client";
            EXPECT_GE(rect.Width(), design.controls[id].Width()) << "control " << id;
            EXPECT_GE(rect.Height(), design.controls[id].Height()) << "control " << id;
        }
        ExpectNoOverlapOnAnyPage(adapted, "adapted");
        // The page contents stay inside their frames.
        EXPECT_TRUE(Contains(adapted.controls[IDC_ERASE_FRAME], adapted.controls[IDC_ERASE_LIST]));
        EXPECT_TRUE(
            Contains(adapted.controls[IDC_EXTENDED_FRAME], adapted.controls[IDC_ENTIRE_PARTITION]));
        EXPECT_TRUE(Contains(adapted.controls[IDC_COUNTER_FRAME],
                             adapted.controls[IDC_OTHER_FAILED_COUNT]));
        EXPECT_TRUE(Contains(adapted.controls[IDC_PAGE_BACKGROUND], adapted.controls[IDC_CLOSE]));
    }
}

TEST(AdaptedLayoutTest, ControlsOutsideTheGridKeepTheirPlace) {
    LayoutSnapshot design;
    design.controls[IDC_HIDDEN_CLOSE] = {798, 506, 820, 534};
    EXPECT_EQ(AdaptLayout(design, {46, 6}).controls[IDC_HIDDEN_CLOSE],
              design.controls[IDC_HIDDEN_CLOSE]);
}

TEST(FinalLayoutTest, ExtraSizeIsZeroBelowTheMinimum) {
    EXPECT_EQ(ExtraSize({500, 400}, {600, 300}), (LayoutSize{0, 100}));
    EXPECT_EQ(ExtraSize({700, 200}, {600, 300}), (LayoutSize{100, 0}));
}

TEST(FinalLayoutTest, ButtonRowsSpreadAndKeepTheirWidth) {
    LayoutSnapshot adapted = AdaptLayout(DesignSnapshot(), {46, 6});
    const LayoutSize extra{101, 51};
    LayoutSnapshot final = FinalLayout(adapted, extra);
    auto moved = [&](int id, int dx, int dy) {
        const LayoutRect& a = adapted.controls[id];
        EXPECT_EQ(final.controls[id],
                  (LayoutRect{a.left + dx, a.top + dy, a.right + dx, a.bottom + dy}))
            << "control " << id;
    };
    moved(IDC_ERASE_SELECT_ALL, 0, 51);
    moved(IDC_ERASE_TOGGLE, 50, 51);
    moved(IDC_ERASE_REMOVE, 101, 51);
    moved(IDC_ERASE_ADD, 0, 51);
    moved(IDC_ERASE_SETTINGS, 101, 51);
    moved(IDC_RESULT_TOGGLE, 50, 51);
    moved(IDC_WINDOWS_TEMP, 50, 51);
    moved(IDC_ENTIRE_PARTITION, 0, 51);
    moved(IDC_ERASED_COUNT, 0, 51);
    moved(IDC_OTHER_FAILED_COUNT, 101, 51);
    moved(IDC_PAUSE, 0, 51);
    moved(IDC_START_ERASE, 50, 51);
    moved(IDC_CLOSE, 101, 51);
    moved(IDC_GOTO_BASIC, 25, 25);
    moved(IDC_GOTO_FULL, 75, 25);
    moved(IDC_BANNER_RIGHT, 101, 0);
    moved(IDC_BANNER_LEFT, 0, 0);
}

TEST(FinalLayoutTest, ListsFramesAndBackgroundTakeTheExtraSize) {
    LayoutSnapshot adapted = AdaptLayout(DesignSnapshot(), {46, 6});
    LayoutSnapshot final = FinalLayout(adapted, {120, 80});
    for (int id : {IDC_ERASE_LIST, IDC_RESULT_LIST, IDC_ERASE_FRAME, IDC_RESULT_FRAME,
                   IDC_PAGE_BACKGROUND}) {
        EXPECT_EQ(final.controls[id].Width(), adapted.controls[id].Width() + 120) << id;
        EXPECT_EQ(final.controls[id].Height(), adapted.controls[id].Height() + 80) << id;
        EXPECT_EQ(final.controls[id].top, adapted.controls[id].top) << id;
    }
    for (int id : {IDC_EXTENDED_FRAME, IDC_COUNTER_FRAME, IDC_TABS, IDC_BANNER_MIDDLE}) {
        EXPECT_EQ(final.controls[id].Width(), adapted.controls[id].Width() + 120) << id;
        EXPECT_EQ(final.controls[id].Height(), adapted.controls[id].Height()) << id;
    }
}

TEST(FinalLayoutTest, GrownWindowKeepsMarginsAndSeparation) {
    LayoutSnapshot adapted = AdaptLayout(DesignSnapshot(), {46, 6});
    for (LayoutSize extra : {LayoutSize{1, 1}, LayoutSize{333, 7}, LayoutSize{9, 401}}) {
        LayoutSnapshot final = FinalLayout(adapted, extra);
        ExpectNoOverlapOnAnyPage(final, "final");
        // The right-hand buttons keep their distance to the frame's right edge.
        for (int id : {IDC_ERASE_REMOVE, IDC_ERASE_SETTINGS, IDC_CLOSE}) {
            EXPECT_EQ(final.controls[IDC_ERASE_FRAME].right - final.controls[id].right,
                      adapted.controls[IDC_ERASE_FRAME].right - adapted.controls[id].right)
                << id;
        }
        // The bottom buttons keep their distance to the page background's bottom.
        EXPECT_EQ(
            final.controls[IDC_PAGE_BACKGROUND].bottom - final.controls[IDC_CLOSE].bottom,
            adapted.controls[IDC_PAGE_BACKGROUND].bottom - adapted.controls[IDC_CLOSE].bottom);
        EXPECT_TRUE(
            Contains(final.controls[IDC_COUNTER_FRAME], final.controls[IDC_OTHER_FAILED_COUNT]));
    }
}

TEST(FinalLayoutTest, TheFirstTwoColumnsTakeTheExtraWidth) {
    LayoutSnapshot adapted = AdaptLayout(DesignSnapshot(), {46, 6});
    LayoutSnapshot final = FinalLayout(adapted, {75, 0});
    EXPECT_EQ(final.columns[0], adapted.columns[0] + 37);
    EXPECT_EQ(final.columns[1], adapted.columns[1] + 37);
    for (int k = 2; k < kListColumnCount; ++k) {
        EXPECT_EQ(final.columns[k], adapted.columns[k]);
    }
}

TEST(FinalLayoutTest, DesignColumnsFitTheList) {
    ColumnWidths widths = DesignColumnWidths(748);
    int total = 0;
    for (int w : widths) {
        EXPECT_GT(w, 0);
        total += w;
    }
    EXPECT_LE(total, 748);
}

}  // namespace
}  // namespace qmz
