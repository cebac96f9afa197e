// The engine on real host symbolic links and an immutable folder under Wine, where a link
// to a file looks like a plain file and every call by its path reaches the target, and
// where a delete can report success and leave the file. host_links_fixture.sh makes the
// fixture (Wine cannot) and names it in QMZ_HOST_LINKS.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/win32_file_system.h"
#include "tests/engine/engine_harness.h"
#include "tests/support/scratch_folder.h"

namespace qmz {
namespace {

using Lines = std::vector<ResultLine>;

std::wstring Environment(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? value : L"";
}

class Win32HostLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (m_root.empty()) {
            GTEST_SKIP() << "needs the fixture of tests/engine/host_links_fixture.sh";
        }
    }
    std::wstring Path(const std::wstring& name) const { return m_root + L"\\" + name; }
    std::string Read(const std::wstring& name) { return ReadRealFile(Path(name)); }
    bool Exists(const std::wstring& name) {
        return GetFileAttributesW(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void ExpectTargetsWhole() {
        EXPECT_EQ(Read(L"outside\\target.txt"), "precious");
        EXPECT_EQ(Read(L"outside\\tdir\\inner.txt"), "inner");
    }

    const std::wstring m_root = Environment(L"QMZ_HOST_LINKS");
    CWin32FileSystem m_fileSystem;
};

TEST_F(Win32HostLinkTest, LinksInsideAFolderKeepTheirTargets) {
    CEngineHarness harness(&m_fileSystem);
    const RunOutcome outcome =
        harness.Run(MakeOperation<CEraseFolderAndContents>(Path(L"req"), kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_FALSE(Exists(L"req\\plain.txt"));
    for (const ResultLine& line : outcome.lines) {
        if (line.path == Path(L"req\\plain.txt")) {
            EXPECT_EQ(line.status, StatusCompleted);
        } else {
            EXPECT_EQ(line.status, StatusFailedOther) << testing::PrintToString(line);
        }
    }
    EXPECT_TRUE(Exists(L"req\\filelink"));
    ExpectTargetsWhole();
}

TEST_F(Win32HostLinkTest, LinksNamedDirectlyKeepTheirTargets) {
    CEngineHarness harness(&m_fileSystem);
    RunOutcome outcome = harness.Run(MakeOperation<CEraseFile>(Path(L"req2\\filelink"), kNcsc));
    EXPECT_EQ(outcome.lines,
              (Lines{{ResultRecord::kFile, Path(L"req2\\filelink"), StatusFailedOther}}));
    outcome = harness.Run(MakeOperation<CEraseFolderAndContents>(Path(L"req2\\dirlink"), kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    outcome = harness.Run(MakeOperation<CEraseContentsOfFolder>(Path(L"req2\\dirlink"), kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    outcome = harness.Run(MakeOperation<CEraseFolderOnly>(Path(L"req2\\dirlink"), kNcsc));
    EXPECT_EQ(outcome.status, StatusFailedOther);
    ExpectTargetsWhole();
}

TEST_F(Win32HostLinkTest, ADeleteThatLeavesTheFileIsReported) {
    if (Environment(L"QMZ_HOST_IMMUTABLE") != L"1") {
        GTEST_SKIP() << "the host could not mark the folder immutable";
    }
    CEngineHarness harness(&m_fileSystem);
    const RunOutcome outcome =
        harness.Run(MakeOperation<CEraseFile>(Path(L"immutable\\stays.txt"), kNcsc));
    EXPECT_EQ(outcome.lines,
              (Lines{{ResultRecord::kFile, Path(L"immutable\\stays.txt"), StatusFailedOther}}));
    EXPECT_TRUE(Exists(L"immutable\\stays.txt"));
}

}  // namespace
}  // namespace qmz

#endif
