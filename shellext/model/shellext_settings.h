// The main program's settings that the shell extension reads itself: "IncludeNetworkDrives"
// and "Language" of its "Settings" section.
#pragma once

#include <cstdint>

#include "platform/registry.h"

namespace qmz {

// The value as a REG_DWORD of exactly four bytes; 0 when the key or such a value is missing.
int32_t ReadShellextSetting(IRegistry* registry, const wchar_t* name);

}  // namespace qmz
