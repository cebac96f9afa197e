// The settings dialog's rules without its window: working copies of the settings, the
// working method built from them, and what every control shows. The Win32 dialog feeds
// each control event in and mirrors View() back into the controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/method_table.h"
#include "ops/method_entry.h"
#include "settings/settings_record.h"

namespace qmz {

// What the main window hands the dialog at each opening.
struct SettingsDialogInputs {
    std::wstring title;
    SettingsRecord settings;  // EffectiveMethod included: it selects the method row
    std::wstring logFilter;   // the picker's filter, '|' between its parts
    std::wstring logPickerTitle;
    std::wstring logCannotWrite;  // suffixes after the log file name
    std::wstring logDoesNotExist;
    std::wstring logCannotShow;
};

// What OK hands back. Cancel hands back nothing.
struct SettingsDialogResult {
    SettingsRecord settings;  // EffectiveMethod left null: ApplySettingsDialogResult sets it
    MethodEntry workingMethod;
    bool workingMethodModified = false;  // differs from the table entry of EraseMethod
    bool eraseLogRequested = false;
};

// Copies the dialog's values into `record` and makes the working method effective: the
// table entry of EraseMethod, or a modified copy placed in the ModifiedMethodSlot.
void ApplySettingsDialogResult(const SettingsDialogResult& result, SettingsRecord* record);

// The plain check boxes, each mirroring one setting.
enum class SettingsCheck {
    kAutorun,
    kIncludeSuperHidden,
    kLogging,
    kEnableShellExtension,
    kAllUsersRecycleBin,
    kIncludeNetworkDrives,
};

struct SettingsDialogView {
    int32_t methodRow = 0;
    std::wstring valueText;
    std::wstring countText;
    bool numberEditsEnabled = true;
    bool verifyTicked = false;
    bool onePercentTicked = false;
    bool verifyBoxesEnabled = true;
    bool autorun = false;
    bool includeSuperHidden = false;
    bool logging = false;
    bool enableShellExtension = false;
    bool allUsersRecycleBin = false;
    bool includeNetworkDrives = false;
    std::wstring logFile;
    int32_t languageRow = 0;
};

// An edit's text after its filter, and where its caret goes.
struct EditUpdate {
    std::wstring text;
    size_t caret = 0;
    bool changed = false;  // the control must be rewritten
};

// Number of rows in the language list: default, Japanese, English, Chinese.
constexpr int32_t kLanguageRows = 4;

int32_t LanguageRowOf(int32_t language);  // values without a row -> 0
int32_t LanguageOfRow(int32_t row);       // rows outside the list -> 0

// Keeps, in order, at most `maxKept` characters of `text` found in `allowed`.
EditUpdate FilterNumberEdit(const std::wstring& text, size_t caret, const wchar_t* allowed,
                            size_t maxKept);

class CSettingsDialogModel {
public:
    CSettingsDialogModel() = default;

    // Starts an opening from the main window's current values.
    void Open(const SettingsRecord& settings);

    // The method list's selection changed; -1 when nothing is selected.
    void SelectMethod(int32_t row);
    EditUpdate EditValue(const std::wstring& text, size_t caret);
    EditUpdate EditCount(const std::wstring& text, size_t caret);
    void SetVerify(bool ticked);
    void SetOnePercentVerify(bool ticked);
    void SetCheck(SettingsCheck check, bool ticked);
    void SelectLanguage(int32_t row);
    EditUpdate EditLogFile(const std::wstring& text, size_t caret);
    void ChooseLogFile(const std::wstring& path);
    void RequestLogErase();

    // Whether OK must first prove the log file writable.
    bool NeedsLogFileCheck() const;
    void LogFileUnwritable();

    const SettingsDialogView& View() const { return m_view; }
    const SettingsRecord& Working() const { return m_working; }
    const MethodEntry& WorkingMethod() const { return m_method; }
    SettingsDialogResult Result() const;

private:
    void RebuildQuickMethod();
    void ChooseVerify(int32_t verify);
    void PutMarker(uint32_t marker);
    void RemoveMarker();
    bool MethodIsModified() const;
    void RefreshView();

    SettingsRecord m_working;
    MethodEntry m_method = MethodTable[0];
    std::wstring m_openedLogFile;
    int32_t m_openedLogging = 0;
    bool m_eraseLogRequested = false;
    SettingsDialogView m_view;
};

}  // namespace qmz
