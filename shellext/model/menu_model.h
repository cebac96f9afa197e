// What the files-folders-and-drives context menu offers for a selection, and the path list
// each command hands to the main program. Portable: Windows is reached only through
// IDriveQueries, so every kind of selection can be tried natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shellext/model/drive_queries.h"

namespace qmz {

// The menu's commands, numbered by their offset from the menu's first command identifier
// (and so by InvokeCommand's numeric verb).
enum MenuCommand : uint32_t { CommandErase = 0, CommandEraseFreeSpace = 1, CommandEraseDrive = 2 };

// What Initialize learnt about the selection and QueryContextMenu about its network drives.
struct MenuSelection {
    std::vector<std::wstring> SelectedPaths;  // in selection order
    std::vector<std::wstring> NetworkNames;   // parallel; a mapped drive's share once resolved
    bool HasNonRootItem = false;
    bool HasRootItem = false;
    bool IncludesCurrentVolume = false;
    bool NetworkNamesResolved = false;
    bool IncludeNetworkDrives = false;
    std::wstring CurrentVolumeRoot;  // the volume of the process's current directory
};

class CMenuModel {
public:
    explicit CMenuModel(IDriveQueries* drives) : m_drives(drives) {}

    // Starts over with the file-system paths of a new selection (empty ones, which stand
    // for virtual items, are skipped) and classifies each. False when no path remained.
    bool Collect(const std::vector<std::wstring>& paths, bool includeNetworkDrives);
    // The commands to offer, in menu order. Resolves the shares of mapped network drives
    // when every item is a drive root: the drive commands need them.
    std::vector<MenuCommand> BuildMenu();
    // The path list for `command`: every path quoted and followed by one blank; the drive
    // commands name a mapped drive by its share. Sized from the real lengths, so a share
    // name of any length is passed whole.
    std::wstring PathList(MenuCommand command) const;

    const MenuSelection& Selection() const { return m_selection; }

private:
    bool IsDriveRoot(const std::wstring& path);
    void ResolveNetworkNames();

    IDriveQueries* m_drives;
    MenuSelection m_selection;
};

// Case-insensitive equality of two paths or share names.
bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b);

}  // namespace qmz
