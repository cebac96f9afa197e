// The paths of one request line: what a COM activation or another instance hands over
// as a single string, with quotes around paths that hold spaces.
#pragma once

#include <string>
#include <vector>

namespace qmz {

// Splits `text` into paths separated by spaces; a quoted path runs to the next quote.
// A leading "-embedding" or "/embedding" (the COM activation switch, any case) is not
// part of the list. A one-character token is dropped, since no path the program is
// given is that short; an empty quoted token is kept. A quote that is never closed ends
// the list there.
std::vector<std::wstring> ParsePathList(const std::wstring& text);

}  // namespace qmz
