// The files-folders-and-drives menu on simulated drives: which commands a selection gets
// and the path list each command hands to the main program.
#include "shellext/model/menu_model.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ops/path_list.h"

namespace qmz {
namespace {

// Drives as Windows reports them: a volume root (with its backslash) has its drive type,
// any other path is "no root directory"; "X:" alone stands for its root.
class CSimDrives : public IDriveQueries {
public:
    void AddVolume(const std::wstring& root, uint32_t type) { m_volumes[root] = type; }
    void MapNetworkDrive(const std::wstring& device, const std::wstring& connection,
                         const std::wstring& resource) {
        AddVolume(device + L"\\", kDriveRemote);
        m_connections[device] = connection;
        m_resources[connection] = resource;
    }
    std::wstring currentVolume = L"C:\\";

    uint32_t DriveType(const std::wstring& path) override {
        const std::wstring root = path.size() == 2 && path[1] == L':' ? path + L"\\" : path;
        auto it = m_volumes.find(root);
        return it == m_volumes.end() ? kDriveNoRootDir : it->second;
    }
    // The longest volume root the path lies in; fails, as Win32 does, when the buffer
    // cannot take the root and its terminator.
    bool VolumePathName(const std::wstring& path, size_t bufferChars,
                        std::wstring* volumeRoot) override {
        std::wstring found = path == L"\\" ? currentVolume : L"";
        for (const auto& [root, type] : m_volumes) {
            if ((path + L"\\").compare(0, root.size(), root) == 0 && root.size() > found.size()) {
                found = root;
            }
        }
        if (found.empty() || found.size() + 1 > bufferChars) {
            return false;
        }
        *volumeRoot = found;
        return true;
    }
    bool NetworkConnection(const std::wstring& localName, std::wstring* remoteName) override {
        auto it = m_connections.find(localName);
        if (it == m_connections.end()) {
            return false;
        }
        *remoteName = it->second;
        return true;
    }
    bool NetworkResourceName(const std::wstring&, const std::wstring& remoteName,
                             std::wstring* resourceName) override {
        auto it = m_resources.find(remoteName);
        if (it == m_resources.end()) {
            return false;
        }
        *resourceName = it->second;
        return true;
    }

private:
    std::map<std::wstring, uint32_t> m_volumes;
    std::map<std::wstring, std::wstring> m_connections;
    std::map<std::wstring, std::wstring> m_resources;
};

using Commands = std::vector<MenuCommand>;
const Commands kEraseOnly = {CommandErase};
const Commands kAllThree = {CommandErase, CommandEraseFreeSpace, CommandEraseDrive};

class MenuModelTest : public ::testing::Test {
protected:
    MenuModelTest() {
        m_drives.AddVolume(L"C:\\", kDriveFixed);
        m_drives.AddVolume(L"D:\\", kDriveFixed);
        m_drives.AddVolume(L"E:\\", kDriveRemovable);
        m_drives.AddVolume(L"R:\\", kDriveCdRom);
    }
    // Collects the selection and builds the menu, as Initialize and QueryContextMenu do.
    Commands Menu(const std::vector<std::wstring>& paths, bool includeNetworkDrives = false) {
        EXPECT_TRUE(m_model.Collect(paths, includeNetworkDrives));
        return m_model.BuildMenu();
    }

