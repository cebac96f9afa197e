// The simulated machine's volumes: where they are mounted, network shares, what kind each
// volume is, and the Recycle Bins the simulated shell finds on them.
#include <thread>

#include "platform/sim/sim_shell.h"
#include "tests/platform/sim_test_fixture.h"

namespace qmz {
namespace {

const std::wstring kGuidE = L"\\\\?\\Volume{33333333-0000-0000-0000-000000000003}\\";

class SimVolumesTest : public SimFileSystemTest {
protected:
    IVolumes& Volumes() { return m_fs.Volumes(); }
};

TEST_F(SimVolumesTest, MountPathsNameEveryWayFromADriveLetterAndSayWhatTheyNeed) {
    // The unlettered volume is mounted twice on C:, and E: once inside the unlettered one.
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(L'E', kGuidE, 512, 8, 64));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddMountPoint(L"C:\\mnt\\data", kGuidData));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddMountPoint(L"C:\\Other", kGuidData));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddMountPoint(kGuidData + L"inner", L"E:\\"));

    std::vector<std::wstring> names;
    ASSERT_EQ(ERROR_SUCCESS, Volumes().ListVolumes(&names));
    EXPECT_EQ((std::vector<std::wstring>{kGuidC, kGuidData, kGuidE}), names);

    std::vector<std::wstring> paths;
    uint32_t required = 0;
    const std::vector<std::wstring> expected = {L"E:\\", L"C:\\mnt\\data\\inner\\",
                                                L"C:\\Other\\inner\\"};
    // 3 + 18 + 15 characters, a NUL after each and one at the end.
    const uint32_t kNeeded = 4 + 19 + 16 + 1;
    EXPECT_EQ(ERROR_MORE_DATA, Volumes().GetMountPaths(kGuidE, 1, &paths, &required));
    EXPECT_EQ(kNeeded, required);
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(ERROR_MORE_DATA, Volumes().GetMountPaths(kGuidE, kNeeded - 1, &paths, &required));
    ASSERT_EQ(ERROR_SUCCESS, Volumes().GetMountPaths(kGuidE, kNeeded, &paths, &required));
    EXPECT_EQ(expected, paths);

    ASSERT_EQ(ERROR_SUCCESS, Volumes().GetMountPaths(kGuidData, 260, &paths, &required));
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\mnt\\data\\", L"C:\\Other\\"}), paths);
    // A volume that nothing mounts answers an empty list: its one closing NUL.
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(0,
                                            L"\\\\?\\Volume{44444444-0000-0000-0000-0000000000"
                                            L"04}\\",
                                            512, 8, 64));
    ASSERT_EQ(ERROR_SUCCESS, Volumes().GetMountPaths(L"\\\\?\\Volume{44444444-0000-0000-0000-"
                                                     L"000000000004}\\",
                                                     260, &paths, &required));
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(1u, required);
    EXPECT_EQ(ERROR_INVALID_NAME, Volumes().GetMountPaths(L"C:\\", 260, &paths, &required));

    // Roots and mount folders have the volume's drive type; other folders have none.
    EXPECT_EQ(kDriveFixed, Volumes().GetDriveType(L"C:\\mnt\\data\\"));
    EXPECT_EQ(kDriveNoRootDir, Volumes().GetDriveType(L"C:\\mnt\\"));
    EXPECT_EQ(kDriveNoRootDir, Volumes().GetDriveType(L"Q:\\"));
}

