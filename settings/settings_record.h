// The user's settings as the main window holds them between loading and saving.
#pragma once

#include <cstdint>
#include <string>

#include "ops/method_entry.h"

namespace qmz {

// Field names are the registry value names, so each field maps to exactly one value.
struct SettingsRecord {
    int32_t EraseMethod = 0;
    int32_t QuickValue = 0;
    int32_t QuickCount = 1;
    int32_t PassCount = 1;  // derived from the effective method; never stored
    int32_t Verify = 0;
    int32_t Autorun = 0;
    int32_t Logging = 0;
    std::wstring LogFile;
    int32_t IncludeSuperHidden = 1;
    int32_t EnableShellExtension = 0;  // mirrors the shell-extension registration; stored only
    int32_t AllUsersRecycleBin = 0;
    int32_t IncludeNetworkDrives = 0;
    int32_t Language = 0;
    // The table entry of EraseMethod, or the ModifiedMethodSlot holding a modified copy.
    const MethodEntry* EffectiveMethod = nullptr;
};

}  // namespace qmz
