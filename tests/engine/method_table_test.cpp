#include "engine/method_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "resources/string_ids.h"
#include "settings/string_table.h"

namespace qmz {
namespace {

std::vector<uint32_t> Codes(const MethodEntry& entry) {
    return std::vector<uint32_t>(entry.PassCodes, entry.PassCodes + CountPasses(entry));
}

constexpr uint32_t R = PassRandom;
constexpr uint32_t V = PassVerify;

TEST(MethodTable, EveryEntryHasItsPassesLabelAndPosition) {
    struct Expected {
        uint32_t textId;
        int32_t listPosition;
        std::vector<uint32_t> codes;
    };
    const std::vector<Expected> expected = {
        {IDS_METHOD_QUICK, 0, {0x00}},
        {IDS_METHOD_HMG_IS5_BASELINE, 1, {0x00, V}},
        {IDS_METHOD_GOST_P50739_95, 2, {0x00, R}},
        {IDS_METHOD_NCSC, 3, {0x00, 0xFF, 0xE5}},
        {IDS_METHOD_US_ARMY, 4, {R, 0x00, 0xFF}},
        {IDS_METHOD_NSA, 5, {R, R, 0x00}},
        {IDS_METHOD_HMG_IS5_ENHANCED, 6, {0x00, 0xFF, R, V}},
        {IDS_METHOD_DOD_3_PASS, 7, {0x55, 0xAA, R, V}},
        {IDS_METHOD_US_NAVY, 8, {0x00, 0xFF, 0xE5, V}},
        {IDS_METHOD_SSD_SPECIAL, 9, {R, R, 0x20, 0x00}},
        {IDS_METHOD_NCSC_TWICE, 10, {0x00, 0xFF, 0xE5, 0xF6, 0x00, 0xFF}},
        {IDS_METHOD_RCMP_OPS_II, 11, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, R, V}},
        {IDS_METHOD_DOD_7_PASS, 12, {0xE5, 0x1A, R, R, 0xF6, 0x09, R}},
        {IDS_METHOD_SCHNEIER, 13, {0xFF, 0x00, R, R, R, R, R}},
        {IDS_METHOD_US_AIR_FORCE, 14, {0x00, 0xFF, 0xE5, 0xF6, 0x00, 0xFF, 0xE5, V}},
        {IDS_METHOD_NATO, 15, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, R}},
        {IDS_METHOD_VSITR, 16, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xAA}},
        {IDS_METHOD_GUTMANN, 17, {}},  // Gutmann: its own test
        {0, -2, {}},
        {IDS_METHOD_NOP_DEBUG, -3, {}},
        {IDS_METHOD_VERIFY_DEBUG, -4, {V}},
        {IDS_METHOD_DRIVE_SECURE_ERASE, -5, {PassDriveSecureErase}},
        {IDS_METHOD_DRIVE_SECURE_ERASE_ENHANCED, -6, {PassDriveSecureEraseEnhanced}},
        {IDS_METHOD_DRIVE_FORMAT_UNIT, -7, {PassDriveFormatUnit}},
        {IDS_METHOD_DRIVE_SANITIZE, -8, {PassDriveSanitize}},
        {IDS_METHOD_SECURE_COMBO, -9, {R, 0x00, PassDriveSecureErase}},
        {IDS_METHOD_SECURE_COMBO, -9, {R, 0x00, PassDriveSecureEraseEnhanced}},
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(kMethodCount));
    BuildEffectiveMethod(0, 0, 1, 0);  // leaves the slot as the table defines it
    for (int32_t i = 0; i < kMethodCount; ++i) {
        SCOPED_TRACE(i);
        const MethodEntry& entry = MethodTable[i];
        EXPECT_EQ(entry.TextId, expected[i].textId);
        EXPECT_EQ(entry.ListPosition, expected[i].listPosition);
        if (i != 17 && i != kModifiedMethodNumber) {
            EXPECT_EQ(Codes(entry), expected[i].codes);
        }
        EXPECT_EQ(entry.PassCodes[CountPasses(entry)], PassListEnd);
    }
}

TEST(MethodTable, GutmannIsThePublishedThirtyFivePasses) {
    const std::vector<uint32_t> gutmann = {
        R,           R,           R,           R,    0x55,        0xAA,        PassTriple1,
        PassTriple2, PassTriple3, 0x00,        0x11, 0x22,        0x33,        0x44,
        0x55,        0x66,        0x77,        0x88, 0x99,        0xAA,        0xBB,
        0xCC,        0xDD,        0xEE,        0xFF, PassTriple1, PassTriple2, PassTriple3,
        PassTriple4, PassTriple5, PassTriple6, R,    R,           R,           R};
    EXPECT_EQ(gutmann.size(), 35u);
    EXPECT_EQ(Codes(MethodTable[17]), gutmann);
}

TEST(MethodTable, LookupTreatsUnknownNumbersAsQuickErase) {
    EXPECT_EQ(LookupMethod(27), &MethodTable[0]);
    EXPECT_EQ(LookupMethod(100), &MethodTable[0]);
    EXPECT_EQ(LookupMethod(-1), &MethodTable[0]);
    EXPECT_EQ(LookupMethod(26), &MethodTable[26]);
    EXPECT_EQ(ModifiedMethodSlot(), &MethodTable[kModifiedMethodNumber]);
}

