// The browser and temporary-folder erases through the real queue and worker on the
// simulated platform: their folders emptied and kept, the history store asked to clear, and
// the typed addresses overwritten and then deleted.
#include "engine/browser_erase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine/known_folders.h"
#include "platform/registry_values.h"
#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

constexpr wchar_t kHistory[] = L"C:\\Users\\me\\History";
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);  // E_NOTIMPL

std::vector<uint8_t> Utf16z(const std::wstring& text) {
    std::vector<uint8_t> bytes;
    AppendUtf16(&bytes, text);
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

class BrowserEraseTest : public ::testing::Test {
protected:
    // The harness runs on CSimPlatform, whose registry and shell these are.
    CSimRegistry& Registry() { return m_h.SimPlatform().Registry(); }
    CSimShell& Shell() { return m_h.SimPlatform().Shell(); }

    void AddTypedUrl(const std::wstring& name, std::vector<uint8_t> data) {
        Registry().PutValue(RegistryRoot::kCurrentUser, kTypedUrlsKey, name, REG_SZ,
                            std::move(data));
    }
    void AddTree(const std::wstring& folder) {
        m_h.Sim().AddFile(folder + L"\\index.dat", std::string(6000, 'i'));
        m_h.Sim().AddFile(folder + L"\\sub\\page.htm", "<html>");
        m_h.Sim().AddFolder(folder + L"\\sub\\empty");
    }
    // What is left in `folder`, or "missing" when the folder itself is gone.
    std::vector<std::wstring> Left(const std::wstring& folder) {
        if (!m_h.Sim().Exists(folder)) {
            return {L"missing"};
        }
        std::vector<std::wstring> names;
        std::unique_ptr<IFindHandle> find;
        FindData entry;
        uint32_t rc = m_h.Sim().FindFirst(folder + L"\\*", &find, &entry);
        for (; rc == ERROR_SUCCESS; rc = find->Next(&entry)) {
            if (entry.name != L"." && entry.name != L"..") {
                names.push_back(entry.name);
            }
        }
        return names;
    }
    template <class T>
    RunOutcome Erase(const std::wstring& path, int32_t enabled = 1) {
        T operation = MakeOperation<T>(path, kNcsc);
        SetEnabled(&operation, enabled);
        return m_h.Run(operation);
    }
    template <class T>
    static void SetEnabled(T* operation, int32_t enabled) {
        operation->m_enabled = enabled;
    }
    static void SetEnabled(CEraseWindowsTemp*, int32_t) {}

    CEngineHarness m_h;
};

TEST_F(BrowserEraseTest, TypedAddressesAreBlankedInPlaceThenDeletedLastFirst) {
    AddTree(kHistory);
    const std::vector<std::wstring> names = {L"url1", L"url2", L"url3"};
    const std::vector<std::wstring> urls = {L"http://a.example/", L"http://b.example/a/longer/path",
                                            L"c.org"};
    for (size_t i = 0; i < names.size(); ++i) {
        AddTypedUrl(names[i], Utf16z(urls[i]));
    }
    Registry().PutValue(RegistryRoot::kCurrentUser, L"Software\\Other", L"url1", REG_SZ,
                        Utf16z(L"not typed"));

    const RunOutcome outcome = Erase<CEraseInternetHistory>(kHistory);
    EXPECT_EQ(outcome.status, StatusCompleted);
    EXPECT_EQ(Left(kHistory), std::vector<std::wstring>{});
    EXPECT_EQ(Shell().ClearUrlHistoryCalls(), 1u);

    const std::vector<SimRegistryWrite> journal = Registry().Journal();
    ASSERT_EQ(journal.size(), 6u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(journal[i].change, SimRegistryChange::kSet);
        EXPECT_EQ(journal[i].keyPath, kTypedUrlsKey);
        EXPECT_EQ(journal[i].name, names[i]);
        EXPECT_EQ(journal[i].value.type, REG_SZ);
        // Spaces of the address's own length; its terminator stays.
        EXPECT_EQ(journal[i].value.data, Utf16z(std::wstring(urls[i].size(), L' ')));
        EXPECT_EQ(journal[3 + i].change, SimRegistryChange::kDelete);
        EXPECT_EQ(journal[3 + i].name, names[2 - i]);
    }
    EXPECT_TRUE(Registry().KeyExists(RegistryRoot::kCurrentUser, kTypedUrlsKey));
    RegistryValue value;
    EXPECT_FALSE(Registry().GetValue(RegistryRoot::kCurrentUser, kTypedUrlsKey, L"url1", &value));
    EXPECT_TRUE(
        Registry().GetValue(RegistryRoot::kCurrentUser, L"Software\\Other", L"url1", &value));
}

TEST_F(BrowserEraseTest, ValuesTooShortToBlankAreNotWrittenButStillDeleted) {
    AddTypedUrl(L"zero", {});
    AddTypedUrl(L"one", {'x'});
    AddTypedUrl(L"odd", {'a', 0, 'b', 0, 'c'});  // two characters and half of a third

    const RunOutcome outcome = Erase<CEraseInternetHistory>(kHistory + std::wstring(L"\\none"));
    EXPECT_EQ(outcome.status, StatusFailedOther);  // the folder does not exist

    const std::vector<SimRegistryWrite> journal = Registry().Journal();
    ASSERT_EQ(journal.size(), 4u);
    EXPECT_EQ(journal[0].change, SimRegistryChange::kSet);
    EXPECT_EQ(journal[0].name, L"odd");
    EXPECT_EQ(journal[0].value.data, (std::vector<uint8_t>{' ', 0, 'b', 0, 'c'}));
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(journal[i].change, SimRegistryChange::kDelete);
    }
    EXPECT_EQ(journal[1].name, L"odd");
    EXPECT_EQ(journal[2].name, L"one");
    EXPECT_EQ(journal[3].name, L"zero");
}

