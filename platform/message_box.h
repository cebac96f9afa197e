// Modal message boxes: internal diagnostics and questions to the user.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace qmz {

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // `style` takes the MB_* values; returns the IDOK/IDYES/IDNO button pressed.
    virtual int Show(WindowHandle owner, const std::wstring& text, const std::wstring& caption,
                     uint32_t style) = 0;
};

}  // namespace qmz
