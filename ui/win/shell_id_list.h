// The file-system paths of the items in a data object's "Shell IDList Array", the
// format the shell uses for dragged items and for a view's selection.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <objidl.h>

#include <string>
#include <vector>

namespace qmz {

enum class IdListReadResult {
    kOk,
    kNoAllocator,  // SHGetMalloc failed
    kNoData,       // the object does not offer the format in global memory
    kUnlockable,   // GlobalLock failed
    kMalformed,    // the block's offsets or count do not fit its size
};

// Items without a file-system path are left out; the order is the array's.
IdListReadResult ReadShellIdListPaths(IDataObject* data, std::vector<std::wstring>* paths);

// The text naming a failed read, for internal diagnostics.
const wchar_t* IdListReadFailure(IdListReadResult result);

}  // namespace qmz
