// The COM registry entries of both deliverables, written and removed on the simulated
// registry: exact keys and values, stale entries replaced, shared parents kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_registry.h"
#include "registration/com_ids.h"
#include "registration/server_scripts.h"

namespace qmz {
namespace {

constexpr RegistryRoot kClasses = RegistryRoot::kClassesRoot;
const std::wstring kApproved =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

struct Expected {
    RegistryRoot root;
    std::wstring key;
    std::wstring name;
    std::wstring text;
};

std::vector<uint8_t> Utf16z(const std::wstring& text) {
    std::vector<uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

void ExpectValues(const CSimRegistry& registry, const std::vector<Expected>& expected) {
    for (const Expected& entry : expected) {
        RegistryValue value;
        ASSERT_TRUE(registry.GetValue(entry.root, entry.key, entry.name, &value))
            << std::string(entry.key.begin(), entry.key.end());
        EXPECT_EQ(value.type, static_cast<uint32_t>(REG_SZ));
        EXPECT_EQ(value.data, Utf16z(entry.text))
            << std::string(entry.key.begin(), entry.key.end());
    }
}

TEST(RegistrationTest, MainProgramWritesExactlyItsEntriesAndRemovesThemAllButTheCLSIDParent) {
    CSimRegistry registry;
    const std::wstring classKey = std::wstring(L"CLSID\\") + kMainAutoClassId;
    // A stale server key of an older install and another program's class.
    registry.PutValue(kClasses, classKey + L"\\InprocServer32", L"", REG_SZ, Utf16z(L"old.dll"));
    registry.PutValue(kClasses, L"CLSID\\{Other}", L"", REG_SZ, Utf16z(L"other"));
    const size_t before = 4;  // CLSID, the stale class key and its child, {Other}
    ASSERT_EQ(registry.KeyCount(), before);

    const std::wstring program = L"C:\\Program Files\\QMZ4\\QMZ4.exe";
    ASSERT_EQ(ApplyRegistryScript(&registry, MainAutoScript(program)), ERROR_SUCCESS);
    ExpectValues(registry,
                 {{kClasses, L"QMZ4.QMZ4MainAuto.1", L"", L"QMZ4MainAuto Class"},
                  {kClasses, L"QMZ4.QMZ4MainAuto.1\\CLSID", L"", kMainAutoClassId},
                  {kClasses, L"QMZ4.QMZ4MainAuto", L"", L"QMZ4MainAuto Class"},
                  {kClasses, L"QMZ4.QMZ4MainAuto\\CLSID", L"", kMainAutoClassId},
                  {kClasses, L"QMZ4.QMZ4MainAuto\\CurVer", L"", L"QMZ4.QMZ4MainAuto.1"},
                  {kClasses, classKey, L"", L"QMZ4MainAuto Class"},
                  {kClasses, classKey, L"AppID", kQmz4AppId},
                  {kClasses, classKey + L"\\ProgID", L"", L"QMZ4.QMZ4MainAuto.1"},
                  {kClasses, classKey + L"\\VersionIndependentProgID", L"", L"QMZ4.QMZ4MainAuto"},
                  {kClasses, classKey + L"\\LocalServer32", L"", L"\"" + program + L"\""},
                  {kClasses, classKey + L"\\TypeLib", L"", kQmz4LibraryId}});
    EXPECT_TRUE(registry.KeyExists(kClasses, classKey + L"\\Programmable"));
    EXPECT_FALSE(registry.KeyExists(kClasses, classKey + L"\\InprocServer32"));
    // 5 ProgID keys; the class key with 5 children; CLSID and {Other} were there.
    EXPECT_EQ(registry.KeyCount(), 5u + 6u + 2u);

    ASSERT_EQ(ApplyRegistryScript(&registry, ProxyClassScript(program)), ERROR_SUCCESS);
    ExpectValues(registry,
                 {{kClasses, L"QMZ4.Application\\CLSID", L"", kProxyClassId},
                  {kClasses, std::wstring(L"CLSID\\") + kProxyClassId + L"\\LocalServer32", L"",
                   L"\"" + program + L"\""}});

    ASSERT_EQ(RemoveRegistryScript(&registry, MainAutoScript(program)), ERROR_SUCCESS);
    ASSERT_EQ(RemoveRegistryScript(&registry, ProxyClassScript(program)), ERROR_SUCCESS);
    EXPECT_EQ(registry.KeyCount(), 2u);
    EXPECT_TRUE(registry.KeyExists(kClasses, L"CLSID\\{Other}"));
    // Removing twice is no failure.
    EXPECT_EQ(RemoveRegistryScript(&registry, MainAutoScript(program)), ERROR_SUCCESS);
}

TEST(RegistrationTest, ShellExtensionHandlersAreApprovedAndLeaveSharedKeysBehind) {
    CSimRegistry registry;
    // What Windows and other programs already have there.
    registry.PutValue(kClasses, L"*\\ShellEx\\ContextMenuHandlers\\Other", L"", REG_SZ,
                      Utf16z(L"{Other}"));
    registry.PutValue(RegistryRoot::kLocalMachine, kApproved, L"{Other}", REG_SZ, Utf16z(L"x"));
    // A stale handler key of ours with a leftover child.
    registry.PutKey(kClasses, L"Drive\\ShellEx\\ContextMenuHandlers\\QMZ4shellext\\Stale");
    const std::wstring dll = L"C:\\Program Files\\QMZ4\\QMZ4shellext.dll";

    const RegistryScript scripts[] = {ShellextAppIdScript(), MenuHandlerScript(dll),
                                      RecycleBinHandlerScript(dll)};
    for (const RegistryScript& script : scripts) {
        ASSERT_EQ(ApplyRegistryScript(&registry, script), ERROR_SUCCESS);
    }
    const std::wstring menuKey = std::wstring(L"CLSID\\") + kMenuClassId;
    const std::wstring binKey = std::wstring(L"CLSID\\") + kRecycleBinMenuClassId;
    std::vector<Expected> expected = {
        {kClasses, std::wstring(L"AppID\\") + kShellextAppId, L"", L"QMZ4shellext"},
        {kClasses, L"AppID\\QMZ4shellext.DLL", L"AppID", kShellextAppId},
        {kClasses, L"QMZ4shellext.QMZ4menu\\CurVer", L"", L"QMZ4shellext.QMZ4menu.1"},
        {kClasses, L"QMZ4shellext.QMZ4rbmenu.1\\CLSID", L"", kRecycleBinMenuClassId},
        {kClasses, menuKey, L"", L"QMZ4menu Class"},
        {kClasses, menuKey, L"AppID", kShellextAppId},
        {kClasses, menuKey + L"\\InprocServer32", L"", dll},
        {kClasses, menuKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {kClasses, menuKey + L"\\TypeLib", L"", kShellextLibraryId},
        {kClasses, binKey + L"\\VersionIndependentProgID", L"", L"QMZ4shellext.QMZ4rbmenu"},
        {kClasses,
         std::wstring(L"CLSID\\") + kRecycleBinClassId +
             L"\\ShellEx\\ContextMenuHandlers\\QMZ4shellext",
         L"", kRecycleBinMenuClassId},
        {RegistryRoot::kLocalMachine, kApproved, kMenuClassId, L"QMZ4shellext"},
        {RegistryRoot::kLocalMachine, kApproved, kRecycleBinMenuClassId, L"QMZ4shellext"}};
    for (const wchar_t* handled : {L"*", L"Folder", L"lnkfile", L"Drive"}) {
        expected.push_back({kClasses,
                            std::wstring(handled) + L"\\ShellEx\\ContextMenuHandlers\\QMZ4shellext",
                            L"", kMenuClassId});
    }
    ExpectValues(registry, expected);
    EXPECT_FALSE(
        registry.KeyExists(kClasses, L"Drive\\ShellEx\\ContextMenuHandlers\\QMZ4shellext\\Stale"));

    for (auto script = std::rbegin(scripts); script != std::rend(scripts); ++script) {
        ASSERT_EQ(RemoveRegistryScript(&registry, *script), ERROR_SUCCESS);
    }
    for (const wchar_t* handled : {L"*", L"Folder", L"lnkfile", L"Drive"}) {
        const std::wstring handlers = std::wstring(handled) + L"\\ShellEx\\ContextMenuHandlers";
        EXPECT_TRUE(registry.KeyExists(kClasses, handlers));
        EXPECT_FALSE(registry.KeyExists(kClasses, handlers + L"\\QMZ4shellext"));
    }
    EXPECT_TRUE(registry.KeyExists(kClasses, L"*\\ShellEx\\ContextMenuHandlers\\Other"));
    EXPECT_TRUE(registry.KeyExists(kClasses, L"AppID"));
    EXPECT_FALSE(registry.KeyExists(kClasses, L"AppID\\QMZ4shellext.DLL"));
    EXPECT_FALSE(registry.KeyExists(kClasses, menuKey));
    EXPECT_FALSE(registry.KeyExists(kClasses, L"QMZ4shellext.QMZ4rbmenu"));
    RegistryValue value;
    EXPECT_FALSE(registry.GetValue(RegistryRoot::kLocalMachine, kApproved, kMenuClassId, &value));
    EXPECT_TRUE(registry.GetValue(RegistryRoot::kLocalMachine, kApproved, L"{Other}", &value));
}

TEST(RegistrationTest, AFailedWriteStopsTheRegistrationAndIsReported) {
    CSimRegistry registry;
    registry.FailCall(SimRegistryCall::kCreateKey, ERROR_ACCESS_DENIED, 1, false,
                      L"QMZ4.QMZ4MainAuto\\CurVer");
    EXPECT_EQ(ApplyRegistryScript(&registry, MainAutoScript(L"C:\\QMZ4.exe")), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(registry.KeyExists(kClasses, std::wstring(L"CLSID\\") + kMainAutoClassId));
    // A removal that cannot delete one key still removes the others.
    ASSERT_EQ(ApplyRegistryScript(&registry, MainAutoScript(L"C:\\QMZ4.exe")), ERROR_SUCCESS);
    registry.FailCall(SimRegistryCall::kDeleteKeyTree, ERROR_ACCESS_DENIED, 1, false,
                      L"QMZ4.QMZ4MainAuto");
    EXPECT_EQ(RemoveRegistryScript(&registry, MainAutoScript(L"C:\\QMZ4.exe")),
              ERROR_ACCESS_DENIED);
    EXPECT_TRUE(registry.KeyExists(kClasses, L"QMZ4.QMZ4MainAuto"));
    EXPECT_FALSE(registry.KeyExists(kClasses, std::wstring(L"CLSID\\") + kMainAutoClassId));
}

}  // namespace
}  // namespace qmz
