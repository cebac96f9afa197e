#include "ui/win/drop_target.h"

#include <vector>

#include "ui/win/shell_id_list.h"

namespace qmz {
namespace {

// Room for each dropped path (MAX_PATH, two quotes and a blank) and the terminator.
constexpr std::size_t kCharactersPerPath = 263;

bool OffersFiles(IDataObject* data) {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

}  // namespace

CQMZ4DropTarget::CQMZ4DropTarget(PathListHandler onDrop, ErrorReporter reportError)
    : m_onDrop(std::move(onDrop)), m_reportError(std::move(reportError)) {}

CQMZ4DropTarget::~CQMZ4DropTarget() {
    if (m_window != nullptr) {
        RevokeDragDrop(m_window);
    }
}

bool CQMZ4DropTarget::Register(HWND window) {
    if (FAILED(RegisterDragDrop(window, this))) {
        return false;
    }
    m_window = window;
    return true;
}

IFACEMETHODIMP CQMZ4DropTarget::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

IFACEMETHODIMP_(ULONG) CQMZ4DropTarget::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

IFACEMETHODIMP_(ULONG) CQMZ4DropTarget::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&m_references));
}

IFACEMETHODIMP CQMZ4DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    m_acceptable = OffersFiles(data);
    *effect = m_acceptable ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    return S_OK;
}

IFACEMETHODIMP CQMZ4DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    *effect = m_acceptable ? DROPEFFECT_LINK : DROPEFFECT_NONE;
    return S_OK;
}

IFACEMETHODIMP CQMZ4DropTarget::DragLeave() {
    return S_OK;
}

IFACEMETHODIMP CQMZ4DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    *effect = DROPEFFECT_NONE;
    m_acceptable = false;
    if (data == nullptr) {
        return E_INVALIDARG;
    }
    std::vector<std::wstring> paths;
    const IdListReadResult read = ReadShellIdListPaths(data, &paths);
    if (read != IdListReadResult::kOk) {
        m_reportError(IdListReadFailure(read));
        return read == IdListReadResult::kMalformed ? E_INVALIDARG : E_FAIL;
    }
    std::wstring pathList;
    pathList.reserve(paths.size() * kCharactersPerPath + 1);
    for (const std::wstring& path : paths) {
        pathList += L'"' + path + L"\" ";
    }
    m_onDrop(pathList);
    *effect = DROPEFFECT_LINK;
    return S_OK;
}

}  // namespace qmz
