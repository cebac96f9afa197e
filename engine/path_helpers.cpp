#include "engine/path_helpers.h"

namespace qmz {

bool IsAbsolutePath(const std::wstring& path) {
    const bool driveRoot =
        path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    const bool uncOrDevice = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
    return driveRoot || uncOrDevice;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && folder.back() == L'\\') {
        return folder + name;
    }
    return folder + L"\\" + name;
}

std::wstring WithTrailingBackslash(const std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') {
        return path;
    }
    return path + L"\\";
}

}  // namespace qmz
