// Junctions, symbolic links, mount points and enumeration order on the simulated volume.
#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

TEST_F(SimFileSystemTest, EnumerationIsSortedWithoutRegardToCaseAndRootsHaveNoDots) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\dir\\b", ""));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\dir\\C", ""));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\dir\\a", ""));
    EXPECT_EQ((std::vector<std::wstring>{L".", L"..", L"a", L"b", L"C"}),
              ListNames(m_fs, L"C:\\dir\\*"));
    EXPECT_EQ((std::vector<std::wstring>{L"dir"}), ListNames(m_fs, L"C:\\*"));
    EXPECT_EQ((std::vector<std::wstring>{L"b"}), ListNames(m_fs, L"C:\\dir\\B*"));

    // An empty volume root has nothing to list at all.
    uint32_t end = 0;
    EXPECT_TRUE(ListNames(m_fs, kGuidData + L"*", &end).empty());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, end);
}

TEST_F(SimFileSystemTest, EnumerationSurvivesRenamesAndDeletesOfListedEntries) {
    for (const wchar_t* name : {L"C:\\dir\\a", L"C:\\dir\\b", L"C:\\dir\\c"}) {
        ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(name, "x"));
    }
    std::unique_ptr<IFindHandle> find;
    FindData data;
    std::vector<std::wstring> seen;
    uint32_t error = m_fs.FindFirst(L"C:\\dir\\*", &find, &data);
    for (; error == ERROR_SUCCESS; error = find->Next(&data)) {
        if (data.name == L"." || data.name == L"..") {
            continue;
        }
        seen.push_back(data.name);
        // What the erase does: rename to "$1" (sorted before the rest), then delete.
        ASSERT_EQ(ERROR_SUCCESS, m_fs.Move(L"C:\\dir\\" + data.name, L"C:\\dir\\$1"));
        ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\dir\\$1"));
    }
    EXPECT_EQ(ERROR_NO_MORE_FILES, error);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b", L"c"}), seen);
}

TEST_F(SimFileSystemTest, JunctionIsListedAsReparsePointAndRemovedAlone) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\target\\keep.txt", "keep"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddJunction(L"C:\\dir\\link", L"C:\\target"));
    std::unique_ptr<IFindHandle> find;
    FindData data;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.FindFirst(L"C:\\dir\\link", &find, &data));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, data.attributes);
    // Like Windows, listing inside the junction shows the target's entries.
    EXPECT_EQ((std::vector<std::wstring>{L".", L"..", L"keep.txt"}),
              ListNames(m_fs, L"C:\\dir\\link\\*"));
    EXPECT_EQ("keep", ReadWholeFile(m_fs, L"C:\\dir\\link\\keep.txt"));

    std::wstring name;
    EXPECT_NE(ERROR_SUCCESS, m_fs.GetVolumeNameForMountPoint(L"C:\\dir\\link\\", &name));
    EXPECT_EQ(ERROR_ACCESS_DENIED, m_fs.Delete(L"C:\\dir\\link"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.RemoveFolder(L"C:\\dir\\link"));
    EXPECT_FALSE(m_fs.Exists(L"C:\\dir\\link"));
    EXPECT_EQ("keep", m_fs.ReadAll(L"C:\\target\\keep.txt"));
}

TEST_F(SimFileSystemTest, FileSymlinkOpensItsTargetUnlessAskedForTheLink) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\real.txt", "real"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddSymlink(L"C:\\link.txt", L"C:\\real.txt", false));
    EXPECT_EQ("real", ReadWholeFile(m_fs, L"C:\\link.txt"));
    EXPECT_EQ("", ReadWholeFile(m_fs, L"C:\\link.txt", FILE_FLAG_OPEN_REPARSE_POINT));
    EXPECT_NE(0u, m_fs.AttributesOf(L"C:\\link.txt") & FILE_ATTRIBUTE_REPARSE_POINT);

    // Overwriting the link itself leaves the target alone.
    auto link = OpenRw(L"C:\\link.txt", FILE_FLAG_OPEN_REPARSE_POINT);
    uint32_t done;
    ASSERT_EQ(ERROR_SUCCESS, link->Write("XXXX", 4, &done));
    link.reset();
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Delete(L"C:\\link.txt"));
    EXPECT_EQ("real", m_fs.ReadAll(L"C:\\real.txt"));
}

TEST_F(SimFileSystemTest, MountPointLeadsToTheOtherVolume) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(kGuidData + L"data.txt", "on the other volume"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddMountPoint(L"C:\\mnt", kGuidData));
    EXPECT_NE(0u, m_fs.AttributesOf(L"C:\\mnt") & FILE_ATTRIBUTE_REPARSE_POINT);

    std::wstring name;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetVolumeNameForMountPoint(L"C:\\mnt\\", &name));
    EXPECT_EQ(kGuidData, name);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetVolumeNameForMountPoint(L"C:\\", &name));
    EXPECT_EQ(kGuidC, name);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFolder(L"C:\\plain"));
    EXPECT_EQ(ERROR_NOT_A_REPARSE_POINT, m_fs.GetVolumeNameForMountPoint(L"C:\\plain\\", &name));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, m_fs.GetVolumeNameForMountPoint(L"C:\\none\\", &name));

    std::wstring volume;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetVolumePath(L"C:\\mnt\\data.txt", &volume));
    EXPECT_EQ(L"C:\\mnt\\", volume);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetVolumePath(L"C:\\plain\\x.txt", &volume));
    EXPECT_EQ(L"C:\\", volume);

    // The mounted root lists like a root: no dots.
    EXPECT_EQ(std::vector<std::wstring>{L"data.txt"}, ListNames(m_fs, L"C:\\mnt\\*"));
    DiskFreeSpaceEx before;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(L"C:\\mnt\\", &before));
    EXPECT_EQ(FreeBytes(kGuidData), before.totalFreeBytes);
    EXPECT_EQ(ERROR_NOT_SAME_DEVICE, m_fs.Move(L"C:\\mnt\\data.txt", L"C:\\data.txt"));

    ASSERT_EQ(ERROR_SUCCESS, m_fs.RemoveFolder(L"C:\\mnt"));
    EXPECT_EQ("on the other volume", m_fs.ReadAll(kGuidData + L"data.txt"));
}

}  // namespace
}  // namespace qmz
