// The notification icon: its animation frames, its callback events, and when the window
// must keep its taskbar button.
#include "ui/model/tray_animation.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

TEST(TrayAnimationTest, BusyTurnsThroughFramesOneToFiveAndIdleStopsAtTheStillIcon) {
    int index = 0;
    std::vector<int> seen;
    for (int tick = 0; tick < 7; ++tick) {
        const TrayFrame frame = NextTrayFrame(index, true);
        EXPECT_FALSE(frame.stopTimer);
        index = frame.index;
        seen.push_back(index);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 1, 2}));
    const TrayFrame idle = NextTrayFrame(index, false);
    EXPECT_EQ(idle.index, 0);
    EXPECT_TRUE(idle.stopTimer);

    EXPECT_EQ(TrayFrameIcon(0), 128);
    EXPECT_EQ(TrayFrameIcon(1), 138);
    EXPECT_EQ(TrayFrameIcon(5), 142);
}

TEST(TrayAnimationTest, TheTimerStartsOnceAndStopsOnTheFirstIdleTick) {
    CTrayAnimation animation;
    EXPECT_TRUE(animation.Start());
    EXPECT_EQ(animation.Tick().index, 1);
    EXPECT_EQ(animation.Tick().index, 2);
    // A second item starts while the timer runs: no second timer, the frames go on.
    animation.Stop();
    EXPECT_FALSE(animation.Start());
    EXPECT_EQ(animation.Tick().index, 3);
    animation.Stop();
    const TrayFrame idle = animation.Tick();
    EXPECT_EQ(idle.index, 0);
    EXPECT_TRUE(idle.stopTimer);
    EXPECT_FALSE(animation.TimerRunning());
    EXPECT_TRUE(animation.Start());
    EXPECT_EQ(animation.Tick().index, 1);
}

TEST(TrayAnimationTest, OnlyContextMenuAndSelectEventsAct) {
    EXPECT_EQ(TrayActionFor(0x007B), TrayAction::kShowMenu);  // WM_CONTEXTMENU
    EXPECT_EQ(TrayActionFor(0x0400), TrayAction::kRestore);   // NIN_SELECT
    EXPECT_EQ(TrayActionFor(0x0401), TrayAction::kRestore);   // NIN_KEYSELECT
    // The mouse messages that come before those events are not acted on a second time.
    for (uintptr_t message : {0x0200u, 0x0201u, 0x0202u, 0x0203u, 0x0204u, 0x0205u}) {
        EXPECT_EQ(TrayActionFor(message), TrayAction::kNone) << message;
    }
    // Version 4 puts the icon id into the high word; the event stays in the low word.
    EXPECT_EQ(TrayActionFor((uintptr_t{128} << 16) | 0x007B), TrayAction::kShowMenu);
}

TEST(TrayAnimationTest, TaskbarButtonWhenTheIconIsMissingOrCannotBeLocated) {
    EXPECT_FALSE(NeedsTaskbarButton(true, true, true));
    EXPECT_FALSE(NeedsTaskbarButton(true, false, false));
    EXPECT_TRUE(NeedsTaskbarButton(true, true, false));
    EXPECT_TRUE(NeedsTaskbarButton(false, false, true));
}

}  // namespace
}  // namespace qmz
