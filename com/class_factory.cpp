#include "com/class_factory.h"

namespace qmz {

CClassFactory::CClassFactory(CModuleLock* lock, CreateInstanceFunction create, void* context)
    : m_lock(lock), m_create(create), m_context(context) {}

HRESULT STDMETHODCALLTYPE CClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE CClassFactory::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown* outer, REFIID iid,
                                                        void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    // An aggregated object hands out only its inner IUnknown to the outer one.
    if (outer != nullptr && !IsEqualIID(iid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    return m_create(m_context, outer, iid, object);
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        m_lock->Lock();
    } else {
        m_lock->Unlock();
    }
    return S_OK;
}

}  // namespace qmz
