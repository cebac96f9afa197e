#include "settings/settings_store.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "engine/method_table.h"
#include "platform/registry_values.h"

namespace qmz {

namespace {

constexpr int32_t kLastMethodNumber = kMethodCount - 1;

std::wstring SectionPath(const wchar_t* section) {
    return std::wstring(kProgramKeyPath) + L"\\" + section;
}

// A section opened for reading, or nothing: every value then reads as its default.
class CSectionReader {
public:
    CSectionReader(IRegistry* registry, const wchar_t* section) {
        if (registry->OpenKey(RegistryRoot::kCurrentUser, SectionPath(section), false, &m_key) !=
            ERROR_SUCCESS) {
            m_key.reset();
        }
    }

    int32_t Int(const wchar_t* name, int32_t fallback) const {
        int32_t value = fallback;
        return m_key && ReadDwordValue(*m_key, name, &value) ? value : fallback;
    }

    std::wstring String(const wchar_t* name, const std::wstring& fallback) const {
        std::wstring value;
        return m_key && ReadStringValue(*m_key, name, &value) ? value : fallback;
    }

private:
    std::unique_ptr<IRegistryKey> m_key;
};

// A section opened (and created) for writing; writes into a section that could not be
// opened, and single failed writes, are dropped.
class CSectionWriter {
public:
    CSectionWriter(IRegistry* registry, const wchar_t* section) {
        if (registry->CreateKey(RegistryRoot::kCurrentUser, SectionPath(section), &m_key) !=
            ERROR_SUCCESS) {
            m_key.reset();
        }
    }

    void Int(const wchar_t* name, int32_t value) {
        if (m_key) {
            SetDwordValue(*m_key, name, static_cast<uint32_t>(value));
        }
    }

    void String(const wchar_t* name, const std::wstring& value) {
        if (m_key) {
            SetStringValue(*m_key, name, value);
        }
    }

private:
    std::unique_ptr<IRegistryKey> m_key;
};

}  // namespace

CSettingsStore::CSettingsStore(IRegistry* registry, std::wstring documentsFolder)
    : m_registry(registry), m_documentsFolder(std::move(documentsFolder)) {}

SettingsRecord CSettingsStore::LoadSettings() const {
    CSectionReader section(m_registry, kSettingsSection);
    SettingsRecord settings;
    settings.EraseMethod = section.Int(L"EraseMethod", 0);
    if (settings.EraseMethod < 0 || settings.EraseMethod > kLastMethodNumber) {
        settings.EraseMethod = 0;
    }
    // The quick method writes QuickCount passes of the byte QuickValue into a list of
    // kPassCodeSlots codes: values beyond the ranges the dialog allows are pulled to the
    // nearest allowed one, so the list cannot overrun and the value stays a byte.
    settings.QuickValue = std::clamp<int32_t>(section.Int(L"QuickValue", 0), 0, kMaxQuickValue);
    settings.QuickCount = std::clamp<int32_t>(section.Int(L"QuickCount", 1), 0, kMaxQuickCount);
    settings.Verify = section.Int(L"Verify", 0);
    settings.Autorun = section.Int(L"Autorun", 0);
    settings.Logging = section.Int(L"Logging", 0);
    settings.LogFile = section.String(L"LogFile", m_documentsFolder + L"\\" + kLogFileName);
    settings.IncludeSuperHidden = section.Int(L"IncludeSuperHidden", 1);
    settings.AllUsersRecycleBin = section.Int(L"AllUsersRecycleBin", 0);
    settings.IncludeNetworkDrives = section.Int(L"IncludeNetworkDrives", 0);
    settings.Language = section.Int(L"Language", 0);

    std::unique_ptr<IRegistryKey> handler;
    settings.EnableShellExtension =
        m_registry->OpenKey(RegistryRoot::kClassesRoot, kShellExtensionHandlerKey, false,
                            &handler) == ERROR_SUCCESS
            ? 1
            : 0;

    EffectiveMethodChoice method = BuildEffectiveMethod(settings.EraseMethod, settings.QuickValue,
                                                        settings.QuickCount, settings.Verify);
    settings.EffectiveMethod = method.entry;
    settings.PassCount = static_cast<int32_t>(method.passCount);
    return settings;
}

LatestRecord CSettingsStore::LoadLatest(const ScreenRect& workArea,
                                        const WindowSize& minimumSize) const {
    CSectionReader section(m_registry, kLatestSection);
    LatestRecord latest;
    latest.BrowseFolder = section.String(L"BrowseFolder", m_documentsFolder);
    WindowPlacement saved;
    saved.Left = section.Int(L"Left", 0);
    saved.Top = section.Int(L"Top", 0);
    saved.Width = section.Int(L"Width", 0);
    saved.Height = section.Int(L"Height", 0);
    latest.Placement = FitWindowPlacement(saved, workArea, minimumSize);
    return latest;
}

void CSettingsStore::SaveSettings(const SettingsRecord& settings) const {
    CSectionWriter section(m_registry, kSettingsSection);
    section.Int(L"EraseMethod", settings.EraseMethod);
    section.Int(L"QuickValue", settings.QuickValue);
    section.Int(L"QuickCount", settings.QuickCount);
    section.Int(L"Verify", settings.Verify);
    section.Int(L"Autorun", settings.Autorun);
    section.Int(L"Logging", settings.Logging);
    section.String(L"LogFile", settings.LogFile);
    section.Int(L"IncludeSuperHidden", settings.IncludeSuperHidden);
    section.Int(L"EnableShellExtension", settings.EnableShellExtension);
    section.Int(L"AllUsersRecycleBin", settings.AllUsersRecycleBin);
    section.Int(L"IncludeNetworkDrives", settings.IncludeNetworkDrives);
    section.Int(L"Language", settings.Language);
}

void CSettingsStore::SaveLatest(const std::wstring& browseFolder,
                                const WindowPlacement& placement) const {
    CSectionWriter section(m_registry, kLatestSection);
    section.String(L"BrowseFolder", browseFolder);
    section.Int(L"Left", placement.Left);
    section.Int(L"Top", placement.Top);
    section.Int(L"Width", placement.Width);
    section.Int(L"Height", placement.Height);
}

int32_t CSettingsStore::ReadLanguage(IRegistry* registry) {
    return CSectionReader(registry, kSettingsSection).Int(L"Language", 0);
}

}  // namespace qmz
