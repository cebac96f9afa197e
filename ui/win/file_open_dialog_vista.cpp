#include "ui/win/file_open_dialog_vista.h"

#include <shobjidl.h>

#include "ui/model/picker_selection.h"
#include "ui/resource_ids.h"
#include "ui/win/picker_view_selection.h"
#include "ui/win/resource_texts.h"
#include "ui/win/win_handles.h"

namespace qmz {
namespace {

constexpr FILEOPENDIALOGOPTIONS kOptions = FOS_NOCHANGEDIR | FOS_FORCEFILESYSTEM | FOS_NOVALIDATE |
                                           FOS_ALLOWMULTISELECT | FOS_NODEREFERENCELINKS |
                                           FOS_DONTADDTORECENT | FOS_FORCESHOWHIDDEN;
static_assert(kOptions == 0x12100348, "the picker's dialog options");

using CreateItemFunction = HRESULT(WINAPI*)(PCWSTR, IBindCtx*, REFIID, void**);

// Looked up at run time so that the program still starts where shell32 lacks it.
HRESULT CreateFolderItem(const std::wstring& path, CComPtr<IShellItem>* item) {
    CModule shell(LoadLibraryW(L"Shell32.dll"));
    if (!shell) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    const FARPROC address = GetProcAddress(shell.Get(), "SHCreateItemFromParsingName");
    if (address == nullptr) {
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    const auto create = reinterpret_cast<CreateItemFunction>(reinterpret_cast<void*>(address));
    return create(path.c_str(), nullptr, IID_IShellItem, item->ReceiveVoid());
}

// The folder's file-system path, else its desktop parsing name, else empty.
std::wstring FolderPath(IShellItem* folder) {
    std::wstring path = ShellItemName(folder, SIGDN_FILESYSPATH);
    return path.empty() ? ShellItemName(folder, SIGDN_DESKTOPABSOLUTEPARSING) : path;
}

}  // namespace

CQMZ4FileOpenDialogVista::CQMZ4FileOpenDialogVista(PickerSetup setup) : m_setup(std::move(setup)) {
    m_events.Attach(new CQMZ4FileOpenDialogEventsVista(m_setup.buttonLabel,
                                                       m_setup.errorMessagePrefix, m_setup.title));
}

bool CQMZ4FileOpenDialogVista::Run(HWND owner, const std::wstring& startFolder,
                                   PickerResult* result) {
    if (owner == nullptr) {
        owner = GetActiveWindow();
    }
    result->paths.clear();

    CComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, dialog.ReceiveVoid()))) {
        return Fail(owner, L"CoCreateInstance() failed on CLSID_FileOpenDialog");
    }
    CComPtr<IFileDialogCustomize> customize;
    if (FAILED(dialog.QueryInto(IID_IFileDialogCustomize, &customize))) {
        return Fail(owner, L"QueryInterface() failed on IID_IFileDialogCustomize");
    }
    if (FAILED(dialog->SetTitle(m_setup.title.c_str()))) {
        return Fail(owner, L"SetTitle() failed");
    }
    const std::wstring typeName = FilterDisplayName(m_setup.filter);
    const COMDLG_FILTERSPEC type = {typeName.c_str(), L"*.*"};
    if (FAILED(dialog->SetFileTypes(1, &type))) {
        return Fail(owner, L"SetFileTypes() failed");
    }
    if (FAILED(dialog->SetFileTypeIndex(1))) {
        return Fail(owner, L"SetFileTypeIndex() failed");
    }
    if (FAILED(dialog->SetDefaultExtension(L""))) {
        return Fail(owner, L"SetDefaultExtension() failed");
    }
    if (FAILED(dialog->SetOptions(kOptions))) {
        return Fail(owner, L"SetOptions() failed");
    }

    std::wstring folder = startFolder;
    CComPtr<IShellItem> startItem;
    if (SUCCEEDED(CreateFolderItem(startFolder, &startItem)) && startItem) {
        if (FAILED(dialog->SetFolder(startItem.Get()))) {
            return Fail(owner, L"SetFolder() failed");
        }
    } else {
        // No such folder: start where the dialog would, and say so.
        CComPtr<IShellItem> current;
        if (FAILED(dialog->GetFolder(current.Receive())) || !current) {
            return Fail(owner, L"GetFolder() failed");
        }
        folder = FolderPath(current.Get());
        result->folder = folder;
    }

    // The edit box starts with the label so that the sink can find its window.
    if (FAILED(customize->AddPushButton(IDC_PICKER_SELECT, m_setup.buttonLabel.c_str()))) {
        return Fail(owner, L"AddPushButton() failed");
    }
    if (FAILED(customize->AddEditBox(IDC_PICKER_NAMES, m_setup.buttonLabel.c_str()))) {
        return Fail(owner, L"AddEditBox() failed");
    }

    m_events->Prepare(owner, folder);
    DWORD cookie = 0;
    if (FAILED(dialog->Advise(m_events.Get(), &cookie))) {
        return Fail(owner, L"Advise() failed");
    }
    const HRESULT shown = dialog->Show(owner);
    const HRESULT unadvised = dialog->Unadvise(cookie);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        return false;
    }
    if (FAILED(shown)) {
        return Fail(owner, L"Show() failed");
    }
    if (FAILED(unadvised)) {
        return Fail(owner, L"Unadvise() failed");
    }
    result->folder = m_events->Folder();
    result->paths = m_events->Selection().Paths();
    return true;
}

bool CQMZ4FileOpenDialogVista::Fail(HWND owner, const wchar_t* detail) const {
    ShowInternalError(owner, m_setup.errorMessagePrefix, m_setup.title, detail);
    return false;
}

}  // namespace qmz
