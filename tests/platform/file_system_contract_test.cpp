// The contract of the file-system seam, run against every implementation: the simulated
// volume everywhere and, on Windows, the real calls on a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/platform/file_system_targets.h"
#include "tests/platform/file_system_test_util.h"

namespace qmz {
namespace {

class FileSystemContractTest : public ::testing::TestWithParam<FileSystemTargetFactory> {
protected:
    void SetUp() override {
        m_target = GetParam().make();
        ASSERT_NE(m_target, nullptr);
    }
    IFileSystem& Fs() { return m_target->Fs(); }
    std::wstring At(const std::wstring& name) const { return m_target->Root() + L"\\" + name; }

    std::unique_ptr<IFileSystemTarget> m_target;
};

TEST_P(FileSystemContractTest, WritesReadsSeeksAndTruncates) {
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS,
              Fs().Open(At(L"data.bin"), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, 0, &file));
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, file->Write("hello world", 11, &done));
    EXPECT_EQ(11u, done);
    uint64_t size = 0;
    ASSERT_EQ(ERROR_SUCCESS, file->GetSize(&size));
    EXPECT_EQ(11u, size);

    uint64_t position = 99;
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(-5, FILE_END, &position));
    EXPECT_EQ(6u, position);
    ASSERT_EQ(ERROR_SUCCESS, file->Write("WORLD", 5, &done));
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(-11, FILE_CURRENT, &position));
    EXPECT_EQ(0u, position);
    char buffer[32] = {};
    ASSERT_EQ(ERROR_SUCCESS, file->Read(buffer, sizeof(buffer), &done));
    EXPECT_EQ("hello WORLD", std::string(buffer, done));
    // At the end a read succeeds with nothing.
    ASSERT_EQ(ERROR_SUCCESS, file->Read(buffer, sizeof(buffer), &done));
    EXPECT_EQ(0u, done);
    EXPECT_EQ(ERROR_NEGATIVE_SEEK, file->Seek(-1, FILE_BEGIN, nullptr));

    ASSERT_EQ(ERROR_SUCCESS, file->Seek(5, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->SetEndOfFile());
    ASSERT_EQ(ERROR_SUCCESS, file->GetSize(&size));
    EXPECT_EQ(5u, size);
    ASSERT_EQ(ERROR_SUCCESS, file->Flush());
    // Writing past the end leaves zeros in the gap.
    ASSERT_EQ(ERROR_SUCCESS, file->Seek(8, FILE_BEGIN, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, file->Write("!", 1, &done));
    file.reset();
    EXPECT_EQ(std::string("hello\0\0\0!", 9), ReadWholeFile(Fs(), At(L"data.bin")));
}

TEST_P(FileSystemContractTest, DispositionsCreateOpenAndReplace) {
    std::unique_ptr<IFileHandle> file;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              Fs().Open(At(L"missing"), GENERIC_READ, 0, OPEN_EXISTING, 0, &file));
    EXPECT_EQ(nullptr, file);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND,
              Fs().Open(At(L"nodir\\file"), GENERIC_WRITE, 0, CREATE_ALWAYS, 0, &file));

    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"f.txt"), "old contents"));
    EXPECT_EQ(ERROR_FILE_EXISTS, Fs().Open(At(L"f.txt"), GENERIC_WRITE, 0, CREATE_NEW, 0, &file));
    ASSERT_EQ(ERROR_SUCCESS, Fs().Open(At(L"F.TXT"), GENERIC_READ, 0, OPEN_ALWAYS, 0, &file));
    file.reset();
    EXPECT_EQ("old contents", ReadWholeFile(Fs(), At(L"f.txt")));  // names ignore case

    ASSERT_EQ(ERROR_SUCCESS, Fs().Open(At(L"f.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS, 0, &file));
    file.reset();
    EXPECT_EQ("", ReadWholeFile(Fs(), At(L"f.txt")));
}

TEST_P(FileSystemContractTest, HandlesHonourTheirAccessRights) {
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"f.txt"), "abc"));
    std::unique_ptr<IFileHandle> reader;
    ASSERT_EQ(ERROR_SUCCESS,
              Fs().Open(At(L"f.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &reader));
    uint32_t done = 7;
    EXPECT_EQ(ERROR_ACCESS_DENIED, reader->Write("x", 1, &done));
    EXPECT_EQ(0u, done);
    // Wine answers ERROR_INVALID_PARAMETER here; Windows checks the access first.
    if (!m_target->OnWine()) {
        EXPECT_EQ(ERROR_ACCESS_DENIED, reader->SetEndOfFile());
    } else {
        EXPECT_NE(ERROR_SUCCESS, reader->SetEndOfFile());
    }

    std::unique_ptr<IFileHandle> writer;
    ASSERT_EQ(ERROR_SUCCESS,
              Fs().Open(At(L"f.txt"), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &writer));
    char byte;
    EXPECT_EQ(ERROR_ACCESS_DENIED, writer->Read(&byte, 1, &done));
}

TEST_P(FileSystemContractTest, FoldersOpenOnlyWithBackupSemantics) {
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir")));
    std::unique_ptr<IFileHandle> folder;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              Fs().Open(At(L"dir"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &folder));
    EXPECT_EQ(ERROR_SUCCESS, Fs().Open(At(L"dir"), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, &folder));
}

TEST_P(FileSystemContractTest, AttributesReadOnlyAndMakeWritable) {
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"f.txt"), "12345"));
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir")));
    uint32_t attributes = 0;
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"f.txt"), &attributes));
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"dir"), &attributes));
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
    FileAttributeData data;
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetAttributesEx(At(L"f.txt"), &data));
    EXPECT_EQ(5u, data.size);

    ASSERT_EQ(ERROR_SUCCESS,
              Fs().SetAttributes(At(L"f.txt"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"f.txt"), &attributes));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
              attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    std::unique_ptr<IFileHandle> file;
    // Wine keeps read-only as Unix permission bits, which do not bind the root user that
    // the test machines run Wine as; Windows refuses both.
    if (!m_target->OnWine()) {
        EXPECT_EQ(ERROR_ACCESS_DENIED,
                  Fs().Open(At(L"f.txt"), GENERIC_WRITE, 0, OPEN_EXISTING, 0, &file));
        EXPECT_EQ(ERROR_ACCESS_DENIED, Fs().Delete(At(L"f.txt")));
    }

    ASSERT_EQ(ERROR_SUCCESS, Fs().MakeWritable(At(L"f.txt")));
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"f.txt"), &attributes));
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_HIDDEN);  // only read-only is cleared
    EXPECT_EQ(ERROR_SUCCESS, Fs().Open(At(L"f.txt"), GENERIC_WRITE, 0, OPEN_EXISTING, 0, &file));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().GetAttributes(At(L"nothing"), &attributes));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, Fs().GetAttributes(At(L"nodir\\nothing"), &attributes));
    EXPECT_NE(ERROR_SUCCESS, Fs().MakeWritable(At(L"nothing")));
}

