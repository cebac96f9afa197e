// How space and handles end on the simulated volume: a volume or quota that fills up,
// files deleted on close, the process that ends with handles still open, and the
// clusters decompression leaves behind.
#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

TEST_F(SimFileSystemTest, TheLastFreeClusterTakesOnlyWritesThatFitWhole) {
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.AddFile(L"C:\\big.bin", std::string((kClusters - 1) * kCluster, 'b')));
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\fill.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, 0, &file));
    const std::string block(kCluster - 100, 'f');
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, file->Write(block.data(), static_cast<uint32_t>(block.size()), &done));
    EXPECT_EQ(0u, FreeBytes());
    // A buffered write of 300 bytes of which 100 would still fit: nothing is stored.
    done = 7;
    EXPECT_EQ(ERROR_DISK_FULL, file->Write(block.data(), 300, &done));
    EXPECT_EQ(0u, done);
    EXPECT_EQ(block, m_fs.ReadAll(L"C:\\fill.bin"));
    uint64_t position = 0;
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(0, FILE_CURRENT, &position));
    EXPECT_EQ(block.size(), position);
    // What stays inside the allocated cluster is written.
    ASSERT_EQ(ERROR_SUCCESS, file->Write("0123456789", 10, &done));
    EXPECT_EQ(10u, done);
    EXPECT_EQ(block + "0123456789", m_fs.ReadAll(L"C:\\fill.bin"));
    EXPECT_EQ(2u, m_fs.Journal(SimCall::kWrite).size());  // the failed write left no entry
}

TEST_F(SimFileSystemTest, AQuotaStopsWritesBeforeTheVolumeIsFull) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.SetQuota(L"C:\\", 3 * kCluster));
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\q.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, 0, &file));
    const std::string data(2 * kCluster, 'q');
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, file->Write(data.data(), static_cast<uint32_t>(data.size()), &done));
    DiskFreeSpaceEx space;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(L"C:\\", &space));
    EXPECT_EQ(uint64_t{kCluster}, space.freeBytesToCaller);
    EXPECT_EQ((kClusters - 2) * kCluster, space.totalFreeBytes);
    EXPECT_EQ(ERROR_DISK_QUOTA_EXCEEDED,
              file->Write(data.data(), static_cast<uint32_t>(data.size()), &done));
    EXPECT_EQ(0u, done);
    EXPECT_EQ(data, m_fs.ReadAll(L"C:\\q.bin"));
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(4 * kCluster, FILE_BEGIN, nullptr));
    EXPECT_EQ(ERROR_DISK_QUOTA_EXCEEDED, file->SetEndOfFile());
    // What the caller gives back, it may use again.
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(0, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->SetEndOfFile());
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(L"C:\\", &space));
    EXPECT_EQ(3u * kCluster, space.freeBytesToCaller);
    EXPECT_EQ(ERROR_SUCCESS, file->Write(data.data(), static_cast<uint32_t>(data.size()), &done));
}

TEST_F(SimFileSystemTest, DeleteOnCloseRemovesTheFileWhenItsLastHandleCloses) {
    const uint32_t kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    std::unique_ptr<IFileHandle> temp;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\temp.bin", GENERIC_READ | GENERIC_WRITE, kShareAll,
                                       CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, &temp));
    const std::string data(3 * kCluster, 't');
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, temp->Write(data.data(), static_cast<uint32_t>(data.size()), &done));
    std::unique_ptr<IFileHandle> other;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\temp.bin", GENERIC_READ, kShareAll, OPEN_EXISTING, 0, &other));
    temp.reset();
    // Marked for deletion: still there for the open handle, closed to new opens.
    EXPECT_TRUE(m_fs.Exists(L"C:\\temp.bin"));
    EXPECT_EQ("<error 5>", ReadWholeFile(m_fs, L"C:\\temp.bin"));
    EXPECT_EQ(kClusters * kCluster - data.size(), FreeBytes());
    other.reset();
    EXPECT_FALSE(m_fs.Exists(L"C:\\temp.bin"));
    EXPECT_EQ(kClusters * kCluster, FreeBytes());

    // A folder that still holds something outlives its delete-on-close handle.
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\full\\kept.txt", "k"));
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\full", GENERIC_READ, kShareAll, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_DELETE_ON_CLOSE, &other));
    other.reset();
    EXPECT_EQ("k", m_fs.ReadAll(L"C:\\full\\kept.txt"));
}

