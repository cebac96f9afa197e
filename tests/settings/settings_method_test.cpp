// The method that a load puts into force, for the settings that shape it.
#include <gtest/gtest.h>

#include <vector>

#include "engine/method_table.h"
#include "tests/settings/settings_test_fixture.h"

namespace qmz {
namespace {

std::vector<uint32_t> Passes(const SettingsRecord& settings) {
    const MethodEntry& method = *settings.EffectiveMethod;
    return std::vector<uint32_t>(method.PassCodes, method.PassCodes + CountPasses(method));
}

class SettingsMethodTest : public SettingsStoreTest {};

TEST_F(SettingsMethodTest, MethodNumbersOutsideTheTableReadAsTheQuickMethod) {
    for (int32_t number : {27, 100, -1, INT32_MIN}) {
        PutSetting(L"EraseMethod", number);
        SettingsRecord settings = Load();
        EXPECT_EQ(settings.EraseMethod, 0) << number;
        EXPECT_EQ(settings.EffectiveMethod, &MethodTable[0]) << number;
    }
    PutSetting(L"EraseMethod", 26);  // not offered in the list, still accepted
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.EraseMethod, 26);
    EXPECT_EQ(settings.EffectiveMethod, &MethodTable[26]);
    EXPECT_EQ(settings.PassCount, 3);
}

TEST_F(SettingsMethodTest, CustomQuickMethodIsBuiltInTheSlot) {
    PutSetting(L"QuickValue", 0xA5);
    PutSetting(L"QuickCount", 3);
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.EffectiveMethod, ModifiedMethodSlot());
    EXPECT_EQ(Passes(settings), (std::vector<uint32_t>{0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(settings.PassCount, 3);
    EXPECT_EQ(settings.EffectiveMethod->ListPosition, 0);  // the quick line stays selected

    PutSetting(L"Verify", 1);
    settings = Load();
    EXPECT_EQ(Passes(settings), (std::vector<uint32_t>{0xA5, 0xA5, 0xA5, PassVerify}));
    EXPECT_EQ(settings.PassCount, 4);
}

TEST_F(SettingsMethodTest, EmptyQuickMethodGetsNoVerification) {
    PutSetting(L"QuickCount", 0);
    PutSetting(L"Verify", 1);
    SettingsRecord settings = Load();
    EXPECT_TRUE(Passes(settings).empty());
    EXPECT_EQ(settings.PassCount, 0);
}

TEST_F(SettingsMethodTest, MethodEndingInItsOwnVerificationGetsNothingMore) {
    PutSetting(L"EraseMethod", 1);
    PutSetting(L"Verify", 2);
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.EffectiveMethod, &MethodTable[1]);
    EXPECT_EQ(Passes(settings), (std::vector<uint32_t>{0x00, PassVerify}));
    EXPECT_EQ(settings.PassCount, 2);
}

TEST_F(SettingsMethodTest, VerificationIsAddedToACopyAndTheTableEntryKeepsItsList) {
    PutSetting(L"EraseMethod", 3);
    PutSetting(L"Verify", 2);
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.EffectiveMethod, ModifiedMethodSlot());
    EXPECT_EQ(Passes(settings), (std::vector<uint32_t>{0x00, 0xFF, 0xE5, PassVerifyOnePercent}));
    EXPECT_EQ(settings.PassCount, 4);
    EXPECT_EQ(CountPasses(MethodTable[3]), 3u);
    EXPECT_EQ(MethodTable[3].PassCodes[2], 0xE5u);
}

// Values no dialog would store: the pass list must stay within its slots and hold bytes only.
TEST_F(SettingsMethodTest, OutOfRangeQuickSettingsArePulledIntoRange) {
    PutSetting(L"QuickCount", 1000);
    PutSetting(L"QuickValue", 0x1A5);
    PutSetting(L"Verify", 1);
    SettingsRecord settings = Load();
    EXPECT_EQ(settings.QuickCount, 99);
    EXPECT_EQ(settings.QuickValue, 0xFF);
    std::vector<uint32_t> expected(99, 0xFF);
    expected.push_back(PassVerify);
    EXPECT_EQ(Passes(settings), expected);
    EXPECT_EQ(settings.PassCount, 100);
    EXPECT_EQ(settings.EffectiveMethod->PassCodes[100], PassListEnd);

    PutSetting(L"QuickCount", -1);
    PutSetting(L"QuickValue", -1);
    settings = Load();
    EXPECT_EQ(settings.QuickCount, 0);
    EXPECT_EQ(settings.QuickValue, 0);
    EXPECT_TRUE(Passes(settings).empty());

    PutSetting(L"QuickCount", INT32_MAX);
    PutSetting(L"QuickValue", 0xFFFF);  // would read as the end marker if taken as it stands
    settings = Load();
    EXPECT_EQ(settings.PassCount, 100);
    EXPECT_EQ(settings.EffectiveMethod->PassCodes[0], 0xFFu);
}

}  // namespace
}  // namespace qmz
