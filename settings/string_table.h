// The program's built-in texts, from the single string source (resources/strings.inc).
#pragma once

#include <cstdint>
#include <string>

#include "resources/string_ids.h"

namespace qmz {

// Text of string `id` (an IDS_ name from resources/string_ids.h); empty when the table
// has no such id.
std::wstring BuiltinString(uint32_t id);

}  // namespace qmz
