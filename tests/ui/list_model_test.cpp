// The lists' conventions: check equals select, select all, toggle.
#include <gtest/gtest.h>

#include "ui/model/list_conventions.h"

namespace qmz {
namespace {

TEST(CheckEqualsSelectTest, TheUnchangedMarkFollowsTheChangedOne) {
    EXPECT_EQ(MatchMarks({true, false}, RowChange::kSelection).checked, true);
    EXPECT_EQ(MatchMarks({false, true}, RowChange::kSelection).checked, false);
    EXPECT_EQ(MatchMarks({false, true}, RowChange::kCheck).selected, true);
    EXPECT_EQ(MatchMarks({true, false}, RowChange::kCheck).selected, false);
}

TEST(CheckEqualsSelectTest, SelectAllAndToggle) {
    EXPECT_EQ(SelectAllRows(3), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(SelectAllRows(0).empty());
    EXPECT_EQ(ToggleRows({true, false, false, true}),
              (std::vector<bool>{false, true, true, false}));
}

TEST(CheckEqualsSelectTest, ANotificationForRowMinusOneConcernsEveryRow) {
    const RowRange all = NotifiedRows(-1, 4);
    EXPECT_EQ(all.first, 0);
    EXPECT_EQ(all.last, 3);
    const RowRange one = NotifiedRows(2, 4);
    EXPECT_EQ(one.first, 2);
    EXPECT_EQ(one.last, 2);
    const RowRange none = NotifiedRows(-1, 0);
    EXPECT_LT(none.last, none.first);
}

}  // namespace
}  // namespace qmz
