// Free space, a full disk and unbuffered I/O on the simulated volume.
#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

TEST_F(SimFileSystemTest, FreeSpaceFollowsAllocationInWholeClusters) {
    const uint64_t empty = FreeBytes();
    EXPECT_EQ(kClusters * kCluster, empty);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", std::string(kCluster + 1, 'x')));
    EXPECT_EQ(empty - 2 * kCluster, FreeBytes());

    auto file = OpenRw(L"C:\\f.bin");
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(10, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->SetEndOfFile());
    EXPECT_EQ(empty - kCluster, FreeBytes());
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(3 * kCluster, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->SetEndOfFile());
    EXPECT_EQ(empty - 3 * kCluster, FreeBytes());
    // Extending does not reveal what the new clusters held before.
    EXPECT_EQ(std::string(10, 'x') + std::string(3 * kCluster - 10, '\0'),
              m_fs.ReadAll(L"C:\\f.bin"));
    file.reset();

    DiskFreeSpace space;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpace(L"C:\\", &space));
    EXPECT_EQ(512u, space.bytesPerSector);
    EXPECT_EQ(8u, space.sectorsPerCluster);
    EXPECT_EQ(kClusters - 3, space.freeClusters);
    EXPECT_EQ(kClusters, space.totalClusters);

    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\f.bin"));
    EXPECT_EQ(empty, FreeBytes());
}

TEST_F(SimFileSystemTest, DeletedFilesLeaveTheirBytesInFreeClusters) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\secret.txt", std::string(kCluster, 's')));
    const std::vector<int64_t> clusters = m_fs.ClustersOf(L"C:\\secret.txt");
    ASSERT_EQ(1u, clusters.size());
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\secret.txt"));
    EXPECT_EQ(std::string(kCluster, 's'), m_fs.ReadClusters(L"C:\\", clusters[0], 1));
}

TEST_F(SimFileSystemTest, WriteBeyondFreeSpaceFailsWithoutWriting) {
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.AddFile(L"C:\\big.bin", std::string((kClusters - 2) * kCluster, 'b')));
    std::unique_ptr<IFileHandle> fill;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\QMZTEMP", GENERIC_READ | GENERIC_WRITE, 0,
                                       CREATE_ALWAYS, FILE_FLAG_NO_BUFFERING, &fill));
    alignas(4096) static uint8_t chunk[3 * kCluster];
    uint32_t done = 99;
    EXPECT_EQ(ERROR_DISK_FULL, fill->Write(chunk, 3 * kCluster, &done));
    EXPECT_EQ(0u, done);
    uint64_t size = 1;
    ASSERT_EQ(ERROR_SUCCESS, fill->GetSize(&size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(ERROR_SUCCESS, fill->Write(chunk, 2 * kCluster, &done));
    EXPECT_EQ(0u, FreeBytes());
    EXPECT_EQ(ERROR_DISK_FULL, fill->Write(chunk, kCluster, &done));
    // Growing with SetEndOfFile needs clusters as well.
    ASSERT_EQ(ERROR_SUCCESS, fill->Seek(3 * kCluster, FILE_BEGIN, nullptr));
    EXPECT_EQ(ERROR_DISK_FULL, fill->SetEndOfFile());
}

TEST_F(SimFileSystemTest, UnbufferedIoNeedsSectorAlignment) {
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\u.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
                                       FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH, &file));
    alignas(4096) static uint8_t buffer[2 * kCluster];
    uint32_t done = 0;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, file->Write(buffer, 1000, &done));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, file->Write(buffer + 1, 512, &done));
    ASSERT_EQ(ERROR_SUCCESS, file->Write(buffer, kCluster, &done));
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(100, FILE_BEGIN, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, file->Read(buffer, 512, &done));
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(0, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->Read(buffer, 2 * kCluster, &done));
    EXPECT_EQ(kCluster, done);  // whole sectors asked, the end of data returned
}

TEST_F(SimFileSystemTest, QuotaLimitsOnlyWhatTheCallerMayUse) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.SetQuota(L"C:\\", 1 << 20));
    DiskFreeSpaceEx space;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(L"C:\\", &space));
    EXPECT_EQ(1u << 20, space.freeBytesToCaller);
    EXPECT_EQ(kClusters * kCluster, space.totalFreeBytes);
    EXPECT_EQ(kClusters * kCluster, space.totalBytes);
}

TEST_F(SimFileSystemTest, LargeNominalVolumesCostOnlyWhatIsWritten) {
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.AddVolume(L'E', L"\\\\?\\Volume{33333333-0000-0000-0000-000000000003}\\", 512, 8,
                             uint64_t{64} << 20));  // 256 GiB
    DiskFreeSpaceEx space;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(L"E:\\", &space));
    EXPECT_EQ(uint64_t{256} << 30, space.totalBytes);
    DiskFreeSpace clusters;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpace(L"E:\\", &clusters));
    EXPECT_EQ(uint64_t{64} << 20, clusters.totalClusters);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"E:\\f", "x"));
    EXPECT_EQ("x", m_fs.ReadAll(L"E:\\f"));
}

}  // namespace
}  // namespace qmz