TEST_F(SimFileSystemTest, TheEndOfTheProcessClosesWhatItHeld) {
    const uint32_t kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\kept.txt", "kept"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.HoldOpen(L"C:\\kept.txt", kShareAll));
    std::unique_ptr<IFileHandle> temp;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\QMZTEMP.tmp", GENERIC_READ | GENERIC_WRITE, 0,
                                       CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, &temp));
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, temp->Write(std::string(kCluster, 'z').data(), kCluster, &done));
    std::unique_ptr<IFileHandle> kept;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\kept.txt", GENERIC_READ | GENERIC_WRITE, kShareAll,
                                       OPEN_EXISTING, 0, &kept));
    std::unique_ptr<IFindHandle> find;
    FindData data;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.FindFirst(L"C:\\*", &find, &data));
    ASSERT_EQ(3u, m_fs.OpenHandleCount());

    m_fs.EndProcess();
    EXPECT_EQ(0u, m_fs.OpenHandleCount());
    EXPECT_FALSE(m_fs.Exists(L"C:\\QMZTEMP.tmp"));
    EXPECT_EQ(kClusters * kCluster - kCluster, FreeBytes());  // kept.txt's one cluster
    EXPECT_EQ(ERROR_INVALID_HANDLE, temp->Write("x", 1, &done));
    EXPECT_EQ(ERROR_INVALID_HANDLE, kept->Read(&data, 1, &done));
    EXPECT_EQ(ERROR_INVALID_HANDLE, find->Next(&data));
    // The other process's hold stays: an open without delete sharing still conflicts.
    std::unique_ptr<IFileHandle> exclusive;
    EXPECT_EQ(ERROR_SHARING_VIOLATION,
              m_fs.Open(L"C:\\kept.txt", GENERIC_READ, 0, OPEN_EXISTING, 0, &exclusive));
    temp.reset();
    kept.reset();
    find.reset();
    EXPECT_EQ("kept", m_fs.ReadAll(L"C:\\kept.txt"));
}

TEST_F(SimFileSystemTest, DecompressingMovesTheDataAndLeavesTheOldClustersAsTheyWere) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\c.bin", std::string(2 * kCluster, 'c')));
    // Compressed into one cluster at LCN 100, the second unit a hole.
    ASSERT_EQ(ERROR_SUCCESS, m_fs.MakeCompressed(L"C:\\c.bin", {{1, 100}, {2, -1}}));
    const std::string held = m_fs.ReadClusters(L"C:\\", 100, 1);
    auto file = OpenRw(L"C:\\c.bin");
    ASSERT_EQ(ERROR_SUCCESS, file->SetCompression(COMPRESSION_FORMAT_NONE));
    EXPECT_EQ(0u, m_fs.AttributesOf(L"C:\\c.bin") & FILE_ATTRIBUTE_COMPRESSED);
    const std::vector<int64_t> clusters = m_fs.ClustersOf(L"C:\\c.bin");
    ASSERT_EQ(2u, clusters.size());
    EXPECT_NE(100, clusters[0]);
    EXPECT_NE(-1, clusters[1]);
    EXPECT_EQ(held, m_fs.ReadClusters(L"C:\\", 100, 1));
    EXPECT_EQ(std::string(kCluster, 'c') + std::string(kCluster, '\0'), m_fs.ReadAll(L"C:\\c.bin"));
    EXPECT_EQ((kClusters - 2) * kCluster, FreeBytes());
    // Once uncompressed, turning it off again moves nothing.
    ASSERT_EQ(ERROR_SUCCESS, file->SetCompression(COMPRESSION_FORMAT_NONE));
    EXPECT_EQ(clusters, m_fs.ClustersOf(L"C:\\c.bin"));
}

}  // namespace
}  // namespace qmz
