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

// Where the last name of a path begins, less one: Win32 takes "/" as a separator too.
size_t LastSeparator(const std::wstring& path);

// A named stream's path ("dir\file:name"), as opposed to an object's.
bool NamesStream(const std::wstring& path);

// The "\\?\" form of an absolute drive-letter or UNC path, which Win32 passes on name for
// name: "victim." stays "victim." instead of naming "victim". Separators become
// backslashes and "." and ".." are resolved first, as Win32 does for the plain form.
// Other paths ("\\?\", devices, relative) come back as they are.
std::wstring VerbatimPath(const std::wstring& path);

// The plain path Win32 reaches for `path`: separators as backslashes, "." and ".."
// resolved, trailing dots and blanks kept. The form in which paths are compared.
std::wstring CanonicalPath(const std::wstring& path);

// The plain form of a "\\?\" path: "\\?\C:\dir" is "C:\dir", "\\?\UNC\s\x" is "\\s\x".
std::wstring WithoutVerbatimPrefix(const std::wstring& path);

}  // namespace qmz