    CSimDrives m_drives;
    CMenuModel m_model{&m_drives};
};

TEST_F(MenuModelTest, OneFileGetsTheEraseCommandWithItsPathQuoted) {
    EXPECT_EQ(Menu({L"C:\\a b\\x.txt"}), kEraseOnly);
    EXPECT_EQ(m_model.PathList(CommandErase), L"\"C:\\a b\\x.txt\" ");
}

TEST_F(MenuModelTest, TheCurrentVolumeIsNeverOfferedWhole) {
    EXPECT_EQ(Menu({L"C:\\"}), Commands({CommandErase, CommandEraseFreeSpace}));
    EXPECT_TRUE(m_model.Selection().IncludesCurrentVolume);
    EXPECT_EQ(m_model.PathList(CommandEraseFreeSpace), L"\"C:\\\" ");

    // The current volume is asked for anew at every selection.
    m_drives.currentVolume = L"d:\\";
    EXPECT_EQ(Menu({L"C:\\"}), kAllThree);
    EXPECT_EQ(Menu({L"D:\\"}), Commands({CommandErase, CommandEraseFreeSpace}));
}

TEST_F(MenuModelTest, OtherLocalDrivesGetAllThreeCommandsInOneList) {
    EXPECT_EQ(Menu({L"D:\\"}), kAllThree);
    EXPECT_EQ(m_model.PathList(CommandEraseDrive), L"\"D:\\\" ");

    EXPECT_EQ(Menu({L"D:\\", L"E:\\"}), kAllThree);
    for (MenuCommand command : kAllThree) {
        EXPECT_EQ(m_model.PathList(command), L"\"D:\\\" \"E:\\\" ");
    }
    // One of several being the current volume takes the whole-drive command away.
    EXPECT_EQ(Menu({L"D:\\", L"C:\\"}), Commands({CommandErase, CommandEraseFreeSpace}));
}

TEST_F(MenuModelTest, ARootWithAFileInEitherOrderIsErasedAsItems) {
    EXPECT_EQ(Menu({L"D:\\", L"C:\\x.txt"}), kEraseOnly);
    EXPECT_EQ(m_model.PathList(CommandErase), L"\"D:\\\" \"C:\\x.txt\" ");
    EXPECT_EQ(Menu({L"C:\\x.txt", L"D:\\"}), kEraseOnly);
    EXPECT_EQ(m_model.PathList(CommandErase), L"\"C:\\x.txt\" \"D:\\\" ");
    EXPECT_TRUE(m_model.Selection().HasRootItem && m_model.Selection().HasNonRootItem);
}

TEST_F(MenuModelTest, ACdRomRootIsOnlyAnItem) {
    EXPECT_EQ(Menu({L"R:\\"}), kEraseOnly);
    EXPECT_FALSE(m_model.Selection().HasRootItem);
    EXPECT_EQ(m_model.PathList(CommandErase), L"\"R:\\\" ");
}

TEST_F(MenuModelTest, AVolumeMountedInAFolderIsARootButAPlainFolderIsNot) {
    m_drives.AddVolume(L"C:\\mnt\\data\\", kDriveFixed);
    // The shell names the folder without its backslash; the volume query must find room
    // for the root's backslash and terminator all the same.
    EXPECT_EQ(Menu({L"C:\\mnt\\data"}), kAllThree);
    EXPECT_EQ(m_model.PathList(CommandEraseDrive), L"\"C:\\mnt\\data\" ");
    EXPECT_EQ(Menu({L"C:\\mnt\\data\\", L"D:\\"}), kAllThree);

    // With network drives included, "no root directory" passes the type test; the volume
    // query still tells a folder from a root.
    EXPECT_EQ(Menu({L"C:\\mnt"}, true), kEraseOnly);
    EXPECT_EQ(Menu({L"C:\\mnt\\data\\file.bin"}, true), kEraseOnly);
}

TEST_F(MenuModelTest, ANetworkShareIsErasedByItsUncNameOnlyWhenNetworkDrivesAreIncluded) {
    m_drives.MapNetworkDrive(L"Z:", L"\\\\server\\share", L"\\\\server\\share\\");
    EXPECT_EQ(Menu({L"Z:\\"}, false), kEraseOnly);
    EXPECT_EQ(m_model.PathList(CommandErase), L"\"Z:\\\" ");

    EXPECT_EQ(Menu({L"Z:\\", L"D:\\"}, true), kAllThree);
    EXPECT_EQ(m_model.PathList(CommandErase), L"\"Z:\\\" \"D:\\\" ");
    EXPECT_EQ(m_model.PathList(CommandEraseFreeSpace), L"\"\\\\server\\share\" \"D:\\\" ");
    EXPECT_EQ(m_model.PathList(CommandEraseDrive), L"\"\\\\server\\share\" \"D:\\\" ");
}

TEST_F(MenuModelTest, ADriveMappedBelowAShareOrUnreadableGetsNoDriveCommands) {
    m_drives.MapNetworkDrive(L"Y:", L"\\\\server\\share\\sub", L"\\\\server\\share");
    EXPECT_EQ(Menu({L"Y:\\"}, false), kEraseOnly);
    EXPECT_EQ(Menu({L"Y:\\"}, true), kEraseOnly);
    EXPECT_FALSE(m_model.Selection().NetworkNamesResolved);

    m_drives.AddVolume(L"X:\\", kDriveRemote);  // a connection the provider cannot name
    EXPECT_EQ(Menu({L"D:\\", L"X:\\"}, true), kEraseOnly);
}

TEST_F(MenuModelTest, VirtualItemsAloneGiveNoSelection) {
    EXPECT_FALSE(m_model.Collect({L"", L""}, false));
    EXPECT_TRUE(m_model.Selection().SelectedPaths.empty());
    EXPECT_TRUE(m_model.BuildMenu().empty());
    // Beside real paths they are skipped, and the lists stay parallel.
    EXPECT_EQ(Menu({L"", L"D:\\"}), kAllThree);
    EXPECT_EQ(m_model.Selection().NetworkNames.size(), 1u);
}

// A share name has no length limit: one longer than a path buffer, beside long paths, is
// handed over whole and reads back as the same paths in the main program.
TEST_F(MenuModelTest, LongShareNamesArePassedWhole) {
    const std::wstring share = L"\\\\server\\" + std::wstring(300, L's');
    m_drives.MapNetworkDrive(L"Z:", share, share);
    std::vector<std::wstring> paths = {L"Z:\\"};
    std::vector<std::wstring> expected = {share};
    for (wchar_t letter = L'F'; letter <= L'P'; ++letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        m_drives.AddVolume(root, kDriveFixed);
        paths.push_back(root);
        expected.push_back(root);
    }
    ASSERT_EQ(Menu(paths, true), kAllThree);
    const std::wstring list = m_model.PathList(CommandEraseFreeSpace);
    EXPECT_EQ(list.substr(0, share.size() + 3), L"\"" + share + L"\" ");
    EXPECT_EQ(ParsePathList(list), expected);

    const std::wstring longFile = L"D:\\" + std::wstring(255, L'f');
    EXPECT_EQ(Menu({longFile, longFile, longFile}), kEraseOnly);
    EXPECT_EQ(ParsePathList(m_model.PathList(CommandErase)),
              std::vector<std::wstring>(3, longFile));
}

}  // namespace
}  // namespace qmz
