// What both context-menu handlers share: one COM object that is its dual interface
// (IDispatch served from the DLL's type library), IShellExtInit and IContextMenu, and that
// holds the DLL loaded while it lives. A handler implements the shell methods once; the
// dual interface's forms of Initialize and InvokeCommand, whose shell types a type library
// cannot carry, forward to them.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <shlobj.h>

#include <new>

#include "com/com_ptr.h"
#include "com/dispatch_call.h"
#include "com/module_lock.h"
#include "com/type_info_dispatch.h"
#include "qmz4shellext_h.h"
#include "registration/com_ids.h"
#include "shellext/win/shellext_app.h"

namespace qmz {

// Runs a COM method's body; an allocation that fails inside must not throw into Explorer.
template <class TBody>
HRESULT Guarded(TBody body) noexcept {
    try {
        return body();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

template <class TDual>
class CHandlerBase : public TDual, public IShellExtInit, public IContextMenu {
public:
    // A class factory's creation function for THandler; no aggregation.
    template <class THandler>
    static HRESULT CreateHandler(IUnknown* outer, REFIID iid, void** object) {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        return Guarded([&] {
            THandler* handler = new (std::nothrow) THandler();
            if (handler == nullptr) {
                return E_OUTOFMEMORY;
            }
            const HRESULT result = handler->QueryInterface(iid, object);
            handler->Release();
            return result;
        });
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, m_interfaceId)) {
            *object = static_cast<TDual*>(this);
        } else if (IsEqualIID(iid, IID_IShellExtInit)) {
            *object = static_cast<IShellExtInit*>(this);
        } else if (IsEqualIID(iid, IID_IContextMenu)) {
            *object = static_cast<IContextMenu*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return DispatchTypeInfo(&m_typeInfo, index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return DispatchIdsOfNames(&m_typeInfo, iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return DispatchInvoke(&m_typeInfo, static_cast<TDual*>(this), id, iid, flags, parameters,
                              result, exception, argumentError);
    }

    HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IUnknown* data,
                                         ULONG_PTR programKey) override {
        CComPtr<IDataObject> dataObject;
        if (data != nullptr) {
            data->QueryInterface(IID_IDataObject, dataObject.ReceiveVoid());
        }
        return static_cast<IShellExtInit*>(this)->Initialize(folder, dataObject.Get(),
                                                             reinterpret_cast<HKEY>(programKey));
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(ULONG_PTR info) override {
        return static_cast<IContextMenu*>(this)->InvokeCommand(
            reinterpret_cast<CMINVOKECOMMANDINFO*>(info));
    }

protected:
    explicit CHandlerBase(const wchar_t* interfaceId)
        : m_interfaceId(GuidFromText(interfaceId)),
          m_hold(CQMZ4shellextApp::Instance().Lock()),
          m_typeInfo(GuidFromText(kShellextLibraryId), m_interfaceId,
                     CQMZ4shellextApp::Instance().DllPath()) {}
    virtual ~CHandlerBase() = default;

private:
    GUID m_interfaceId;
    CModuleLockHold m_hold;
    CTypeInfoCache m_typeInfo;
    LONG m_references = 1;
};

}  // namespace qmz
