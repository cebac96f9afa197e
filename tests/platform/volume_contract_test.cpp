// One contract for both volume seams and the shell's account and Recycle Bin calls: the
// simulated machine natively, and under Wine also kernel32, mpr and shell32 on real drives.
#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_volumes.h"
#include "tests/support/scratch_folder.h"
#endif

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_shell.h"
#include "platform/volumes.h"

namespace qmz {
namespace {

// ERROR_DIR_NOT_ROOT: volume information asked of a folder that is no root.
constexpr uint32_t kErrorDirNotRoot = 144;

// The volume seam, the file system and the shell of one machine, and an empty folder on C:.
class IVolumeTarget {
public:
    virtual ~IVolumeTarget() = default;
    virtual IFileSystem& Fs() = 0;
    virtual IVolumes& Volumes() = 0;
    virtual IShell& Shell() = 0;
    virtual std::wstring Folder() const = 0;
    // The real calls under Wine, whose known differences some cases allow for.
    virtual bool OnWine() const { return false; }
    // A folder on a FAT volume; empty where the machine has none.
    virtual std::wstring FatFolder() const { return L""; }
};

// C: an NTFS disk whose partition is a little longer than its file system; E: a FAT stick.
class CSimVolumeTarget : public IVolumeTarget {
public:
    CSimVolumeTarget() {
        m_fs.AddVolume(L'C', L"\\\\?\\Volume{0c0c0c0c-0000-0000-0000-000000000001}\\", 512, 8,
                       65536);
        SimVolumeKind disk;
        disk.deviceBytes = 65536ull * 4096 + 4096;
        m_fs.SetVolumeKind(L"C:\\", disk);
        m_fs.AddVolume(L'E', L"\\\\?\\Volume{0e0e0e0e-0000-0000-0000-000000000002}\\", 512, 8,
                       1024);
        SimVolumeKind stick;
        stick.fileSystem = L"FAT32";
        stick.driveType = kDriveRemovable;
        m_fs.SetVolumeKind(L"E:\\", stick);
        m_fs.AddFolder(L"C:\\scratch");
        m_fs.AddFolder(L"E:\\scratch");
        m_shell.AttachFileSystem(&m_fs);
    }
    IFileSystem& Fs() override { return m_fs; }
    IVolumes& Volumes() override { return m_fs.Volumes(); }
    IShell& Shell() override { return m_shell; }
    std::wstring Folder() const override { return L"C:\\scratch"; }
    std::wstring FatFolder() const override { return L"E:\\scratch"; }

private:
    CSimFileSystem m_fs;
    CSimShell m_shell;
};

#ifdef _WIN32
class CWin32VolumeTarget : public IVolumeTarget {
public:
    CWin32VolumeTarget() : m_folder(L"qmz_vol") {}
    IFileSystem& Fs() override { return m_fs; }
    IVolumes& Volumes() override { return m_volumes; }
    IShell& Shell() override { return m_shell; }
    std::wstring Folder() const override { return m_folder.Path(); }
    bool OnWine() const override {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }

private:
    CWin32FileSystem m_fs;
    CWin32Volumes m_volumes;
    CWin32Shell m_shell;
    CScratchFolder m_folder;
};
#endif

struct VolumeTargetFactory {
    const char* name;
    std::function<std::unique_ptr<IVolumeTarget>()> make;
};

class VolumeContractTest : public ::testing::TestWithParam<VolumeTargetFactory> {
protected:
    void SetUp() override {
        m_target = GetParam().make();
        ASSERT_FALSE(m_target->Folder().empty());
    }
    IVolumes& Volumes() { return m_target->Volumes(); }

