// The Windows version the process is told it runs on: GetVersionExW, which also follows
// compatibility settings (and Wine's configured version). It decides which kernel calls
// the program makes, so that a system reporting XP takes XP's ways even where newer
// calls would happen to exist.
#pragma once

#include <cstdint>

namespace qmz {

struct SystemVersion {
    bool known = false;  // GetVersionExW answered
    uint32_t major = 0;
    uint32_t minor = 0;
};

SystemVersion ReadSystemVersion();

// Major version 6 or more. A version that cannot be read counts as Vista or later.
bool IsVistaOrLater(const SystemVersion& version);

}  // namespace qmz
