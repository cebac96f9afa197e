// Requests through the coordinator down to the simulated volume: what was asked for is
// overwritten and gone, what was not is untouched, and the rows leave the list.
#include <gtest/gtest.h>

#include "engine/erase_operations.h"
#include "engine/method_table.h"
#include "ops/erase_coordinator.h"
#include "tests/support/coordinator_window.h"

namespace qmz {
namespace {

constexpr wchar_t kVolume[] = L"\\\\?\\Volume{0000000c-0000-0000-0000-00000000c0de}\\";
constexpr int32_t kThreePasses = 3;  // 0x00, 0xFF, 0xE5

template <class T>
std::unique_ptr<CEraseOperationBase> Request(const std::wstring& path) {
    auto operation = std::make_unique<T>();
    operation->m_path = path;
    operation->m_method = LookupMethod(kThreePasses);
    return operation;
}

TEST(CoordinatorEraseTest, RequestsEraseExactlyWhatWasAskedAndLeaveTheList) {
    CSimPlatform platform;
    CSimFileSystem& volume = platform.FileSystem();
    volume.AddVolume(L'C', kVolume, 512, 8, 4096);
    volume.AddFile(L"C:\\data\\a.txt", std::string(5000, 'a'));
    volume.AddFile(L"C:\\data\\tree\\b.txt", std::string(700, 'b'));
    volume.AddFile(L"C:\\data\\tree\\sub\\c.txt", std::string(300, 'c'));
    volume.AddFile(L"C:\\data\\keep.txt", "keep me");
    const std::vector<int64_t> clustersOfA = volume.ClustersOf(L"C:\\data\\a.txt");
    ASSERT_FALSE(clustersOfA.empty());

    CEraseCoordinator coordinator(platform.Services(), ModifiedMethodSlot());
    CCoordinatorWindow window(&platform, &coordinator);
    coordinator.AddRequest(Request<CEraseFile>(L"C:\\data\\a.txt"));
    coordinator.AddRequest(Request<CEraseFolderAndContents>(L"C:\\data\\tree"));
    // Estimated before anything runs, through the platform the coordinator gave them.
    EXPECT_EQ(coordinator.RowOperation(0)->m_bytesToWrite, 5000u * 3);
    EXPECT_EQ(coordinator.RowOperation(1)->m_bytesToWrite, 1000u * 3);
    EXPECT_EQ(coordinator.RowOperation(1)->m_fileCount, 2u);
    EXPECT_EQ(coordinator.RowOperation(1)->m_folderCount, 2u);

    ASSERT_TRUE(coordinator.StartWorker());
    coordinator.StartErase();
    ASSERT_TRUE(window.PumpUntil([&] { return coordinator.RowCount() == 0; }));

    EXPECT_FALSE(volume.Exists(L"C:\\data\\a.txt"));
    EXPECT_FALSE(volume.Exists(L"C:\\data\\tree"));
    EXPECT_EQ(volume.ReadAll(L"C:\\data\\keep.txt"), "keep me");
    // The file's old clusters hold the last pass, not its data.
    EXPECT_EQ(volume.ReadClusters(L"C:\\", clustersOfA[0], 1), std::string(4096, '\xE5'));
    const std::vector<std::wstring> results = {L"C:\\data\\a.txt 5", L"C:\\data\\tree\\b.txt 5",
                                               L"C:\\data\\tree\\sub\\c.txt 5",
                                               L"C:\\data\\tree\\sub 5", L"C:\\data\\tree 5"};
    EXPECT_EQ(window.Results(), results);
    EXPECT_FALSE(coordinator.HasWork());
    EXPECT_TRUE(window.InternalErrors().empty());
}

}  // namespace
}  // namespace qmz
