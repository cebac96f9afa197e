// The Recycle Bin erase of the real program under Wine, whose bin is the XDG trash that
// with_image_drive.sh moved into the run's own folder: the erase ends with a result row
// and the program goes on answering.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "com/dispatch_call.h"
#include "tests/volume/volume_test.h"

namespace qmz::volumetest {
namespace {

class RecycleBinEraseTest : public CVolumeTest {};

TEST_F(RecycleBinEraseTest, EndsWithOneResultRowAndTheProgramGoesOn) {
    char home[1024] = {};
    GetEnvironmentVariableA("XDG_DATA_HOME", home, sizeof(home));
    ASSERT_NE(std::string(home).find("/volume/"), std::string::npos)
        << "Wine's bin must be the run's own, not the host user's: " << home;
    ASSERT_EQ(m_drive.Ask("trash", "seed"), "ok");
    ASSERT_EQ(m_drive.Ask("trash", "list"), "binned.txt");

    CVolumeProgram program(kQuickMethod);
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.Request(kDoRecycleBin, L"", kRecycleBinKind));
    program.Start();
    ASSERT_TRUE(program.WaitForEnd(60000));
    gui::Settle(500);
    const std::vector<ResultRow> results = program.Results();
    Print(results);
    for (const std::wstring& question : program.Questions()) {
        std::printf("question answered: %s\n", Utf8(question).c_str());
    }
    std::printf("bin afterwards: [%s]\n", m_drive.Ask("trash", "list").c_str());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].operation, kRecycleBinKind);
    // Wine keeps its bin in the XDG trash, which no volume's bin folder leads to: none is
    // identified, and the erase has nothing to refuse.
    EXPECT_EQ(results[0].status, gui::kCompleted) << Describe(results[0]);
    // Still answering: a message goes through, and the window closes normally.
    DWORD_PTR reply = 0;
    EXPECT_TRUE(SendMessageTimeoutW(program.Program().Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                    5000, &reply));
    EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace qmz::volumetest
