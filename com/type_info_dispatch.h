// IDispatch served from a type library: the type information of a dual interface is
// loaded once, from the registered library first and from the module file (resource
// TYPELIB 1) when that fails, and names and calls are dispatched through it.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oaidl.h>

#include <string>

#include "com/com_ptr.h"

namespace qmz {

class CTypeInfoCache {
public:
    // `modulePath` is the file that carries the library as its resource TYPELIB 1.
    CTypeInfoCache(const GUID& library, const GUID& interfaceId, std::wstring modulePath);
    // The type information, loaded on first use and then kept.
    HRESULT Get(ITypeInfo** info);

private:
    GUID m_library;
    GUID m_interface;
    std::wstring m_modulePath;
    CComPtr<ITypeInfo> m_info;
};

// The IDispatch methods of a dual interface whose vtable is `dual`.
HRESULT DispatchTypeInfo(CTypeInfoCache* cache, UINT index, ITypeInfo** info);
HRESULT DispatchIdsOfNames(CTypeInfoCache* cache, REFIID iid, LPOLESTR* names, UINT count,
                           DISPID* ids);
HRESULT DispatchInvoke(CTypeInfoCache* cache, void* dual, DISPID id, REFIID iid, WORD flags,
                       DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                       UINT* argumentError);

}  // namespace qmz
