// Whether a path still leads to the object it names: a link that the system does not
// present as one (a host symbolic link under Wine) opens, renames and deletes its target,
// and a removal can report success and leave the object in place.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace qmz {

enum class HandleReach {
    kNamedObject,  // the handle reaches what the path names
    kElsewhere,    // it reaches a link's target: nothing may be written or removed
    kUnknown,      // it cannot be told; treated like kElsewhere
};

// Compares where `handle`, opened by `path`, really leads with the object the path names
// (through the path's folder, so that a junction or short name on the way is no mismatch).
HandleReach ReachOf(IFileSystem* fileSystem, IFileHandle* handle, const std::wstring& path);

// The object (or named stream) at `path` no longer exists.
bool IsGone(IFileSystem* fileSystem, const std::wstring& path);

}  // namespace qmz
