#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/method_table.h"
#include "tests/settings/settings_test_fixture.h"

namespace qmz {
namespace {

const ScreenRect kWorkArea{0, 0, 1920, 1040};
const WindowSize kMinimumSize{640, 480};

// ---- Defaults and the untouched registry ------------------------------------------------

TEST_F(SettingsStoreTest, EmptyRegistryGivesTheDefaultsAndStaysEmpty) {
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.EraseMethod, 0);
    EXPECT_EQ(settings.EffectiveMethod, &MethodTable[0]);  // the entry itself, not the slot
    EXPECT_EQ(settings.PassCount, 1);
    EXPECT_EQ(settings.EffectiveMethod->PassCodes[0], 0x00u);
    EXPECT_EQ(settings.QuickValue, 0);
    EXPECT_EQ(settings.QuickCount, 1);
    EXPECT_EQ(settings.Verify, 0);
    EXPECT_EQ(settings.Autorun, 0);
    EXPECT_EQ(settings.Logging, 0);
    EXPECT_EQ(settings.LogFile, L"C:\\Users\\tester\\Documents\\QMZ4_log.csv");
    EXPECT_EQ(settings.IncludeSuperHidden, 1);
    EXPECT_EQ(settings.EnableShellExtension, 0);
    EXPECT_EQ(settings.AllUsersRecycleBin, 0);
    EXPECT_EQ(settings.IncludeNetworkDrives, 0);
    EXPECT_EQ(settings.Language, 0);

    LatestRecord latest = m_store.LoadLatest(kWorkArea, kMinimumSize);
    EXPECT_EQ(latest.BrowseFolder, kDocuments);
    EXPECT_EQ(latest.Placement.Left, 50);
    EXPECT_EQ(latest.Placement.Top, 50);
    EXPECT_EQ(latest.Placement.Width, 640);
    EXPECT_EQ(latest.Placement.Height, 480);

    // Reading creates no key.
    EXPECT_EQ(m_registry.KeyCount(), 0u);
    EXPECT_EQ(CSettingsStore::ReadLanguage(&m_registry), 0);
    EXPECT_EQ(m_registry.KeyCount(), 0u);
}

TEST_F(SettingsStoreTest, StoredValuesAreRead) {
    PutSetting(L"Autorun", 1);
    PutSetting(L"Logging", 1);
    PutSetting(L"LogFile", REG_SZ, Utf16Bytes(L"D:\\ログ\\erase.log"));
    PutSetting(L"IncludeSuperHidden", 0);
    PutSetting(L"AllUsersRecycleBin", 1);
    PutSetting(L"IncludeNetworkDrives", 1);
    PutSetting(L"Language", 1033);
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.Autorun, 1);
    EXPECT_EQ(settings.Logging, 1);
    EXPECT_EQ(settings.LogFile, L"D:\\ログ\\erase.log");
    EXPECT_EQ(settings.IncludeSuperHidden, 0);
    EXPECT_EQ(settings.AllUsersRecycleBin, 1);
    EXPECT_EQ(settings.IncludeNetworkDrives, 1);
    EXPECT_EQ(settings.Language, 1033);
}

// ---- Damaged values read as their defaults ----------------------------------------------

struct DamagedValue {
    const char* label;
    uint32_t type;
    std::vector<uint8_t> data;
};

class SettingsDamagedIntTest : public SettingsStoreTest,
                               public ::testing::WithParamInterface<DamagedValue> {};

