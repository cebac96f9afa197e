// The registry seam on the real Win32 registry (advapi32).
#pragma once

#include <windows.h>

#include "platform/registry.h"

namespace qmz {

// Sole owner of one open HKEY: closed exactly once, never copied.
class CRegistryKeyHandle {
public:
    CRegistryKeyHandle() = default;
    explicit CRegistryKeyHandle(HKEY key) : m_key(key) {}
    ~CRegistryKeyHandle() { Close(); }
    CRegistryKeyHandle(const CRegistryKeyHandle&) = delete;
    CRegistryKeyHandle& operator=(const CRegistryKeyHandle&) = delete;
    CRegistryKeyHandle(CRegistryKeyHandle&& other) noexcept : m_key(other.Release()) {}
    CRegistryKeyHandle& operator=(CRegistryKeyHandle&& other) noexcept;

    HKEY Get() const { return m_key; }
    HKEY Release();
    void Close();

private:
    HKEY m_key = nullptr;
};

class CWin32Registry : public IRegistry {
public:
    uint32_t OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                     std::unique_ptr<IRegistryKey>* key) override;
    uint32_t CreateKey(RegistryRoot root, const std::wstring& subKey,
                       std::unique_ptr<IRegistryKey>* key) override;
};

}  // namespace qmz
