#include "engine/path_helpers.h"

#include <cwchar>
#include <vector>

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

size_t LastSeparator(const std::wstring& path) {
    return path.find_last_of(L"\\/");
}

bool NamesStream(const std::wstring& path) {
    const size_t slash = LastSeparator(path);
    return slash != std::wstring::npos && path.find(L':', slash) != std::wstring::npos;
}

namespace {

const wchar_t kVerbatimPrefix[] = L"\\\\?\\";
const wchar_t kVerbatimUncPrefix[] = L"\\\\?\\UNC\\";
const wchar_t kDevicePrefix[] = L"\\\\.\\";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The names after the root, with "." dropped and ".." taking the one before it away.
std::vector<std::wstring> ResolvedNames(const std::wstring& rest) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos) {
            end = rest.size();
        }
        const std::wstring name = rest.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

}  // namespace

std::wstring VerbatimPath(const std::wstring& path) {
    std::wstring plain = path;
    for (wchar_t& c : plain) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (StartsWith(plain, kVerbatimPrefix) || StartsWith(plain, kDevicePrefix) ||
        !IsAbsolutePath(plain)) {
        return path;
    }
    std::wstring root;
    size_t restStart = 0;
    if (plain[0] != L'\\') {
        root = kVerbatimPrefix + plain.substr(0, 2);  // "\\?\C:"
        restStart = 3;
    } else {
        // "\\server\share": both names belong to the root, which ".." cannot leave.
        const size_t serverEnd = plain.find(L'\\', 2);
        const size_t shareEnd =
            serverEnd == std::wstring::npos ? serverEnd : plain.find(L'\\', serverEnd + 1);
        if (serverEnd == std::wstring::npos || serverEnd == 2 || serverEnd + 1 >= plain.size()) {
            return path;
        }
        root = kVerbatimUncPrefix + plain.substr(2, shareEnd - 2);
        restStart = shareEnd == std::wstring::npos ? plain.size() : shareEnd + 1;
    }
    std::wstring verbatim = root;
    for (const std::wstring& name : ResolvedNames(plain.substr(restStart))) {
        verbatim += L"\\" + name;
    }
    if (verbatim == root || plain.back() == L'\\') {
        verbatim += L"\\";
    }
    return verbatim;
}

std::wstring CanonicalPath(const std::wstring& path) {
    return WithoutVerbatimPrefix(VerbatimPath(path));
}

std::wstring WithoutVerbatimPrefix(const std::wstring& path) {
    if (StartsWith(path, kVerbatimUncPrefix)) {
        return L"\\\\" + path.substr(wcslen(kVerbatimUncPrefix));
    }
    if (StartsWith(path, kVerbatimPrefix)) {
        return path.substr(wcslen(kVerbatimPrefix));
    }
    return path;
}

}  // namespace qmz
