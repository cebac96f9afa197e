// Shows the log file in the program the user's system associates with it.
#pragma once

#include <windows.h>

#include <string>

namespace qmz {

// Opens `path` in its associated viewer (by its extension, else the ".log" or ".txt"
// program, else Notepad). A missing file or a viewer that cannot start is reported as an
// error box titled `caption`: the path followed by `missingSuffix` or `cannotShowSuffix`.
void ViewLogFile(HWND owner, const std::wstring& caption, const std::wstring& path,
                 const std::wstring& missingSuffix, const std::wstring& cannotShowSuffix);

}  // namespace qmz