TEST_P(FileSystemContractTest, FindListsEntriesThenNoMoreFiles) {
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir")));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"dir\\b.txt"), "bb"));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"dir\\A.txt"), "a"));
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir\\sub")));

    uint32_t end = 0;
    const std::vector<std::wstring> names = ListNames(Fs(), At(L"dir\\*"), &end);
    EXPECT_EQ(ERROR_NO_MORE_FILES, end);
    EXPECT_EQ((std::multiset<std::wstring>{L".", L"..", L"A.txt", L"b.txt", L"sub"}),
              std::multiset<std::wstring>(names.begin(), names.end()));

    // An exact name finds that one entry, with its size.
    std::unique_ptr<IFindHandle> find;
    FindData data;
    ASSERT_EQ(ERROR_SUCCESS, Fs().FindFirst(At(L"dir\\b.txt"), &find, &data));
    EXPECT_EQ(L"b.txt", data.name);
    EXPECT_EQ(2u, data.size);
    EXPECT_EQ(ERROR_NO_MORE_FILES, find->Next(&data));
    EXPECT_EQ(ERROR_NO_MORE_FILES, find->Next(&data));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().FindFirst(At(L"dir\\*.none"), &find, &data));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().FindFirst(At(L"dir\\nothing"), &find, &data));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, Fs().FindFirst(At(L"nodir\\*"), &find, &data));
}

