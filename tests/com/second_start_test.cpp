// A second start while the program runs hands its command line over and ends without a
// window; started without arguments it only brings the running program forward.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

class SecondStartTest : public CComServerTest {};

TEST_F(SecondStartTest, PathsReachTheRunningProgramAndAnEmptyStartOnlyBringsItForward) {
    const std::wstring folder = ScratchFolder(L"second");
    const std::wstring spaced = folder + L"\\two words.txt";
    const std::wstring plain = folder + L"\\plain.txt";
    gui::CProgram first(gui::ProgramPath());
    ASSERT_TRUE(first.Start());
    CRunningProgram running;
    ASSERT_TRUE(running.AttachToOnly(5000));

    const ChildRun second = RunProgram(L"\"" + spaced + L"\" " + plain);
    EXPECT_TRUE(second.ended) << "the second start stays";
    EXPECT_FALSE(second.showedWindow) << "the second start showed a window";
    ASSERT_TRUE(running.WaitForRows(2));
    EXPECT_TRUE(HasRows(running, {{spaced, kFileKind}, {plain, kFileKind}}));
    EXPECT_EQ(ProgramProcesses().size(), 1u);

    // Minimised (into the notification area, where the program hides it), then started
    // again with nothing to add.
    ShowWindow(running.Window(), SW_MINIMIZE);
    ASSERT_TRUE(gui::WaitUntil(
        5000, [&] { return IsIconic(running.Window()) || !IsWindowVisible(running.Window()); }));
    const ChildRun empty = RunProgram(L"");
    EXPECT_TRUE(empty.ended) << "the empty second start stays";
    EXPECT_FALSE(empty.showedWindow) << "the empty second start showed a window";
    EXPECT_TRUE(gui::WaitUntil(5000, [&] {
        return IsWindowVisible(running.Window()) && !IsIconic(running.Window());
    })) << "the running program did not come forward";
    gui::Settle(500);
    EXPECT_TRUE(HasRows(running, {{spaced, kFileKind}, {plain, kFileKind}})) << "nothing added";
    EXPECT_TRUE(running.Close());
}

}  // namespace
}  // namespace qmz::comtest
