// Path arithmetic shared by every erase routine and by the request code.
#pragma once

#include <string>

namespace qmz {

// A drive-letter path ("C:\\...") or a UNC or device path ("\\\\server\\...", "\\\\?\\...").
// Anything else would be resolved against a current directory nobody chose.
bool IsAbsolutePath(const std::wstring& path);

// "dir" + "\\" + name, without doubling a separator the folder already ends with.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The path with exactly one trailing backslash, as mount-point queries need it.
std::wstring WithTrailingBackslash(const std::wstring& path);

}  // namespace qmz
