// The settings dialog (dialog 137): a mirror of CSettingsDialogModel in Win32 controls.
// The main window makes one and reuses it for every opening; the log-file picker is set
// up at the first opening and kept.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commdlg.h>

#include <string>
#include <vector>

#include "ui/model/settings_dialog_model.h"

namespace qmz {

class CQMZ4Settings {
public:
    explicit CQMZ4Settings(HMODULE resources);
    CQMZ4Settings(const CQMZ4Settings&) = delete;
    CQMZ4Settings& operator=(const CQMZ4Settings&) = delete;

    // Modal. True on OK, with `out` filled; on Cancel `out` is left alone.
    bool Run(HWND owner, const SettingsDialogInputs& in, SettingsDialogResult* out);

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void OnCommand(int id, int code);
    void OnNumberEdit(int id);
    void OnLogFileEdit();
    void ChooseLogFile();
    bool ConfirmLogFile();
    void FillLists();
    void ShowView();
    void SetEditText(int id, const std::wstring& text);
    void PlaceCaret(int id, size_t caret);
    std::wstring EditText(int id) const;
    size_t Caret(int id) const;

    HMODULE m_resources;
    const SettingsDialogInputs* m_inputs = nullptr;  // during a run
    HWND m_dialog = nullptr;                         // during a run
    CSettingsDialogModel m_model;
    // Set while the dialog writes into its own controls: their notices are not the user's.
    bool m_updatingControls = false;

    // The log-file picker, set up at the first opening and kept.
    bool m_pickerReady = false;
    OPENFILENAMEW m_picker = {};
    std::wstring m_pickerFilter;  // the filter with NULs for bars
    std::wstring m_pickerTitle;
    std::vector<wchar_t> m_pickerFile;
};

}  // namespace qmz
