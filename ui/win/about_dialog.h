// The about box (dialog 100): the application icon, the version and OK.
#pragma once

#include <windows.h>

namespace qmz {

void ShowAboutBox(HMODULE resources, HWND owner);

}  // namespace qmz
