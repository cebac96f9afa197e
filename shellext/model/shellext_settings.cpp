#include "shellext/model/shellext_settings.h"

#include <memory>
#include <string>

#include "platform/registry_values.h"
#include "settings/settings_store.h"

namespace qmz {

int32_t ReadShellextSetting(IRegistry* registry, const wchar_t* name) {
    std::unique_ptr<IRegistryKey> key;
    const std::wstring path = std::wstring(kProgramKeyPath) + L"\\" + kSettingsSection;
    int32_t value = 0;
    if (registry->OpenKey(RegistryRoot::kCurrentUser, path, false, &key) != ERROR_SUCCESS ||
        !ReadDwordValue(*key, name, &value)) {
        return 0;
    }
    return value;
}

}  // namespace qmz
