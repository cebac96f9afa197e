// The Windows version the process is told it runs on decides which kernel calls it
// makes. The Windows build runs these tests in its test prefix (a Windows newer than XP)
// and again in a prefix that reports Windows XP x64, with QMZ_XP_RUN set there, so that
// the XP run cannot quietly pass on a newer version.
#ifdef _WIN32

// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/win32/late_bound.h"
#include "platform/win32/system_version.h"
#include "platform/win32/win32_file_system.h"
#include "tests/platform/file_system_test_util.h"
#include "tests/support/scratch_folder.h"

namespace qmz {
namespace {

bool IsXpRun() {
    return std::getenv("QMZ_XP_RUN") != nullptr;
}

TEST(SystemVersionTest, VistaCallsAreBoundOnlyWhereTheSystemReportsVista) {
    const SystemVersion version = ReadSystemVersion();
    ASSERT_TRUE(version.known);
    if (IsXpRun()) {
        EXPECT_EQ(5u, version.major);
        EXPECT_EQ(2u, version.minor);  // XP x64
        EXPECT_FALSE(IsVistaOrLater(version));
    }
    // Wine's kernel32 has the Vista calls whatever version it reports: only the version
    // keeps them out of an XP run, as it would keep them out on XP itself.
    const LateBoundKernel& kernel = LateBound();
    const bool vista = version.major >= 6;
    EXPECT_EQ(vista, kernel.getFileInformationByHandleEx != nullptr);
    EXPECT_EQ(vista, kernel.getFinalPathNameByHandleW != nullptr);
    // What XP lists streams and names handles with is on every NT version.
    EXPECT_NE(nullptr, kernel.ntQueryInformationFile);
    EXPECT_NE(nullptr, kernel.rtlNtStatusToDosError);
}

// A real file's streams through whichever call this version takes: NTFS lists the main
// stream; a file system that keeps no streams (Wine's answer too) says so with an error
// the engine reads as "no streams here", and lists nothing.
TEST(Win32StreamQueryTest, ARealFileListsItsMainStreamOrSaysThereAreNone) {
    CScratchFolder folder(L"qmz_streams");
    ASSERT_FALSE(folder.Path().empty());
    CWin32FileSystem fs;
    const std::wstring path = folder.Path() + L"\\data.bin";
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(fs, path, std::string(5000, 'd')));
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS, fs.Open(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     OPEN_EXISTING, 0, &file));

    std::vector<StreamInfo> streams = {{L":stale:$DATA", 1, 1}};
    const uint32_t error = file->QueryStreams(1024, &streams);
    if (error == ERROR_SUCCESS) {
        ASSERT_EQ(1u, streams.size());
        EXPECT_EQ(L"::$DATA", streams[0].name);
        EXPECT_EQ(5000u, streams[0].size);
    } else {
        EXPECT_TRUE(error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
                    error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED)
            << "error " << error;
        EXPECT_TRUE(streams.empty());
    }
}

}  // namespace
}  // namespace qmz

#endif  // _WIN32
