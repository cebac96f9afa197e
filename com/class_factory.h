// A class object that makes instances through a creation function, so that one factory
// type serves every class of a module.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <unknwn.h>

#include "com/module_lock.h"

namespace qmz {

// Makes one object, aggregated when `outer` is given, and answers `iid` on it. Returns
// E_POINTER without `object`, and never leaves a half-made object behind.
using CreateInstanceFunction = HRESULT (*)(void* context, IUnknown* outer, REFIID iid,
                                           void** object);

class CClassFactory final : public IClassFactory {
public:
    // `context` is handed to `create` unchanged (the application, for example).
    CClassFactory(CModuleLock* lock, CreateInstanceFunction create, void* context);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~CClassFactory() = default;

    LONG m_references = 1;
    CModuleLock* m_lock;
    CreateInstanceFunction m_create;
    void* m_context;
};

}  // namespace qmz
