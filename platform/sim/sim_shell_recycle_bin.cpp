// The simulated shell's account SID and Recycle Bins: bins are folders of the attached
// file system that the test names, counted through the same seam the code under test uses.
#include <memory>

#include "platform/sim/sim_path.h"
#include "platform/sim/sim_shell.h"
#include "platform/win_types.h"

namespace qmz {
namespace {

// "\\?\C:\Bin\" and "c:\bin" name the same folder.
std::wstring Comparable(const std::wstring& path) {
    std::wstring plain = path;
    const std::wstring verbatim = L"\\\\?\\";
    if (plain.compare(0, verbatim.size(), verbatim) == 0 && plain.size() > 5 && plain[5] == L':') {
        plain.erase(0, verbatim.size());
    }
    while (plain.size() > 3 && plain.back() == L'\\') {
        plain.pop_back();
    }
    return FoldCase(plain);
}

bool IsFolder(IFileSystem& fs, const std::wstring& path) {
    uint32_t attributes = 0;
    return fs.GetAttributes(path, &attributes) == ERROR_SUCCESS &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Files at any depth below `folder`; links and mount points are not entered.
uint64_t CountFiles(IFileSystem& fs, const std::wstring& folder) {
    uint64_t count = 0;
    std::unique_ptr<IFindHandle> find;
    FindData data;
    for (uint32_t error = fs.FindFirst(folder + L"\\*", &find, &data); error == ERROR_SUCCESS;
         error = find->Next(&data)) {
        if (data.name == L"." || data.name == L"..") {
            continue;
        }
        if ((data.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            ++count;
        } else if ((data.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            count += CountFiles(fs, folder + L"\\" + data.name);
        }
    }
    return count;
}

}  // namespace

uint32_t CSimShell::CurrentUserSid(std::wstring* sid) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_userSidError != ERROR_SUCCESS) {
        sid->clear();
        return m_userSidError;
    }
    *sid = m_userSid;
    return ERROR_SUCCESS;
}

bool CSimShell::IsRecycleBinFolder(const std::wstring& path) {
    IFileSystem* fs = nullptr;
    bool registered = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        fs = m_fileSystem;
        for (const std::wstring& bin : m_binFolders) {
            registered = registered || Comparable(bin) == Comparable(path);
        }
    }
    return registered && fs != nullptr && IsFolder(*fs, path);
}

int32_t CSimShell::QueryRecycleBin(const std::wstring& root, uint64_t* items) {
    *items = 0;
    IFileSystem* fs = nullptr;
    std::vector<std::wstring> bins;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queryResult != 0) {
            return m_queryResult;
        }
        fs = m_fileSystem;
        bins = m_binFolders;
    }
    if (fs == nullptr) {
        return 0;
    }
    // A volume's bin is the same through every path it is mounted at.
    std::wstring rootVolume;
    const bool named = fs->GetVolumeNameForMountPoint(root, &rootVolume) == ERROR_SUCCESS;
    for (const std::wstring& bin : bins) {
        std::wstring volume;
        std::wstring binVolume;
        if (fs->GetVolumePath(bin, &volume) != ERROR_SUCCESS || !IsFolder(*fs, bin)) {
            continue;
        }
        const bool same =
            named ? fs->GetVolumeNameForMountPoint(volume, &binVolume) == ERROR_SUCCESS &&
                        Comparable(binVolume) == Comparable(rootVolume)
                  : Comparable(volume) == Comparable(root);
        if (same) {
            *items += CountFiles(*fs, bin);
        }
    }
    return 0;
}

int32_t CSimShell::EmptyRecycleBin(const std::wstring& root) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_emptied.push_back(root);
    return m_emptyResult;
}

void CSimShell::SetUserSid(const std::wstring& sid) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_userSid = sid;
}

void CSimShell::SetUserSidError(uint32_t error) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_userSidError = error;
}

void CSimShell::AttachFileSystem(IFileSystem* fileSystem) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fileSystem = fileSystem;
}

void CSimShell::AddRecycleBinFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_binFolders.push_back(path);
}

void CSimShell::SetQueryRecycleBinResult(int32_t result) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queryResult = result;
}

void CSimShell::SetEmptyRecycleBinResult(int32_t result) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_emptyResult = result;
}

std::vector<std::wstring> CSimShell::EmptiedRecycleBins() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_emptied;
}

}  // namespace qmz
