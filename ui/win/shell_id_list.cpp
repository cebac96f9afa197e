#include "ui/win/shell_id_list.h"

#include <shlobj.h>

#include "com/com_ptr.h"
#include "ui/model/id_list_array.h"

namespace qmz {
namespace {

// The storage medium GetData hands out, released at the end of the scope.
class CStorageMedium {
public:
    CStorageMedium() = default;
    ~CStorageMedium() {
        if (m_received) {
            ReleaseStgMedium(&m_medium);
        }
    }
    CStorageMedium(const CStorageMedium&) = delete;
    CStorageMedium& operator=(const CStorageMedium&) = delete;

    HRESULT Get(IDataObject* data, FORMATETC* format) {
        const HRESULT result = data->GetData(format, &m_medium);
        m_received = SUCCEEDED(result);
        return result;
    }
    const STGMEDIUM& Medium() const { return m_medium; }

private:
    STGMEDIUM m_medium = {};
    bool m_received = false;
};

// Global memory locked for the length of a scope.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL memory)
        : m_memory(memory), m_data(memory != nullptr ? GlobalLock(memory) : nullptr) {}
    ~CGlobalLock() {
        if (m_data != nullptr) {
            GlobalUnlock(m_memory);
        }
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    const uint8_t* Data() const { return static_cast<const uint8_t*>(m_data); }

private:
    HGLOBAL m_memory;
    void* m_data;
};

}  // namespace

IdListReadResult ReadShellIdListPaths(IDataObject* data, std::vector<std::wstring>* paths) {
    paths->clear();
    CComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Receive())) || !allocator) {
        return IdListReadResult::kNoAllocator;
    }
    FORMATETC format = {static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_SHELLIDLIST)),
                        nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    CStorageMedium medium;
    if (format.cfFormat == 0 || FAILED(medium.Get(data, &format)) ||
        medium.Medium().tymed != TYMED_HGLOBAL || medium.Medium().hGlobal == nullptr) {
        return IdListReadResult::kNoData;
    }
    const HGLOBAL memory = medium.Medium().hGlobal;
    CGlobalLock lock(memory);
    if (lock.Data() == nullptr) {
        return IdListReadResult::kUnlockable;
    }
    IdListArrayLayout layout;
    if (!ParseIdListArray(lock.Data(), GlobalSize(memory), &layout)) {
        return IdListReadResult::kMalformed;
    }
    const auto* parent = reinterpret_cast<PCIDLIST_ABSOLUTE>(lock.Data() + layout.parentOffset);
    for (std::size_t offset : layout.itemOffsets) {
        const auto* item = reinterpret_cast<PCUIDLIST_RELATIVE>(lock.Data() + offset);
        PIDLIST_ABSOLUTE full = ILCombine(parent, item);
        if (full == nullptr) {
            continue;
        }
        wchar_t path[MAX_PATH] = {};
        const bool hasPath = SHGetPathFromIDListW(full, path) && path[0] != L'\0';
        allocator->Free(full);
        if (hasPath) {
            paths->push_back(path);
        }
    }
    return IdListReadResult::kOk;
}

const wchar_t* IdListReadFailure(IdListReadResult result) {
    switch (result) {
        case IdListReadResult::kOk:
            return L"";
        case IdListReadResult::kNoAllocator:
            return L"SHGetMalloc() failed";
        case IdListReadResult::kNoData:
            return L"GetData() failed on CFSTR_SHELLIDLIST";
        case IdListReadResult::kUnlockable:
            return L"GlobalLock() failed";
        case IdListReadResult::kMalformed:
            return L"The Shell IDList Array is malformed";
    }
    return L"";
}

}  // namespace qmz
