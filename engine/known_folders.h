// The folders the program knows by role: where the browser and temporary-file erases
// work, and which folders a request may only empty, never remove.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/shell.h"

namespace qmz {

// Each entry is empty when it cannot be resolved.
struct KnownFolderTable {
    std::wstring windows;
    std::wstring system;
    std::wstring programFiles;
    std::wstring startMenu, commonStartMenu, defaultStartMenu;
    std::wstring commonStartMenuParent;  // the all-users start menu before its last backslash
    std::wstring desktop, commonDesktop, defaultDesktop;
    std::wstring documents, commonDocuments, defaultDocuments;
    std::wstring appData, commonAppData, defaultAppData;
    std::wstring localAppData;
    std::wstring profile, defaultProfile;
    std::wstring internetCache;  // CEraseInternetTemp
    std::wstring cookies;        // CEraseInternetCookies
    std::wstring history;        // CEraseInternetHistory
    // Other browsers' folders, kept only when they exist at start-up.
    std::vector<std::wstring> browserFolders;
    std::wstring temp;  // TEMP, CEraseWindowsTemp
    std::wstring tmp;   // TMP, CEraseWindowsTemp

    // Every entry the protected-folder test compares against: all but the Windows and
    // system folders (the Windows folder is tested as a prefix instead).
    std::vector<const std::wstring*> ProtectedEntries() const;
};

// Resolves the table once, at main-window initialisation.
KnownFolderTable ResolveKnownFolders(IShell* shell, IFileSystem* fileSystem);

}  // namespace qmz