TEST_F(BrowserEraseTest, EachFailedStepFailsTheEraseWithoutStoppingTheOthers) {
    // No typed-address key: the files and the history store are still cleared.
    AddTree(kHistory);
    RunOutcome outcome = Erase<CEraseInternetHistory>(kHistory);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(Left(kHistory), std::vector<std::wstring>{});
    EXPECT_EQ(Shell().ClearUrlHistoryCalls(), 1u);
    EXPECT_FALSE(Registry().KeyExists(RegistryRoot::kCurrentUser, kTypedUrlsKey));

    // The history store refuses: the typed addresses are still cleared.
    AddTree(kHistory);
    AddTypedUrl(L"url1", Utf16z(L"http://a.example/"));
    Shell().SetClearUrlHistoryResult(kNotImplemented);
    outcome = Erase<CEraseInternetHistory>(kHistory);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_EQ(Left(kHistory), std::vector<std::wstring>{});
    EXPECT_EQ(Shell().ClearUrlHistoryCalls(), 2u);
    RegistryValue value;
    EXPECT_FALSE(Registry().GetValue(RegistryRoot::kCurrentUser, kTypedUrlsKey, L"url1", &value));

    // The key's sizes cannot be read: nothing is written.
    Shell().SetClearUrlHistoryResult(0);
    AddTypedUrl(L"url1", Utf16z(L"http://a.example/"));
    Registry().ClearJournal();
    Registry().FailCall(SimRegistryCall::kQueryInfo, ERROR_ACCESS_DENIED);
    outcome = Erase<CEraseInternetHistory>(kHistory);
    EXPECT_EQ(outcome.status, StatusFailedOther);
    EXPECT_TRUE(Registry().Journal().empty());
}

TEST_F(BrowserEraseTest, BrowserErasesNotEnabledTouchNothing) {
    AddTree(kHistory);
    AddTypedUrl(L"url1", Utf16z(L"http://a.example/"));
    m_h.Sim().ClearJournal();
    EXPECT_EQ(Erase<CEraseInternetHistory>(kHistory, 0).status, StatusFailedOther);
    EXPECT_EQ(Erase<CEraseInternetTemp>(kHistory, 0).status, StatusFailedOther);
    EXPECT_EQ(Erase<CEraseInternetCookies>(kHistory, 2).status, StatusFailedOther);
    EXPECT_TRUE(m_h.Sim().Journal().empty());
    EXPECT_EQ(m_h.Sim().CallCount(SimCall::kFindFirst), 0u);
    EXPECT_TRUE(Registry().Journal().empty());
    EXPECT_EQ(Shell().ClearUrlHistoryCalls(), 0u);
    EXPECT_EQ(Left(kHistory).size(), 2u);
}

TEST_F(BrowserEraseTest, TemporaryFoldersAreEmptiedAndKept) {
    const std::wstring temp = L"C:\\Users\\me\\Temp";
    const std::wstring cache = L"C:\\Users\\me\\Cache";
    const std::wstring cookies = L"C:\\Users\\me\\Cookies";
    for (const std::wstring& folder : {temp, cache, cookies}) {
        AddTree(folder);
    }
    m_h.Sim().AddFile(L"C:\\Users\\me\\beside.txt", "beside");

    // Estimated like any tree: every byte once per pass.
    CEraseWindowsTemp estimate = MakeOperation<CEraseWindowsTemp>(temp, kNcsc);
    estimate.m_platform = m_h.Platform();
    estimate.EstimateWork();
    EXPECT_EQ(estimate.m_bytesToWrite, 6006u * 3);
    EXPECT_EQ(estimate.m_fileCount, 2u);

    EXPECT_EQ(Erase<CEraseWindowsTemp>(temp).status, StatusCompleted);
    EXPECT_EQ(Erase<CEraseInternetTemp>(cache).status, StatusCompleted);
    EXPECT_EQ(Erase<CEraseInternetCookies>(cookies).status, StatusCompleted);
    for (const std::wstring& folder : {temp, cache, cookies}) {
        EXPECT_EQ(Left(folder), std::vector<std::wstring>{})
            << std::string(folder.begin(), folder.end());
    }
    EXPECT_EQ(m_h.Sim().ReadAll(L"C:\\Users\\me\\beside.txt"), "beside");

    // An unresolved folder fails without listing anything, and estimates to nothing.
    const uint32_t listings = m_h.Sim().CallCount(SimCall::kFindFirst);
    EXPECT_EQ(Erase<CEraseWindowsTemp>(L"").status, StatusFailedOther);
    EXPECT_EQ(Erase<CEraseInternetTemp>(L"").status, StatusFailedOther);
    EXPECT_EQ(m_h.Sim().CallCount(SimCall::kFindFirst), listings);
    estimate.m_path.clear();
    estimate.EstimateWork();
    EXPECT_EQ(estimate.m_bytesToWrite, 0u);
}

