// The selection Explorer hands a context-menu handler: the paths of the items in a shell
// data object's "Shell IDList Array".
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <objidl.h>

#include <string>
#include <vector>

namespace qmz {

// The file-system path of every item in selection order; an item without one (a virtual
// item) gives an empty path. False when the data object has no ID-list array or its memory
// cannot be read.
bool ReadSelectionPaths(IDataObject* data, std::vector<std::wstring>* paths);

}  // namespace qmz
