// The real file system under a fresh temporary folder; built on Windows only.
#ifdef _WIN32

// clang-format off
#include <windows.h>
// clang-format on

#include <string>

#include "platform/win32/win32_file_system.h"
#include "tests/platform/file_system_targets.h"
#include "tests/support/scratch_folder.h"

namespace qmz {

namespace {

class CWin32Target : public IFileSystemTarget {
public:
    CWin32Target() : m_folder(L"qmz_fs") {}
    IFileSystem& Fs() override { return m_fs; }
    std::wstring Root() const override { return m_folder.Path(); }
    bool OnWine() const override {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }

private:
    CWin32FileSystem m_fs;
    CScratchFolder m_folder;
};

}  // namespace

std::unique_ptr<IFileSystemTarget> MakeWin32Target() {
    return std::unique_ptr<IFileSystemTarget>(new CWin32Target);
}

}  // namespace qmz

#endif
