// The DLL's COM entry points: class objects, unloading, and registration.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <olectl.h>

#include "com/com_ptr.h"
#include "platform/win32/win32_registry.h"
#include "registration/server_scripts.h"
#include "shellext/win/handler_base.h"
#include "shellext/win/shellext_app.h"

namespace {

using qmz::CQMZ4shellextApp;

HRESULT ResultOf(uint32_t error) {
    return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error);
}

// The type library inside the DLL (resource TYPELIB 1).
HRESULT LoadOwnTypeLib(ITypeLib** library) {
    return LoadTypeLibEx(CQMZ4shellextApp::Instance().DllPath().c_str(), REGKIND_NONE, library);
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return qmz::Guarded([&] {
        qmz::CComPtr<IClassFactory> factory(CQMZ4shellextApp::Instance().ClassObject(classId));
        return factory ? factory->QueryInterface(iid, object) : CLASS_E_CLASSNOTAVAILABLE;
    });
}

STDAPI DllCanUnloadNow() {
    return CQMZ4shellextApp::Instance().Lock()->Count() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return qmz::Guarded([] {
        const std::wstring& path = CQMZ4shellextApp::Instance().DllPath();
        qmz::CWin32Registry registry;
        // The AppID is a courtesy to tools that list servers; the handlers work without it.
        qmz::ApplyRegistryScript(&registry, qmz::ShellextAppIdScript());
        HRESULT result =
            ResultOf(qmz::ApplyRegistryScript(&registry, qmz::MenuHandlerScript(path)));
        if (SUCCEEDED(result)) {
            result =
                ResultOf(qmz::ApplyRegistryScript(&registry, qmz::RecycleBinHandlerScript(path)));
        }
        qmz::CComPtr<ITypeLib> library;
        if (SUCCEEDED(result)) {
            result = LoadOwnTypeLib(library.Receive());
        }
        if (SUCCEEDED(result)) {
            result = RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
        }
        return result;
    });
}

STDAPI DllUnregisterServer() {
    return qmz::Guarded([] {
        const std::wstring& path = CQMZ4shellextApp::Instance().DllPath();
        qmz::CWin32Registry registry;
        qmz::RemoveRegistryScript(&registry, qmz::ShellextAppIdScript());
        HRESULT result =
            ResultOf(qmz::RemoveRegistryScript(&registry, qmz::MenuHandlerScript(path)));
        const HRESULT recycleBin =
            ResultOf(qmz::RemoveRegistryScript(&registry, qmz::RecycleBinHandlerScript(path)));
        if (SUCCEEDED(result)) {
            result = recycleBin;
        }
        qmz::CComPtr<ITypeLib> library;
        TLIBATTR* attributes = nullptr;
        HRESULT typeLib = LoadOwnTypeLib(library.Receive());
        if (SUCCEEDED(typeLib)) {
            typeLib = library->GetLibAttr(&attributes);
        }
        if (SUCCEEDED(typeLib)) {
            typeLib =
                UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                  attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
            library->ReleaseTLibAttr(attributes);
        }
        return SUCCEEDED(result) ? typeLib : result;
    });
}
