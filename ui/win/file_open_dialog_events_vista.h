// The modern picker's event sink: follows the folder and the selection of the open
// dialog, shows the selected names in the custom names box and closes the dialog when
// the user confirms a selection with the custom button (or opens with several items).
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <shobjidl.h>

#include <string>

#include "ui/model/picker_selection.h"

namespace qmz {

class CQMZ4FileOpenDialogEventsVista final : public IFileDialogEvents,
                                             public IFileDialogControlEvents {
public:
    // `label` is the custom controls' initial text, by which the names box is found.
    CQMZ4FileOpenDialogEventsVista(std::wstring label, std::wstring errorMessagePrefix,
                                   std::wstring title);
    CQMZ4FileOpenDialogEventsVista(const CQMZ4FileOpenDialogEventsVista&) = delete;
    CQMZ4FileOpenDialogEventsVista& operator=(const CQMZ4FileOpenDialogEventsVista&) = delete;

    // Before each showing: the window for messages and the folder known so far.
    void Prepare(HWND owner, const std::wstring& folder);
    const CPickerSelection& Selection() const { return m_selection; }
    const std::wstring& Folder() const { return m_folder; }

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IFileDialogEvents
    IFACEMETHODIMP OnFileOk(IFileDialog* dialog) override;
    IFACEMETHODIMP OnFolderChanging(IFileDialog* dialog, IShellItem* folder) override;
    IFACEMETHODIMP OnFolderChange(IFileDialog* dialog) override;
    IFACEMETHODIMP OnSelectionChange(IFileDialog* dialog) override;
    IFACEMETHODIMP OnShareViolation(IFileDialog* dialog, IShellItem* item,
                                    FDE_SHAREVIOLATION_RESPONSE* response) override;
    IFACEMETHODIMP OnTypeChange(IFileDialog* dialog) override;
    IFACEMETHODIMP OnOverwrite(IFileDialog* dialog, IShellItem* item,
                               FDE_OVERWRITE_RESPONSE* response) override;

    // IFileDialogControlEvents
    IFACEMETHODIMP OnItemSelected(IFileDialogCustomize* customize, DWORD control,
                                  DWORD item) override;
    IFACEMETHODIMP OnButtonClicked(IFileDialogCustomize* customize, DWORD control) override;
    IFACEMETHODIMP OnCheckButtonToggled(IFileDialogCustomize* customize, DWORD control,
                                        BOOL checked) override;
    IFACEMETHODIMP OnControlActivating(IFileDialogCustomize* customize, DWORD control) override;

private:
    ~CQMZ4FileOpenDialogEventsVista() = default;

    // The dialog's window, from its IOleWindow; null after a failure (shown).
    HWND DialogWindow(IUnknown* dialog);
    void ShowNames();
    void CloseWith(IUnknown* dialog);
    void Fail(const wchar_t* detail);

    LONG m_references = 1;
    std::wstring m_label;
    std::wstring m_errorMessagePrefix;
    std::wstring m_title;
    HWND m_owner = nullptr;
    HWND m_dialog = nullptr;
    HWND m_namesBox = nullptr;
    bool m_closing = false;
    CPickerSelection m_selection;
    std::wstring m_folder;
};

}  // namespace qmz
