// Clusters of the simulated volume: sparse ranges, compressed extents and the raw device.
#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

constexpr uint32_t kCluster = 4096;

TEST_F(SimFileSystemTest, SparseFileReportsOnlyItsAllocatedRanges) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\s.bin", std::string(10 * kCluster, 'd')));
    const uint64_t freeBefore = FreeBytes();
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.MakeSparse(L"C:\\s.bin",
                              {{0, kCluster}, {4 * kCluster, 2 * kCluster}, {9 * kCluster, 100}}));
    EXPECT_EQ(freeBefore + 6u * kCluster, FreeBytes());
    EXPECT_NE(0u, m_fs.AttributesOf(L"C:\\s.bin") & FILE_ATTRIBUTE_SPARSE_FILE);
    const std::string data = m_fs.ReadAll(L"C:\\s.bin");
    EXPECT_EQ('d', data[0]);
    EXPECT_EQ('\0', data[kCluster]);  // a hole reads as zeros
    EXPECT_EQ('d', data[4 * kCluster]);

    auto file = OpenRw(L"C:\\s.bin");
    std::vector<AllocatedRange> ranges;
    ASSERT_EQ(ERROR_MORE_DATA, file->QueryAllocatedRanges(0, 10 * kCluster, 2, &ranges));
    ASSERT_EQ(2u, ranges.size());
    EXPECT_EQ(0u, ranges[0].offset);
    EXPECT_EQ(kCluster, ranges[0].length);
    EXPECT_EQ(4u * kCluster, ranges[1].offset);
    EXPECT_EQ(2u * kCluster, ranges[1].length);
    // The caller resumes after the last range it got.
    ASSERT_EQ(ERROR_SUCCESS, file->QueryAllocatedRanges(6 * kCluster, 4 * kCluster, 2, &ranges));
    ASSERT_EQ(1u, ranges.size());
    EXPECT_EQ(9u * kCluster, ranges[0].offset);
}

TEST_F(SimFileSystemTest, SetZeroDataFreesWholeClustersOfSparseStreams) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\s.bin", std::string(4 * kCluster, 'd')));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.MakeSparse(L"C:\\s.bin", {{0, 4 * kCluster}}));
    const uint64_t freeBefore = FreeBytes();
    auto file = OpenRw(L"C:\\s.bin");
    ASSERT_EQ(ERROR_SUCCESS, file->SetZeroData(100, 3 * kCluster));
    EXPECT_EQ(freeBefore + 2u * kCluster, FreeBytes());
    std::vector<AllocatedRange> ranges;
    ASSERT_EQ(ERROR_SUCCESS, file->QueryAllocatedRanges(0, 4 * kCluster, 10, &ranges));
    ASSERT_EQ(2u, ranges.size());
    EXPECT_EQ(kCluster, ranges[0].length);
    EXPECT_EQ(3u * kCluster, ranges[1].offset);
    const std::string data = m_fs.ReadAll(L"C:\\s.bin");
    EXPECT_EQ(std::string(100, 'd'), data.substr(0, 100));
    EXPECT_EQ(std::string(3 * kCluster - 100, '\0'), data.substr(100, 3 * kCluster - 100));
    EXPECT_EQ('d', data[3 * kCluster]);
}

TEST_F(SimFileSystemTest, DenseStreamIsOneAllocatedRangeAndZeroesInPlace) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", std::string(5000, 'd')));
    const std::vector<int64_t> clusters = m_fs.ClustersOf(L"C:\\f.bin");
    auto file = OpenRw(L"C:\\f.bin");
    std::vector<AllocatedRange> ranges;
    ASSERT_EQ(ERROR_SUCCESS, file->QueryAllocatedRanges(0, 1 << 20, 10, &ranges));
    ASSERT_EQ(1u, ranges.size());
    EXPECT_EQ(5000u, ranges[0].length);
    ASSERT_EQ(ERROR_SUCCESS, file->SetZeroData(0, 5000));
    EXPECT_EQ(clusters, m_fs.ClustersOf(L"C:\\f.bin"));
    EXPECT_EQ(std::string(5000, '\0'), m_fs.ReadAll(L"C:\\f.bin"));
    EXPECT_EQ(std::string(kCluster, '\0'), m_fs.ReadClusters(L"C:\\", clusters[0], 1));
}

TEST_F(SimFileSystemTest, ZeroOnDeallocationIsRecordedPerStream) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.bin", "x"));
    EXPECT_FALSE(m_fs.ZeroOnDeallocationSet(L"C:\\f.bin"));
    ASSERT_EQ(ERROR_SUCCESS, OpenRw(L"C:\\f.bin")->SetZeroOnDeallocation());
    EXPECT_TRUE(m_fs.ZeroOnDeallocationSet(L"C:\\f.bin"));
}

