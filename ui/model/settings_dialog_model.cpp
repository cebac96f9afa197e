#include "ui/model/settings_dialog_model.h"

#include <algorithm>
#include <cwchar>

#include "ops/no_case.h"

namespace qmz {
namespace {

constexpr int32_t kLanguageValues[kLanguageRows] = {0, 1041, 1033, 2052};
constexpr wchar_t kHexDigits[] = L"0123456789aAbBcCdDeEfF";
constexpr wchar_t kDecimalDigits[] = L"0123456789";
constexpr size_t kNumberEditDigits = 2;

bool IsMarker(uint32_t code) {
    return code == PassVerify || code == PassVerifyOnePercent;
}

uint32_t MarkerOf(int32_t verify) {
    return verify == 1 ? PassVerify : verify == 2 ? PassVerifyOnePercent : PassListEnd;
}

// Registry values beyond the edits' range must not turn into other pass codes or run
// past the pass list.
uint32_t ClampedValue(int32_t value) {
    return static_cast<uint32_t>(std::clamp<int32_t>(value, 0, kMaxQuickValue));
}
uint32_t ClampedCount(int32_t count) {
    return static_cast<uint32_t>(std::clamp<int32_t>(count, 0, kMaxQuickCount));
}

bool SamePasses(const MethodEntry& a, const MethodEntry& b) {
    const uint32_t count = CountPasses(a);
    return count == CountPasses(b) && std::equal(a.PassCodes, a.PassCodes + count, b.PassCodes);
}

}  // namespace

int32_t LanguageRowOf(int32_t language) {
    for (int32_t row = 0; row < kLanguageRows; ++row) {
        if (kLanguageValues[row] == language) {
            return row;
        }
    }
    return 0;
}

int32_t LanguageOfRow(int32_t row) {
    return row >= 0 && row < kLanguageRows ? kLanguageValues[row] : 0;
}

EditUpdate FilterNumberEdit(const std::wstring& text, size_t caret, const wchar_t* allowed,
                            size_t maxKept) {
    EditUpdate update;
    bool dropped = false;
    size_t keptBeforeLastDrop = 0;
    for (const wchar_t c : text) {
        if (update.text.size() < maxKept && c != L'\0' && std::wcschr(allowed, c) != nullptr) {
            update.text.push_back(c);
        } else {
            dropped = true;
            keptBeforeLastDrop = update.text.size();
        }
    }
    // The caret stays where the user left it unless a dropped character stood before it.
    update.caret = std::min(update.text.size(), dropped ? keptBeforeLastDrop : caret);
    update.changed = update.text != text;
    return update;
}

void ApplySettingsDialogResult(const SettingsDialogResult& result, SettingsRecord* record) {
    const MethodEntry* effective = LookupMethod(result.settings.EraseMethod);
    if (result.workingMethodModified) {
        *ModifiedMethodSlot() = result.workingMethod;
        effective = ModifiedMethodSlot();
    }
    *record = result.settings;
    record->EffectiveMethod = effective;
    record->PassCount = static_cast<int32_t>(CountPasses(*effective));
}

void CSettingsDialogModel::Open(const SettingsRecord& settings) {
    m_working = settings;
    m_openedLogFile = settings.LogFile;
    m_openedLogging = settings.Logging;
    m_eraseLogRequested = false;
    // A fresh dialog's boxes: the selection rule keeps them when a method has no passes.
    m_view = SettingsDialogView();
    const MethodEntry* effective = settings.EffectiveMethod != nullptr
                                       ? settings.EffectiveMethod
                                       : LookupMethod(settings.EraseMethod);
    SelectMethod(effective->ListPosition);
    m_working.Language = LanguageOfRow(LanguageRowOf(settings.Language));
    RefreshView();
}

void CSettingsDialogModel::SelectMethod(int32_t row) {
    if (row < 0 || row >= kMethodCount) {
        row = 0;
    }
    m_working.EraseMethod = row;
    m_method = MethodTable[row];
    m_view.methodRow = row;
    if (row != 0) {
        m_view.valueText.clear();
        m_view.countText.clear();
        m_view.numberEditsEnabled = false;
    } else {
        const uint32_t value = ClampedValue(m_working.QuickValue);
        const uint32_t count = ClampedCount(m_working.QuickCount);
        if (value != 0 || count != 1) {
            std::fill_n(m_method.PassCodes, count, value);
            m_method.PassCodes[count] = PassListEnd;
        }
        wchar_t text[16] = {};
        std::swprintf(text, 16, L"%.02X", value);
        m_view.valueText = text;
        m_view.countText = std::to_wstring(count);
        m_view.numberEditsEnabled = true;
    }

    uint32_t passes = CountPasses(m_method);
    if (passes > 0) {
        if (m_method.PassCodes[passes - 1] == PassVerify) {
            m_view.verifyTicked = true;
            m_view.onePercentTicked = false;
            m_view.verifyBoxesEnabled = false;
        } else if (m_working.Verify == 1 || m_working.Verify == 2) {
            m_method.PassCodes[passes] = MarkerOf(m_working.Verify);
            m_method.PassCodes[++passes] = PassListEnd;
            m_view.verifyTicked = m_working.Verify == 1;
            m_view.onePercentTicked = m_working.Verify == 2;
            m_view.verifyBoxesEnabled = true;
        } else {
            m_view.verifyTicked = false;
            m_view.onePercentTicked = false;
            m_view.verifyBoxesEnabled = true;
        }
    }
    m_working.PassCount = static_cast<int32_t>(passes);
}

EditUpdate CSettingsDialogModel::EditValue(const std::wstring& text, size_t caret) {
    EditUpdate update = FilterNumberEdit(text, caret, kHexDigits, kNumberEditDigits);
    if (!update.text.empty()) {
        m_working.QuickValue = static_cast<int32_t>(std::wcstoul(update.text.c_str(), nullptr, 16));
    }
    m_view.valueText = update.text;
    RebuildQuickMethod();
    return update;
}

EditUpdate CSettingsDialogModel::EditCount(const std::wstring& text, size_t caret) {
    EditUpdate update = FilterNumberEdit(text, caret, kDecimalDigits, kNumberEditDigits);
    if (!update.text.empty()) {
        m_working.QuickCount = static_cast<int32_t>(std::wcstoul(update.text.c_str(), nullptr, 10));
    }
    m_view.countText = update.text;
    RebuildQuickMethod();
    return update;
}

void CSettingsDialogModel::RebuildQuickMethod() {
    const uint32_t value = ClampedValue(m_working.QuickValue);
    const uint32_t count = ClampedCount(m_working.QuickCount);
    m_method = MethodTable[0];
    std::fill_n(m_method.PassCodes, count, value);
    uint32_t passes = count;
    const uint32_t marker = MarkerOf(m_working.Verify);
    if (marker != PassListEnd) {
        m_method.PassCodes[passes++] = marker;
    }
    m_method.PassCodes[passes] = PassListEnd;
    m_working.PassCount = static_cast<int32_t>(passes);
}

void CSettingsDialogModel::SetVerify(bool ticked) {
    ChooseVerify(ticked ? 1 : 0);
}

void CSettingsDialogModel::SetOnePercentVerify(bool ticked) {
    ChooseVerify(ticked ? 2 : 0);
}

// The two boxes are exclusive: ticking one clears the other, and the method ends with
// the chosen kind's marker, or none.
void CSettingsDialogModel::ChooseVerify(int32_t verify) {
    m_working.Verify = verify;
    m_view.verifyTicked = verify == 1;
    m_view.onePercentTicked = verify == 2;
    if (verify == 0) {
        RemoveMarker();
    } else {
        PutMarker(MarkerOf(verify));
    }
}

void CSettingsDialogModel::PutMarker(uint32_t marker) {
    uint32_t passes = CountPasses(m_method);
    if (passes > 0 && IsMarker(m_method.PassCodes[passes - 1])) {
        m_method.PassCodes[passes - 1] = marker;
    } else if (passes + 2 <= kPassCodeSlots) {
        m_method.PassCodes[passes] = marker;
        m_method.PassCodes[++passes] = PassListEnd;
    }
    m_working.PassCount = static_cast<int32_t>(passes);
}

void CSettingsDialogModel::RemoveMarker() {
    uint32_t passes = CountPasses(m_method);
    // A table method's own verification pass is part of the method, never a marker.
    if (MethodIsModified() && passes > 0 && IsMarker(m_method.PassCodes[passes - 1])) {
        m_method.PassCodes[--passes] = PassListEnd;
    }
    m_working.PassCount = static_cast<int32_t>(passes);
}

bool CSettingsDialogModel::MethodIsModified() const {
    return !SamePasses(m_method, *LookupMethod(m_working.EraseMethod));
}

void CSettingsDialogModel::SetCheck(SettingsCheck check, bool ticked) {
    const int32_t value = ticked ? 1 : 0;
    switch (check) {
        case SettingsCheck::kAutorun:
            m_working.Autorun = value;
            break;
        case SettingsCheck::kIncludeSuperHidden:
            m_working.IncludeSuperHidden = value;
            break;
        case SettingsCheck::kLogging:
            m_working.Logging = value;
            break;
        case SettingsCheck::kEnableShellExtension:
            m_working.EnableShellExtension = value;
            break;
        case SettingsCheck::kAllUsersRecycleBin:
            m_working.AllUsersRecycleBin = value;
            break;
        case SettingsCheck::kIncludeNetworkDrives:
            m_working.IncludeNetworkDrives = value;
            break;
    }
    RefreshView();
}

void CSettingsDialogModel::SelectLanguage(int32_t row) {
    m_working.Language = LanguageOfRow(row);
    RefreshView();
}

EditUpdate CSettingsDialogModel::EditLogFile(const std::wstring& text, size_t caret) {
    // Return in the one-line box arrives as CR LF: it ends the name instead.
    EditUpdate update;
    update.caret = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            update.changed = true;
            ++i;
            continue;
        }
        update.text.push_back(text[i]);
        if (i < caret) {
            ++update.caret;
        }
    }
    m_working.LogFile = update.text;
    if (update.changed) {
        m_working.Logging = update.text.empty() ? 0 : 1;
    } else {
        update.caret = caret;
    }
    RefreshView();
    return update;
}

