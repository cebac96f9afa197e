// Windows path syntax for the simulated volumes: parsing, case folding, wildcards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmz {

// Which naming scheme a path uses to reach its volume.
enum class SimPathRoot {
    kDriveLetter,  // C:\dir
    kVolumeGuid,   // \\?\Volume{...}\dir
    kDevice,       // \\.\C:, \\.\Volume{...} or \\?\Volume{...}: the raw volume
    kShare,        // \\server\share\dir or \\?\UNC\server\share\dir
};

struct SimPath {
    SimPathRoot root = SimPathRoot::kDriveLetter;
    wchar_t driveLetter = 0;  // upper case, for kDriveLetter and a lettered kDevice
    std::wstring volumeGuid;  // "{...}", for kVolumeGuid and a GUID kDevice
    std::wstring share;       // "\\server\share", for kShare
    std::vector<std::wstring> components;
    std::wstring streamName;   // without colons or type; empty for the main stream
    bool namesStream = false;  // the last component carried ":..." (even "::$DATA")
    bool trailingSlash = false;
};

// Parses an absolute Win32 path; ERROR_SUCCESS or ERROR_INVALID_NAME / ERROR_PATH_NOT_FOUND.
uint32_t ParseSimPath(const std::wstring& path, SimPath* parsed);

// Upper-cases the way NTFS collates names (ordinal over an upcase table).
std::wstring FoldCase(const std::wstring& text);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

// FindFirstFileW-style match of '*' and '?' without regard to case.
bool MatchesWildcard(const std::wstring& pattern, const std::wstring& name);
bool HasWildcard(const std::wstring& text);

}  // namespace qmz
