#include "ui/win/picker_view_selection.h"

#include <shlguid.h>

#include <vector>

#include "ui/win/shell_id_list.h"

namespace qmz {
namespace {

// Undocumented, and sent by the shell's own views to find their browser.
constexpr UINT kGetShellBrowserMessage = WM_USER + 7;

}  // namespace

bool GetPickerShellBrowser(HWND dialog, IUnknown* site, CComPtr<IShellBrowser>* browser) {
    // The message hands out the dialog's own pointer without a reference.
    auto* answered =
        reinterpret_cast<IShellBrowser*>(SendMessageW(dialog, kGetShellBrowserMessage, 0, 0));
    if (answered != nullptr) {
        answered->AddRef();
        browser->Attach(answered);
        return true;
    }
    if (site == nullptr) {
        return false;
    }
    CComPtr<IServiceProvider> services;
    if (FAILED(site->QueryInterface(IID_IServiceProvider, services.ReceiveVoid()))) {
        return false;
    }
    return SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                            browser->ReceiveVoid())) &&
           *browser;
}

std::wstring ShellItemName(IShellItem* item, SIGDN kind) {
    wchar_t* name = nullptr;
    if (FAILED(item->GetDisplayName(kind, &name)) || name == nullptr) {
        return std::wstring();
    }
    std::wstring copy(name);
    CoTaskMemFree(name);
    return copy;
}

const wchar_t* ReadViewSelection(IShellBrowser* browser, CPickerSelection* selection) {
    CComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Receive())) || !view) {
        return L"QueryActiveShellView() failed";
    }
    CComPtr<IFolderView2> folderView;
    if (FAILED(view.QueryInto(IID_IFolderView2, &folderView))) {
        return L"QueryInterface() failed on IID_IFolderView2";
    }
    selection->Clear();
    CComPtr<IShellItemArray> items;
    if (SUCCEEDED(folderView->GetSelection(FALSE, items.Receive())) && items) {
        DWORD count = 0;
        if (FAILED(items->GetCount(&count))) {
            return L"GetCount() failed";
        }
        for (DWORD i = 0; i < count; ++i) {
            CComPtr<IShellItem> item;
            if (SUCCEEDED(items->GetItemAt(i, item.Receive()))) {
                const std::wstring path = ShellItemName(item.Get(), SIGDN_FILESYSPATH);
                if (!path.empty()) {
                    selection->Add(path);
                }
            }
        }
        return nullptr;
    }
    // Views without IFolderView2::GetSelection (Wine's) still hand out their selection as
    // a data object; a view without a selection may refuse both.
    CComPtr<IDataObject> data;
    if (FAILED(view->GetItemObject(SVGIO_SELECTION, IID_IDataObject, data.ReceiveVoid())) ||
        !data) {
        return nullptr;
    }
    std::vector<std::wstring> paths;
    if (ReadShellIdListPaths(data.Get(), &paths) == IdListReadResult::kOk) {
        for (const std::wstring& path : paths) {
            selection->Add(path);
        }
    }
    return nullptr;
}

}  // namespace qmz
