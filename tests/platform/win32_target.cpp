// The real file system under a fresh temporary folder; built on Windows only.
#ifdef _WIN32

// clang-format off
#include <windows.h>
// clang-format on

#include <string>

#include "platform/win32/win32_file_system.h"
#include "tests/platform/file_system_targets.h"

namespace qmz {

namespace {

// Removes a tree the test left behind, read-only entries included.
void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(path.c_str());
}

class CWin32Target : public IFileSystemTarget {
public:
    CWin32Target() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        std::wstring base(temp, length);
        if (!base.empty() && base.back() == L'\\') {
            base.pop_back();
        }
        for (unsigned attempt = 0;; ++attempt) {
            m_root = base + L"\\qmz_fs_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                     std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(attempt);
            if (::CreateDirectoryW(m_root.c_str(), nullptr) || attempt > 100) {
                break;
            }
        }
    }
    ~CWin32Target() override { RemoveTree(m_root); }
    IFileSystem& Fs() override { return m_fs; }
    std::wstring Root() const override { return m_root; }
    bool OnWine() const override {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }

private:
    CWin32FileSystem m_fs;
    std::wstring m_root;
};

}  // namespace

std::unique_ptr<IFileSystemTarget> MakeWin32Target() {
    return std::unique_ptr<IFileSystemTarget>(new CWin32Target);
}

}  // namespace qmz

#endif