    std::unique_ptr<IVolumeTarget> m_target;
};

bool Refused(uint32_t error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

TEST_P(VolumeContractTest, VolumesNameTheirMountPathsInABufferOfTheSizeTheyAskFor) {
    std::vector<std::wstring> names;
    ASSERT_EQ(ERROR_SUCCESS, Volumes().ListVolumes(&names));
    ASSERT_FALSE(names.empty());
    bool sawC = false;
    for (const std::wstring& name : names) {
        EXPECT_EQ(L"\\\\?\\Volume{", name.substr(0, 11));
        EXPECT_EQ(L'\\', name.back());
        std::vector<std::wstring> paths;
        uint32_t required = 0;
        ASSERT_EQ(ERROR_SUCCESS, Volumes().GetMountPaths(name, 260, &paths, &required));
        // The multi-string: each path with its NUL, and the NUL that ends the list.
        uint32_t length = 1;
        for (const std::wstring& path : paths) {
            length += static_cast<uint32_t>(path.size()) + 1;
            EXPECT_EQ(L'\\', path.back());
            sawC = sawC || path == L"C:\\";
        }
        EXPECT_EQ(length, required);
        if (paths.empty()) {
            continue;
        }
        std::vector<std::wstring> again = {L"stale"};
        EXPECT_EQ(ERROR_MORE_DATA, Volumes().GetMountPaths(name, 1, &again, &required));
        EXPECT_EQ(length, required);
        EXPECT_TRUE(again.empty());
        EXPECT_EQ(ERROR_MORE_DATA, Volumes().GetMountPaths(name, length - 1, &again, &required));
        ASSERT_EQ(ERROR_SUCCESS, Volumes().GetMountPaths(name, length, &again, &required));
        EXPECT_EQ(paths, again);
    }
    EXPECT_TRUE(sawC);

    // Without a network provider there is nothing to list (Wine: ERROR_NO_NETWORK).
    std::vector<std::wstring> remote;
    const uint32_t listed = Volumes().ConnectedNetworkDisks(&remote);
    EXPECT_TRUE(listed == ERROR_SUCCESS || listed == ERROR_NO_NETWORK) << listed;
    EXPECT_TRUE(remote.empty());
}

TEST_P(VolumeContractTest, CIsAFixedNtfsRootAndItsFoldersAreNoRoots) {
    EXPECT_EQ(kDriveFixed, Volumes().GetDriveType(L"C:\\"));
    EXPECT_EQ(kDriveNoRootDir, Volumes().GetDriveType(L"Q:\\"));
    VolumeInformation info;
    ASSERT_EQ(ERROR_SUCCESS, Volumes().GetInformation(L"C:\\", &info));
    EXPECT_EQ(L"NTFS", info.fileSystem);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, Volumes().GetInformation(L"Q:\\", &info));

    // A folder is no root, with its backslash or without; a top folder without it is not
    // even a root's name.
    const std::wstring folder = m_target->Folder() + L"\\";
    ASSERT_EQ(ERROR_SUCCESS, m_target->Fs().CreateFolder(folder + L"sub"));
    EXPECT_EQ(kErrorDirNotRoot, Volumes().GetInformation(folder, &info));
    EXPECT_EQ(kErrorDirNotRoot, Volumes().GetInformation(folder + L"sub", &info));
    const std::wstring top = folder.substr(0, folder.find(L'\\', 3));
    EXPECT_EQ(ERROR_INVALID_NAME, Volumes().GetInformation(top, &info)) << top.size();
    // Windows finds no volume mounted at a plain folder; Wine's GetDriveTypeW opens any
    // folder as a root and reports the drive's type.
    const uint32_t folderType = Volumes().GetDriveType(folder);
    if (m_target->OnWine()) {
        EXPECT_TRUE(folderType == kDriveNoRootDir || folderType == kDriveFixed) << folderType;
    } else {
        EXPECT_EQ(kDriveNoRootDir, folderType);
    }
}

TEST_P(VolumeContractTest, HandlesDeleteOnCloseCompressAndMeasureAsTheFileSystemCan) {
    IFileSystem& fs = m_target->Fs();
    const std::wstring temp = m_target->Folder() + L"\\QMZTEMP.tmp";
    std::unique_ptr<IFileHandle> file;
    ASSERT_EQ(ERROR_SUCCESS, fs.Open(temp, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW,
                                     FILE_FLAG_DELETE_ON_CLOSE, &file));
    const std::string data(5000, 'z');
    uint32_t done = 0;
    ASSERT_EQ(ERROR_SUCCESS, file->Write(data.data(), static_cast<uint32_t>(data.size()), &done));
    uint32_t attributes = 0;
    EXPECT_EQ(ERROR_SUCCESS, fs.GetAttributes(temp, &attributes));

    // NTFS compresses; Wine's file systems answer ERROR_NOT_SUPPORTED.
    const uint32_t off = file->SetCompression(COMPRESSION_FORMAT_NONE);
    EXPECT_TRUE(off == ERROR_SUCCESS || Refused(off)) << off;
    const uint32_t on = file->SetCompression(1);  // COMPRESSION_FORMAT_DEFAULT
    EXPECT_TRUE(on == ERROR_SUCCESS || Refused(on)) << on;
    uint64_t length = 0;
    EXPECT_TRUE(Refused(file->GetLengthInfo(&length))) << "a file is no disk";
    file.reset();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, fs.GetAttributes(temp, &attributes));

