// The classic picker: GetOpenFileNameW with a child template (dialog 136) whose select
// button takes the place of the standard OK button and whose names box covers the file
// name and type boxes.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commdlg.h>

#include <string>
#include <vector>

#include "ui/model/picker_selection.h"
#include "ui/win/file_picker.h"

namespace qmz {

class CQMZ4FileDialog final : public IFilePicker {
public:
    explicit CQMZ4FileDialog(PickerSetup setup);
    CQMZ4FileDialog(const CQMZ4FileDialog&) = delete;
    CQMZ4FileDialog& operator=(const CQMZ4FileDialog&) = delete;

    bool Run(HWND owner, const std::wstring& startFolder, PickerResult* result) override;

private:
    static UINT_PTR CALLBACK HookProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDone(HWND child);
    void OnFolderChange(HWND child);
    void OnSelectionChange(HWND child);
    void Confirm(HWND child);
    bool Fail(HWND owner, const wchar_t* detail) const;

    PickerSetup m_setup;
    std::wstring m_filter;  // the setup's filter with NULs for bars
    std::vector<wchar_t> m_buffer;
    OPENFILENAMEW* m_running = nullptr;  // during a run
    CPickerSelection m_selection;
    std::wstring m_folder;
    bool m_confirmed = false;
};

}  // namespace qmz