TEST_P(FileSystemContractTest, MoveRenamesButNeverReplaces) {
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"a.txt"), "A"));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"b.txt"), "B"));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, Fs().Move(At(L"a.txt"), At(L"b.txt")));
    EXPECT_EQ("B", ReadWholeFile(Fs(), At(L"b.txt")));

    ASSERT_EQ(ERROR_SUCCESS, Fs().Move(At(L"a.txt"), At(L"$1")));
    EXPECT_EQ("A", ReadWholeFile(Fs(), At(L"$1")));
    uint32_t attributes;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().GetAttributes(At(L"a.txt"), &attributes));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().Move(At(L"a.txt"), At(L"c.txt")));

    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir")));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"dir\\in.txt"), "in"));
    ASSERT_EQ(ERROR_SUCCESS, Fs().Move(At(L"dir"), At(L"renamed")));
    EXPECT_EQ("in", ReadWholeFile(Fs(), At(L"renamed\\in.txt")));
}

TEST_P(FileSystemContractTest, DeleteAndRemoveDirectory) {
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir")));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, Fs().CreateFolder(At(L"dir")));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"dir\\f.txt"), "x"));

    EXPECT_EQ(ERROR_DIR_NOT_EMPTY, Fs().RemoveFolder(At(L"dir")));
    EXPECT_EQ(ERROR_ACCESS_DENIED, Fs().Delete(At(L"dir")));
    EXPECT_EQ(ERROR_DIRECTORY, Fs().RemoveFolder(At(L"dir\\f.txt")));

    ASSERT_EQ(ERROR_SUCCESS, Fs().Delete(At(L"dir\\f.txt")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().Delete(At(L"dir\\f.txt")));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, Fs().Delete(At(L"nodir\\f.txt")));
    ASSERT_EQ(ERROR_SUCCESS, Fs().RemoveFolder(At(L"dir")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().RemoveFolder(At(L"dir")));
}

TEST_P(FileSystemContractTest, ShareModesBetweenHandles) {
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"f.txt"), "x"));
    std::unique_ptr<IFileHandle> exclusive;
    ASSERT_EQ(ERROR_SUCCESS, Fs().Open(At(L"f.txt"), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING,
                                       0, &exclusive));
    std::unique_ptr<IFileHandle> second;
    EXPECT_EQ(ERROR_SHARING_VIOLATION,
              Fs().Open(At(L"f.txt"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &second));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, Fs().Delete(At(L"f.txt")));
    EXPECT_EQ(ERROR_SHARING_VIOLATION, Fs().Move(At(L"f.txt"), At(L"g.txt")));
    // Attribute queries take no part in sharing.
    uint32_t attributes;
    EXPECT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"f.txt"), &attributes));
    exclusive.reset();

    std::unique_ptr<IFileHandle> reader;
    ASSERT_EQ(ERROR_SUCCESS,
              Fs().Open(At(L"f.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &reader));
    EXPECT_EQ(ERROR_SUCCESS,
              Fs().Open(At(L"f.txt"), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &second));
    second.reset();
    EXPECT_EQ(ERROR_SHARING_VIOLATION,
              Fs().Open(At(L"f.txt"), GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING, 0, &second));
    reader.reset();
    EXPECT_EQ(ERROR_SUCCESS, Fs().Delete(At(L"f.txt")));
}

TEST_P(FileSystemContractTest, DeleteOnCloseRemovesTheFile) {
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS,
              Fs().Open(At(L"QMZTEMP"), GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, &file));
    uint32_t attributes = 0;
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"QMZTEMP"), &attributes));
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_HIDDEN);
    file.reset();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().GetAttributes(At(L"QMZTEMP"), &attributes));
}

