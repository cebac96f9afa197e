// The built-in erase methods and the one writable entry that settings build into.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ops/method_entry.h"

namespace qmz {

constexpr int32_t kMethodCount = 27;
constexpr int32_t kModifiedMethodNumber = 18;
constexpr int32_t kNopMethodNumber = 19;
constexpr int32_t kMaxQuickCount = 99;
constexpr int32_t kMaxQuickValue = 0xFF;

// Indexed by the method number stored in the EraseMethod setting. Entries other than
// the ModifiedMethodSlot change only when their names are loaded at start-up.
extern MethodEntry MethodTable[kMethodCount];

// Entry 18: rewritten on the main thread whenever a modified method is built.
MethodEntry* ModifiedMethodSlot();

// Method number -> entry; numbers outside 0..26 select entry 0.
const MethodEntry* LookupMethod(int32_t number);

// Fills Name of every listed entry (ListPosition >= 0) from `loadString`.
void LoadMethodNames(const std::function<std::wstring(uint32_t)>& loadString);

struct EffectiveMethodChoice {
    const MethodEntry* entry = nullptr;
    uint32_t passCount = 0;
};

// Turns the settings EraseMethod, QuickValue, QuickCount and Verify into the method
// that new requests use: a table entry, or the ModifiedMethodSlot when the quick
// method is customised or a verification pass is appended.
// Out-of-range quick values are clamped: QuickCount to 0..99, QuickValue to 0..0xFF.
EffectiveMethodChoice BuildEffectiveMethod(int32_t eraseMethod, int32_t quickValue,
                                           int32_t quickCount, int32_t verify);

}  // namespace qmz
