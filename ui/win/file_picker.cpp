#include "ui/win/file_picker.h"

#include "ui/win/file_dialog_classic.h"
#include "ui/win/file_open_dialog_vista.h"

namespace qmz {

std::unique_ptr<IFilePicker> CreateFilePicker(DWORD majorVersion, PickerSetup setup) {
    constexpr DWORD kFirstModernMajor = 6;
    if (majorVersion >= kFirstModernMajor) {
        return std::make_unique<CQMZ4FileOpenDialogVista>(std::move(setup));
    }
    return std::make_unique<CQMZ4FileDialog>(std::move(setup));
}

}  // namespace qmz