TEST_P(SettingsDamagedIntTest, IntegerReadsAsDefault) {
    const DamagedValue& damaged = GetParam();
    for (const wchar_t* name :
         {L"EraseMethod", L"QuickCount", L"IncludeSuperHidden", L"Language"}) {
        PutSetting(name, damaged.type, damaged.data);
    }
    PutLatest(L"Left", 10);
    m_registry.PutValue(RegistryRoot::kCurrentUser, kLatestKey, L"Width", damaged.type,
                        damaged.data);
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.EraseMethod, 0);
    EXPECT_EQ(settings.QuickCount, 1);
    EXPECT_EQ(settings.IncludeSuperHidden, 1);
    EXPECT_EQ(settings.Language, 0);
    EXPECT_EQ(settings.EffectiveMethod, &MethodTable[0]);
    EXPECT_EQ(CSettingsStore::ReadLanguage(&m_registry), 0);
    // Width 0 discards the saved placement.
    EXPECT_EQ(m_store.LoadLatest(kWorkArea, kMinimumSize).Placement.Left, 50);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SettingsDamagedIntTest,
    ::testing::Values(DamagedValue{"StringHoldingANumber", REG_SZ, Utf16Bytes(L"5")},
                      DamagedValue{"TwoByteDword", REG_DWORD, {5, 0}},
                      DamagedValue{"EightByteDword", REG_DWORD, {5, 0, 0, 0, 0, 0, 0, 0}},
                      DamagedValue{"EmptyDword", REG_DWORD, {}},
                      DamagedValue{"Binary", REG_BINARY, {5, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<DamagedValue>& info) { return info.param.label; });

class SettingsDamagedStringTest : public SettingsStoreTest,
                                  public ::testing::WithParamInterface<DamagedValue> {};

TEST_P(SettingsDamagedStringTest, StringReadsAsDefault) {
    const DamagedValue& damaged = GetParam();
    PutSetting(L"LogFile", damaged.type, damaged.data);
    m_registry.PutValue(RegistryRoot::kCurrentUser, kLatestKey, L"BrowseFolder", damaged.type,
                        damaged.data);
    EXPECT_EQ(Load().LogFile, L"C:\\Users\\tester\\Documents\\QMZ4_log.csv");
    EXPECT_EQ(m_store.LoadLatest(kWorkArea, kMinimumSize).BrowseFolder, kDocuments);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SettingsDamagedStringTest,
    ::testing::Values(DamagedValue{"OddByteCount", REG_SZ, {'D', 0, ':', 0, 0, 0, 0}},
                      DamagedValue{"Empty", REG_SZ, {}},
                      DamagedValue{"Dword", REG_DWORD, DwordBytes(7)},
                      DamagedValue{"Binary", REG_BINARY, Utf16Bytes(L"D:\\x.log")},
                      DamagedValue{"Huge", REG_SZ,
                                   Utf16Bytes(std::wstring(kMaxRegistryStringChars + 1, L'a'))}),
    [](const ::testing::TestParamInfo<DamagedValue>& info) { return info.param.label; });

TEST_F(SettingsStoreTest, StringStoredWithoutTerminatorIsTakenWhole) {
    PutSetting(L"LogFile", REG_SZ, Utf16Bytes(L"D:\\x.log", false));
    EXPECT_EQ(Load().LogFile, L"D:\\x.log");
}

TEST_F(SettingsStoreTest, StringEndsAtItsFirstTerminatorAndTheLongestIsAccepted) {
    PutSetting(L"LogFile", REG_SZ, Utf16Bytes(std::wstring(L"D:\\a.csv\0junk", 13)));
    EXPECT_EQ(Load().LogFile, L"D:\\a.csv");
    std::wstring longest(kMaxRegistryStringChars, L'b');
    PutSetting(L"LogFile", REG_SZ, Utf16Bytes(longest));
    EXPECT_EQ(Load().LogFile, longest);
}

TEST_F(SettingsStoreTest, DwordsAreSigned) {
    PutLatest(L"Left", -8);
    PutLatest(L"Top", 10);
    PutLatest(L"Width", 800);
    PutLatest(L"Height", 600);
    WindowPlacement placement = m_store.LoadLatest(kWorkArea, kMinimumSize).Placement;
    EXPECT_EQ(placement.Left, 50);  // -8, not 4294967288: the whole placement is discarded
    EXPECT_EQ(placement.Top, 50);
    EXPECT_EQ(placement.Width, 640);
    EXPECT_EQ(placement.Height, 480);
}

TEST_F(SettingsStoreTest, ReadFailuresGiveDefaults) {
    PutSetting(L"Logging", 1);
    PutSetting(L"Autorun", 1);
    m_registry.FailCall(SimRegistryCall::kQueryValue, ERROR_ACCESS_DENIED, 1, false, L"Logging");
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.Logging, 0);
    EXPECT_EQ(settings.Autorun, 1);  // the other values are still read

    m_registry.FailCall(SimRegistryCall::kOpenKey, ERROR_ACCESS_DENIED, 1, false, kSettingsKey);
    EXPECT_EQ(Load().Autorun, 0);
}

TEST_F(SettingsStoreTest, ReadLanguageTakesOnlyADword) {
    PutSetting(L"Language", 1041);
    EXPECT_EQ(CSettingsStore::ReadLanguage(&m_registry), 1041);
    PutSetting(L"Language", REG_SZ, Utf16Bytes(L"1041"));
    EXPECT_EQ(CSettingsStore::ReadLanguage(&m_registry), 0);
}

// ---- The shell-extension flag -----------------------------------------------------------

TEST_F(SettingsStoreTest, ShellExtensionFlagFollowsTheHandlerRegistration) {
    PutSetting(L"EnableShellExtension", 1);  // written only, never believed
    EXPECT_EQ(Load().EnableShellExtension, 0);

    RegisterShellExtension();
    EXPECT_EQ(Load().EnableShellExtension, 1);

    m_registry.FailCall(SimRegistryCall::kOpenKey, ERROR_ACCESS_DENIED, 1, false,
                        kShellExtensionHandlerKey);
    EXPECT_EQ(Load().EnableShellExtension, 0);  // present but not readable
}

// ---- Saving -----------------------------------------------------------------------------

std::vector<std::wstring> JournalNames(const CSimRegistry& registry) {
    std::vector<std::wstring> names;
    for (const SimRegistryWrite& write : registry.Journal()) {
        names.push_back(write.name);
    }
    return names;
}

