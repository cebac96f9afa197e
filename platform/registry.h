// The registry part of the platform seam, shaped after the Win32 calls it stands for.
// Every call returns a Win32 error code (ERROR_SUCCESS on success).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace qmz {

enum class RegistryRoot { kCurrentUser, kClassesRoot, kLocalMachine };

struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;  // raw bytes as stored (REG_SZ: UTF-16LE, terminator if written)
};

// An open key. Closing is the destructor's job.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;
    // RegQueryValueExW into a buffer of maxBytes: a larger value gives ERROR_MORE_DATA and
    // no data, so a value of any size costs at most maxBytes.
    virtual uint32_t QueryValue(const std::wstring& name, size_t maxBytes,
                                RegistryValue* value) = 0;
    // RegSetValueExW: stores type and bytes as given, no checks.
    virtual uint32_t SetValue(const std::wstring& name, uint32_t type,
                              const std::vector<uint8_t>& data) = 0;
    virtual uint32_t DeleteValue(const std::wstring& name) = 0;
    // RegEnumValueW by index; ERROR_NO_MORE_ITEMS past the end.
    virtual uint32_t EnumValueName(uint32_t index, std::wstring* name) = 0;
    // RegQueryInfoKeyW: the longest value name in characters (no terminator) and the
    // largest value data in bytes, so that a following enumeration can size its buffers.
    virtual uint32_t QueryInfo(uint32_t* maxValueNameChars, uint32_t* maxValueDataBytes) = 0;
    // RegEnumValueW with name and data: nameBufferChars counts the terminator. A name or
    // data that does not fit gives ERROR_MORE_DATA; ERROR_NO_MORE_ITEMS past the end.
    virtual uint32_t EnumValue(uint32_t index, uint32_t nameBufferChars, uint32_t dataBufferBytes,
                               std::wstring* name, RegistryValue* value) = 0;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;
    // RegOpenKeyExW with KEY_READ, plus KEY_WRITE when writable. Never creates the key.
    virtual uint32_t OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                             std::unique_ptr<IRegistryKey>* key) = 0;
    // RegCreateKeyExW with KEY_READ | KEY_WRITE: opens the key, creating missing levels.
    virtual uint32_t CreateKey(RegistryRoot root, const std::wstring& subKey,
                               std::unique_ptr<IRegistryKey>* key) = 0;
    // Deletes the key with every key and value below it (RegDeleteKeyW, children first);
    // ERROR_FILE_NOT_FOUND when it does not exist. An empty subKey (a root) is refused.
    virtual uint32_t DeleteKeyTree(RegistryRoot root, const std::wstring& subKey) = 0;
};

}  // namespace qmz
