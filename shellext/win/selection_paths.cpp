#include "shellext/win/selection_paths.h"

#include <shlobj.h>

#include <cstring>

namespace qmz {
namespace {

// Releases a storage medium when it leaves scope.
class CMedium {
public:
    CMedium() = default;
    ~CMedium() {
        if (m_locked != nullptr) {
            GlobalUnlock(m_medium.hGlobal);
        }
        ReleaseStgMedium(&m_medium);
    }
    CMedium(const CMedium&) = delete;
    CMedium& operator=(const CMedium&) = delete;

    STGMEDIUM* Get() { return &m_medium; }
    const BYTE* Lock() {
        m_locked = m_medium.tymed == TYMED_HGLOBAL ? GlobalLock(m_medium.hGlobal) : nullptr;
        return static_cast<const BYTE*>(m_locked);
    }
    size_t Size() const { return GlobalSize(m_medium.hGlobal); }

private:
    STGMEDIUM m_medium = {};
    void* m_locked = nullptr;
};

// The array is written by another party: an ID list is used only when its offset and
// every one of its items lie inside the memory.
PCUIDLIST_RELATIVE IdListAt(const BYTE* memory, size_t size, size_t offset) {
    for (size_t at = offset; at + sizeof(USHORT) <= size;) {
        USHORT itemBytes = 0;
        std::memcpy(&itemBytes, memory + at, sizeof(itemBytes));
        if (itemBytes == 0) {
            return reinterpret_cast<PCUIDLIST_RELATIVE>(memory + offset);
        }
        at += itemBytes;
    }
    return nullptr;
}

UINT UintAt(const BYTE* memory, size_t index) {
    UINT value = 0;
    std::memcpy(&value, memory + index * sizeof(UINT), sizeof(value));
    return value;
}

}  // namespace

bool ReadSelectionPaths(IDataObject* data, std::vector<std::wstring>* paths) {
    paths->clear();
    FORMATETC request = {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST)),
                         nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    CMedium medium;
    if (data == nullptr || FAILED(data->GetData(&request, medium.Get()))) {
        return false;
    }
    const BYTE* memory = medium.Lock();
    if (memory == nullptr) {
        return false;
    }
    // A count n, then n + 1 offsets: the parent folder's ID list, then each item's.
    const size_t size = medium.Size();
    const size_t count = size >= sizeof(UINT) ? UintAt(memory, 0) : 0;
    if ((count + 2) * sizeof(UINT) > size) {
        return true;
    }
    const auto parent =
        reinterpret_cast<PCIDLIST_ABSOLUTE>(IdListAt(memory, size, UintAt(memory, 1)));
    for (size_t i = 0; i < count; ++i) {
        const PCUIDLIST_RELATIVE item = IdListAt(memory, size, UintAt(memory, i + 2));
        wchar_t path[MAX_PATH] = {};
        PIDLIST_ABSOLUTE full =
            parent != nullptr && item != nullptr ? ILCombine(parent, item) : nullptr;
        if (full != nullptr) {
            if (!SHGetPathFromIDListW(full, path)) {
                path[0] = L'\0';
            }
            ILFree(full);
        }
        paths->push_back(path);
    }
    return true;
}

}  // namespace qmz
