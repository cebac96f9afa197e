// CQMZ4Module: the program's COM server module. Its object map holds the automation class
// "QMZ4.QMZ4MainAuto"; the proxy class "QMZ4.Application" is served only when COM started
// the program. It also carries the application lock and the type information that every
// automation object shares, and knows the main window while one exists.
#pragma once

#include <windows.h>

#include <string>

#include "com/module_lock.h"
#include "com/type_info_dispatch.h"
#include "ui/win/automation_target.h"

namespace qmz {

class CQMZ4Module {
public:
    explicit CQMZ4Module(std::wstring programPath);
    ~CQMZ4Module();
    CQMZ4Module(const CQMZ4Module&) = delete;
    CQMZ4Module& operator=(const CQMZ4Module&) = delete;

    // Every class of the object map, for multiple use; false when one fails.
    bool RegisterClassObjects();
    // The single-use proxy factory: one process per "QMZ4.Application" object.
    bool RegisterProxyFactory();
    // In object-map order, stopping at the first failure; the proxy factory last.
    void RevokeClassObjects();

    // The registry entries of both classes and the type library in the program file.
    // Failures are ignored by the caller; the first is returned.
    HRESULT RegisterServer();
    HRESULT UnregisterServer();

    CModuleLock* ApplicationLock() { return &m_applicationLock; }
    CTypeInfoCache* MainAutoTypeInfo() { return &m_mainAutoInfo; }
    CTypeInfoCache* ProxyTypeInfo() { return &m_proxyInfo; }
    // The window that automation calls act on; null before it exists and after it closed.
    IAutomationTarget* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(IAutomationTarget* window) { m_mainWindow = window; }

private:
    std::wstring m_programPath;
    CModuleLock m_applicationLock;
    CTypeInfoCache m_mainAutoInfo;
    CTypeInfoCache m_proxyInfo;
    IAutomationTarget* m_mainWindow = nullptr;
    DWORD m_mainAutoCookie = 0;
    DWORD m_proxyCookie = 0;
};

}  // namespace qmz
