// The settings in the per-user registry: section "Settings" (how to erase and behave) and
// section "Latest" (where the main window and the pickers were last).
//
// Reading never creates a key, so a run that only reads leaves the registry untouched; the
// keys appear with the first save. Read failures give the defaults, write failures are
// ignored: settings never stop the program.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings_record.h"
#include "settings/window_placement.h"
#include "platform/registry.h"

namespace qmz {

// The program's key below HKEY_CURRENT_USER: company key, then the profile (module) name.
constexpr wchar_t kProgramKeyPath[] = L"Software\\Quellmark\\QMZ4";
constexpr wchar_t kSettingsSection[] = L"Settings";
constexpr wchar_t kLatestSection[] = L"Latest";
// Its presence under HKEY_CLASSES_ROOT is what "shell extension enabled" means.
constexpr wchar_t kShellExtensionHandlerKey[] = L"*\\shellex\\ContextMenuHandlers\\QMZ4shellext";
constexpr wchar_t kLogFileName[] = L"QMZ4_log.csv";

struct LatestRecord {
    std::wstring BrowseFolder;
    WindowPlacement Placement;  // already fitted to the work area
};

class CSettingsStore {
public:
    // documentsFolder: the user's Documents folder (may be empty); it anchors the defaults.
    CSettingsStore(IRegistry* registry, std::wstring documentsFolder);

    // All of "Settings", validated, with EffectiveMethod and PassCount built (which may
    // rewrite the ModifiedMethodSlot); EnableShellExtension from the handler registration.
    SettingsRecord LoadSettings() const;
    // "Latest", with the saved placement checked against workArea and minimumSize.
    LatestRecord LoadLatest(const ScreenRect& workArea, const WindowSize& minimumSize) const;

    // Every stored value of "Settings", in a fixed order; PassCount and the method are not
    // stored, they are rebuilt from the stored values at the next load.
    void SaveSettings(const SettingsRecord& settings) const;
    void SaveLatest(const std::wstring& browseFolder, const WindowPlacement& placement) const;

    // "Language" alone, for start-up before any window exists; 0 (system default) if unset.
    static int32_t ReadLanguage(IRegistry* registry);

private:
    IRegistry* m_registry;
    std::wstring m_documentsFolder;
};

}  // namespace qmz
