#include "tests/platform/file_system_targets.h"

#include "platform/sim/sim_file_system.h"

namespace qmz {

namespace {

class CSimTarget : public IFileSystemTarget {
public:
    CSimTarget() {
        // 4 KiB clusters on 512-byte sectors, 256 MiB: an ordinary small NTFS volume.
        m_fs.AddVolume(L'C', L"\\\\?\\Volume{0c0c0c0c-0000-0000-0000-000000000001}\\", 512, 8,
                       65536);
        m_fs.AddFolder(L"C:\\scratch");
    }
    IFileSystem& Fs() override { return m_fs; }
    std::wstring Root() const override { return L"C:\\scratch"; }

private:
    CSimFileSystem m_fs;
};

}  // namespace

std::vector<FileSystemTargetFactory> FileSystemTargets() {
    std::vector<FileSystemTargetFactory> targets;
    targets.push_back({"Sim", [] { return std::unique_ptr<IFileSystemTarget>(new CSimTarget); }});
#ifdef _WIN32
    targets.push_back({"Win32", [] { return MakeWin32Target(); }});
#endif
    return targets;
}

}  // namespace qmz
