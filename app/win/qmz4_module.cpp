#include "app/win/qmz4_module.h"

#include <objbase.h>
#include <oleauto.h>

#include "app/win/qmz4_main_auto.h"
#include "app/win/qmz4_main_auto_proxy.h"
#include "com/class_factory.h"
#include "com/com_ptr.h"
#include "com/dispatch_call.h"
#include "platform/win32/win32_registry.h"
#include "registration/com_ids.h"
#include "registration/server_scripts.h"

namespace qmz {
namespace {

HRESULT RegisterFactory(CQMZ4Module* module, const wchar_t* classId, CreateInstanceFunction create,
                        DWORD use, DWORD* cookie) {
    CComPtr<IClassFactory> factory(new CClassFactory(module->ApplicationLock(), create, module));
    return CoRegisterClassObject(GuidFromText(classId), factory.Get(), CLSCTX_LOCAL_SERVER, use,
                                 cookie);
}

HRESULT FromWin32(uint32_t error) {
    return HRESULT_FROM_WIN32(error);
}

}  // namespace

CQMZ4Module::CQMZ4Module(std::wstring programPath)
    : m_programPath(std::move(programPath)),
      m_mainAutoInfo(GuidFromText(kQmz4LibraryId), GuidFromText(kMainAutoInterfaceId),
                     m_programPath),
      m_proxyInfo(GuidFromText(kQmz4LibraryId), GuidFromText(kProxyInterfaceId), m_programPath) {}

CQMZ4Module::~CQMZ4Module() {
    RevokeClassObjects();
}

bool CQMZ4Module::RegisterClassObjects() {
    return SUCCEEDED(RegisterFactory(this, kMainAutoClassId, CreateMainAuto, REGCLS_MULTIPLEUSE,
                                     &m_mainAutoCookie));
}

bool CQMZ4Module::RegisterProxyFactory() {
    return SUCCEEDED(RegisterFactory(this, kProxyClassId, CreateMainAutoProxy, REGCLS_SINGLEUSE,
                                     &m_proxyCookie));
}

void CQMZ4Module::RevokeClassObjects() {
    for (DWORD* cookie : {&m_mainAutoCookie, &m_proxyCookie}) {
        if (*cookie == 0) {
            continue;
        }
        const HRESULT result = CoRevokeClassObject(*cookie);
        *cookie = 0;
        if (FAILED(result)) {
            return;
        }
    }
}

HRESULT CQMZ4Module::RegisterServer() {
    CWin32Registry registry;
    HRESULT first = FromWin32(ApplyRegistryScript(&registry, ProxyClassScript(m_programPath)));
    const HRESULT script = FromWin32(ApplyRegistryScript(&registry, MainAutoScript(m_programPath)));
    if (SUCCEEDED(first)) {
        first = script;
    }
    CComPtr<ITypeLib> library;
    const HRESULT typeLibrary =
        LoadTypeLibEx(m_programPath.c_str(), REGKIND_REGISTER, library.Receive());
    return SUCCEEDED(first) ? typeLibrary : first;
}

HRESULT CQMZ4Module::UnregisterServer() {
    CWin32Registry registry;
    HRESULT first = FromWin32(RemoveRegistryScript(&registry, MainAutoScript(m_programPath)));
    const HRESULT proxy =
        FromWin32(RemoveRegistryScript(&registry, ProxyClassScript(m_programPath)));
    if (SUCCEEDED(first)) {
        first = proxy;
    }
    const HRESULT typeLibrary =
        UnRegisterTypeLib(GuidFromText(kQmz4LibraryId), 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
    return SUCCEEDED(first) ? typeLibrary : first;
}

}  // namespace qmz
