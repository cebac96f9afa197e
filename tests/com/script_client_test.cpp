// The example scripts under Wine's cscript, as a user runs them: the first CreateObject
// makes COM start QMZ4.exe -Embedding, later scripts reach the running program, and
// every method adds its row (with Autorun the file is erased at once).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

class ScriptClientTest : public CComServerTest {};

// A script ends with its error number as exit code: cscript itself would hide the error.
void ExpectScriptSucceeded(const ChildRun& run, const wchar_t* script) {
    EXPECT_TRUE(run.ended) << script << " did not end";
    EXPECT_EQ(run.exitCode, 0u) << script << " failed with 0x" << std::hex << run.exitCode;
}

TEST_F(ScriptClientTest, TheFirstScriptStartsTheServerAndEachMethodAddsItsRow) {
    const std::wstring spaced = ScratchFolder(L"script") + L"\\two words.txt";
    ASSERT_TRUE(WriteText(spaced, "keep until confirmed"));
    ASSERT_TRUE(ProgramProcesses().empty());

    ExpectScriptSucceeded(RunScript(L"erase_files.vbs", L"\"" + spaced + L"\""), L"erase_files");
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(15000)) << "COM started no program with a window";
    ASSERT_TRUE(program.WaitForRows(1));
    gui::Settle(1000);  // a row for the -Embedding text would come from the start-up timer
    EXPECT_TRUE(HasRows(program, {{spaced, kFileKind}}));
    EXPECT_TRUE(Exists(spaced)) << "nothing is erased before the confirmation";

    ExpectScriptSucceeded(RunScript(L"free_space.vbs", L"D:\\"), L"free_space");
    ExpectScriptSucceeded(RunScript(L"whole_drive.vbs", L"D:\\"), L"whole_drive");
    ExpectScriptSucceeded(RunScript(L"recycle_bin.vbs", L""), L"recycle_bin");
    ASSERT_TRUE(program.WaitForRows(4));
    EXPECT_TRUE(HasRows(program, {{spaced, kFileKind},
                                  {L"D:\\", kFreeSpaceKind},
                                  {L"D:\\", kEntirePartitionKind},
                                  {L"", kRecycleBinKind}}));
    EXPECT_EQ(ProgramProcesses().size(), 1u) << "later scripts reach the running program";
    EXPECT_TRUE(program.Close());
}

TEST_F(ScriptClientTest, WithAutorunTheScriptsFileIsErasedAndItsSiblingStays) {
    const std::wstring folder = ScratchFolder(L"script_autorun");
    const std::wstring victim = folder + L"\\victim file.txt";
    // What the path's first word names: erased too if the quotes were lost on the way.
    const std::wstring sibling = folder + L"\\victim";
    ASSERT_TRUE(WriteText(victim, std::string(70000, 'v')));
    ASSERT_TRUE(WriteText(sibling, "the neighbour"));
    SetSetting(L"Autorun", 1);

    ExpectScriptSucceeded(RunScript(L"erase_files.vbs", L"\"" + victim + L"\""), L"erase_files");
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(15000)) << "COM started no program with a window";
    EXPECT_TRUE(gui::WaitUntil(30000, [&] { return !Exists(victim); }));
    EXPECT_EQ(gui::Contents(sibling), "the neighbour") << "only the quoted path is erased";
    EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace qmz::comtest
