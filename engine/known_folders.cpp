#include "engine/known_folders.h"

namespace qmz {
namespace {

// `relative` under `base`, when that exists now; empty otherwise, so that a browser that
// is not installed protects nothing.
std::wstring ExistingUnder(IFileSystem* fileSystem, const std::wstring& base,
                           const wchar_t* relative) {
    if (fileSystem == nullptr || base.empty()) {
        return std::wstring();
    }
    const std::wstring path = base + relative;
    uint32_t attributes = INVALID_FILE_ATTRIBUTES;
    if (fileSystem->GetAttributes(path, &attributes) != ERROR_SUCCESS) {
        return std::wstring();
    }
    return path;
}

}  // namespace

std::vector<const std::wstring*> KnownFolderTable::ProtectedEntries() const {
    std::vector<const std::wstring*> entries = {
        &programFiles,
        &startMenu,
        &commonStartMenu,
        &defaultStartMenu,
        &commonStartMenuParent,
        &desktop,
        &commonDesktop,
        &defaultDesktop,
        &documents,
        &commonDocuments,
        &defaultDocuments,
        &appData,
        &commonAppData,
        &defaultAppData,
        &localAppData,
        &profile,
        &defaultProfile,
        &internetCache,
        &cookies,
        &history,
    };
    for (const std::wstring& folder : browserFolders) {
        entries.push_back(&folder);
    }
    entries.push_back(&temp);
    entries.push_back(&tmp);
    return entries;
}

KnownFolderTable ResolveKnownFolders(IShell* shell, IFileSystem* fileSystem) {
    // Without a shell every entry is unresolved; the table keeps its shape all the same.
    KnownFolderTable table;
    auto current = [shell](int32_t csidl) {
        return shell != nullptr ? shell->SpecialFolderPath(csidl, FolderOwner::kCurrentUser)
                                : std::wstring();
    };
    auto defaultUser = [shell](int32_t csidl) {
        return shell != nullptr ? shell->SpecialFolderPath(csidl, FolderOwner::kDefaultUser)
                                : std::wstring();
    };

    table.windows = current(kCsidlWindows);
    table.system = current(kCsidlSystem);
    table.programFiles = current(kCsidlProgramFiles);
    table.startMenu = current(kCsidlStartMenu);
    table.commonStartMenu = current(kCsidlCommonStartMenu);
    table.defaultStartMenu = defaultUser(kCsidlStartMenu);
    const size_t lastSlash = table.commonStartMenu.rfind(L'\\');
    if (lastSlash != std::wstring::npos) {
        table.commonStartMenuParent = table.commonStartMenu.substr(0, lastSlash);
    }
    table.desktop = current(kCsidlDesktopDirectory);
    table.commonDesktop = current(kCsidlCommonDesktopDirectory);
    table.defaultDesktop = defaultUser(kCsidlDesktopDirectory);
    table.documents = current(kCsidlPersonal);
    table.commonDocuments = current(kCsidlCommonDocuments);
    table.defaultDocuments = defaultUser(kCsidlPersonal);
    table.appData = current(kCsidlAppData);
    table.commonAppData = current(kCsidlCommonAppData);
    table.defaultAppData = defaultUser(kCsidlAppData);
    table.localAppData = current(kCsidlLocalAppData);
    table.profile = current(kCsidlProfile);
    table.defaultProfile = defaultUser(kCsidlProfile);
    table.internetCache = current(kCsidlInternetCache);
    table.cookies = current(kCsidlCookies);
    table.history = current(kCsidlHistory);

    const std::wstring& local = table.localAppData;
    const std::wstring& roaming = table.appData;
    table.browserFolders = {
        ExistingUnder(fileSystem, local, L"\\Mozilla\\Firefox\\Profiles"),
        ExistingUnder(fileSystem, roaming, L"\\Mozilla\\Firefox\\Profiles"),
        ExistingUnder(fileSystem, local, L"\\Google\\Chrome\\User Data\\Default\\Cache"),
        ExistingUnder(fileSystem, local, L"\\Google\\Chrome\\User Data\\Default"),
        ExistingUnder(fileSystem, local, L"\\Apple Computer\\Safari"),
        ExistingUnder(fileSystem, roaming, L"\\Apple Computer\\Safari\\Cookies"),
        ExistingUnder(fileSystem, roaming, L"\\Apple Computer\\Safari"),
        ExistingUnder(fileSystem, local, L"\\Apple Computer\\Safari\\History"),
    };

    if (shell != nullptr) {
        table.temp = shell->EnvironmentVariable(L"TEMP");
        table.tmp = shell->EnvironmentVariable(L"TMP");
    }
    return table;
}

}  // namespace qmz