class SimCompressedTest : public SimFileSystemTest {
protected:
    void SetUp() override {
        SimFileSystemTest::SetUp();
        std::string data;
        for (char c : std::string("ABCDEF")) {
            data += std::string(kCluster, c);
        }
        ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\c.bin", data));
        // VCN 0-1 at LCN 500, VCN 2-3 compressed away, VCN 4-5 at LCN 700.
        ASSERT_EQ(ERROR_SUCCESS, m_fs.MakeCompressed(L"C:\\c.bin", {{2, 500}, {4, -1}, {6, 700}}));
    }
};

TEST_F(SimCompressedTest, RetrievalPointersDescribeExtentsAndPage) {
    EXPECT_NE(0u, m_fs.AttributesOf(L"C:\\c.bin") & FILE_ATTRIBUTE_COMPRESSED);
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\c.bin", GENERIC_READ, 0, OPEN_EXISTING, 0, &file));
    RetrievalPointers pointers;
    ASSERT_EQ(ERROR_SUCCESS, file->GetRetrievalPointers(0, 16 + 3 * 16, &pointers));
    ASSERT_EQ(3u, pointers.extents.size());
    EXPECT_EQ(0, pointers.startingVcn);
    EXPECT_EQ(2, pointers.extents[0].nextVcn);
    EXPECT_EQ(500, pointers.extents[0].lcn);
    EXPECT_EQ(-1, pointers.extents[1].lcn);
    EXPECT_EQ(6, pointers.extents[2].nextVcn);
    EXPECT_EQ(700, pointers.extents[2].lcn);

    // Room for two extents: the rest follows from the last NextVcn.
    ASSERT_EQ(ERROR_MORE_DATA, file->GetRetrievalPointers(0, 16 + 2 * 16 + 8, &pointers));
    ASSERT_EQ(2u, pointers.extents.size());
    ASSERT_EQ(ERROR_SUCCESS, file->GetRetrievalPointers(4, 16 + 2 * 16, &pointers));
    EXPECT_EQ(4, pointers.startingVcn);
    ASSERT_EQ(1u, pointers.extents.size());
    EXPECT_EQ(700, pointers.extents[0].lcn);
    EXPECT_EQ(ERROR_HANDLE_EOF, file->GetRetrievalPointers(6, 1024, &pointers));
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, file->GetRetrievalPointers(0, 16, &pointers));

    const std::string data = m_fs.ReadAll(L"C:\\c.bin");
    EXPECT_EQ(std::string(kCluster, 'B'), data.substr(kCluster, kCluster));
    EXPECT_EQ(std::string(kCluster, '\0'), data.substr(2 * kCluster, kCluster));
    EXPECT_EQ(std::string(kCluster, 'F'), m_fs.ReadClusters(L"C:\\", 701, 1));
}

TEST_F(SimCompressedTest, DeviceWritesReachTheStreamsClusters) {
    std::unique_ptr<IFileHandle> device;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"\\\\.\\C:", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                       FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH, &device));
    alignas(4096) static uint8_t block[2 * kCluster];
    std::fill(std::begin(block), std::end(block), 0x55);
    ASSERT_EQ(ERROR_SUCCESS, device->Seek(700 * int64_t{kCluster}, FILE_BEGIN, nullptr));
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, device->Write(block, sizeof(block), &done));
    EXPECT_EQ(sizeof(block), done);
    const std::string data = m_fs.ReadAll(L"C:\\c.bin");
    EXPECT_EQ(std::string(2 * kCluster, '\x55'), data.substr(4 * kCluster));
    EXPECT_EQ(std::string(kCluster, 'A'), data.substr(0, kCluster));

    // Raw volume I/O is in whole sectors.
    ASSERT_EQ(ERROR_SUCCESS, device->Seek(100, FILE_BEGIN, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, device->Write(block, 512, &done));
    ASSERT_EQ(ERROR_SUCCESS, device->Seek(500 * int64_t{kCluster}, FILE_BEGIN, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, device->Read(block, 100, &done));
    ASSERT_EQ(ERROR_SUCCESS, device->Read(block, 512, &done));
    EXPECT_EQ('A', block[0]);

    // The unlettered volume's device goes by its GUID.
    std::unique_ptr<IFileHandle> other;
    EXPECT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"\\\\.\\Volume{22222222-0000-0000-0000-000000000002}", GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, &other));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              m_fs.Open(L"\\\\.\\Q:", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &other));
}

}  // namespace
}  // namespace qmz
