// A settings store over an in-memory registry, with helpers to plant raw values.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_store.h"
#include "platform/registry_values.h"
#include "platform/sim/sim_registry.h"

namespace qmz {

inline std::vector<uint8_t> DwordBytes(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

inline std::vector<uint8_t> Utf16Bytes(const std::wstring& text, bool terminated = true) {
    std::vector<uint8_t> bytes;
    AppendUtf16(&bytes, text);
    if (terminated) {
        bytes.insert(bytes.end(), {0, 0});
    }
    return bytes;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kDocuments = L"C:\\Users\\tester\\Documents";
    const std::wstring kSettingsKey = std::wstring(kProgramKeyPath) + L"\\Settings";
    const std::wstring kLatestKey = std::wstring(kProgramKeyPath) + L"\\Latest";

    void PutSetting(const std::wstring& name, uint32_t type, std::vector<uint8_t> data) {
        m_registry.PutValue(RegistryRoot::kCurrentUser, kSettingsKey, name, type, std::move(data));
    }
    void PutSetting(const std::wstring& name, int32_t value) {
        PutSetting(name, REG_DWORD, DwordBytes(static_cast<uint32_t>(value)));
    }
    void PutLatest(const std::wstring& name, int32_t value) {
        m_registry.PutValue(RegistryRoot::kCurrentUser, kLatestKey, name, REG_DWORD,
                            DwordBytes(static_cast<uint32_t>(value)));
    }
    void RegisterShellExtension() {
        m_registry.PutKey(RegistryRoot::kClassesRoot, kShellExtensionHandlerKey);
    }

    SettingsRecord Load() { return m_store.LoadSettings(); }

    CSimRegistry m_registry;
    CSettingsStore m_store{&m_registry, kDocuments};
};

}  // namespace qmz
