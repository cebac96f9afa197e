// Recognising the COM server switches among the paths of a command line.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

TEST(CommandLineSwitchTest, SwitchesAreFoundAfterSlashOrDashInAnyCase) {
    EXPECT_EQ(FindCommandLineSwitch(L"/RegServer"), CommandLineSwitch::Register);
    EXPECT_EQ(FindCommandLineSwitch(L"-register"), CommandLineSwitch::Register);
    EXPECT_EQ(FindCommandLineSwitch(L"/UNREGSERVER"), CommandLineSwitch::Unregister);
    EXPECT_EQ(FindCommandLineSwitch(L"-Unregister"), CommandLineSwitch::Unregister);
    EXPECT_EQ(FindCommandLineSwitch(L"-Embedding"), CommandLineSwitch::Embedding);
    EXPECT_EQ(FindCommandLineSwitch(L"  /automation  "), CommandLineSwitch::Automation);
}

TEST(CommandLineSwitchTest, PathsAndLookAlikesAreNoSwitches) {
    EXPECT_EQ(FindCommandLineSwitch(L""), CommandLineSwitch::None);
    EXPECT_EQ(FindCommandLineSwitch(L"C:\\Data\\Register"), CommandLineSwitch::None);
    EXPECT_EQ(FindCommandLineSwitch(L"/Registered"), CommandLineSwitch::None);
    EXPECT_EQ(FindCommandLineSwitch(L"Embedding"), CommandLineSwitch::None);
    EXPECT_EQ(FindCommandLineSwitch(L"/"), CommandLineSwitch::None);
}

TEST(CommandLineSwitchTest, AmongPathsTheFirstSwitchCounts) {
    EXPECT_EQ(FindCommandLineSwitch(L"C:\\a.txt -Embedding /Unregister"),
              CommandLineSwitch::Embedding);
}

}  // namespace
}  // namespace qmz
