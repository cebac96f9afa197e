#include "ui/win/about_dialog.h"

#include "ui/resource_ids.h"
#include "ui/win/win_handles.h"

namespace qmz {
namespace {

struct AboutData {
    HMODULE resources;
    CIcon icon;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Only the initialisation needs the data: the icon lives as long as the call.
        auto* data = reinterpret_cast<AboutData*>(lParam);
        data->icon.Reset(
            static_cast<HICON>(LoadImageW(data->resources, MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                          IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
        SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(data->icon.Get()), 0);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HMODULE resources, HWND owner) {
    AboutData data{resources, CIcon()};
    DialogBoxParamW(resources, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, AboutProc,
                    reinterpret_cast<LPARAM>(&data));
}

}  // namespace qmz