TEST_P(FileSystemContractTest, VolumeOfAPathAndItsGeometry) {
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"f.txt"), "x"));
    std::wstring volume;
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetVolumePath(At(L"f.txt"), &volume));
    ASSERT_FALSE(volume.empty());
    EXPECT_EQ(L'\\', volume.back());
    const std::wstring path = At(L"f.txt");
    EXPECT_TRUE(StartsWithNoCase(path, volume)) << "the volume path is a prefix of the file's";

    DiskFreeSpace space;
    ASSERT_EQ(ERROR_SUCCESS, Fs().QueryFreeSpace(volume, &space));
    EXPECT_GE(space.bytesPerSector, 512u);
    EXPECT_EQ(0u, space.bytesPerSector & (space.bytesPerSector - 1));
    EXPECT_GE(space.sectorsPerCluster, 1u);
    EXPECT_LE(space.freeClusters, space.totalClusters);
    DiskFreeSpaceEx bytes;
    ASSERT_EQ(ERROR_SUCCESS, Fs().QueryFreeSpaceEx(volume, &bytes));
    EXPECT_LE(bytes.totalFreeBytes, bytes.totalBytes);
    EXPECT_LE(bytes.freeBytesToCaller, bytes.totalBytes);
}

TEST_P(FileSystemContractTest, VolumeNameOnlyForRootsAndMountPoints) {
    std::wstring volume;
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetVolumePath(At(L"x"), &volume));
    std::wstring name;
    ASSERT_EQ(ERROR_SUCCESS, Fs().GetVolumeNameForMountPoint(volume, &name));
    EXPECT_EQ(0u, name.find(L"\\\\?\\Volume{"));
    EXPECT_EQ(L'\\', name.back());
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"plain")));
    EXPECT_NE(ERROR_SUCCESS, Fs().GetVolumeNameForMountPoint(At(L"plain\\"), &name));
}

// Plain paths lose trailing dots and blanks and take "/" as a separator; "\\?\" paths
// reach names exactly as spelt. Handles say where they lead and whether they hold a
// reparse point.
TEST_P(FileSystemContractTest, PlainAndVerbatimNamesAndWhereAHandleLeads) {
    ASSERT_EQ(ERROR_SUCCESS, Fs().CreateFolder(At(L"dir")));
    ASSERT_EQ(ERROR_SUCCESS, WriteWholeFile(Fs(), At(L"dir\\victim"), "v"));
    uint32_t attributes = 0;
    EXPECT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"dir\\victim."), &attributes));
    EXPECT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"dir\\victim "), &attributes));
    EXPECT_EQ(ERROR_SUCCESS, Fs().GetAttributes(At(L"dir/victim"), &attributes));
    const std::wstring verbatim = L"\\\\?\\" + At(L"dir\\victim");
    EXPECT_EQ(ERROR_SUCCESS, Fs().GetAttributes(verbatim, &attributes));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().GetAttributes(verbatim + L".", &attributes));
    std::unique_ptr<IFileHandle> handle;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              Fs().Open(verbatim + L" ", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &handle));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Fs().Delete(verbatim + L"."));

    ASSERT_EQ(ERROR_SUCCESS, Fs().Open(At(L"dir\\VICTIM"), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, &handle));
    std::wstring final;
    ASSERT_EQ(ERROR_SUCCESS, handle->GetFinalPath(&final));
    // The stored case, in the "\\?\" form; before Vista only the part within the volume.
    const std::wstring withinVolume = At(L"dir\\victim").substr(2);
    EXPECT_TRUE(final == verbatim || final == withinVolume) << testing::PrintToString(final);
    uint32_t tag = 0;
    std::wstring substitute;
    EXPECT_EQ(ERROR_NOT_A_REPARSE_POINT, handle->GetReparsePoint(&tag, &substitute));
}

std::string TargetName(const ::testing::TestParamInfo<FileSystemTargetFactory>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(AllTargets, FileSystemContractTest,
                         ::testing::ValuesIn(FileSystemTargets()), TargetName);

}  // namespace
}  // namespace qmz
