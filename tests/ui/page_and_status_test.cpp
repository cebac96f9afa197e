// Which controls each page shows, the scroll bars below the minimum size, and the
// status texts.
#include <gtest/gtest.h>

#include <string>

#include "resources/string_ids.h"
#include "ui/model/page_model.h"
#include "ui/model/scroll_model.h"
#include "ui/model/status_texts.h"
#include "ui/resource_ids.h"

namespace qmz {
namespace {

TEST(PageModelTest, EveryPageShowsTheCommonControls) {
    for (int page = 0; page < kPageCount; ++page) {
        for (int id : {IDC_BANNER_LEFT, IDC_BANNER_MIDDLE, IDC_BANNER_RIGHT, IDC_TABS,
                       IDC_PAGE_BACKGROUND, IDC_PAUSE, IDC_CLOSE}) {
            EXPECT_TRUE(ControlOnPage(id, page)) << id << " on page " << page;
        }
    }
}

TEST(PageModelTest, PagesShowOnlyTheirOwnControls) {
    EXPECT_TRUE(ControlOnPage(IDC_GOTO_BASIC, kPageWelcome));
    EXPECT_FALSE(ControlOnPage(IDC_START_ERASE, kPageWelcome));
    EXPECT_FALSE(ControlOnPage(IDC_ERASE_LIST, kPageWelcome));
    EXPECT_TRUE(ControlOnPage(IDC_ERASE_LIST, kPageBasic));
    EXPECT_FALSE(ControlOnPage(IDC_INTERNET_HISTORY, kPageBasic));
    EXPECT_TRUE(ControlOnPage(IDC_ERASE_LIST, kPageFull));
    EXPECT_TRUE(ControlOnPage(IDC_ENTIRE_PARTITION, kPageFull));
    EXPECT_FALSE(ControlOnPage(IDC_RESULT_LIST, kPageFull));
    EXPECT_TRUE(ControlOnPage(IDC_RESULT_LIST, kPageResults));
    EXPECT_TRUE(ControlOnPage(IDC_START_ERASE, kPageResults));
    EXPECT_FALSE(ControlOnPage(IDC_ERASE_LIST, kPageResults));
    EXPECT_FALSE(ControlOnPage(IDC_GOTO_FULL, kPageResults));
}

TEST(PageModelTest, EveryPagedControlBelongsToSomePage) {
    for (int id : PagedControls()) {
        bool shown = false;
        for (int page = 0; page < kPageCount; ++page) {
            shown = shown || ControlOnPage(id, page);
        }
        EXPECT_TRUE(shown) << id;
    }
    EXPECT_FALSE(ControlOnPage(IDC_HIDDEN_CLOSE, kPageBasic));
}

TEST(PageModelTest, AnUnknownPageKeepsOnlyPauseAndClose) {
    for (int id : PagedControls()) {
        EXPECT_EQ(ControlOnPage(id, 7), id == IDC_PAUSE || id == IDC_CLOSE) << id;
        EXPECT_EQ(ControlOnPage(id, -1), id == IDC_PAUSE || id == IDC_CLOSE) << id;
    }
}

TEST(ScrollModelTest, NoScrollBarAtOrAboveTheMinimum) {
    ScrollAxis axis = ComputeScrollAxis(700, 700, 35);
    EXPECT_FALSE(axis.visible);
    EXPECT_EQ(axis.maximum, 699);
    EXPECT_EQ(axis.position, 0);
    EXPECT_FALSE(ComputeScrollAxis(900, 700, 0).visible);
}

TEST(ScrollModelTest, BelowTheMinimumThePageIsTheWindow) {
    ScrollAxis axis = ComputeScrollAxis(500, 700, 0);
    EXPECT_TRUE(axis.visible);
    EXPECT_EQ(axis.maximum, 699);
    EXPECT_EQ(axis.page, 499);
    // A position beyond what can be scrolled is pulled back.
    EXPECT_EQ(ComputeScrollAxis(500, 700, 1000).position, 200);
    EXPECT_EQ(ComputeScrollAxis(650, 700, 150).position, 50);
}

TEST(ScrollModelTest, ActionsMoveByLinePageOrThumbAndStayInRange) {
    ScrollAxis axis = ComputeScrollAxis(500, 700, 100);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kLineDown, 0), 110);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kLineUp, 0), 90);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kPageDown, 0), 200);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kPageUp, 0), 0);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kTrack, 150), 150);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kThumbPosition, 150), 100);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kTop, 0), 0);
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kBottom, 0), 200);
    axis.position = 195;
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kLineDown, 0), 200);
    axis.position = 5;
    EXPECT_EQ(ScrollTo(axis, ScrollAction::kLineUp, 0), 0);
}

std::wstring FromTable(uint32_t id) {
#define STR(sid, text) \
    if (id == sid)     \
        return L"" text;
#include "resources/strings.inc"
#undef STR
    return std::wstring();
}

TEST(StatusTextsTest, EveryStatusShowsItsOwnText) {
    StatusTexts texts;
    texts.Load(FromTable);
    EXPECT_EQ(texts.Text(0), L"ユーザ確認待ち");
    EXPECT_EQ(texts.Text(2), L"順番待ち");
    EXPECT_EQ(texts.Text(3), L"処理中");
    EXPECT_EQ(texts.Text(4), L"中断中");
    EXPECT_EQ(texts.Text(5), L"完了済み");
    EXPECT_EQ(texts.Text(6), L"失敗（システムファイル旨）");
    EXPECT_EQ(texts.Text(7), L"失敗（その他の理由）");
    EXPECT_EQ(texts.Text(8), L"中止済み");
}

TEST(StatusTextsTest, UnknownStatusesHaveNoText) {
    StatusTexts texts;
    texts.Load(FromTable);
    EXPECT_TRUE(texts.Text(1).empty());
    EXPECT_TRUE(texts.Text(9).empty());
    EXPECT_TRUE(texts.Text(-1).empty());
    EXPECT_EQ(StatusTextId(1), 0u);
}

TEST(StringTableTest, MainWindowTextsAreInTheTable) {
    EXPECT_EQ(FromTable(IDS_APPLICATION_TITLE), L"ヌルベイン Z 4");
    EXPECT_EQ(FromTable(IDS_TAB_WELCOME), L"ようこそ");
    EXPECT_EQ(FromTable(IDS_TAB_RESULTS), L"消去結果");
    EXPECT_EQ(FromTable(IDS_COLUMN_NAME), L"ファイル名・項目");
    EXPECT_EQ(FromTable(IDS_COLUMN_ESTIMATE), L"推定時間");
    EXPECT_EQ(FromTable(IDS_COLUMN_FAILURES), L"失敗件数");
    EXPECT_EQ(FromTable(IDS_EXIT_QUESTION), L"処理を中止してヌルベインを終了しますか？");
    EXPECT_EQ(FromTable(IDS_HELP_FILE), L"QMZ4.pdf");
}

}  // namespace
}  // namespace qmz
