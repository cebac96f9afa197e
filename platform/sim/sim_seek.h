// SetFilePointerEx arithmetic, shared by every simulated handle.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

namespace qmz {

// Moves `*position` as SetFilePointerEx does, `end` being the size FILE_END counts from.
inline uint32_t MoveFilePointer(uint64_t* position, int64_t distance, uint32_t moveMethod,
                                uint64_t end, uint64_t* newPosition) {
    int64_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = static_cast<int64_t>(*position);
    } else if (moveMethod == FILE_END) {
        base = static_cast<int64_t>(end);
    } else if (moveMethod != FILE_BEGIN) {
        return ERROR_INVALID_PARAMETER;
    }
    if (base + distance < 0) {
        return ERROR_NEGATIVE_SEEK;
    }
    *position = static_cast<uint64_t>(base + distance);
    if (newPosition != nullptr) {
        *newPosition = *position;
    }
    return ERROR_SUCCESS;
}

}  // namespace qmz
