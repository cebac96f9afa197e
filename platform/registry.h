// The registry part of the platform seam. Calls return Win32 error codes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace qmz {

enum class RegistryRoot { kCurrentUser, kClassesRoot, kLocalMachine };

constexpr uint32_t REG_SZ_TYPE = 1;
constexpr uint32_t REG_DWORD_TYPE = 4;

struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;  // raw bytes as stored (REG_SZ: UTF-16LE with terminator)
};

class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;
    virtual uint32_t QueryValue(const std::wstring& name, RegistryValue* value) = 0;
    virtual uint32_t SetDword(const std::wstring& name, uint32_t value) = 0;
    virtual uint32_t SetString(const std::wstring& name, const std::wstring& value) = 0;
    virtual uint32_t DeleteValue(const std::wstring& name) = 0;
    // RegEnumValueW by index; ERROR_NO_MORE_ITEMS (259) past the end.
    virtual uint32_t EnumValueName(uint32_t index, std::wstring* name) = 0;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    virtual uint32_t OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                             std::unique_ptr<IRegistryKey>* key) = 0;
    virtual uint32_t CreateKey(RegistryRoot root, const std::wstring& subKey,
                               std::unique_ptr<IRegistryKey>* key) = 0;
};

}  // namespace qmz
