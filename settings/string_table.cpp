#include "settings/string_table.h"

#include <algorithm>
#include <iterator>

namespace qmz {
namespace {

struct StringEntry {
    uint32_t id;
    const wchar_t* text;
};

#define STR(id, text) {id, L"" text},
constexpr StringEntry kStrings[] = {
#include "resources/strings.inc"
};
#undef STR

}  // namespace

std::wstring BuiltinString(uint32_t id) {
    auto it = std::find_if(std::begin(kStrings), std::end(kStrings),
                           [id](const StringEntry& e) { return e.id == id; });
    return it == std::end(kStrings) ? std::wstring() : std::wstring(it->text);
}

}  // namespace qmz
