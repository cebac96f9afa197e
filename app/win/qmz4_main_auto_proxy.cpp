#include "app/win/qmz4_main_auto_proxy.h"

#include <new>

#include "app/win/qmz4_module.h"
#include "com/dispatch_call.h"
#include "registration/com_ids.h"

namespace qmz {

HRESULT CreateMainAutoProxy(void* module, IUnknown* outer, REFIID iid, void** object) {
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    auto* created = new (std::nothrow) CQMZ4MainAutoProxy(static_cast<CQMZ4Module*>(module));
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

CQMZ4MainAutoProxy::CQMZ4MainAutoProxy(CQMZ4Module* module) : m_module(module) {
    m_module->ApplicationLock()->Lock();
    if (IAutomationTarget* window = m_module->MainWindow()) {
        window->SetProxyAttached(true);
        m_attached = true;
    }
}

CQMZ4MainAutoProxy::~CQMZ4MainAutoProxy() {
    IAutomationTarget* window = m_module->MainWindow();
    if (m_attached && window != nullptr) {
        window->SetProxyAttached(false);
    }
    m_module->ApplicationLock()->Unlock();
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAutoProxy::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, GuidFromText(kProxyInterfaceId))) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CQMZ4MainAutoProxy::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE CQMZ4MainAutoProxy::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAutoProxy::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAutoProxy::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    return DispatchTypeInfo(m_module->ProxyTypeInfo(), index, info);
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAutoProxy::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                            LCID, DISPID* ids) {
    return DispatchIdsOfNames(m_module->ProxyTypeInfo(), iid, names, count, ids);
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAutoProxy::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*,
                                                     VARIANT*, EXCEPINFO*, UINT*) {
    return DISP_E_MEMBERNOTFOUND;  // the proxy has no members
}

}  // namespace qmz