TEST_F(SimVolumesTest, SharesAreReachedByNameAndLetterButAreNoLocalVolumes) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddNetworkShare(L"\\\\server\\docs", L'Z', 512, 8, 256));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddNetworkShare(L"\\\\nas\\media", 0, 512, 8, 128));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddNetworkConnection(L"\\\\SERVER\\docs"));
    EXPECT_EQ(ERROR_ALREADY_EXISTS, m_fs.AddNetworkShare(L"\\\\server\\docs", 0, 512, 8, 1));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, m_fs.AddNetworkConnection(L"\\\\server\\missing"));

    std::vector<std::wstring> remote;
    ASSERT_EQ(ERROR_SUCCESS, Volumes().ConnectedNetworkDisks(&remote));
    EXPECT_EQ(
        (std::vector<std::wstring>{L"\\\\server\\docs", L"\\\\nas\\media", L"\\\\server\\docs"}),
        remote);
    std::vector<std::wstring> names;
    ASSERT_EQ(ERROR_SUCCESS, Volumes().ListVolumes(&names));
    EXPECT_EQ((std::vector<std::wstring>{kGuidC, kGuidData}), names);

    // One volume, whichever way it is named.
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"Z:\\report.txt", std::string(5000, 'r')));
    EXPECT_EQ(std::string(5000, 'r'), ReadWholeFile(m_fs, L"\\\\?\\UNC\\server\\docs\\report.txt"));
    for (const std::wstring root :
         {L"\\\\server\\docs\\", L"Z:\\", L"\\\\?\\UNC\\Server\\Docs\\"}) {
        DiskFreeSpaceEx space;
        ASSERT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(root, &space));
        EXPECT_EQ(254u * kCluster, space.totalFreeBytes);
        EXPECT_EQ(kDriveRemote, Volumes().GetDriveType(root));
    }
    std::wstring text;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.GetVolumePath(L"\\\\server\\docs\\report.txt", &text));
    EXPECT_EQ(L"\\\\server\\docs\\", text);
    auto file = OpenRw(L"Z:\\report.txt");
    ASSERT_EQ(ERROR_SUCCESS, file->GetFinalPath(&text));
    EXPECT_EQ(L"\\\\?\\UNC\\server\\docs\\report.txt", text);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, m_fs.GetVolumeNameForMountPoint(L"Z:\\", &text));
    std::unique_ptr<IFileHandle> device;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"\\\\.\\Z:", FILE_READ_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &device));
    uint64_t length = 0;
    EXPECT_EQ(ERROR_INVALID_FUNCTION, device->GetLengthInfo(&length));
    EXPECT_EQ(kDriveNoRootDir, Volumes().GetDriveType(L"\\\\server\\other\\"));

    m_fs.InjectFault(SimCall::kConnectedNetworkDisks, 1, ERROR_NO_NETWORK);
    EXPECT_EQ(ERROR_NO_NETWORK, Volumes().ConnectedNetworkDisks(&remote));
    EXPECT_TRUE(remote.empty());
}

