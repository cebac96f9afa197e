// One open of a simulated object, and the share-mode rule between two opens.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace qmz {

struct SimOpen {
    uint64_t id = 0;
    uint32_t access = 0;
    uint32_t share = 0;
    std::wstring streamKey;  // folded stream name; empty for the main stream or a folder
    bool external = false;   // held by another process
};

constexpr uint32_t kSimReadAccess = GENERIC_READ | GENERIC_ALL | FILE_READ_DATA;
constexpr uint32_t kSimWriteAccess =
    GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA;
constexpr uint32_t kSimDeleteAccess = DELETE | GENERIC_ALL;

// Whether opening `wanted` while `held` is open fails with ERROR_SHARING_VIOLATION.
// Opens for attributes only take part in no sharing check, as on Windows.
inline bool SharingConflict(const SimOpen& wanted, const SimOpen& held) {
    const uint32_t kData = kSimReadAccess | kSimWriteAccess | kSimDeleteAccess;
    if ((wanted.access & kData) == 0 || (held.access & kData) == 0) {
        return false;
    }
    const bool sameStream = wanted.streamKey == held.streamKey;
    const bool deletes =
        (wanted.access & kSimDeleteAccess) != 0 || (held.access & kSimDeleteAccess) != 0;
    if (!sameStream && !deletes) {
        return false;
    }
    auto denies = [](const SimOpen& opener, const SimOpen& other) {
        return ((opener.access & kSimReadAccess) && !(other.share & FILE_SHARE_READ)) ||
               ((opener.access & kSimWriteAccess) && !(other.share & FILE_SHARE_WRITE)) ||
               ((opener.access & kSimDeleteAccess) && !(other.share & FILE_SHARE_DELETE));
    };
    return denies(wanted, held) || denies(held, wanted);
}

}  // namespace qmz
