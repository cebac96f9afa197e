// The Recycle Bin erase through the real queue and worker on a simulated machine of
// several volumes: which bins it takes in each mode, what it leaves, and when it lets
// the shell empty a bin.
#include <gtest/gtest.h>

#include "engine/volume_erase.h"
#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

constexpr wchar_t kMe[] = L"S-1-5-21-1-2-3-1001";
constexpr wchar_t kOther[] = L"S-1-5-21-1-2-3-1002";
constexpr wchar_t kVolumeF[] = L"\\\\?\\Volume{0000000f-0000-0000-0000-0000000000b1}\\";
constexpr wchar_t kVolumeM[] = L"\\\\?\\Volume{0000000a-0000-0000-0000-0000000000b2}\\";
constexpr wchar_t kVolumeR[] = L"\\\\?\\Volume{0000000b-0000-0000-0000-0000000000b3}\\";
constexpr wchar_t kVolumeD[] = L"\\\\?\\Volume{0000000d-0000-0000-0000-0000000000b4}\\";

// C: NTFS with the bins of two users; F: FAT; a volume mounted at C:\mnt\m where only the
// other user has a bin; a CD-ROM R: and a network drive Z: whose bins must not be visited;
// D: NTFS with the user's bin alone, also mounted at C:\mnt\d.
class RecycleBinEraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSimShell& shell = m_h.SimPlatform().Shell();
        shell.SetUserSid(kMe);
        ASSERT_EQ(Sim().AddVolume(L'F', kVolumeF, 512, 8, 2048), ERROR_SUCCESS);
        ASSERT_EQ(Sim().AddVolume(0, kVolumeM, 512, 8, 2048), ERROR_SUCCESS);
        ASSERT_EQ(Sim().AddMountPoint(L"C:\\mnt\\m", kVolumeM), ERROR_SUCCESS);
        ASSERT_EQ(Sim().AddVolume(L'R', kVolumeR, 2048, 1, 2048), ERROR_SUCCESS);
        ASSERT_EQ(Sim().AddNetworkShare(L"\\\\server\\share", L'Z', 512, 8, 2048), ERROR_SUCCESS);
        SimVolumeKind fat;
        fat.fileSystem = L"FAT32";
        ASSERT_EQ(Sim().SetVolumeKind(L"F:\\", fat), ERROR_SUCCESS);
        SimVolumeKind cd;
        cd.fileSystem = L"CDFS";
        cd.driveType = kDriveCdRom;
        ASSERT_EQ(Sim().SetVolumeKind(L"R:\\", cd), ERROR_SUCCESS);
        ASSERT_EQ(Sim().AddVolume(L'D', kVolumeD, 512, 8, 2048), ERROR_SUCCESS);
        // Mounted twice: its one bin must be taken once.
        ASSERT_EQ(Sim().AddMountPoint(L"C:\\mnt\\d", kVolumeD), ERROR_SUCCESS);

        AddBin(L"C:\\$Recycle.Bin\\" + std::wstring(kMe), L"$RABC.txt", "mine");
        AddBin(L"C:\\$Recycle.Bin\\" + std::wstring(kOther), L"$RDEF.txt", "theirs");
        AddBin(L"C:\\mnt\\m\\$Recycle.Bin\\" + std::wstring(kOther), L"$RGHI.txt", "theirs");
        AddBin(L"F:\\RECYCLED", L"DC1.txt", "shared");
        AddBin(L"F:\\$Recycle.Bin\\" + std::wstring(kMe), L"$RJKL.txt", "not a FAT bin");
        AddBin(L"Z:\\RECYCLED", L"DC2.txt", "remote");
        AddBin(L"R:\\RECYCLED", L"DC3.txt", "on a disc");
        AddBin(L"D:\\$Recycle.Bin\\" + std::wstring(kMe), L"$RMNO.txt", "mine on D");
        // The bins' own hidden system files go too, whatever the setting says.
        ASSERT_EQ(Sim().AddFile(L"C:\\$Recycle.Bin\\" + std::wstring(kMe) + L"\\desktop.ini",
                                "[.ShellClassInfo]", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                  ERROR_SUCCESS);
    }
    void AddBin(const std::wstring& bin, const std::wstring& file, const std::string& data) {
        ASSERT_EQ(Sim().AddFile(bin + L"\\" + file, data), ERROR_SUCCESS);
        m_h.SimPlatform().Shell().AddRecycleBinFolder(bin);
    }
    RunOutcome Run(int32_t allUsers) {
        CEraseRecycleBin operation = MakeOperation<CEraseRecycleBin>(L"ごみ箱", kNcsc);
        operation.m_includeSuperHidden = 0;
        operation.m_allUsers = allUsers;
        return m_h.Run(operation);
    }
    std::vector<std::wstring> Emptied() { return m_h.SimPlatform().Shell().EmptiedRecycleBins(); }
    CSimFileSystem& Sim() { return m_h.Sim(); }
    CEngineHarness m_h;
};

