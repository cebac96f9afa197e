// The file-and-folder pickers: the standard open dialog extended so that the user can
// pick any mix of files and folders of one folder at once, with a "select" button and a
// box listing the picked names. The modern picker (Common Item Dialog) serves Windows 6
// and later; the classic one (GetOpenFileNameW with a child template) serves the rest.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace qmz {

struct PickerResult {
    std::vector<std::wstring> paths;  // full file-system paths, in selection order
    std::wstring folder;              // the folder shown at the end; empty without a path
};

// What a picker is made with; it keeps it for every run.
struct PickerSetup {
    HMODULE resources = nullptr;  // holds the classic picker's child template
    std::wstring title;
    std::wstring buttonLabel;
    std::wstring filter;  // "name|pattern||"
    std::wstring errorMessagePrefix;
};

class IFilePicker {
public:
    virtual ~IFilePicker() = default;
    // Modal; call on a thread whose apartment OLE has initialised. True when the user
    // confirmed a selection; false when cancelled (no message) or when the picker failed
    // (after showing a message owned by `owner`, else by the active window).
    virtual bool Run(HWND owner, const std::wstring& startFolder, PickerResult* result) = 0;
};

// The modern picker for a major Windows version of 6 or more, else the classic one.
std::unique_ptr<IFilePicker> CreateFilePicker(DWORD majorVersion, PickerSetup setup);

}  // namespace qmz
