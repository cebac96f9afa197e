#include "ui/win/file_dialog_classic.h"

#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>

#include "com/com_ptr.h"
#include "ui/resource_ids.h"
#include "ui/win/picker_view_selection.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

constexpr DWORD kFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ALLOWMULTISELECT |
                         OFN_SHAREAWARE | OFN_EXPLORER | OFN_NODEREFERENCELINKS |
                         OFN_DONTADDTORECENT | OFN_FORCESHOWHIDDEN;
static_assert(kFlags == 0x1218420C, "the picker's dialog flags");

// The window's rectangle in the client coordinates of `target`.
RECT RectIn(HWND window, HWND target) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, target, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveTo(HWND window, const RECT& rect) {
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Hide(HWND window) {
    if (window != nullptr) {
        ShowWindow(window, SW_HIDE);
    }
}

// The parsing path of the folder the dialog shows; empty when it has none.
std::wstring CurrentFolder(HWND dialog) {
    const LRESULT size = SendMessageW(dialog, CDM_GETFOLDERIDLIST, 0, 0);
    if (size <= 0) {
        return std::wstring();
    }
    std::vector<BYTE> idList(static_cast<std::size_t>(size));
    SendMessageW(dialog, CDM_GETFOLDERIDLIST, static_cast<WPARAM>(size),
                 reinterpret_cast<LPARAM>(idList.data()));
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(idList.data()), path)) {
        return std::wstring();
    }
    return path;
}

}  // namespace

CQMZ4FileDialog::CQMZ4FileDialog(PickerSetup setup) : m_setup(std::move(setup)) {
    m_filter = m_setup.filter;
    std::replace(m_filter.begin(), m_filter.end(), L'|', L'\0');
}

bool CQMZ4FileDialog::Run(HWND owner, const std::wstring& startFolder, PickerResult* result) {
    if (owner == nullptr) {
        owner = GetActiveWindow();
    }
    result->paths.clear();
    m_selection.Clear();
    m_folder = startFolder;
    m_confirmed = false;
    m_buffer.assign(m_selection.FileBufferCapacity(m_folder), L'\0');

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.hInstance = m_setup.resources;
    dialog.lpstrFilter = m_filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = m_buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(m_buffer.size());
    dialog.lpstrInitialDir = startFolder.c_str();
    dialog.lpstrTitle = m_setup.title.c_str();
    dialog.Flags = kFlags | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    dialog.lpfnHook = HookProc;
    dialog.lpTemplateName = MAKEINTRESOURCEW(IDD_PICKER_TEMPLATE);

    m_running = &dialog;
    const BOOL confirmed = GetOpenFileNameW(&dialog);
    m_running = nullptr;
    if (!confirmed) {
        const DWORD error = CommDlgExtendedError();
        return error == 0 ? false : Fail(owner, L"GetOpenFileNameW() failed");
    }
    if (!m_confirmed || m_selection.Count() == 0) {
        return false;
    }
    result->paths = m_selection.Paths();
    result->folder = m_folder;
    return true;
}

UINT_PTR CALLBACK CQMZ4FileDialog::HookProc(HWND child, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* dialog = reinterpret_cast<const OPENFILENAMEW*>(lParam);
        SetWindowLongPtrW(child, GWLP_USERDATA, dialog->lCustData);
        return TRUE;
    }
    auto* picker = reinterpret_cast<CQMZ4FileDialog*>(GetWindowLongPtrW(child, GWLP_USERDATA));
    if (picker == nullptr) {
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
            case CDN_INITDONE:
                picker->OnInitDone(child);
                break;
            case CDN_FOLDERCHANGE:
                picker->OnFolderChange(child);
                break;
            case CDN_SELCHANGE:
                picker->OnSelectionChange(child);
                break;
            default:
                break;
        }
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_PICKER_SELECT &&
        HIWORD(wParam) == BN_CLICKED && picker->m_selection.Count() > 0) {
        picker->Confirm(child);
        return TRUE;
    }
    return FALSE;
}

void CQMZ4FileDialog::OnInitDone(HWND child) {
    const HWND dialog = GetParent(child);
    // The select button replaces OK, which would open a folder instead of taking it.
    const HWND ok = GetDlgItem(dialog, IDOK);
    const HWND select = GetDlgItem(child, IDC_PICKER_SELECT);
    SetWindowTextW(select, m_setup.buttonLabel.c_str());
    if (ok != nullptr) {
        MoveTo(select, RectIn(ok, child));
        EnableWindow(ok, FALSE);
        Hide(ok);
    }
    // The names box takes the place of the file name and type boxes.
    HWND nameBox = GetDlgItem(dialog, cmb13);
    if (nameBox == nullptr) {
        nameBox = GetDlgItem(dialog, edt1);
    }
    const HWND typeBox = GetDlgItem(dialog, cmb1);
    if (nameBox != nullptr) {
        RECT area = RectIn(nameBox, child);
        if (typeBox != nullptr) {
            area.bottom = std::max(area.bottom, RectIn(typeBox, child).bottom);
        }
        MoveTo(GetDlgItem(child, IDC_PICKER_NAMES), area);
    }
    Hide(nameBox);
    Hide(typeBox);
    Hide(GetDlgItem(dialog, stc2));
}

void CQMZ4FileDialog::OnFolderChange(HWND child) {
    const HWND dialog = GetParent(child);
    // Enter on several items opens the folder among them; take the selection instead.
    if (GetFocus() == GetDlgItem(dialog, IDOK) && m_selection.Count() >= 2) {
        Confirm(child);
        return;
    }
    m_folder = CurrentFolder(dialog);
    m_selection.Clear();
    SetDlgItemTextW(child, IDC_PICKER_NAMES, L"");
}

void CQMZ4FileDialog::OnSelectionChange(HWND child) {
    const HWND dialog = GetParent(child);
    CComPtr<IShellBrowser> browser;
    if (!GetPickerShellBrowser(dialog, nullptr, &browser)) {
        Fail(dialog, L"WM_GETISHELLBROWSER failed");
        return;
    }
    if (const wchar_t* failed = ReadViewSelection(browser.Get(), &m_selection)) {
        Fail(dialog, failed);
        return;
    }
    SetDlgItemTextW(child, IDC_PICKER_NAMES, m_selection.EditText().c_str());
}

void CQMZ4FileDialog::Confirm(HWND child) {
    SetDlgItemTextW(child, IDC_PICKER_NAMES, L"");
    const std::wstring layout = m_selection.FileBuffer(m_folder);
    m_buffer.assign(m_selection.FileBufferCapacity(m_folder), L'\0');
    std::copy(layout.begin(), layout.end(), m_buffer.begin());
    if (m_running != nullptr) {
        m_running->lpstrFile = m_buffer.data();
        m_running->nMaxFile = static_cast<DWORD>(m_buffer.size());
        m_running->nFileOffset =
            static_cast<WORD>(std::min<std::size_t>(m_folder.size() + 1, 0xffff));
        m_running->nFileExtension = 0;
    }
    m_confirmed = true;
    // Ended here rather than through the dialog's own OK: that would enter a selected
    // folder, or rebuild the buffer from the hidden file name box.
    EndDialog(GetParent(child), IDOK);
}

bool CQMZ4FileDialog::Fail(HWND owner, const wchar_t* detail) const {
    ShowInternalError(owner, m_setup.errorMessagePrefix, m_setup.title, detail);
    return false;
}

}  // namespace qmz
