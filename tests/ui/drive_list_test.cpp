// The drive dialog's rows on simulated volumes, their size texts, and how a row's check
// box and selection follow each other.
#include "ui/model/drive_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/sim_platform.h"

namespace qmz {
namespace {

constexpr uint64_t kKilo = uint64_t{1} << 10;
constexpr uint64_t kMega = uint64_t{1} << 20;
constexpr uint64_t kGiga = uint64_t{1} << 30;
constexpr uint32_t kSectorBytes = 512;
constexpr uint32_t kSectorsPerCluster = 8;
constexpr uint64_t kClusterBytes = kSectorBytes * kSectorsPerCluster;

std::wstring GuidName(int number) {
    return L"\\\\?\\Volume{00000000-0000-0000-0000-0000000000" + std::to_wstring(10 + number) +
           L"}\\";
}

// A machine with every kind of drive the dialog meets. Volumes are added out of order so
// that the rows' order is the dialog's own; the mount folders' names sort differently
// with and without regard to case ("C:\Zeta" after "C:\mnt\e" only without).
class CDriveMachine {
public:
    CDriveMachine() {
        CSimFileSystem& fs = m_platform.FileSystem();
        Add('E', 1, 2 * kGiga, {L"NTFS", L"Data", kDriveFixed, 3 * kGiga, true});
        Add('C', 2, 5 * kGiga, {L"NTFS", L"System", kDriveFixed, 0, true});
        Add('D', 3, 64 * kMega, {L"CDFS", L"Disc", kDriveCdRom, 0, true});
        Add('R', 4, 64 * kMega, {L"FAT32", L"Ram", kDriveRamDisk, 0, true});
        Add('F', 5, 512 * kMega, {L"FAT32", L"Stick", kDriveRemovable, 0, false});
        Add(0, 6, 256 * kMega, {L"NTFS", L"Zeta", kDriveFixed, 0, true});
        Add(0, 7, 256 * kMega, {L"NTFS", L"Unmounted", kDriveFixed, 0, true});
        EXPECT_EQ(fs.AddMountPoint(L"C:\\mnt\\e", L"E:\\"), ERROR_SUCCESS);
        EXPECT_EQ(fs.AddMountPoint(L"C:\\Zeta", GuidName(6)), ERROR_SUCCESS);
        // Long enough that the mount paths of E: do not fit the first buffer.
        EXPECT_EQ(fs.AddMountPoint(L"C:\\" + kLongFolder, L"E:\\"), ERROR_SUCCESS);
        // The shares: one connected first that sorts last without regard to case, one
        // mapped as Z: and connected once more without a letter.
        EXPECT_EQ(fs.AddNetworkShare(L"\\\\Zulu\\docs", 0, kSectorBytes, kSectorsPerCluster,
                                     kGiga / kClusterBytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(fs.AddNetworkShare(L"\\\\server\\share", 'Z', kSectorBytes, kSectorsPerCluster,
                                     kGiga / kClusterBytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(fs.AddNetworkConnection(L"\\\\server\\share"), ERROR_SUCCESS);
        m_platform.Shell().SetFolder(kCsidlWindows, FolderOwner::kCurrentUser, L"C:\\Windows");
        EXPECT_EQ(fs.AddFolder(L"C:\\Windows"), ERROR_SUCCESS);
        // 1.5 MiB in use on C:, and E: lets this user allocate only 1 MiB more.
        EXPECT_EQ(fs.AddFile(L"C:\\Windows\\big.bin", std::string(3 * kMega / 2, 'w')),
                  ERROR_SUCCESS);
        EXPECT_EQ(fs.SetQuota(L"E:\\", kMega), ERROR_SUCCESS);
    }

    CSimPlatform& Platform() { return m_platform; }

    std::vector<DriveRow> Rows(bool excludeWindowsVolume, bool includeNetworkDrives) {
        DriveListOptions options;
        options.excludeWindowsVolume = excludeWindowsVolume;
        options.includeNetworkDrives = includeNetworkDrives;
        options.windowsVolumeRoot =
            WindowsVolumeRoot(&m_platform.Shell(), &m_platform.FileSystem());
        return BuildDriveRows(*m_platform.Services(), options);
    }

    const std::wstring kLongFolder = std::wstring(240, L'x');

private:
    void Add(wchar_t letter, int number, uint64_t bytes, const SimVolumeKind& kind) {
        CSimFileSystem& fs = m_platform.FileSystem();
        ASSERT_EQ(fs.AddVolume(letter, GuidName(number), kSectorBytes, kSectorsPerCluster,
                               bytes / kClusterBytes),
                  ERROR_SUCCESS);
        ASSERT_EQ(fs.SetVolumeKind(GuidName(number), kind), ERROR_SUCCESS);
    }

    CSimPlatform m_platform;
};

std::vector<std::wstring> PathsOf(const std::vector<DriveRow>& rows) {
    std::vector<std::wstring> paths;
    for (const DriveRow& row : rows) {
        paths.push_back(row.info.path);
    }
    return paths;
}

const DriveRow* RowOf(const std::vector<DriveRow>& rows, const std::wstring& path) {
    for (const DriveRow& row : rows) {
        if (row.info.path == path) {
            return &row;
        }
    }
    return nullptr;
}

TEST(DriveListTest, EveryMountPathOfADiskIsARowAndTheSharesFollowOnce) {
    CDriveMachine machine;
    const std::vector<DriveRow> rows = machine.Rows(false, true);

    // Sorted without regard to case; E: twice more through its mount folders; the CD-ROM,
    // the RAM disk, the volume without a mount path and the share's letter Z: not at all;
    // the shares after every local drive, the one connected twice once.
    EXPECT_EQ(PathsOf(rows), (std::vector<std::wstring>{
                                 L"C:", L"C:\\mnt\\e", L"C:\\" + machine.kLongFolder, L"C:\\Zeta",
                                 L"E:", L"F:", L"\\\\server\\share", L"\\\\Zulu\\docs"}));

    const DriveRow* system = RowOf(rows, L"C:");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->label, L"System");
    EXPECT_EQ(system->info.total, 5 * kGiga);
    EXPECT_EQ(system->totalText, L"5.00 GB");
    DiskFreeSpaceEx space;
    ASSERT_EQ(machine.Platform().FileSystem().QueryFreeSpaceEx(L"C:\\", &space), ERROR_SUCCESS);
    EXPECT_LE(system->info.free, 5 * kGiga - 3 * kMega / 2);
    EXPECT_EQ(system->info.free, space.totalFreeBytes);
    EXPECT_EQ(system->freeText, FormatDriveSize(system->info.free));

    // The volume device's length replaces the file system's size where the drive letter
    // opens as a device; a mount folder does not, so its row keeps the free-space total.
    // The free column is the volume's, not what this user's quota leaves.
    const DriveRow* data = RowOf(rows, L"E:");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->label, L"Data");
    EXPECT_EQ(data->info.total, 3 * kGiga);
    EXPECT_EQ(data->totalText, L"3.00 GB");
    EXPECT_EQ(data->freeText, L"2.00 GB");
    const DriveRow* mounted = RowOf(rows, L"C:\\mnt\\e");
    ASSERT_NE(mounted, nullptr);
    EXPECT_EQ(mounted->info.total, 2 * kGiga);
    EXPECT_EQ(mounted->totalText, L"2.00 GB");
    EXPECT_EQ(mounted->freeText, L"2.00 GB");

    // A removable drive without a disk answers nothing: a row of zeros without a label.
    const DriveRow* stick = RowOf(rows, L"F:");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->label, L"");
    EXPECT_EQ(stick->info.free, 0u);
    EXPECT_EQ(stick->info.total, 0u);
    EXPECT_EQ(stick->freeText, L"0");
    EXPECT_EQ(stick->totalText, L"0");

    const DriveRow* share = RowOf(rows, L"\\\\server\\share");
    ASSERT_NE(share, nullptr);
    EXPECT_EQ(share->totalText, L"1.00 GB");
}

TEST(DriveListTest, AWholeVolumeEraseIsNeverOfferedTheWindowsVolume) {
    CDriveMachine machine;
    EXPECT_EQ(WindowsVolumeRoot(&machine.Platform().Shell(), &machine.Platform().FileSystem()),
              L"C:\\");
    // Only the root itself goes: other volumes mounted in it stay, and without the
    // setting no share is offered.
    EXPECT_EQ(PathsOf(machine.Rows(true, false)),
              (std::vector<std::wstring>{L"C:\\mnt\\e", L"C:\\" + machine.kLongFolder, L"C:\\Zeta",
                                         L"E:", L"F:"}));

    // Without a Windows folder nothing is taken for the Windows volume.
    machine.Platform().Shell().SetFolder(kCsidlWindows, FolderOwner::kCurrentUser, L"");
    EXPECT_EQ(WindowsVolumeRoot(&machine.Platform().Shell(), &machine.Platform().FileSystem()),
              L"");
    EXPECT_EQ(machine.Rows(true, false).front().info.path, L"C:");
}

TEST(DriveListTest, DrivesThatCannotBeListedAreLeftOutAndMayLeaveNoRow) {
    CDriveMachine machine;
    CSimFileSystem& fs = machine.Platform().FileSystem();
    // A volume whose mount paths cannot be read, and a network that cannot be listed.
    fs.InjectFault(SimCall::kGetMountPaths, 1, ERROR_ACCESS_DENIED, true, GuidName(1));
    fs.InjectFault(SimCall::kConnectedNetworkDisks, 1, ERROR_NO_NETWORK, true);
    EXPECT_EQ(PathsOf(machine.Rows(false, true)),
              (std::vector<std::wstring>{L"C:", L"C:\\Zeta", L"F:"}));
    fs.ClearFaults();

    // Only the Windows volume, a CD-ROM and a RAM disk: nothing for a whole-volume erase.
    CSimPlatform bare;
    ASSERT_EQ(bare.FileSystem().AddVolume('C', GuidName(1), kSectorBytes, kSectorsPerCluster,
                                          kGiga / kClusterBytes),
              ERROR_SUCCESS);
    ASSERT_EQ(bare.FileSystem().AddVolume('D', GuidName(2), kSectorBytes, kSectorsPerCluster,
                                          kMega / kClusterBytes),
              ERROR_SUCCESS);
    ASSERT_EQ(bare.FileSystem().SetVolumeKind(L"D:\\", {L"CDFS", L"", kDriveCdRom, 0, true}),
              ERROR_SUCCESS);
    ASSERT_EQ(bare.FileSystem().AddVolume('R', GuidName(3), kSectorBytes, kSectorsPerCluster,
                                          kMega / kClusterBytes),
              ERROR_SUCCESS);
    ASSERT_EQ(bare.FileSystem().SetVolumeKind(L"R:\\", {L"FAT", L"", kDriveRamDisk, 0, true}),
              ERROR_SUCCESS);
    bare.Shell().SetFolder(kCsidlWindows, FolderOwner::kCurrentUser, L"C:\\Windows");
    DriveListOptions options;
    options.excludeWindowsVolume = true;
    options.includeNetworkDrives = true;
    options.windowsVolumeRoot = WindowsVolumeRoot(&bare.Shell(), &bare.FileSystem());
    EXPECT_TRUE(BuildDriveRows(*bare.Services(), options).empty());
    options.excludeWindowsVolume = false;
    EXPECT_EQ(PathsOf(BuildDriveRows(*bare.Services(), options)),
              (std::vector<std::wstring>{L"C:"}));
}

TEST(DriveListTest, SizesAreShownInTheLargestUnitBelowTheValue) {
    constexpr uint64_t kTera = uint64_t{1} << 40;
    EXPECT_EQ(FormatDriveSize(0), L"0");
    EXPECT_EQ(FormatDriveSize(512), L"512");
    EXPECT_EQ(FormatDriveSize(kKilo - 1), L"1023");
    EXPECT_EQ(FormatDriveSize(kKilo), L"1.0 KB");
    EXPECT_EQ(FormatDriveSize(1536), L"1.5 KB");
    EXPECT_EQ(FormatDriveSize(kMega - 1), L"1024.0 KB");
    EXPECT_EQ(FormatDriveSize(kMega), L"1.00 MB");
    EXPECT_EQ(FormatDriveSize(kMega * 1234 / 100), L"12.34 MB");
    EXPECT_EQ(FormatDriveSize(kGiga - 1), L"1024.00 MB");
    EXPECT_EQ(FormatDriveSize(5 * kGiga), L"5.00 GB");
    EXPECT_EQ(FormatDriveSize(kGiga * 3 / 4 + 40 * kGiga), L"40.75 GB");
    EXPECT_EQ(FormatDriveSize(kTera), L"1.00 TB");
    EXPECT_EQ(FormatDriveSize(3000 * kTera), L"3000.00 TB");
}

TEST(DriveListTest, ACheckBoxMovesTheSelectionAndASelectionMovesTheCheckBox) {
    constexpr uint32_t kUnchecked = 0x1000;
    constexpr uint32_t kSelectedAndFocused = kItemSelected | 0x0001;
    // Ticked or cleared by the user: the selection follows, whatever else changed.
    RowFollow follow = FollowRowChange(kItemStateChanged, kUnchecked, kItemChecked);
    EXPECT_TRUE(follow.follows);
    EXPECT_TRUE(follow.marked);
    follow = FollowRowChange(kItemStateChanged, kItemChecked | kItemSelected, kUnchecked);
    EXPECT_TRUE(follow.follows);
    EXPECT_FALSE(follow.marked);
    // The check box decides when both changed at once.
    follow = FollowRowChange(kItemStateChanged, kItemChecked, kUnchecked | kItemSelected);
    EXPECT_TRUE(follow.follows);
    EXPECT_FALSE(follow.marked);
    // Selected or deselected (a click on another row deselects this one): the box follows.
    follow = FollowRowChange(kItemStateChanged, kUnchecked, kUnchecked | kSelectedAndFocused);
    EXPECT_TRUE(follow.follows);
    EXPECT_TRUE(follow.marked);
    follow = FollowRowChange(kItemStateChanged, kItemChecked | kItemSelected, kItemChecked);
    EXPECT_TRUE(follow.follows);
    EXPECT_FALSE(follow.marked);
    // Focus alone, text or other parts of the item: nothing to follow.
    EXPECT_FALSE(FollowRowChange(kItemStateChanged, kUnchecked, kUnchecked | 0x0001).follows);
    EXPECT_FALSE(FollowRowChange(0x0001, kUnchecked, kItemChecked | kItemSelected).follows);
}

}  // namespace
}  // namespace qmz
