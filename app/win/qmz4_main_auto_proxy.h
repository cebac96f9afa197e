// CQMZ4MainAutoProxy: the object of the proxy class "QMZ4.Application". It has no members;
// while a client holds it, it is attached to the main window, which then refuses to close.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oaidl.h>

namespace qmz {

class CQMZ4Module;

// The creation function of the single-use class object; `module` is the CQMZ4Module.
HRESULT CreateMainAutoProxy(void* module, IUnknown* outer, REFIID iid, void** object);

class CQMZ4MainAutoProxy final : public IDispatch {
public:
    explicit CQMZ4MainAutoProxy(CQMZ4Module* module);
    ~CQMZ4MainAutoProxy();
    CQMZ4MainAutoProxy(const CQMZ4MainAutoProxy&) = delete;
    CQMZ4MainAutoProxy& operator=(const CQMZ4MainAutoProxy&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    CQMZ4Module* m_module;
    LONG m_references = 1;
    bool m_attached = false;
};

}  // namespace qmz
