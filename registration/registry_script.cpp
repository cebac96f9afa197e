#include "registration/registry_script.h"

#include <memory>

#include "platform/registry_values.h"

namespace qmz {
namespace {

bool IsGoneAlready(uint32_t error) {
    return error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND;
}

}  // namespace

uint32_t ApplyRegistryScript(IRegistry* registry, const RegistryScript& script) {
    for (const ScriptKey& entry : script) {
        if (entry.rule == KeyRule::kReplaced) {
            const uint32_t error = registry->DeleteKeyTree(entry.root, entry.path);
            if (!IsGoneAlready(error)) {
                return error;
            }
        }
        std::unique_ptr<IRegistryKey> key;
        if (const uint32_t error = registry->CreateKey(entry.root, entry.path, &key)) {
            return error;
        }
        for (const ScriptValue& value : entry.values) {
            if (const uint32_t error = SetStringValue(*key, value.name, value.text)) {
                return error;
            }
        }
    }
    return ERROR_SUCCESS;
}

uint32_t RemoveRegistryScript(IRegistry* registry, const RegistryScript& script) {
    uint32_t firstFailure = ERROR_SUCCESS;
    auto note = [&firstFailure](uint32_t error) {
        if (!IsGoneAlready(error) && firstFailure == ERROR_SUCCESS) {
            firstFailure = error;
        }
    };
    for (auto entry = script.rbegin(); entry != script.rend(); ++entry) {
        if (entry->rule != KeyRule::kKept) {
            note(registry->DeleteKeyTree(entry->root, entry->path));
            continue;
        }
        // A shared parent stays; only the script's own values in it go.
        if (entry->values.empty()) {
            continue;
        }
        std::unique_ptr<IRegistryKey> key;
        const uint32_t error = registry->OpenKey(entry->root, entry->path, true, &key);
        if (error != ERROR_SUCCESS) {
            note(error);
            continue;
        }
        for (const ScriptValue& value : entry->values) {
            note(key->DeleteValue(value.name));
        }
    }
    return firstFailure;
}

}  // namespace qmz
