// Recognising the COM server switches among the paths of a command line.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

TEST(CommandLineSwitchTest, SwitchesAreFoundAfterSlashOrDashInAnyCase) {
    EXPECT_EQ(FindCommandLineSwitch(L"/RegServer"), CommandLineSwitch::kRegister);
    EXPECT_EQ(FindCommandLineSwitch(L"-register"), CommandLineSwitch::kRegister);
    EXPECT_EQ(FindCommandLineSwitch(L"/UNREGSERVER"), CommandLineSwitch::kUnregister);
    EXPECT_EQ(FindCommandLineSwitch(L"-Unregister"), CommandLineSwitch::kUnregister);
    EXPECT_EQ(FindCommandLineSwitch(L"-Embedding"), CommandLineSwitch::kEmbedding);
    EXPECT_EQ(FindCommandLineSwitch(L"  /automation  "), CommandLineSwitch::kAutomation);
}

TEST(CommandLineSwitchTest, PathsAndLookAlikesAreNoSwitches) {
    EXPECT_EQ(FindCommandLineSwitch(L""), CommandLineSwitch::kNone);
    EXPECT_EQ(FindCommandLineSwitch(L"C:\\Data\\Register"), CommandLineSwitch::kNone);
    EXPECT_EQ(FindCommandLineSwitch(L"/Registered"), CommandLineSwitch::kNone);
    EXPECT_EQ(FindCommandLineSwitch(L"Embedding"), CommandLineSwitch::kNone);
    EXPECT_EQ(FindCommandLineSwitch(L"/"), CommandLineSwitch::kNone);
}

TEST(CommandLineSwitchTest, AmongPathsTheFirstSwitchCounts) {
    EXPECT_EQ(FindCommandLineSwitch(L"C:\\a.txt -Embedding /Unregister"),
              CommandLineSwitch::kEmbedding);
}

}  // namespace
}  // namespace qmz