TEST_F(SimVolumesTest, KindsDecideCompressionInformationAndDeviceLength) {
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(L'E', kGuidE, 512, 8, 64));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(L'F',
                                            L"\\\\?\\Volume{55555555-0000-0000-0000-"
                                            L"000000000005}\\",
                                            512, 128, 64));  // NTFS with 64 KiB clusters
    SimVolumeKind stick;
    stick.fileSystem = L"FAT32";
    stick.label = L"STICK";
    stick.driveType = kDriveRemovable;
    stick.deviceBytes = 64 * kCluster + 512;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.SetVolumeKind(L"E:\\", stick));

    VolumeInformation info;
    ASSERT_EQ(ERROR_SUCCESS, Volumes().GetInformation(L"E:\\", &info));
    EXPECT_EQ(L"STICK", info.label);
    EXPECT_EQ(L"FAT32", info.fileSystem);
    ASSERT_EQ(ERROR_SUCCESS, Volumes().GetInformation(kGuidC, &info));
    EXPECT_EQ(L"NTFS", info.fileSystem);
    EXPECT_EQ(kDriveRemovable, Volumes().GetDriveType(L"E:\\"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, Volumes().GetInformation(L"Q:\\", &info));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFolder(L"C:\\dir"));
    EXPECT_EQ(144u, Volumes().GetInformation(L"C:\\dir\\", &info));  // ERROR_DIR_NOT_ROOT

    for (const std::wstring path : {L"C:\\c.bin", L"E:\\e.bin", L"F:\\f.bin"}) {
        ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(path, "data"));
    }
    EXPECT_EQ(ERROR_SUCCESS, OpenRw(L"C:\\c.bin")->SetCompression(COMPRESSION_FORMAT_NONE));
    EXPECT_EQ(ERROR_INVALID_FUNCTION, OpenRw(L"E:\\e.bin")->SetCompression(1));
    EXPECT_EQ(ERROR_INVALID_FUNCTION, OpenRw(L"F:\\f.bin")->SetCompression(1));
    ASSERT_EQ(ERROR_SUCCESS, OpenRw(L"C:\\c.bin")->SetCompression(1));
    EXPECT_NE(0u, m_fs.AttributesOf(L"C:\\c.bin") & FILE_ATTRIBUTE_COMPRESSED);
    std::unique_ptr<IFileHandle> reader;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"C:\\c.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0, &reader));
    EXPECT_EQ(ERROR_ACCESS_DENIED, reader->SetCompression(COMPRESSION_FORMAT_NONE));
    const auto settings = m_fs.Journal(SimCall::kSetCompression);  // the refused ones left none
    ASSERT_EQ(2u, settings.size());
    EXPECT_EQ(1u, settings[1].offset);  // the format

    // The device reports its own length, which a file cannot.
    uint64_t length = 0;
    std::unique_ptr<IFileHandle> device;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"\\\\.\\E:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &device));
    ASSERT_EQ(ERROR_SUCCESS, device->GetLengthInfo(&length));
    EXPECT_EQ(64u * kCluster + 512, length);
    ASSERT_EQ(ERROR_SUCCESS, device->GetSize(&length));
    EXPECT_EQ(64u * kCluster, length);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.Open(L"\\\\.\\C:", 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       OPEN_EXISTING, 0, &device));
    EXPECT_EQ(ERROR_ACCESS_DENIED, device->GetLengthInfo(&length));
    EXPECT_EQ(ERROR_INVALID_FUNCTION, reader->GetLengthInfo(&length));
    // A GUID name without its backslash names the device as well.
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(kGuidE.substr(0, kGuidE.size() - 1), FILE_READ_DATA,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, 0, &device));
    ASSERT_EQ(ERROR_SUCCESS, device->GetLengthInfo(&length));
    EXPECT_EQ(64u * kCluster + 512, length);

    // An empty CD drive keeps its kind, and answers nothing else.
    SimVolumeKind emptyDrive;
    emptyDrive.fileSystem = L"CDFS";
    emptyDrive.driveType = kDriveCdRom;
    emptyDrive.mediaPresent = false;
    ASSERT_EQ(ERROR_SUCCESS, m_fs.SetVolumeKind(L"F:\\", emptyDrive));
    EXPECT_EQ(kDriveCdRom, Volumes().GetDriveType(L"F:\\"));
    EXPECT_EQ(ERROR_NOT_READY, Volumes().GetInformation(L"F:\\", &info));
    DiskFreeSpaceEx space;
    EXPECT_EQ(ERROR_NOT_READY, m_fs.QueryFreeSpaceEx(L"F:\\", &space));
    EXPECT_EQ("<error 21>", ReadWholeFile(m_fs, L"F:\\f.bin"));
}

