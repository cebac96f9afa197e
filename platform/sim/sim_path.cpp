#include "platform/sim/sim_path.h"

#include <algorithm>
#include <cwctype>

#include "platform/win_types.h"

namespace qmz {

namespace {

const wchar_t kDevicePrefix[] = L"\\\\.\\";
const wchar_t kLocalPrefix[] = L"\\\\?\\";
const wchar_t kVolumePrefix[] = L"Volume{";
const wchar_t kUncPrefix[] = L"UNC\\";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool IsDriveSpec(const std::wstring& text, size_t at) {
    return text.size() >= at + 2 && std::iswalpha(text[at]) && text[at + 1] == L':';
}

// Splits "name:stream:$DATA" into its parts; only the $DATA type exists here.
uint32_t SplitStream(SimPath* parsed) {
    std::wstring& last = parsed->components.back();
    const size_t colon = last.find(L':');
    if (colon == std::wstring::npos) {
        return ERROR_SUCCESS;
    }
    std::wstring rest = last.substr(colon + 1);
    last.resize(colon);
    parsed->namesStream = true;
    const size_t typeColon = rest.find(L':');
    if (typeColon != std::wstring::npos) {
        if (!EqualsNoCase(rest.substr(typeColon + 1), L"$DATA")) {
            return ERROR_INVALID_NAME;
        }
        rest.resize(typeColon);
    }
    if (last.empty() || rest.find(L':') != std::wstring::npos) {
        return ERROR_INVALID_NAME;
    }
    parsed->streamName = rest;
    return ERROR_SUCCESS;
}

// Win32 drops trailing dots and blanks from the last name of a path that does not
// start with "\\?\": "file." and "file " both name "file".
void StripTrailingDotsAndBlanks(std::wstring* name) {
    const size_t keep = name->find_last_not_of(L". ");
    name->resize(keep == std::wstring::npos ? 0 : keep + 1);
}

// `verbatim`: a "\\?\" path, whose names reach the file system exactly as written.
uint32_t SplitComponents(const std::wstring& rest, bool verbatim, SimPath* parsed) {
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos) {
            end = rest.size();
        }
        std::wstring name = rest.substr(start, end - start);
        if (!verbatim && end == rest.size() && name != L"..") {
            StripTrailingDotsAndBlanks(&name);
        }
        if (verbatim && (name == L"." || name == L".." || name.find(L'/') != std::wstring::npos)) {
            return ERROR_INVALID_NAME;
        }
        if (name.empty() || name == L".") {
            // Repeated or trailing separators and "." are ignored, as Win32 does.
        } else if (name == L"..") {
            if (!parsed->components.empty()) {
                parsed->components.pop_back();
            }
        } else {
            if (name.find_first_of(L"<>\"|") != std::wstring::npos) {
                return ERROR_INVALID_NAME;
            }
            if (!parsed->components.empty() &&
                parsed->components.back().find(L':') != std::wstring::npos) {
                return ERROR_INVALID_NAME;  // a stream name inside a folder path
            }
            parsed->components.push_back(name);
        }
        start = end + 1;
    }
    parsed->trailingSlash = !rest.empty() && rest.back() == L'\\';
    if (parsed->components.empty()) {
        return ERROR_SUCCESS;
    }
    return SplitStream(parsed);
}

// "server\share\dir", what follows "\\" or "\\?\UNC\".
uint32_t SplitShare(const std::wstring& rest, bool verbatim, SimPath* parsed) {
    const size_t serverEnd = rest.find(L'\\');
    if (serverEnd == 0 || serverEnd == std::wstring::npos || serverEnd + 1 == rest.size()) {
        return ERROR_BAD_PATHNAME;
    }
    const size_t shareEnd = std::min(rest.find(L'\\', serverEnd + 1), rest.size());
    if (shareEnd == serverEnd + 1) {
        return ERROR_BAD_PATHNAME;
    }
    parsed->root = SimPathRoot::kShare;
    parsed->share = L"\\\\" + rest.substr(0, shareEnd);
    return SplitComponents(rest.substr(shareEnd), verbatim, parsed);
}

}  // namespace

uint32_t ParseSimPath(const std::wstring& input, SimPath* parsed) {
    *parsed = SimPath();
    std::wstring path = input;
    const bool verbatim = StartsWith(path, kLocalPrefix);
    for (wchar_t& c : path) {
        if (c == L'/' && !verbatim) {
            c = L'\\';
        }
    }
    if (StartsWith(path, kDevicePrefix)) {
        const std::wstring device = path.substr(4);
        parsed->root = SimPathRoot::kDevice;
        if (device.size() == 2 && IsDriveSpec(device, 0)) {
            parsed->driveLetter = static_cast<wchar_t>(std::towupper(device[0]));
            return ERROR_SUCCESS;
        }
        if (StartsWith(device, kVolumePrefix) && device.back() == L'}') {
            parsed->volumeGuid = device.substr(6);
            return ERROR_SUCCESS;
        }
        return ERROR_FILE_NOT_FOUND;
    }
    if (StartsWith(path, kLocalPrefix)) {
        path = path.substr(4);
        if (StartsWith(path, kVolumePrefix)) {
            const size_t close = path.find(L'}');
            if (close == std::wstring::npos) {
                return ERROR_INVALID_NAME;
            }
            parsed->root = SimPathRoot::kVolumeGuid;
            parsed->volumeGuid = path.substr(6, close - 5);
            const std::wstring rest = path.substr(close + 1);
            if (rest.empty()) {
                parsed->root = SimPathRoot::kDevice;  // without its backslash: the volume
                return ERROR_SUCCESS;
            }
            if (rest[0] != L'\\') {
                return ERROR_INVALID_NAME;
            }
            return SplitComponents(rest.substr(1), verbatim, parsed);
        }
        if (StartsWith(path, kUncPrefix)) {
            return SplitShare(path.substr(4), verbatim, parsed);
        }
    } else if (StartsWith(path, L"\\\\")) {
        return SplitShare(path.substr(2), verbatim, parsed);
    }
    if (!IsDriveSpec(path, 0) || (path.size() > 2 && path[2] != L'\\')) {
        return ERROR_INVALID_NAME;  // relative paths have no meaning on the simulated volume
    }
    parsed->driveLetter = static_cast<wchar_t>(std::towupper(path[0]));
    return SplitComponents(path.substr(2), verbatim, parsed);
}

std::wstring FoldCase(const std::wstring& text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return folded;
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
    return FoldCase(a) == FoldCase(b);
}

bool HasWildcard(const std::wstring& text) {
    return text.find_first_of(L"*?") != std::wstring::npos;
}

bool MatchesWildcard(const std::wstring& pattern, const std::wstring& name) {
    const std::wstring p = FoldCase(pattern);
    const std::wstring n = FoldCase(name);
    size_t pi = 0;
    size_t ni = 0;
    size_t starP = std::wstring::npos;
    size_t starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == L'?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == L'*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::wstring::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == L'*') {
        ++pi;
    }
    return pi == p.size();
}

}  // namespace qmz
