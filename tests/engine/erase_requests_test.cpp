// Requests turned into operations on a simulated system disk: which paths are erased
// whole, emptied or removed as links, the known places a request names, and requests
// run through the coordinator and its worker.
#include "engine/erase_requests.h"

#include <gtest/gtest.h>

#include "engine/browser_erase.h"
#include "engine/method_table.h"
#include "ops/erase_coordinator.h"
#include "tests/support/coordinator_window.h"
#include "tests/support/sim_platform.h"

#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#include "tests/support/scratch_folder.h"
#endif

namespace qmz {
namespace {

constexpr wchar_t kVolumeC[] = L"\\\\?\\Volume{0000000c-0000-0000-0000-0000000000c1}\\";
constexpr wchar_t kVolumeD[] = L"\\\\?\\Volume{0000000d-0000-0000-0000-0000000000d1}\\";
constexpr wchar_t kUser[] = L"OFFICE\\ann";
constexpr wchar_t kDesktop[] = L"C:\\Users\\ann\\Desktop";
constexpr wchar_t kTemp[] = L"C:\\Users\\ann\\AppData\\Local\\Temp";
constexpr int32_t kThreePasses = 3;  // 0x00, 0xFF, 0xE5

constexpr OperationKind kFile = OperationKind::kEraseFile;
constexpr OperationKind kFolderOnly = OperationKind::kEraseFolderOnly;
constexpr OperationKind kWhole = OperationKind::kEraseFolderAndContents;
constexpr OperationKind kContents = OperationKind::kEraseContentsOfFolder;

// A system disk C: with a second volume mounted in C:\Mount, the Windows folder, a
// profile with a desktop and a temporary folder, user data and a junction.
class EraseRequestsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CSimFileSystem& fs = m_platform.FileSystem();
        ASSERT_EQ(ERROR_SUCCESS, fs.AddVolume(L'C', kVolumeC, 512, 8, 4096));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddVolume(0, kVolumeD, 512, 8, 1024));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddMountPoint(L"C:\\Mount", kVolumeD));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(std::wstring(kVolumeD) + L"photo.jpg", "photo"));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(L"C:\\Windows\\System32\\kernel32.dll", "code"));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(std::wstring(kDesktop) + L"\\Work\\w.txt", "w"));
        ASSERT_EQ(ERROR_SUCCESS,
                  fs.AddFile(std::wstring(kTemp) + L"\\t.tmp", std::string(900, 't')));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(L"C:\\Data\\a file.txt", std::string(5000, 'a')));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(L"C:\\Data\\keep.txt", "keep me"));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(L"C:\\Data\\tree\\b.txt", std::string(700, 'b')));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(L"C:\\Data\\tree\\sub\\c.txt", "c"));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddFile(L"C:\\Target\\kept.txt", "kept"));
        ASSERT_EQ(ERROR_SUCCESS, fs.AddJunction(L"C:\\Data\\link", L"C:\\Target"));

        CSimShell& shell = m_platform.Shell();
        shell.SetUserName(kUser);
        shell.SetFolder(kCsidlWindows, FolderOwner::kCurrentUser, L"C:\\Windows");
        shell.SetFolder(kCsidlSystem, FolderOwner::kCurrentUser, L"C:\\Windows\\System32");
        shell.SetFolder(kCsidlDesktopDirectory, FolderOwner::kCurrentUser, kDesktop);
        shell.SetFolder(kCsidlProfile, FolderOwner::kCurrentUser, L"C:\\Users\\ann");
        shell.SetVariable(L"TEMP", kTemp);
        shell.SetVariable(L"TMP", kTemp);
        m_folders = ResolveKnownFolders(&shell, &fs);
    }

    CSimPlatform m_platform;
    KnownFolderTable m_folders;
};

struct PathCase {
    std::wstring path;
    OperationKind kind;
};

void ExpectKinds(IFileSystem* fs, const KnownFolderTable& folders,
                 std::initializer_list<PathCase> cases) {
    for (const PathCase& c : cases) {
        std::unique_ptr<CEraseOperationBase> operation = OperationForPath(fs, folders, c.path);
        ASSERT_TRUE(operation) << c.path;
        EXPECT_EQ(operation->Kind(), c.kind) << c.path;
        EXPECT_EQ(operation->m_path, c.path);
    }
}

