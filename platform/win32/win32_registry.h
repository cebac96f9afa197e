// The registry seam on the real Win32 registry (advapi32).
#pragma once

#include <windows.h>

#include "platform/registry.h"
#include "platform/win32/unique_handle.h"

namespace qmz {

class CWin32Registry : public IRegistry {
public:
    uint32_t OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                     std::unique_ptr<IRegistryKey>* key) override;
    uint32_t CreateKey(RegistryRoot root, const std::wstring& subKey,
                       std::unique_ptr<IRegistryKey>* key) override;
    uint32_t DeleteKeyTree(RegistryRoot root, const std::wstring& subKey) override;
};

}  // namespace qmz