TEST(MethodTable, NamesAreLoadedForListedEntriesOnly) {
    LoadMethodNames(BuiltinString);
    int listed = 0;
    for (const MethodEntry& entry : MethodTable) {
        if (entry.ListPosition >= 0) {
            ++listed;
            EXPECT_EQ(entry.Name, BuiltinString(entry.TextId));
            EXPECT_FALSE(entry.Name.empty());
        } else {
            EXPECT_TRUE(entry.Name.empty());
        }
    }
    EXPECT_EQ(listed, 18);
    EXPECT_EQ(MethodTable[17].Name, L"グートマン推奨方式                     ： ３５回");
}

TEST(EffectiveMethod, PlainChoicesUseTheTableEntry) {
    const EffectiveMethodChoice quick = BuildEffectiveMethod(0, 0, 1, 0);
    EXPECT_EQ(quick.entry, &MethodTable[0]);
    EXPECT_EQ(quick.passCount, 1u);

    const EffectiveMethodChoice dod = BuildEffectiveMethod(7, 0xA5, 3, 0);
    EXPECT_EQ(dod.entry, &MethodTable[7]);  // quick settings only shape method 0
    EXPECT_EQ(dod.passCount, 4u);

    EXPECT_EQ(BuildEffectiveMethod(-1, 0, 1, 0).entry, &MethodTable[0]);
    EXPECT_EQ(BuildEffectiveMethod(27, 0, 1, 0).entry, &MethodTable[0]);
}

TEST(EffectiveMethod, QuickSettingsAreBuiltInTheSlot) {
    EffectiveMethodChoice choice = BuildEffectiveMethod(0, 0xA5, 3, 0);
    EXPECT_EQ(choice.entry, ModifiedMethodSlot());
    EXPECT_EQ(Codes(*choice.entry), (std::vector<uint32_t>{0xA5, 0xA5, 0xA5}));
    EXPECT_EQ(choice.entry->TextId, uint32_t{IDS_METHOD_QUICK});
    EXPECT_EQ(choice.entry->ListPosition, 0);  // the quick line stays selected

    choice = BuildEffectiveMethod(0, 0xA5, 3, 1);
    EXPECT_EQ(Codes(*choice.entry), (std::vector<uint32_t>{0xA5, 0xA5, 0xA5, V}));
    EXPECT_EQ(choice.passCount, 4u);

    choice = BuildEffectiveMethod(0, 0x11, 0, 1);
    EXPECT_EQ(choice.passCount, 0u);  // an empty list gets no verification
    EXPECT_EQ(Codes(*choice.entry), std::vector<uint32_t>{});
    EXPECT_EQ(Codes(MethodTable[0]), std::vector<uint32_t>{0x00});
}

TEST(EffectiveMethod, VerificationIsAppendedUnlessTheListEndsWithOne) {
    EffectiveMethodChoice choice = BuildEffectiveMethod(1, 0, 1, 2);
    EXPECT_EQ(choice.entry, &MethodTable[1]);
    EXPECT_EQ(Codes(*choice.entry), (std::vector<uint32_t>{0x00, V}));

    choice = BuildEffectiveMethod(3, 0, 1, 2);
    EXPECT_EQ(choice.entry, ModifiedMethodSlot());
    EXPECT_EQ(Codes(*choice.entry),
              (std::vector<uint32_t>{0x00, 0xFF, 0xE5, PassVerifyOnePercent}));
    EXPECT_EQ(choice.entry->TextId, uint32_t{IDS_METHOD_NCSC});
    EXPECT_EQ(Codes(MethodTable[3]), (std::vector<uint32_t>{0x00, 0xFF, 0xE5}));

    choice = BuildEffectiveMethod(19, 0, 1, 1);
    EXPECT_EQ(choice.entry, &MethodTable[19]);  // NOP has no pass to verify
    EXPECT_EQ(choice.passCount, 0u);

    EXPECT_EQ(BuildEffectiveMethod(3, 0, 1, 3).entry, &MethodTable[3]);  // unknown Verify value
}

TEST(EffectiveMethod, OutOfRangeRegistryValuesAreClamped) {
    EffectiveMethodChoice choice = BuildEffectiveMethod(0, 0x1FF, 500, 1);
    ASSERT_EQ(choice.entry, ModifiedMethodSlot());
    EXPECT_EQ(choice.passCount, static_cast<uint32_t>(kMaxQuickCount) + 1);
    for (int32_t i = 0; i < kMaxQuickCount; ++i) {
        ASSERT_EQ(choice.entry->PassCodes[i], 0xFFu) << i;
    }
    EXPECT_EQ(choice.entry->PassCodes[kMaxQuickCount], V);
    EXPECT_EQ(choice.entry->PassCodes[kMaxQuickCount + 1], PassListEnd);

    choice = BuildEffectiveMethod(0, 0xFFFF, 2, 0);  // not the list end, not random
    EXPECT_EQ(Codes(*choice.entry), (std::vector<uint32_t>{0xFF, 0xFF}));
    choice = BuildEffectiveMethod(0, -5, -1, 1);  // negatives: no pass, nothing to verify
    EXPECT_EQ(choice.passCount, 0u);
    EXPECT_EQ(choice.entry->PassCodes[0], PassListEnd);
    BuildEffectiveMethod(0, 0, 1, 0);
}

}  // namespace
}  // namespace qmz