TEST_F(EraseRequestsTest, PathsAreErasedWholeEmptiedOrRemovedAsLinks) {
    ExpectKinds(&m_platform.FileSystem(), m_folders,
                {
                    // Volumes are emptied, never removed: the root, and a mounted volume
                    // although it is a reparse point like a junction.
                    {L"C:\\", kContents},
                    {L"C:\\Mount", kContents},
                    {L"C:\\Mount\\", kContents},
                    // The Windows folder and everything below it.
                    {L"C:\\Windows", kContents},
                    {L"c:\\windows\\SYSTEM32", kContents},
                    // The known folders themselves, in any case and with a trailing
                    // backslash; a folder inside one is the user's own.
                    {kDesktop, kContents},
                    {L"C:\\USERS\\Ann\\desktop\\", kContents},
                    {kTemp, kContents},
                    {L"C:\\Users\\ann", kContents},
                    {L"C:\\Users\\ann\\Desktop\\Work", kWhole},
                    // Spelt another way that Win32 reads the same.
                    {L"C:/Users/ann/Desktop", kContents},
                    {L"C:\\Users\\ann\\Desktop\\.", kContents},
                    {L"C:\\Users\\ann\\Desktop\\Work\\..", kContents},
                    {L"C:/", kContents},
                    // A junction goes alone; its target is not followed.
                    {L"C:\\Data\\link", kFolderOnly},
                    {L"C:\\Data", kWhole},
                    {L"C:\\Data\\", kWhole},
                    {L"C:\\Data\\tree", kWhole},
                    {L"C:\\Data\\a file.txt", kFile},
                    {L"C:\\Data\\missing", kFile},
                });
}

TEST_F(EraseRequestsTest, RootsStayProtectedWithoutVolumeAnswersAndEmptyEntriesProtectNothing) {
    CSimFileSystem& fs = m_platform.FileSystem();
    // A drive whose volume cannot be asked (network, substituted) is still only emptied.
    fs.InjectFault(SimCall::kGetVolumeNameForMountPoint, 1, ERROR_INVALID_FUNCTION, true);
    ExpectKinds(&fs, m_folders,
                {{L"C:\\", kContents}, {L"c:\\", kContents}, {L"C:\\Data", kWhole}});
    fs.ClearFaults();
    // Unresolved folders are empty entries; they must not match every path.
    const KnownFolderTable unresolved;
    ExpectKinds(&fs, unresolved, {{L"C:\\Data", kWhole}, {L"C:\\Data\\tree", kWhole}});
}

TEST_F(EraseRequestsTest, KnownPlacesCarryTheirFolderAndTheRequestDefaults) {
    KnownFolderTable browser;
    browser.history = L"C:\\H";
    browser.internetCache = L"C:\\I";
    browser.cookies = L"C:\\K";
    CRequestFactory factory(m_platform.Services(), browser);
    factory.SetMethod(LookupMethod(kThreePasses));
    factory.SetIncludeSuperHidden(0);
    EXPECT_EQ(factory.UserName(), kUser);
    struct BrowserCase {
        std::unique_ptr<CEraseOperationBase> operation;
        OperationKind kind;
        const wchar_t* path;
    };
    BrowserCase cases[] = {
        {factory.ForInternetHistory(), OperationKind::kEraseInternetHistory, L"C:\\H"},
        {factory.ForInternetTemp(), OperationKind::kEraseInternetTemp, L"C:\\I"},
        {factory.ForInternetCookies(), OperationKind::kEraseInternetCookies, L"C:\\K"},
    };
    for (BrowserCase& c : cases) {
        ASSERT_TRUE(c.operation);
        EXPECT_EQ(c.operation->Kind(), c.kind) << c.path;
        EXPECT_EQ(c.operation->m_path, c.path);
        EXPECT_EQ(c.operation->m_method, LookupMethod(kThreePasses)) << c.path;
        EXPECT_EQ(c.operation->m_includeSuperHidden, 0) << c.path;
        EXPECT_EQ(c.operation->m_userName, kUser) << c.path;
    }
    EXPECT_EQ(static_cast<CEraseInternetHistory*>(cases[0].operation.get())->m_enabled, 1);
    EXPECT_EQ(static_cast<CEraseInternetTemp*>(cases[1].operation.get())->m_enabled, 1);
    EXPECT_EQ(static_cast<CEraseInternetCookies*>(cases[2].operation.get())->m_enabled, 1);
}

