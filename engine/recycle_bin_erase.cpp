#include "engine/recycle_bin_erase.h"

#include <algorithm>

#include "engine/file_erase.h"
#include "engine/folder_walk.h"
#include "engine/named_object.h"
#include "engine/operation_platform.h"
#include "engine/path_helpers.h"
#include "ops/no_case.h"
#include "platform/volume_paths.h"

namespace qmz {
namespace {

const wchar_t* const kNtfsBinFolders[] = {L"RECYCLER", L"$Recycle.Bin"};
constexpr wchar_t kFatBinFolder[] = L"RECYCLED";

bool IsLocalDisk(uint32_t driveType) {
    return driveType == kDriveFixed || driveType == kDriveRemovable;
}

}  // namespace

BinSearch CollectRecycleBins(CEraseOperationBase* operation, int32_t allUsers,
                             std::vector<std::wstring>* bins, std::vector<std::wstring>* roots) {
    bins->clear();
    roots->clear();
    const PlatformServices& platform = PlatformOf(operation);
    IVolumes* volumes = platform.volumes;
    IShell* shell = platform.shell;
    if (volumes == nullptr) {
        return BinSearch::kNoVolume;
    }
    for (const std::wstring& path : AllMountPaths(volumes)) {
        if (IsLocalDisk(volumes->GetDriveType(path))) {
            roots->push_back(path);
        }
    }
    if (roots->empty()) {
        return BinSearch::kNoVolume;
    }
    std::wstring sid;
    if (shell == nullptr || shell->CurrentUserSid(&sid) != ERROR_SUCCESS || sid.empty()) {
        return BinSearch::kIdentityUnknown;
    }

    std::vector<std::wstring> searched;  // volumes, by name
    for (const std::wstring& root : *roots) {
        // A volume mounted in two places has one bin: taken twice, the second walk would
        // fail on what the first removed.
        std::wstring volumeName;
        if (platform.fileSystem->GetVolumeNameForMountPoint(root, &volumeName) == ERROR_SUCCESS) {
            if (std::find(searched.begin(), searched.end(), volumeName) != searched.end()) {
                continue;
            }
            searched.push_back(volumeName);
        }
        VolumeInformation information;
        if (volumes->GetInformation(root, &information) != ERROR_SUCCESS) {
            continue;
        }
        if (StartsWithNoCase(information.fileSystem, L"NTFS")) {
            for (const wchar_t* folder : kNtfsBinFolders) {
                const std::wstring binFolder = JoinPath(root, folder);
                const std::wstring usersBin = JoinPath(binFolder, sid);
                if (shell->IsRecycleBinFolder(usersBin)) {
                    bins->push_back(allUsers == 1 ? binFolder : usersBin);
                }
            }
        } else if (StartsWithNoCase(information.fileSystem, L"FAT")) {
            const std::wstring binFolder = JoinPath(root, kFatBinFolder);
            if (shell->IsRecycleBinFolder(binFolder)) {
                bins->push_back(binFolder);
            }
        }
    }
    return BinSearch::kListed;
}

void CEraseRecycleBin::EstimateWork() {
    m_includeSuperHidden = 1;  // a bin's own hidden system files go with it
    std::vector<std::wstring> bins;
    std::vector<std::wstring> roots;
    CollectRecycleBins(this, m_allUsers, &bins, &roots);
    uint64_t bytes = 0;
    uint64_t files = 0;
    uint64_t folders = 0;
    CExactPathFileSystem fileSystem = FileSystemOf(this);
    for (const std::wstring& bin : bins) {
        WalkForEstimate(&fileSystem, bin, &bytes, &files, &folders);
    }
    const uint64_t passes = m_method != nullptr ? CountPasses(*m_method) : 0;
    m_bytesToWrite = passes * bytes;
    m_fileCount = files;
    m_folderCount = folders;
}

void CEraseRecycleBin::Execute() {
    m_includeSuperHidden = 1;
    std::vector<std::wstring> bins;
    std::vector<std::wstring> roots;
    const BinSearch search = CollectRecycleBins(this, m_allUsers, &bins, &roots);
    if (search == BinSearch::kIdentityUnknown) {
        m_status = StatusFailedOther;
        return;
    }
    if (bins.empty()) {
        m_status = StatusCompleted;
        return;
    }

    bool failed = false;
    CExactPathFileSystem fileSystem = FileSystemOf(this);
    for (const std::wstring& bin : bins) {
        if (EraseFolderTree(this, bin, 0) != 0) {
            // A bin the system keeps or makes again at once simply gets no line.
            if (fileSystem.RemoveFolder(bin) == ERROR_SUCCESS && IsGone(&fileSystem, bin)) {
                ReportItemResult(this, ResultRecord::kFolder, bin, StatusCompleted);
            }
        } else {
            failed = true;
        }
        if (m_request == RequestAbort) {
            failed = true;
            break;
        }
    }

    // Only a bin the shell already counts as empty is emptied by it: its own records
    // then agree, and nothing the walk could not erase is thrown away unerased.
    IShell* shell = ShellOf(this);
    for (const std::wstring& root : roots) {
        uint64_t items = 0;
        if (shell->QueryRecycleBin(root, &items) >= 0 && items == 0) {
            shell->EmptyRecycleBin(root);
        }
    }

    if (!failed) {
        m_status = StatusCompleted;
    } else {
        m_status = m_request == RequestAbort ? StatusAborted : StatusFailedOther;
    }
}

}  // namespace qmz