TEST_F(SimVolumesTest, EveryVolumeCallCanBeFailed) {
    const uint32_t kError = 1117;  // ERROR_IO_DEVICE
    for (SimCall call :
         {SimCall::kListVolumes, SimCall::kGetMountPaths, SimCall::kGetVolumeInformation,
          SimCall::kConnectedNetworkDisks, SimCall::kGetDriveType, SimCall::kSetCompression,
          SimCall::kGetLengthInfo}) {
        m_fs.InjectFault(call, 1, kError);
    }
    std::vector<std::wstring> list;
    uint32_t required = 0;
    VolumeInformation info;
    EXPECT_EQ(kError, Volumes().ListVolumes(&list));
    EXPECT_EQ(kError, Volumes().GetMountPaths(kGuidC, 260, &list, &required));
    EXPECT_EQ(kError, Volumes().GetInformation(L"C:\\", &info));
    EXPECT_EQ(kError, Volumes().ConnectedNetworkDisks(&list));
    EXPECT_EQ(kDriveUnknown, Volumes().GetDriveType(L"C:\\"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\f", "x"));
    uint64_t length = 0;
    EXPECT_EQ(kError, OpenRw(L"C:\\f")->SetCompression(1));
    std::unique_ptr<IFileHandle> device;
    ASSERT_EQ(ERROR_SUCCESS,
              m_fs.Open(L"\\\\.\\C:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        OPEN_EXISTING, 0, &device));
    EXPECT_EQ(kError, device->GetLengthInfo(&length));
    // Each fault was spent once: the calls answer again.
    EXPECT_EQ(ERROR_SUCCESS, Volumes().ListVolumes(&list));
    EXPECT_EQ(kDriveFixed, Volumes().GetDriveType(L"C:\\"));
    EXPECT_EQ(ERROR_SUCCESS, device->GetLengthInfo(&length));
}

TEST_F(SimVolumesTest, RecycleBinsAreCountedPerVolumeFromTheirFiles) {
    CSimShell shell;
    shell.AttachFileSystem(&m_fs);
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(L'E', kGuidE, 512, 8, 64));
    const std::wstring binC = L"C:\\$Recycle.Bin\\S-1-5-21-1-2-3-1000";
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(binC + L"\\$RAB12.txt", "a"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(binC + L"\\$IAB12.txt", "i"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(binC + L"\\$RCD34\\inner\\deep.txt", "d"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"E:\\$Recycle.Bin\\S-1-5-21-1-2-3-1000\\$RX", "x"));
    ASSERT_EQ(ERROR_SUCCESS, m_fs.AddFile(L"C:\\plain\\file.txt", "p"));
    shell.AddRecycleBinFolder(binC);
    shell.AddRecycleBinFolder(L"E:\\$Recycle.Bin\\S-1-5-21-1-2-3-1000");
    shell.AddRecycleBinFolder(L"C:\\RECYCLER\\S-1-5-21-1-2-3-1000");  // not there

    EXPECT_TRUE(shell.IsRecycleBinFolder(L"c:\\$RECYCLE.BIN\\s-1-5-21-1-2-3-1000\\"));
    EXPECT_TRUE(shell.IsRecycleBinFolder(L"\\\\?\\" + binC));
    EXPECT_FALSE(shell.IsRecycleBinFolder(L"C:\\RECYCLER\\S-1-5-21-1-2-3-1000"));
    EXPECT_FALSE(shell.IsRecycleBinFolder(L"C:\\plain"));

    uint64_t items = 0;
    uint64_t itemsE = 0;
    std::thread other([&] { EXPECT_EQ(0, shell.QueryRecycleBin(L"E:\\", &itemsE)); });
    EXPECT_EQ(0, shell.QueryRecycleBin(L"C:\\", &items));
    other.join();
    EXPECT_EQ(3u, items);
    EXPECT_EQ(1u, itemsE);

    EXPECT_EQ(0, shell.EmptyRecycleBin(L"E:\\"));
    EXPECT_EQ(0, shell.EmptyRecycleBin(L"C:\\"));
    EXPECT_EQ((std::vector<std::wstring>{L"E:\\", L"C:\\"}), shell.EmptiedRecycleBins());
    EXPECT_TRUE(m_fs.Exists(binC + L"\\$RAB12.txt"));  // emptying is the shell's own affair

    const int32_t kFailed = static_cast<int32_t>(0x80004005);  // E_FAIL
    shell.SetQueryRecycleBinResult(kFailed);
    EXPECT_EQ(kFailed, shell.QueryRecycleBin(L"C:\\", &items));
    EXPECT_EQ(0u, items);
    std::wstring sid;
    ASSERT_EQ(ERROR_SUCCESS, shell.CurrentUserSid(&sid));
    EXPECT_EQ(0u, sid.find(L"S-1-5-21-"));
    shell.SetUserSidError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(ERROR_ACCESS_DENIED, shell.CurrentUserSid(&sid));
}

}  // namespace
}  // namespace qmz