TEST_F(EraseRequestsTest, TemporaryFoldersAreRequestedOnceEach) {
    struct TempCase {
        const wchar_t* what;
        std::wstring temp, tmp;
        std::vector<std::wstring> paths;
    };
    const TempCase cases[] = {
        {L"same folder, other case", L"C:\\Temp", L"c:\\TEMP", {L"C:\\Temp"}},
        {L"two folders", L"C:\\Temp", L"D:\\Tmp", {L"C:\\Temp", L"D:\\Tmp"}},
        {L"TEMP unset", L"", L"D:\\Tmp", {L"D:\\Tmp"}},
        {L"TMP unset", L"C:\\Temp", L"", {L"C:\\Temp"}},
        {L"neither set", L"", L"", {}},
    };
    for (const TempCase& c : cases) {
        KnownFolderTable folders;
        folders.temp = c.temp;
        folders.tmp = c.tmp;
        CRequestFactory factory(m_platform.Services(), folders);
        factory.SetMethod(LookupMethod(kThreePasses));
        factory.SetIncludeSuperHidden(0);
        std::vector<std::wstring> paths;
        for (const std::unique_ptr<CEraseOperationBase>& operation : factory.ForWindowsTemp()) {
            EXPECT_EQ(operation->Kind(), OperationKind::kEraseWindowsTemp) << c.what;
            // Temporary files go whatever their attributes, whatever the setting says.
            EXPECT_EQ(operation->m_includeSuperHidden, 1) << c.what;
            EXPECT_EQ(operation->m_userName, kUser) << c.what;
            paths.push_back(operation->m_path);
        }
        EXPECT_EQ(paths, c.paths) << c.what;
    }
}

TEST_F(EraseRequestsTest, RequestLineIsErasedThroughTheCoordinator) {
    CSimFileSystem& fs = m_platform.FileSystem();
    CEraseCoordinator coordinator(m_platform.Services(), ModifiedMethodSlot());
    CCoordinatorWindow window(&m_platform, &coordinator);
    CRequestFactory factory(m_platform.Services(), m_folders);
    factory.SetMethod(LookupMethod(kThreePasses));

    const int32_t first = AddAll(
        &coordinator,
        factory.ForPathList(L"-embedding \"C:\\Data\\a file.txt\" C:\\Data\\tree C:\\Data\\link "
                            L"\"" +
                            std::wstring(kTemp) + L"\" C:\\Mount"));
    EXPECT_EQ(first, 0);
    ASSERT_EQ(coordinator.RowCount(), 5);
    EXPECT_EQ(AddAll(&coordinator, factory.ForPathList(L"-embedding")), -1);

    ASSERT_TRUE(coordinator.StartWorker());
    coordinator.StartErase();
    // The queued copies are what the worker runs; rows stay until their reports are read.
    for (int32_t row = 0; row < coordinator.RowCount(); ++row) {
        ASSERT_NE(coordinator.RowOperation(row), nullptr);
        EXPECT_EQ(coordinator.RowOperation(row)->m_userName, kUser) << row;
    }
    ASSERT_TRUE(window.PumpUntil([&] { return coordinator.RowCount() == 0; }));

    EXPECT_FALSE(fs.Exists(L"C:\\Data\\a file.txt"));
    EXPECT_FALSE(fs.Exists(L"C:\\Data\\tree"));
    EXPECT_EQ(fs.ReadAll(L"C:\\Data\\keep.txt"), "keep me");
    // The junction is gone, what it led to is not.
    EXPECT_FALSE(fs.Exists(L"C:\\Data\\link"));
    EXPECT_EQ(fs.ReadAll(L"C:\\Target\\kept.txt"), "kept");
    // Protected folders and mounted volumes lose their contents, not themselves.
    EXPECT_TRUE(fs.Exists(kTemp));
    EXPECT_FALSE(fs.Exists(std::wstring(kTemp) + L"\\t.tmp"));
    EXPECT_TRUE(fs.Exists(L"C:\\Mount"));
    EXPECT_FALSE(fs.Exists(L"C:\\Mount\\photo.jpg"));
    EXPECT_FALSE(coordinator.HasWork());
    EXPECT_TRUE(window.InternalErrors().empty());
}

