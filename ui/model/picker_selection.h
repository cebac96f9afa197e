// What the user has selected in a file-and-folder picker: the names, the full paths and
// the text of the picker's name box, plus the result buffer the classic picker fills.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qmz {

// The part of a path after its last backslash, or the whole path when that part is
// empty (a drive root such as "C:\").
std::wstring PickerItemName(const std::wstring& fullPath);

// The name a file-type filter ("name|pattern|...") shows: the text before its first '|'.
std::wstring FilterDisplayName(const std::wstring& filter);

class CPickerSelection {
public:
    void Clear();
    void Add(const std::wstring& fullPath);

    std::size_t Count() const { return m_paths.size(); }
    // In selection order.
    const std::vector<std::wstring>& Paths() const { return m_paths; }
    const std::vector<std::wstring>& Names() const { return m_names; }
    // Every name as "name" followed by one blank.
    const std::wstring& EditText() const { return m_editText; }

    // The multi-selection layout of an open-file buffer: the folder, NUL, each name
    // followed by NUL, and a final NUL.
    std::wstring FileBuffer(const std::wstring& folder) const;
    // The characters to reserve for that layout: 260 for each name plus 261, or more when
    // the actual layout needs it.
    std::size_t FileBufferCapacity(const std::wstring& folder) const;

private:
    std::vector<std::wstring> m_names;
    std::vector<std::wstring> m_paths;
    std::wstring m_editText;
};

}  // namespace qmz