TEST_F(RecycleBinEraseTest, TheUsersOwnBinsOnlyByDefault) {
    const std::wstring myBin = L"C:\\$Recycle.Bin\\" + std::wstring(kMe);
    const RunOutcome outcome = Run(0);

    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(Sim().Exists(myBin));
    EXPECT_FALSE(Sim().Exists(L"F:\\RECYCLED"));
    EXPECT_EQ(Sim().ReadAll(L"C:\\$Recycle.Bin\\" + std::wstring(kOther) + L"\\$RDEF.txt"),
              "theirs");
    EXPECT_EQ(Sim().ReadAll(L"C:\\mnt\\m\\$Recycle.Bin\\" + std::wstring(kOther) + L"\\$RGHI.txt"),
              "theirs");
    EXPECT_TRUE(Sim().Exists(L"F:\\$Recycle.Bin\\" + std::wstring(kMe) + L"\\$RJKL.txt"));
    EXPECT_TRUE(Sim().Exists(L"Z:\\RECYCLED\\DC2.txt"));
    // Every erased file went through the method: its last pass is on its clusters.
    EXPECT_FALSE(Sim().Journal(SimCall::kWrite).empty());
    EXPECT_TRUE(std::find(outcome.lines.begin(), outcome.lines.end(),
                          ResultLine{ResultRecord::kFolder, myBin, StatusCompleted}) !=
                outcome.lines.end());
    EXPECT_TRUE(std::find(outcome.lines.begin(), outcome.lines.end(),
                          ResultLine{ResultRecord::kFolder, L"F:\\RECYCLED", StatusCompleted}) !=
                outcome.lines.end());
    EXPECT_FALSE(Sim().Exists(L"D:\\$Recycle.Bin\\" + std::wstring(kMe)));
    // The shell empties only what it now counts as empty: not C: nor the mounted volume
    // (the other user's files), not F: (its "$Recycle.Bin", which FAT has no use for).
    EXPECT_EQ(Emptied(), (std::vector<std::wstring>{L"D:\\", L"C:\\mnt\\d\\"}));
}

TEST_F(RecycleBinEraseTest, AllUsersTakesWholeBinsWhereTheUserHasOne) {
    const RunOutcome outcome = Run(1);

    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_FALSE(Sim().Exists(L"C:\\$Recycle.Bin"));
    EXPECT_FALSE(Sim().Exists(L"F:\\RECYCLED"));
    // No bin of the user's on the mounted volume: nothing there is taken.
    EXPECT_EQ(Sim().ReadAll(L"C:\\mnt\\m\\$Recycle.Bin\\" + std::wstring(kOther) + L"\\$RGHI.txt"),
              "theirs");
    EXPECT_TRUE(Sim().Exists(L"Z:\\RECYCLED\\DC2.txt"));
    EXPECT_TRUE(Sim().Exists(L"R:\\RECYCLED\\DC3.txt"));
    EXPECT_EQ(Emptied(), (std::vector<std::wstring>{L"C:\\", L"D:\\", L"C:\\mnt\\d\\"}));
}

TEST_F(RecycleBinEraseTest, AFileThatCannotGoKeepsItsVolumeFromBeingEmptiedByTheShell) {
    const std::wstring stuck = L"D:\\$Recycle.Bin\\" + std::wstring(kMe) + L"\\$RMNO.txt";
    ASSERT_EQ(Sim().SetCannotDelete(stuck), ERROR_SUCCESS);
    const RunOutcome outcome = Run(0);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(Sim().Exists(stuck));
    EXPECT_FALSE(Sim().Exists(L"F:\\RECYCLED"));  // the other bins are still taken
    EXPECT_TRUE(Emptied().empty());
}

TEST(RecycleBinSearchTest, NoBinOrNoIdentityEndsWithoutTouchingAnything) {
    CEngineHarness h;
    h.Sim().AddFile(L"C:\\$Recycle.Bin\\S-1-5-21-9\\$R1.txt", "not known to the shell");
    CEraseRecycleBin operation = MakeOperation<CEraseRecycleBin>(L"ごみ箱", kNcsc);
    RunOutcome outcome = h.Run(operation);
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_TRUE(outcome.lines.empty());
    EXPECT_TRUE(h.SimPlatform().Shell().EmptiedRecycleBins().empty());
    EXPECT_TRUE(h.Sim().Journal(SimCall::kWrite).empty());

    h.SimPlatform().Shell().AddRecycleBinFolder(L"C:\\$Recycle.Bin\\S-1-5-21-9");
    h.SimPlatform().Shell().SetUserSid(L"S-1-5-21-9");
    h.SimPlatform().Shell().SetUserSidError(ERROR_ACCESS_DENIED);
    outcome = h.Run(operation);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(h.Sim().Exists(L"C:\\$Recycle.Bin\\S-1-5-21-9\\$R1.txt"));
    EXPECT_TRUE(h.SimPlatform().Shell().EmptiedRecycleBins().empty());
}

}  // namespace
}  // namespace qmz
