// The program's built-in texts, from the single string source (resources/strings.inc).
#pragma once

#include <cstdint>
#include <string>

namespace qmz {

// Text of string `id`; empty when the table has no such id.
std::wstring BuiltinString(uint32_t id);

// Ids that the core itself needs.
constexpr uint32_t kIdsApplicationTitle = 102;
constexpr uint32_t kIdsRecycleBin = 104;
constexpr uint32_t kIdsErrorMessagePrefix = 205;

}  // namespace qmz
