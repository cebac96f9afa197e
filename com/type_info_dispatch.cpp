#include "com/type_info_dispatch.h"

#include <oleauto.h>

namespace qmz {

CTypeInfoCache::CTypeInfoCache(const GUID& library, const GUID& interfaceId,
                               std::wstring modulePath)
    : m_library(library), m_interface(interfaceId), m_modulePath(std::move(modulePath)) {}

HRESULT CTypeInfoCache::Get(ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (!m_info) {
        CComPtr<ITypeLib> library;
        HRESULT result = LoadRegTypeLib(m_library, 1, 0, LOCALE_NEUTRAL, library.Receive());
        if (FAILED(result)) {
            // Not registered (or registered elsewhere and gone): the copy inside the module.
            result = LoadTypeLibEx(m_modulePath.c_str(), REGKIND_NONE, library.Receive());
        }
        if (FAILED(result)) {
            return result;
        }
        result = library->GetTypeInfoOfGuid(m_interface, m_info.Receive());
        if (FAILED(result)) {
            return result;
        }
    }
    *info = m_info.Get();
    (*info)->AddRef();
    return S_OK;
}

HRESULT DispatchTypeInfo(CTypeInfoCache* cache, UINT index, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    return cache->Get(info);
}

HRESULT DispatchIdsOfNames(CTypeInfoCache* cache, REFIID iid, LPOLESTR* names, UINT count,
                           DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    CComPtr<ITypeInfo> info;
    const HRESULT result = cache->Get(info.Receive());
    if (FAILED(result)) {
        return result;
    }
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT DispatchInvoke(CTypeInfoCache* cache, void* dual, DISPID id, REFIID iid, WORD flags,
                       DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    CComPtr<ITypeInfo> info;
    const HRESULT loaded = cache->Get(info.Receive());
    if (FAILED(loaded)) {
        return loaded;
    }
    return DispInvoke(dual, info.Get(), id, flags, parameters, result, exception, argumentError);
}

}  // namespace qmz
