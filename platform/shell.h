// The shell part of the platform seam: special folders, environment variables, the
// account and its SID, the browser's history store, Explorer's change notifications and
// the Recycle Bin.
#pragma once

#include <cstdint>
#include <string>

namespace qmz {

// CSIDL values the known-folder table asks for (shlobj.h).
enum ShellFolderId : int32_t {
    kCsidlStartMenu = 0x000B,
    kCsidlPersonal = 0x0005,
    kCsidlDesktopDirectory = 0x0010,
    kCsidlCommonStartMenu = 0x0016,
    kCsidlCommonDesktopDirectory = 0x0019,
    kCsidlAppData = 0x001A,
    kCsidlLocalAppData = 0x001C,
    kCsidlInternetCache = 0x0020,
    kCsidlCookies = 0x0021,
    kCsidlHistory = 0x0022,
    kCsidlCommonAppData = 0x0023,
    kCsidlWindows = 0x0024,
    kCsidlSystem = 0x0025,
    kCsidlProgramFiles = 0x0026,
    kCsidlProfile = 0x0028,
    kCsidlCommonDocuments = 0x002E,
};

// CSIDL_FLAG_DONT_VERIFY | CSIDL_FLAG_DONT_UNEXPAND | CSIDL_FLAG_NO_ALIAS: the folder's
// path as configured, whether it exists or not, never created.
constexpr int32_t kCsidlLookupFlags = 0x7000;

// SHChangeNotify events the program sends (SHCNE_DELETE, SHCNE_RMDIR, SHCNE_UPDATEDIR).
enum class ShellChange { kDeleted, kFolderRemoved, kFolderUpdated };

enum class FolderOwner { kCurrentUser, kDefaultUser };

class IShell {
public:
    virtual ~IShell() = default;
    // SHGetSpecialFolderPathW without creation for the current user (and the all-users
    // CSIDLs), SHGetFolderPathW with the default-user token (-1) for kDefaultUser; the
    // lookup flags are added here. Empty when the folder cannot be resolved.
    virtual std::wstring SpecialFolderPath(int32_t csidl, FolderOwner owner) = 0;
    // GetEnvironmentVariableW into a 260-character buffer: empty when the variable is
    // missing or its value has 260 characters or more.
    virtual std::wstring EnvironmentVariable(const std::wstring& name) = 0;
    // GetUserNameExW(NameSamCompatible), "DOMAIN\\user"; empty when it fails.
    virtual std::wstring UserName() = 0;
    // IUrlHistoryStg2::ClearHistory, with COM initialised on the calling thread for this
    // call only. Returns the HRESULT of the first step that failed, or S_OK (0).
    virtual int32_t ClearUrlHistory() = 0;
    // SHChangeNotify with SHCNF_PATHW.
    virtual void NotifyChange(ShellChange change, const std::wstring& path) = 0;
    // The current user's SID in string form ("S-1-5-21-..."): OpenProcessToken of the own
    // process, GetTokenInformation(TokenUser), ConvertSidToStringSidW.
    virtual uint32_t CurrentUserSid(std::wstring* sid) = 0;
    // Whether the shell identifies the folder as a Recycle Bin: SHParseDisplayName,
    // SHBindToParent, SHGetDataFromIDListW(SHGDFIL_DESCRIPTIONID) naming CLSID_RecycleBin.
    // False when any step fails. COM is initialised on the calling thread for the call.
    virtual bool IsRecycleBinFolder(const std::wstring& path) = 0;
    // SHQueryRecycleBinW of the volume with root `root`: the HRESULT, and the number of
    // items the bin holds.
    virtual int32_t QueryRecycleBin(const std::wstring& root, uint64_t* items) = 0;
    // SHEmptyRecycleBinW without a window, confirmation, progress or sound: the HRESULT.
    virtual int32_t EmptyRecycleBin(const std::wstring& root) = 0;
};

}  // namespace qmz