TEST(KnownFoldersTest, ResolvedPerOwnerWithBrowsersThatExistAndVariablesThatFit) {
    CSimPlatform platform;
    CSimFileSystem& fs = platform.FileSystem();
    fs.AddVolume(L'C', kVolumeC, 512, 8, 4096);
    CSimShell& shell = platform.Shell();
    const std::wstring me = L"C:\\Users\\me";
    const std::wstring def = L"C:\\Users\\Default";
    const FolderOwner current = FolderOwner::kCurrentUser;
    const FolderOwner defaultUser = FolderOwner::kDefaultUser;
    shell.SetFolder(kCsidlWindows, current, L"C:\\Windows");
    shell.SetFolder(kCsidlSystem, current, L"C:\\Windows\\system32");
    shell.SetFolder(kCsidlCommonStartMenu, current,
                    L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu");
    for (const auto& owned : {std::make_pair(current, me), std::make_pair(defaultUser, def)}) {
        shell.SetFolder(kCsidlStartMenu, owned.first, owned.second + L"\\Start Menu");
        shell.SetFolder(kCsidlDesktopDirectory, owned.first, owned.second + L"\\Desktop");
        shell.SetFolder(kCsidlPersonal, owned.first, owned.second + L"\\Documents");
        shell.SetFolder(kCsidlAppData, owned.first, owned.second + L"\\AppData\\Roaming");
        shell.SetFolder(kCsidlProfile, owned.first, owned.second);
    }
    shell.SetFolder(kCsidlLocalAppData, current, me + L"\\AppData\\Local");
    shell.SetFolder(kCsidlHistory, current, me + L"\\History");
    shell.SetVariable(L"TEMP", L"C:\\" + std::wstring(260, L't'));
    shell.SetVariable(L"TMP", me + L"\\Temp");
    fs.AddFolder(me + L"\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles");
    fs.AddFolder(me + L"\\AppData\\Local\\Google\\Chrome\\User Data\\Default");
    fs.AddFolder(def + L"\\AppData\\Local\\Apple Computer\\Safari");  // another user's

    const KnownFolderTable table = ResolveKnownFolders(&shell, &fs);
    EXPECT_EQ(table.windows, L"C:\\Windows");
    EXPECT_EQ(table.startMenu, me + L"\\Start Menu");
    EXPECT_EQ(table.defaultStartMenu, def + L"\\Start Menu");
    EXPECT_EQ(table.commonStartMenuParent, L"C:\\ProgramData\\Microsoft\\Windows");
    EXPECT_EQ(table.defaultDesktop, def + L"\\Desktop");
    EXPECT_EQ(table.defaultDocuments, def + L"\\Documents");
    EXPECT_EQ(table.defaultAppData, def + L"\\AppData\\Roaming");
    EXPECT_EQ(table.defaultProfile, def);
    EXPECT_EQ(table.profile, me);
    EXPECT_EQ(table.history, me + L"\\History");
    EXPECT_EQ(table.cookies, L"");  // not set: unresolved
    EXPECT_EQ(
        table.browserFolders,
        (std::vector<std::wstring>{L"", me + L"\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles", L"",
                                   me + L"\\AppData\\Local\\Google\\Chrome\\User Data\\Default",
                                   L"", L"", L"", L""}));
    EXPECT_EQ(table.temp, L"");  // too long for the buffer
    EXPECT_EQ(table.tmp, me + L"\\Temp");

    // Everything but the Windows and system folders is protected.
    const std::vector<const std::wstring*> entries = table.ProtectedEntries();
    std::set<std::wstring> protectedPaths;
    for (const std::wstring* entry : entries) {
        EXPECT_NE(entry, &table.windows);
        EXPECT_NE(entry, &table.system);
        protectedPaths.insert(*entry);
    }
    EXPECT_EQ(entries.size(), 30u);
    for (const std::wstring& path :
         {table.tmp, table.defaultProfile, table.commonStartMenuParent, table.browserFolders[3]}) {
        EXPECT_EQ(protectedPaths.count(path), 1u) << std::string(path.begin(), path.end());
    }
}

}  // namespace
}  // namespace qmz
