#include "engine/method_table.h"

#include <algorithm>

#include "resources/string_ids.h"

namespace qmz {
namespace {

constexpr uint32_t kEnd = PassListEnd;
constexpr uint32_t kRnd = PassRandom;
constexpr uint32_t kVfy = PassVerify;
constexpr uint32_t kT1 = PassTriple1;
constexpr uint32_t kT2 = PassTriple2;
constexpr uint32_t kT3 = PassTriple3;
constexpr uint32_t kT4 = PassTriple4;
constexpr uint32_t kT5 = PassTriple5;
constexpr uint32_t kT6 = PassTriple6;

}  // namespace

// clang-format off
MethodEntry MethodTable[kMethodCount] = {
    {L"", IDS_METHOD_QUICK, 0, {0x00, kEnd}},
    {L"", IDS_METHOD_HMG_IS5_BASELINE, 1, {0x00, kVfy, kEnd}},
    {L"", IDS_METHOD_GOST_P50739_95, 2, {0x00, kRnd, kEnd}},
    {L"", IDS_METHOD_NCSC, 3, {0x00, 0xFF, 0xE5, kEnd}},
    {L"", IDS_METHOD_US_ARMY, 4, {kRnd, 0x00, 0xFF, kEnd}},
    {L"", IDS_METHOD_NSA, 5, {kRnd, kRnd, 0x00, kEnd}},
    {L"", IDS_METHOD_HMG_IS5_ENHANCED, 6, {0x00, 0xFF, kRnd, kVfy, kEnd}},
    {L"", IDS_METHOD_DOD_3_PASS, 7, {0x55, 0xAA, kRnd, kVfy, kEnd}},
    {L"", IDS_METHOD_US_NAVY, 8, {0x00, 0xFF, 0xE5, kVfy, kEnd}},
    {L"", IDS_METHOD_SSD_SPECIAL, 9, {kRnd, kRnd, 0x20, 0x00, kEnd}},
    {L"", IDS_METHOD_NCSC_TWICE, 10, {0x00, 0xFF, 0xE5, 0xF6, 0x00, 0xFF, kEnd}},
    {L"", IDS_METHOD_RCMP_OPS_II, 11, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, kRnd, kVfy, kEnd}},
    {L"", IDS_METHOD_DOD_7_PASS, 12, {0xE5, 0x1A, kRnd, kRnd, 0xF6, 0x09, kRnd, kEnd}},
    {L"", IDS_METHOD_SCHNEIER, 13, {0xFF, 0x00, kRnd, kRnd, kRnd, kRnd, kRnd, kEnd}},
    {L"", IDS_METHOD_US_AIR_FORCE, 14, {0x00, 0xFF, 0xE5, 0xF6, 0x00, 0xFF, 0xE5, kVfy, kEnd}},
    {L"", IDS_METHOD_NATO, 15, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, kRnd, kEnd}},
    {L"", IDS_METHOD_VSITR, 16, {0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xAA, kEnd}},
    {L"", IDS_METHOD_GUTMANN, 17, {kRnd, kRnd, kRnd, kRnd, 0x55, 0xAA, kT1, kT2, kT3,
                                   0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                   0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF,
                                   kT1, kT2, kT3, kT4, kT5, kT6, kRnd, kRnd, kRnd, kRnd, kEnd}},
    {L"", 0, -2, {kEnd}},  // no text of its own: a copy of the entry it modifies
    {L"", IDS_METHOD_NOP_DEBUG, -3, {kEnd}},
    {L"", IDS_METHOD_VERIFY_DEBUG, -4, {kVfy, kEnd}},
    {L"", IDS_METHOD_DRIVE_SECURE_ERASE, -5, {PassDriveSecureErase, kEnd}},
    {L"", IDS_METHOD_DRIVE_SECURE_ERASE_ENHANCED, -6, {PassDriveSecureEraseEnhanced, kEnd}},
    {L"", IDS_METHOD_DRIVE_FORMAT_UNIT, -7, {PassDriveFormatUnit, kEnd}},
    {L"", IDS_METHOD_DRIVE_SANITIZE, -8, {PassDriveSanitize, kEnd}},
    {L"", IDS_METHOD_SECURE_COMBO, -9, {kRnd, 0x00, PassDriveSecureErase, kEnd}},
    {L"", IDS_METHOD_SECURE_COMBO, -9, {kRnd, 0x00, PassDriveSecureEraseEnhanced, kEnd}},
};
// clang-format on

MethodEntry* ModifiedMethodSlot() {
    return &MethodTable[kModifiedMethodNumber];
}

const MethodEntry* LookupMethod(int32_t number) {
    if (number < 0 || number >= kMethodCount) {
        number = 0;
    }
    return &MethodTable[number];
}

void LoadMethodNames(const std::function<std::wstring(uint32_t)>& loadString) {
    for (MethodEntry& entry : MethodTable) {
        if (entry.ListPosition >= 0) {
            entry.Name = loadString(entry.TextId);
        }
    }
}

EffectiveMethodChoice BuildEffectiveMethod(int32_t eraseMethod, int32_t quickValueSetting,
                                           int32_t quickCountSetting, int32_t verify) {
    // A registry value beyond its range must not run past the pass list or turn
    // into another pass code (0x100 would be a random pass, 0xFFFF the list end).
    const uint32_t quickCount = static_cast<uint32_t>(
        std::clamp<int32_t>(quickCountSetting, 0, static_cast<int32_t>(kMaxQuickCount)));
    const uint32_t quickValue = static_cast<uint32_t>(
        std::clamp<int32_t>(quickValueSetting, 0, static_cast<int32_t>(kMaxQuickValue)));

    MethodEntry* slot = ModifiedMethodSlot();
    const MethodEntry* effective = LookupMethod(eraseMethod);
    if (effective == &MethodTable[0] && (quickValue != 0 || quickCount != 1)) {
        *slot = MethodTable[0];
        for (uint32_t i = 0; i < quickCount; ++i) {
            slot->PassCodes[i] = quickValue;
        }
        slot->PassCodes[quickCount] = PassListEnd;
        effective = slot;
    }

    uint32_t count = CountPasses(*effective);
    const bool endsWithVerify = count != 0 && effective->PassCodes[count - 1] == PassVerify;
    if (count != 0 && !endsWithVerify && (verify == 1 || verify == 2) &&
        count + 2 <= kPassCodeSlots) {
        if (effective != slot) {
            *slot = *effective;
        }
        slot->PassCodes[count] = verify == 1 ? PassVerify : PassVerifyOnePercent;
        slot->PassCodes[count + 1] = PassListEnd;
        effective = slot;
        ++count;
    }
    return {effective, count};
}

}  // namespace qmz
