// A COM server's registry entries as data, written and removed through the registry seam.
// A key is kept (made if missing, never deleted: shared parents such as "CLSID"), owned
// (made, and deleted with everything below it at removal) or replaced (deleted first, so
// nothing stale survives, then made; deleted at removal). Values of a kept key are the
// script's own and are deleted one by one at removal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qmz {

enum class KeyRule { kKept, kOwned, kReplaced };

struct ScriptValue {
    std::wstring name;  // empty: the key's default value
    std::wstring text;  // stored as REG_SZ
};

struct ScriptKey {
    RegistryRoot root = RegistryRoot::kClassesRoot;
    std::wstring path;  // full path below the root
    KeyRule rule = KeyRule::kOwned;
    std::vector<ScriptValue> values;
};

// Keys in writing order: a parent comes before its children.
using RegistryScript = std::vector<ScriptKey>;

// Writes every key and value; stops at the first failure and returns its error code.
uint32_t ApplyRegistryScript(IRegistry* registry, const RegistryScript& script);
// Removes what the script owns, children first; keys and values already gone are no
// failure. Returns the first failure's error code, having tried every entry.
uint32_t RemoveRegistryScript(IRegistry* registry, const RegistryScript& script);

}  // namespace qmz
