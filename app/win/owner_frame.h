// The OwnerFrame: a frame window that is never shown and owns the main window.
#pragma once

#include <windows.h>

#include "ui/win/win_handles.h"

namespace qmz {

CWindow CreateOwnerFrame(HINSTANCE instance);

}  // namespace qmz
