#include "ui/win/log_viewer.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace qmz {
namespace {

// The program `verb` of `assoc` runs, into `viewer`; false when none is registered or its
// path does not fit the buffer.
bool QueryExecutable(ASSOCF flags, const wchar_t* assoc, const wchar_t* verb,
                     wchar_t (&viewer)[MAX_PATH]) {
    DWORD size = MAX_PATH;
    return AssocQueryStringW(flags | ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, assoc, verb, viewer,
                             &size) == S_OK;
}

// The extension's own program: its "open" program, or its "edit" program where "open"
// names no program of its own ("%1": the file runs itself).
bool FindByExtension(const std::wstring& path, wchar_t (&viewer)[MAX_PATH]) {
    const size_t dot = path.rfind(L'.');
    const size_t slash = path.rfind(L'\\');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        return false;
    }
    const std::wstring extension = path.substr(dot);
    if (QueryExecutable(ASSOCF_NONE, extension.c_str(), L"open", viewer) &&
        lstrcmpW(viewer, L"%1") != 0) {
        return true;
    }
    return QueryExecutable(ASSOCF_NONE, extension.c_str(), L"edit", viewer);
}

bool FindViewer(const std::wstring& path, wchar_t (&viewer)[MAX_PATH]) {
    return FindByExtension(path, viewer) ||
           QueryExecutable(ASSOCF_NONE, L".log", L"open", viewer) ||
           QueryExecutable(ASSOCF_NONE, L".txt", L"open", viewer) ||
           QueryExecutable(ASSOCF_OPEN_BYEXENAME, L"notepad", L"open", viewer);
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void ViewLogFile(HWND owner, const std::wstring& caption, const std::wstring& path,
                 const std::wstring& missingSuffix, const std::wstring& cannotShowSuffix) {
    if (!IsExistingFile(path)) {
        MessageBoxW(owner, (path + missingSuffix).c_str(), caption.c_str(), MB_ICONERROR);
        return;
    }
    wchar_t viewer[MAX_PATH] = {};
    if (!FindViewer(path, viewer)) {
        return;
    }
    const std::wstring parameter = L"\"" + path + L"\"";
    const HINSTANCE started =
        ShellExecuteW(owner, nullptr, viewer, parameter.c_str(), nullptr, SW_SHOW);
    if (reinterpret_cast<INT_PTR>(started) <= 32) {
        MessageBoxW(owner, (path + cannotShowSuffix).c_str(), caption.c_str(), MB_ICONERROR);
    }
}

}  // namespace qmz
