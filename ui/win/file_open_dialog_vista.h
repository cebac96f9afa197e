// The modern picker: the Common Item Dialog with a custom select button and names box.
#pragma once

#include <windows.h>

#include "com/com_ptr.h"
#include "ui/win/file_open_dialog_events_vista.h"
#include "ui/win/file_picker.h"

namespace qmz {

class CQMZ4FileOpenDialogVista final : public IFilePicker {
public:
    explicit CQMZ4FileOpenDialogVista(PickerSetup setup);
    CQMZ4FileOpenDialogVista(const CQMZ4FileOpenDialogVista&) = delete;
    CQMZ4FileOpenDialogVista& operator=(const CQMZ4FileOpenDialogVista&) = delete;

    bool Run(HWND owner, const std::wstring& startFolder, PickerResult* result) override;

private:
    bool Fail(HWND owner, const wchar_t* detail) const;

    PickerSetup m_setup;
    CComPtr<CQMZ4FileOpenDialogEventsVista> m_events;
};

}  // namespace qmz
