#include "ui/win/file_open_dialog_events_vista.h"

#include <cwchar>

#include "com/com_ptr.h"
#include "ui/resource_ids.h"
#include "ui/win/picker_view_selection.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

struct ChildSearch {
    const wchar_t* className;
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK FindChildWithText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (_wcsicmp(className, search->className) != 0) {
        return TRUE;
    }
    const int length = GetWindowTextLengthW(child);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(child, text.data(), length + 1)));
    if (text != *search->text) {
        return TRUE;
    }
    search->found = child;
    return FALSE;
}

}  // namespace

CQMZ4FileOpenDialogEventsVista::CQMZ4FileOpenDialogEventsVista(std::wstring label,
                                                               std::wstring errorMessagePrefix,
                                                               std::wstring title)
    : m_label(std::move(label)),
      m_errorMessagePrefix(std::move(errorMessagePrefix)),
      m_title(std::move(title)) {}

void CQMZ4FileOpenDialogEventsVista::Prepare(HWND owner, const std::wstring& folder) {
    m_owner = owner;
    m_dialog = nullptr;
    m_namesBox = nullptr;
    m_closing = false;
    m_selection.Clear();
    m_folder = folder;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IFileDialogEvents)) {
        *object = static_cast<IFileDialogEvents*>(this);
    } else if (IsEqualIID(iid, IID_IFileDialogControlEvents)) {
        *object = static_cast<IFileDialogControlEvents*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

IFACEMETHODIMP_(ULONG) CQMZ4FileOpenDialogEventsVista::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

IFACEMETHODIMP_(ULONG) CQMZ4FileOpenDialogEventsVista::Release() {
    const LONG references = InterlockedDecrement(&m_references);
    if (references == 0) {
        delete this;
    }
    return static_cast<ULONG>(references);
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnFileOk(IFileDialog*) {
    return E_NOTIMPL;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnFolderChanging(IFileDialog* dialog, IShellItem*) {
    // Opening with several items (a folder among them) would enter the folder: take the
    // selection instead and stay where we are.
    if (!m_closing && m_selection.Count() >= 2) {
        CloseWith(dialog);
    }
    return m_closing ? E_FAIL : S_OK;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnFolderChange(IFileDialog* dialog) {
    if (m_closing) {
        return S_OK;
    }
    const HWND window = DialogWindow(dialog);
    if (window == nullptr) {
        return S_OK;
    }
    if (m_namesBox == nullptr) {
        ChildSearch search{L"Edit", &m_label, nullptr};
        EnumChildWindows(window, FindChildWithText, reinterpret_cast<LPARAM>(&search));
        m_namesBox = search.found;
    }
    CComPtr<IShellItem> folder;
    if (FAILED(dialog->GetFolder(folder.Receive())) || !folder) {
        Fail(L"GetFolder() failed");
        return S_OK;
    }
    m_folder = ShellItemName(folder.Get(), SIGDN_FILESYSPATH);
    m_selection.Clear();
    ShowNames();
    return S_OK;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnSelectionChange(IFileDialog* dialog) {
    if (m_closing) {
        return S_OK;
    }
    const HWND window = DialogWindow(dialog);
    if (window == nullptr) {
        return S_OK;
    }
    CComPtr<IShellBrowser> browser;
    if (!GetPickerShellBrowser(window, dialog, &browser)) {
        Fail(L"QueryService() failed on SID_STopLevelBrowser");
        return S_OK;
    }
    if (const wchar_t* failed = ReadViewSelection(browser.Get(), &m_selection)) {
        Fail(failed);
        return S_OK;
    }
    ShowNames();
    return S_OK;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnShareViolation(IFileDialog*, IShellItem*,
                                                                FDE_SHAREVIOLATION_RESPONSE*) {
    return E_NOTIMPL;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnTypeChange(IFileDialog*) {
    return E_NOTIMPL;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnOverwrite(IFileDialog*, IShellItem*,
                                                           FDE_OVERWRITE_RESPONSE*) {
    return E_NOTIMPL;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnItemSelected(IFileDialogCustomize*, DWORD, DWORD) {
    return E_NOTIMPL;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnButtonClicked(IFileDialogCustomize* customize,
                                                               DWORD control) {
    if (control != IDC_PICKER_SELECT || m_selection.Count() == 0) {
        return E_NOTIMPL;
    }
    CloseWith(customize);
    return S_OK;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnCheckButtonToggled(IFileDialogCustomize*, DWORD,
                                                                    BOOL) {
    return E_NOTIMPL;
}

IFACEMETHODIMP CQMZ4FileOpenDialogEventsVista::OnControlActivating(IFileDialogCustomize*, DWORD) {
    return E_NOTIMPL;
}

HWND CQMZ4FileOpenDialogEventsVista::DialogWindow(IUnknown* dialog) {
    CComPtr<IOleWindow> oleWindow;
    if (FAILED(dialog->QueryInterface(IID_IOleWindow, oleWindow.ReceiveVoid()))) {
        Fail(L"QueryInterface() failed on IID_IOleWindow");
        return nullptr;
    }
    HWND window = nullptr;
    if (FAILED(oleWindow->GetWindow(&window)) || window == nullptr) {
        Fail(L"GetWindow() failed on IOleWindow");
        return nullptr;
    }
    m_dialog = window;
    return window;
}

void CQMZ4FileOpenDialogEventsVista::ShowNames() {
    if (m_namesBox != nullptr) {
        SetWindowTextW(m_namesBox, m_selection.EditText().c_str());
    }
}

void CQMZ4FileOpenDialogEventsVista::CloseWith(IUnknown* dialog) {
    CComPtr<IFileDialog> fileDialog;
    if (SUCCEEDED(dialog->QueryInterface(IID_IFileDialog, fileDialog.ReceiveVoid()))) {
        fileDialog->Close(S_OK);
        m_closing = true;
    }
}

void CQMZ4FileOpenDialogEventsVista::Fail(const wchar_t* detail) {
    ShowInternalError(m_dialog != nullptr ? m_dialog : m_owner, m_errorMessagePrefix, m_title,
                      detail);
}

}  // namespace qmz