TEST_F(SettingsStoreTest, SaveSettingsWritesEveryValueInOrderWithItsType) {
    m_store.SaveSettings(Load());
    const std::vector<std::wstring> expected = {L"EraseMethod",
                                                L"QuickValue",
                                                L"QuickCount",
                                                L"Verify",
                                                L"Autorun",
                                                L"Logging",
                                                L"LogFile",
                                                L"IncludeSuperHidden",
                                                L"EnableShellExtension",
                                                L"AllUsersRecycleBin",
                                                L"IncludeNetworkDrives",
                                                L"Language"};
    EXPECT_EQ(JournalNames(m_registry), expected);
    for (const SimRegistryWrite& write : m_registry.Journal()) {
        EXPECT_EQ(write.root, RegistryRoot::kCurrentUser);
        EXPECT_EQ(write.keyPath, kSettingsKey);
        EXPECT_EQ(write.value.type, write.name == L"LogFile" ? REG_SZ : REG_DWORD);
    }
}

TEST_F(SettingsStoreTest, SaveLatestWritesItsFiveValuesInOrder) {
    m_store.SaveLatest(L"E:\\pictures", WindowPlacement{-8, 20, 800, 600});
    const std::vector<std::wstring> expected = {L"BrowseFolder", L"Left", L"Top", L"Width",
                                                L"Height"};
    EXPECT_EQ(JournalNames(m_registry), expected);
    EXPECT_EQ(m_registry.Journal()[0].keyPath, kLatestKey);
    EXPECT_EQ(m_registry.Journal()[1].value.data, DwordBytes(0xFFFFFFF8u));
}

TEST_F(SettingsStoreTest, WriteFailuresAreIgnored) {
    m_registry.FailCall(SimRegistryCall::kSetValue, ERROR_ACCESS_DENIED, 1, false, L"QuickCount");
    m_store.SaveSettings(Load());
    EXPECT_EQ(m_registry.Journal().size(), 11u);  // the rest still written

    m_registry.ClearJournal();
    m_registry.FailCall(SimRegistryCall::kCreateKey, ERROR_ACCESS_DENIED, 1, true);
    m_store.SaveSettings(Load());
    m_store.SaveLatest(kDocuments, WindowPlacement{1, 2, 3, 4});
    EXPECT_TRUE(m_registry.Journal().empty());
}

bool SameSettings(const SettingsRecord& a, const SettingsRecord& b) {
    return a.EraseMethod == b.EraseMethod && a.QuickValue == b.QuickValue &&
           a.QuickCount == b.QuickCount && a.PassCount == b.PassCount && a.Verify == b.Verify &&
           a.Autorun == b.Autorun && a.Logging == b.Logging && a.LogFile == b.LogFile &&
           a.IncludeSuperHidden == b.IncludeSuperHidden &&
           a.EnableShellExtension == b.EnableShellExtension &&
           a.AllUsersRecycleBin == b.AllUsersRecycleBin &&
           a.IncludeNetworkDrives == b.IncludeNetworkDrives && a.Language == b.Language &&
           a.EffectiveMethod == b.EffectiveMethod;
}

TEST_F(SettingsStoreTest, SavedSettingsLoadBackUnchanged) {
    RegisterShellExtension();
    PutSetting(L"QuickValue", 0xA5);
    PutSetting(L"QuickCount", 3);
    PutSetting(L"Verify", 2);
    PutSetting(L"Autorun", 1);
    PutSetting(L"Logging", 1);
    PutSetting(L"LogFile", REG_SZ, Utf16Bytes(L"\\\\server\\share\\消去ログ.txt"));
    PutSetting(L"IncludeSuperHidden", 0);
    PutSetting(L"AllUsersRecycleBin", 1);
    PutSetting(L"IncludeNetworkDrives", 1);
    PutSetting(L"Language", 2052);
    SettingsRecord first = Load();
    ASSERT_EQ(first.PassCount, 4);

    CSimRegistry fresh;
    fresh.PutKey(RegistryRoot::kClassesRoot, kShellExtensionHandlerKey);
    CSettingsStore other(&fresh, kDocuments);
    other.SaveSettings(first);
    EXPECT_TRUE(SameSettings(other.LoadSettings(), first));

    const WindowPlacement placement{100, 120, 900, 700};
    other.SaveLatest(L"F:\\最近", placement);
    LatestRecord latest = other.LoadLatest(kWorkArea, kMinimumSize);
    EXPECT_EQ(latest.BrowseFolder, L"F:\\最近");
    EXPECT_EQ(latest.Placement.Left, 100);
    EXPECT_EQ(latest.Placement.Top, 120);
    EXPECT_EQ(latest.Placement.Width, 900);
    EXPECT_EQ(latest.Placement.Height, 700);
}

}  // namespace
}  // namespace qmz
