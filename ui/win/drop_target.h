// The main window's drop target: accepts files and folders dragged from the shell and
// hands their paths on as one list, each path as "path" followed by one blank.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oleidl.h>

#include <functional>
#include <string>

namespace qmz {

class CQMZ4DropTarget final : public IDropTarget {
public:
    using PathListHandler = std::function<void(const std::wstring& pathList)>;
    using ErrorReporter = std::function<void(const std::wstring& detail)>;

    CQMZ4DropTarget(PathListHandler onDrop, ErrorReporter reportError);
    // Revokes the registration. The owner's lifetime bounds the object's: OLE's reference
    // ends with the revocation, so reference counts never delete it.
    ~CQMZ4DropTarget();
    CQMZ4DropTarget(const CQMZ4DropTarget&) = delete;
    CQMZ4DropTarget& operator=(const CQMZ4DropTarget&) = delete;

    // RegisterDragDrop on `window` (OLE must be initialised on this thread).
    bool Register(HWND window);

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IDropTarget
    IFACEMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    IFACEMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    IFACEMETHODIMP DragLeave() override;
    IFACEMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    PathListHandler m_onDrop;
    ErrorReporter m_reportError;
    HWND m_window = nullptr;
    LONG m_references = 0;
    bool m_acceptable = false;  // what the current drag carries
};

}  // namespace qmz
