// CQMZ4MainAuto: the automation object "QMZ4.QMZ4MainAuto", the door through which other
// processes hand the program work. Each method copies its argument, hands the request to
// the main window and returns S_OK at once; the erase happens later on the worker.
#pragma once

#include <windows.h>

#include "qmz4_h.h"

namespace qmz {

class CQMZ4Module;

// The creation function of its class object; `module` is the CQMZ4Module.
HRESULT CreateMainAuto(void* module, IUnknown* outer, REFIID iid, void** object);

class CQMZ4MainAuto final : public IQMZ4MainAuto {
public:
    CQMZ4MainAuto(CQMZ4Module* module, IUnknown* outer);
    ~CQMZ4MainAuto();
    CQMZ4MainAuto(const CQMZ4MainAuto&) = delete;
    CQMZ4MainAuto& operator=(const CQMZ4MainAuto&) = delete;

    // The object's own IUnknown, which an aggregating outer object holds.
    IUnknown* Inner() { return &m_inner; }

    // IUnknown, delegated to the outer object when aggregated.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, served from the type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // IQMZ4MainAuto.
    HRESULT STDMETHODCALLTYPE DoFilesAndFolders(BSTR pathnames) override;
    HRESULT STDMETHODCALLTYPE DoFreeSpace(BSTR rootpathnames) override;
    HRESULT STDMETHODCALLTYPE DoEntirePartitions(BSTR rootpathnames) override;
    HRESULT STDMETHODCALLTYPE DoRecycleBin() override;

private:
    // The non-delegating IUnknown that owns the object's life.
    class CInner final : public IUnknown {
    public:
        explicit CInner(CQMZ4MainAuto* owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

    private:
        CQMZ4MainAuto* m_owner;
        LONG m_references = 1;
    };

    CQMZ4Module* m_module;
    CInner m_inner;
    IUnknown* m_outer;  // the aggregating object, or the inner IUnknown
};

}  // namespace qmz
