#include "platform/win32/win32_registry.h"

#include <utility>
#include <vector>

namespace qmz {

namespace {

// Value names are at most 16383 characters.
constexpr DWORD kMaxValueNameChars = 16384;

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::kClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegistryRoot::kLocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::kCurrentUser:
            break;
    }
    return HKEY_CURRENT_USER;
}

class CWin32RegistryKey : public IRegistryKey {
public:
    explicit CWin32RegistryKey(CRegistryKeyHandle key) : m_key(std::move(key)) {}

    uint32_t QueryValue(const std::wstring& name, size_t maxBytes, RegistryValue* value) override {
        // One call into a buffer of the caller's limit: no size race, no unbounded allocation.
        std::vector<BYTE> buffer(maxBytes > 0 ? maxBytes : 1);
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(maxBytes);
        LONG error =
            RegQueryValueExW(m_key.Get(), name.c_str(), nullptr, &type, buffer.data(), &size);
        value->type = type;
        value->data.clear();
        if (error == ERROR_SUCCESS) {
            if (size > maxBytes) {
                return ERROR_MORE_DATA;
            }
            value->data.assign(buffer.begin(), buffer.begin() + size);
        }
        return static_cast<uint32_t>(error);
    }

    uint32_t SetValue(const std::wstring& name, uint32_t type,
                      const std::vector<uint8_t>& data) override {
        // For string types RegSetValueExW peeks at the character after the data and, if it is
        // a terminator, stores it too. Non-zero padding keeps that read inside our buffer and
        // the stored bytes exactly as given.
        std::vector<uint8_t> padded(data);
        padded.insert(padded.end(), {0xFF, 0xFF});
        return static_cast<uint32_t>(RegSetValueExW(
            m_key.Get(), name.c_str(), 0, type, padded.data(), static_cast<DWORD>(data.size())));
    }

    uint32_t DeleteValue(const std::wstring& name) override {
        return static_cast<uint32_t>(RegDeleteValueW(m_key.Get(), name.c_str()));
    }

    uint32_t EnumValueName(uint32_t index, std::wstring* name) override {
        std::vector<wchar_t> buffer(kMaxValueNameChars);
        DWORD length = kMaxValueNameChars;
        LONG error = RegEnumValueW(m_key.Get(), index, buffer.data(), &length, nullptr, nullptr,
                                   nullptr, nullptr);
        if (error == ERROR_SUCCESS) {
            name->assign(buffer.data(), length);
        }
        return static_cast<uint32_t>(error);
    }

    uint32_t QueryInfo(uint32_t* maxValueNameChars, uint32_t* maxValueDataBytes) override {
        DWORD nameChars = 0;
        DWORD dataBytes = 0;
        LONG error = RegQueryInfoKeyW(m_key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, &nameChars, &dataBytes, nullptr, nullptr);
        if (error == ERROR_SUCCESS) {
            *maxValueNameChars = nameChars;
            *maxValueDataBytes = dataBytes;
        }
        return static_cast<uint32_t>(error);
    }

    uint32_t EnumValue(uint32_t index, uint32_t nameBufferChars, uint32_t dataBufferBytes,
                       std::wstring* name, RegistryValue* value) override {
        // Buffers of exactly the caller's sizes, so that a short buffer fails as it would
        // for any other caller of RegEnumValueW.
        std::vector<wchar_t> nameBuffer(nameBufferChars > 0 ? nameBufferChars : 1);
        std::vector<BYTE> dataBuffer(dataBufferBytes > 0 ? dataBufferBytes : 1);
        DWORD nameLength = nameBufferChars;
        DWORD type = 0;
        DWORD size = dataBufferBytes;
        LONG error = RegEnumValueW(m_key.Get(), index, nameBuffer.data(), &nameLength, nullptr,
                                   &type, dataBuffer.data(), &size);
        value->type = type;
        value->data.clear();
        if (error == ERROR_SUCCESS) {
            if (nameLength >= nameBufferChars || size > dataBufferBytes) {
                return ERROR_MORE_DATA;
            }
            name->assign(nameBuffer.data(), nameLength);
            value->data.assign(dataBuffer.begin(), dataBuffer.begin() + size);
        }
        return static_cast<uint32_t>(error);
    }

private:
    CRegistryKeyHandle m_key;
};

// RegDeleteTreeW came with Vista; this walks the children itself. A child is deleted
// before its parent, and the enumeration restarts at index 0 after every deletion.
uint32_t DeleteTreeBelow(HKEY parent, const std::wstring& subKey) {
    HKEY opened = nullptr;
    LONG error = RegOpenKeyExW(parent, subKey.c_str(), 0, KEY_READ | KEY_WRITE, &opened);
    if (error != ERROR_SUCCESS) {
        return static_cast<uint32_t>(error);
    }
    CRegistryKeyHandle key(opened);
    std::vector<wchar_t> name(256);  // key names are at most 255 characters
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        error =
            RegEnumKeyExW(key.Get(), 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (error != ERROR_SUCCESS) {
            return static_cast<uint32_t>(error);
        }
        const uint32_t child = DeleteTreeBelow(key.Get(), std::wstring(name.data(), length));
        if (child != ERROR_SUCCESS) {
            return child;
        }
    }
    key.Reset();
    return static_cast<uint32_t>(RegDeleteKeyW(parent, subKey.c_str()));
}

}  // namespace

uint32_t CWin32Registry::OpenKey(RegistryRoot root, const std::wstring& subKey, bool writable,
                                 std::unique_ptr<IRegistryKey>* key) {
    HKEY opened = nullptr;
    LONG error = RegOpenKeyExW(RootKey(root), subKey.c_str(), 0,
                               writable ? KEY_READ | KEY_WRITE : KEY_READ, &opened);
    if (error != ERROR_SUCCESS) {
        return static_cast<uint32_t>(error);
    }
    *key = std::make_unique<CWin32RegistryKey>(CRegistryKeyHandle(opened));
    return ERROR_SUCCESS;
}

uint32_t CWin32Registry::CreateKey(RegistryRoot root, const std::wstring& subKey,
                                   std::unique_ptr<IRegistryKey>* key) {
    HKEY created = nullptr;
    LONG error = RegCreateKeyExW(RootKey(root), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &created, nullptr);
    if (error != ERROR_SUCCESS) {
        return static_cast<uint32_t>(error);
    }
    *key = std::make_unique<CWin32RegistryKey>(CRegistryKeyHandle(created));
    return ERROR_SUCCESS;
}

uint32_t CWin32Registry::DeleteKeyTree(RegistryRoot root, const std::wstring& subKey) {
    if (subKey.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    return DeleteTreeBelow(RootKey(root), subKey);
}

}  // namespace qmz
