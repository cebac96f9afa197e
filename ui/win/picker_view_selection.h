// What both pickers read from their shell view: the browser behind the dialog, the
// folder it shows and the items selected in it.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <shobjidl.h>

#include <string>

#include "com/com_ptr.h"
#include "ui/model/picker_selection.h"

namespace qmz {

// The shell browser behind a picker: the dialog's answer to WM_GETISHELLBROWSER (the
// classic dialog answers it), else the top-level browser service of `site` (the modern
// dialog answers only that).
bool GetPickerShellBrowser(HWND dialog, IUnknown* site, CComPtr<IShellBrowser>* browser);

// The item's display name of the given kind; empty when it has none.
std::wstring ShellItemName(IShellItem* item, SIGDN kind);

// Replaces `selection` with the view's selected items that have file-system paths.
// Returns nullptr, or the text naming the step that failed.
const wchar_t* ReadViewSelection(IShellBrowser* browser, CPickerSelection* selection);

}  // namespace qmz