TEST_F(EraseRequestsTest, VolumeRequestsListOneRowPerRootAndEraseOnlyTheirVolumes) {
    CSimFileSystem& fs = m_platform.FileSystem();
    CEraseCoordinator coordinator(m_platform.Services(), ModifiedMethodSlot());
    CCoordinatorWindow window(&m_platform, &coordinator);
    CRequestFactory factory(m_platform.Services(), m_folders);
    factory.SetMethod(LookupMethod(kThreePasses));

    AddAll(&coordinator, factory.ForFreeSpace(L"\"C:\\\" \"C:\\Mount\\\" "));
    AddAll(&coordinator, factory.ForEntirePartitions(L"-embedding C:\\Mount\\"));
    OperationList bin;
    bin.push_back(factory.ForRecycleBin(L"ごみ箱", 1));
    AddAll(&coordinator, std::move(bin));
    ASSERT_EQ(coordinator.RowCount(), 4);
    const OperationKind kinds[] = {OperationKind::kEraseFreeSpace, OperationKind::kEraseFreeSpace,
                                   OperationKind::kEraseEntirePartition,
                                   OperationKind::kEraseRecycleBin};
    const wchar_t* paths[] = {L"C:\\", L"C:\\Mount\\", L"C:\\Mount\\", L"ごみ箱"};
    for (int32_t row = 0; row < 4; ++row) {
        EXPECT_EQ(coordinator.RowOperation(row)->Kind(), kinds[row]) << row;
        EXPECT_EQ(coordinator.RowOperation(row)->m_path, paths[row]) << row;
        EXPECT_EQ(coordinator.RowOperation(row)->m_userName, kUser) << row;
    }

    // Confirmed, each reaches exactly its volume: the mounted volume is emptied, C: keeps
    // every file, and with no bin known to the shell the Recycle Bin has nothing to do.
    ASSERT_TRUE(coordinator.StartWorker());
    coordinator.StartErase();
    ASSERT_TRUE(window.PumpUntil([&] { return coordinator.RowCount() == 0; }));
    ASSERT_EQ(window.ResultRows().size(), 4u);
    for (const ResultRow& row : window.ResultRows()) {
        EXPECT_EQ(row.status, StatusCompleted) << std::string(row.path.begin(), row.path.end());
    }
    EXPECT_FALSE(fs.Exists(std::wstring(kVolumeD) + L"photo.jpg"));
    EXPECT_TRUE(fs.Exists(L"C:\\Mount"));
    EXPECT_EQ(fs.ReadAll(L"C:\\Data\\keep.txt"), "keep me");
    EXPECT_EQ(fs.ReadAll(L"C:\\Target\\kept.txt"), "kept");
    EXPECT_EQ(fs.ReadAll(L"C:\\Windows\\System32\\kernel32.dll"), "code");
}

#ifdef _WIN32
// The path rule on the real file system: the drive root is only emptied, and no ordinary
// folder is taken for a volume or mount point (which would leave it standing, emptied).
TEST(EraseRequestsWin32Test, PathRuleOnRealFolders) {
    CScratchFolder scratch(L"requests");
    const std::wstring& dir = scratch.Path();
    ASSERT_FALSE(dir.empty());
    CWin32FileSystem fs;
    ASSERT_EQ(ERROR_SUCCESS, fs.CreateFolder(dir + L"\\sub"));
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS, fs.Open(dir + L"\\f.txt", GENERIC_WRITE, 0, CREATE_ALWAYS, 0, &file));
    file.reset();

    KnownFolderTable folders;
    folders.temp = dir + L"\\sub";
    ExpectKinds(&fs, folders,
                {
                    {dir.substr(0, 3), kContents},
                    {dir + L"\\sub", kContents},
                    {dir + L"\\sub\\", kContents},
                    {dir, kWhole},
                    {dir + L"\\", kWhole},
                    {dir + L"\\f.txt", kFile},
                    {dir + L"\\missing", kFile},
                });
}
#endif

}  // namespace
}  // namespace qmz
