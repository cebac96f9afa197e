// Named streams of the simulated volume and what FileStreamInfo reports of them.
#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

std::vector<std::wstring> Names(const std::vector<StreamInfo>& streams) {
    std::vector<std::wstring> names;
    for (const StreamInfo& info : streams) {
        names.push_back(info.name);
    }
    return names;
}

TEST_F(SimFileSystemTest, NamedStreamsAreSeparateDataOfOneFile) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.txt", "main", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(m_fs, L"C:\\f.txt:Zone.Identifier", "zone"));
    EXPECT_EQ("zone", ReadWholeFile(m_fs, L"C:\\f.txt:zone.identifier:$DATA"));
    EXPECT_EQ("main", ReadWholeFile(m_fs, L"C:\\f.txt::$DATA"));
    EXPECT_EQ(std::vector<std::wstring>{L"Zone.Identifier"}, m_fs.StreamNames(L"C:\\f.txt"));

    // A stream path reports the attributes of its file, and the stream's own size.
    uint32_t attributes = 0;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetAttributes(L"C:\\f.txt:Zone.Identifier:$DATA", &attributes));
    EXPECT_EQ(FILE_ATTRIBUTE_HIDDEN, attributes);
    FileAttributeData data;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetAttributesEx(L"C:\\f.txt:Zone.Identifier", &data));
    EXPECT_EQ(4u, data.size);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, m_fs.GetAttributes(L"C:\\f.txt:other", &attributes));

    // Deleting the stream path removes only that stream.
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\f.txt:Zone.Identifier:$DATA"));
    EXPECT_TRUE(m_fs.StreamNames(L"C:\\f.txt").empty());
    EXPECT_EQ("main", m_fs.ReadAll(L"C:\\f.txt"));
}

TEST_F(SimFileSystemTest, ReplacingAFileDropsItsNamedStreams) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.txt", "main"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\f.txt", L"s", "stream"));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(m_fs, L"C:\\f.txt", "new"));
    EXPECT_TRUE(m_fs.StreamNames(L"C:\\f.txt").empty());
}

TEST_F(SimFileSystemTest, StreamInfoListsMainStreamFirstThenNamedOnes) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f.txt", std::string(5000, 'm')));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\f.txt", L"b", "bb"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\f.txt", L"a", "a"));
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\f.txt", FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &file));
    std::vector<StreamInfo> streams;
    ASSERT_EQ(ERROR_SUCCESS, file->QueryStreams(1024, &streams));
    EXPECT_EQ((std::vector<std::wstring>{L"::$DATA", L":a:$DATA", L":b:$DATA"}), Names(streams));
    EXPECT_EQ(5000u, streams[0].size);
    EXPECT_EQ(2u * kCluster, streams[0].allocationSize);
    EXPECT_EQ(2u, streams[2].size);

    // Entries take 24 bytes plus the name, 8-byte aligned: 40 + 40 + 40.
    EXPECT_EQ(ERROR_MORE_DATA, file->QueryStreams(119, &streams));
    EXPECT_EQ(2u, streams.size());
    EXPECT_EQ(ERROR_SUCCESS, file->QueryStreams(120, &streams));
    EXPECT_EQ(3u, streams.size());
}

TEST_F(SimFileSystemTest, FolderStreamInfoHasNoMainStream) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFolder(L"C:\\dir"));
    std::unique_ptr<IFileHandle> folder;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"C:\\dir", FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, &folder));
    std::vector<StreamInfo> streams;
    EXPECT_EQ(ERROR_HANDLE_EOF, folder->QueryStreams(1024, &streams));

    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\dir", L"meta", "x"));
    ASSERT_EQ(ERROR_SUCCESS, folder->QueryStreams(1024, &streams));
    EXPECT_EQ(std::vector<std::wstring>{L":meta:$DATA"}, Names(streams));
    EXPECT_EQ("x", ReadWholeFile(m_fs, L"C:\\dir:meta:$DATA"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\dir:meta:$DATA"));
    EXPECT_EQ(ERROR_HANDLE_EOF, folder->QueryStreams(1024, &streams));
}

TEST_F(SimFileSystemTest, VolumeRootOpensByItsGuidName) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddStream(L"C:\\", L"root", "r"));
    std::unique_ptr<IFileHandle> root;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(kGuidC, FILE_READ_ATTRIBUTES, FILE_SHARE_READ, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, &root));
    std::vector<StreamInfo> streams;
    ASSERT_EQ(ERROR_SUCCESS, root->QueryStreams(1024, &streams));
    EXPECT_EQ(std::vector<std::wstring>{L":root:$DATA"}, Names(streams));
}

}  // namespace
}  // namespace qmz