    if (!m_target->FatFolder().empty()) {
        ASSERT_EQ(ERROR_SUCCESS,
                  fs.Open(m_target->FatFolder() + L"\\f.bin", GENERIC_READ | GENERIC_WRITE, 0,
                          CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, &file));
        EXPECT_EQ(ERROR_INVALID_FUNCTION, file->SetCompression(1));
    }

    // The partition may be longer than the file system on it, never shorter. Wine's
    // volume devices answer no disk controls (ERROR_NOT_SUPPORTED).
    std::unique_ptr<IFileHandle> device;
    ASSERT_EQ(ERROR_SUCCESS, fs.Open(L"\\\\.\\C:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     OPEN_EXISTING, 0, &device));
    const uint32_t measured = device->GetLengthInfo(&length);
    DiskFreeSpaceEx space;
    ASSERT_EQ(ERROR_SUCCESS, fs.QueryFreeSpaceEx(L"C:\\", &space));
    if (m_target->OnWine() && measured == ERROR_NOT_SUPPORTED) {
        EXPECT_EQ(0u, length);
    } else {
        ASSERT_EQ(ERROR_SUCCESS, measured);
        EXPECT_GE(length, space.totalBytes);
    }
}

TEST_P(VolumeContractTest, ShellKnowsTheUserAndAsksTheRecycleBin) {
    IShell& shell = m_target->Shell();
    std::wstring sid;
    ASSERT_EQ(ERROR_SUCCESS, shell.CurrentUserSid(&sid));
    EXPECT_EQ(0u, sid.find(L"S-1-")) << std::string(sid.begin(), sid.end());
    EXPECT_GT(sid.size(), 4u);

    EXPECT_FALSE(shell.IsRecycleBinFolder(m_target->Folder()));
    EXPECT_FALSE(shell.IsRecycleBinFolder(m_target->Folder() + L"\\missing"));
    uint64_t items = 99;
    const int32_t asked = shell.QueryRecycleBin(L"C:\\", &items);
    RecordProperty("QueryRecycleBin", std::to_string(asked));
    // The test machine's bin is empty; a failed query counts nothing either.
    EXPECT_EQ(0u, items) << asked;
}

std::vector<VolumeTargetFactory> Targets() {
    std::vector<VolumeTargetFactory> targets;
    targets.push_back({"Sim", [] { return std::unique_ptr<IVolumeTarget>(new CSimVolumeTarget); }});
#ifdef _WIN32
    targets.push_back(
        {"Win32", [] { return std::unique_ptr<IVolumeTarget>(new CWin32VolumeTarget); }});
#endif
    return targets;
}

INSTANTIATE_TEST_SUITE_P(Volumes, VolumeContractTest, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<VolumeTargetFactory>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace qmz
