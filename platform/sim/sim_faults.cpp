#include "platform/sim/sim_faults.h"

#include "platform/sim/sim_path.h"

namespace qmz {

namespace {

// A "\\?\C:\dir" path names what the filter "C:\dir" does, "\\?\UNC\s\x" what "\\s\x" does.
std::wstring WithoutVerbatimPrefix(const std::wstring& path) {
    const std::wstring prefix = L"\\\\?\\";
    const std::wstring unc = prefix + L"UNC\\";
    if (path.compare(0, unc.size(), unc) == 0) {
        return L"\\\\" + path.substr(unc.size());
    }
    const bool driveLetter = path.size() > prefix.size() + 1 && path[prefix.size() + 1] == L':';
    return path.compare(0, prefix.size(), prefix) == 0 && driveLetter ? path.substr(prefix.size())
                                                                      : path;
}

bool PathMatches(const std::wstring& filter, const std::wstring& path) {
    if (filter.empty()) {
        return true;
    }
    const std::wstring f = FoldCase(WithoutVerbatimPrefix(filter));
    const std::wstring p = FoldCase(WithoutVerbatimPrefix(path));
    if (p.compare(0, f.size(), f) != 0) {
        return false;
    }
    return p.size() == f.size() || p[f.size()] == L'\\' || p[f.size()] == L':' || f.back() == L'\\';
}

}  // namespace

uint32_t CSimFaults::Check(SimCall call, const std::wstring& path, uint32_t* limit) {
    ++m_calls[static_cast<size_t>(call)];
    uint32_t error = 0;
    bool cut = false;
    for (Armed& armed : m_faults) {
        if (armed.fault.call != call || armed.spent || !PathMatches(armed.fault.path, path)) {
            continue;
        }
        ++armed.seen;
        if (armed.seen >= armed.fault.nth && error == 0 && !cut) {
            armed.spent = !armed.fault.persistent;
            cut = armed.fault.answersShort && limit != nullptr;
            if (cut) {
                *limit = armed.fault.shortTo;
            } else {
                error = armed.fault.error;
            }
        }
    }
    return error;
}

}  // namespace qmz
