#include "app/win/qmz4_main_auto.h"

#include <new>
#include <string>

#include "app/win/qmz4_module.h"
#include "com/bstr.h"
#include "com/type_info_dispatch.h"

namespace qmz {

HRESULT CreateMainAuto(void* module, IUnknown* outer, REFIID iid, void** object) {
    auto* created = new (std::nothrow) CQMZ4MainAuto(static_cast<CQMZ4Module*>(module), outer);
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    // The inner reference the object was born with is dropped after the answer, so a
    // refused interface destroys the object again.
    const HRESULT result = created->Inner()->QueryInterface(iid, object);
    created->Inner()->Release();
    return result;
}

CQMZ4MainAuto::CQMZ4MainAuto(CQMZ4Module* module, IUnknown* outer)
    : m_module(module), m_inner(this), m_outer(outer != nullptr ? outer : &m_inner) {
    m_module->ApplicationLock()->Lock();
}

CQMZ4MainAuto::~CQMZ4MainAuto() {
    m_module->ApplicationLock()->Unlock();
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::CInner::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, __uuidof(IQMZ4MainAuto))) {
        *object = static_cast<IQMZ4MainAuto*>(m_owner);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CQMZ4MainAuto::CInner::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE CQMZ4MainAuto::CInner::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete m_owner;
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::QueryInterface(REFIID iid, void** object) {
    return m_outer->QueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE CQMZ4MainAuto::AddRef() {
    return m_outer->AddRef();
}

ULONG STDMETHODCALLTYPE CQMZ4MainAuto::Release() {
    return m_outer->Release();
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    return DispatchTypeInfo(m_module->MainAutoTypeInfo(), index, info);
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                       LCID, DISPID* ids) {
    return DispatchIdsOfNames(m_module->MainAutoTypeInfo(), iid, names, count, ids);
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::Invoke(DISPID id, REFIID iid, LCID, WORD flags,
                                                DISPPARAMS* parameters, VARIANT* result,
                                                EXCEPINFO* exception, UINT* argumentError) {
    return DispatchInvoke(m_module->MainAutoTypeInfo(), static_cast<IQMZ4MainAuto*>(this), id, iid,
                          flags, parameters, result, exception, argumentError);
}

namespace {

// The main window is looked up at each call: it is the one window of the process, and a
// client may still hold the object after the window has closed. No exception may cross
// into COM; running out of memory is the one failure a request can meet here.
template <class TRequest>
HRESULT Request(CQMZ4Module* module, TRequest request) {
    IAutomationTarget* window = module->MainWindow();
    if (window == nullptr) {
        return S_OK;
    }
    try {
        request(window);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::DoFilesAndFolders(BSTR pathnames) {
    return Request(m_module, [pathnames](IAutomationTarget* window) {
        window->DoFilesAndFolders(CBstr::ToString(pathnames));
    });
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::DoFreeSpace(BSTR rootpathnames) {
    return Request(m_module, [rootpathnames](IAutomationTarget* window) {
        window->DoFreeSpace(CBstr::ToString(rootpathnames));
    });
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::DoEntirePartitions(BSTR rootpathnames) {
    return Request(m_module, [rootpathnames](IAutomationTarget* window) {
        window->DoEntirePartitions(CBstr::ToString(rootpathnames));
    });
}

HRESULT STDMETHODCALLTYPE CQMZ4MainAuto::DoRecycleBin() {
    return Request(m_module, [](IAutomationTarget* window) { window->DoRecycleBin(); });
}

}  // namespace qmz