void CSettingsDialogModel::ChooseLogFile(const std::wstring& path) {
    m_working.LogFile = path;
    m_working.Logging = 1;
    RefreshView();
}

void CSettingsDialogModel::RequestLogErase() {
    m_eraseLogRequested = true;
    m_working.Logging = 0;
    RefreshView();
}

bool CSettingsDialogModel::NeedsLogFileCheck() const {
    return m_working.Logging == 1 &&
           (m_openedLogging != 1 || !EqualsNoCase(m_working.LogFile, m_openedLogFile));
}

void CSettingsDialogModel::LogFileUnwritable() {
    m_working.Logging = 0;
    RefreshView();
}

SettingsDialogResult CSettingsDialogModel::Result() const {
    SettingsDialogResult result;
    result.settings = m_working;
    result.settings.EffectiveMethod = nullptr;
    result.workingMethod = m_method;
    result.workingMethodModified = MethodIsModified();
    result.eraseLogRequested = m_eraseLogRequested;
    return result;
}

void CSettingsDialogModel::RefreshView() {
    m_view.autorun = m_working.Autorun == 1;
    m_view.includeSuperHidden = m_working.IncludeSuperHidden == 1;
    m_view.logging = m_working.Logging == 1;
    m_view.enableShellExtension = m_working.EnableShellExtension == 1;
    m_view.allUsersRecycleBin = m_working.AllUsersRecycleBin == 1;
    m_view.includeNetworkDrives = m_working.IncludeNetworkDrives == 1;
    m_view.logFile = m_working.LogFile;
    m_view.languageRow = LanguageRowOf(m_working.Language);
}

}  // namespace qmz
