#include "shellext/win/shellext_app.h"

#include <clocale>
#include <vector>

#include "com/class_factory.h"
#include "com/dispatch_call.h"
#include "platform/win32/win32_registry.h"
#include "registration/com_ids.h"
#include "shellext/model/shellext_settings.h"
#include "shellext/win/qmz4_menu.h"
#include "shellext/win/qmz4_rbmenu.h"

namespace qmz {

CQMZ4shellextApp& CQMZ4shellextApp::Instance() {
    static CQMZ4shellextApp app;
    return app;
}

CQMZ4shellextApp::CQMZ4shellextApp() {
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&CQMZ4shellextApp::Instance), &m_module);
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(m_module, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    m_dllPath.assign(path.data(), length);
    const size_t slash = m_dllPath.find_last_of(L'\\');
    m_directory = slash == std::wstring::npos ? std::wstring() : m_dllPath.substr(0, slash);
    _wsetlocale(LC_ALL, L"");
    ChooseLanguage();
    m_menuFactory = new CClassFactory(&m_lock, &CQMZ4menu::Create, this);
    m_recycleBinFactory = new CClassFactory(&m_lock, &CQMZ4rbmenu::Create, this);
}

CQMZ4shellextApp::~CQMZ4shellextApp() {
    m_menuFactory->Release();
    m_recycleBinFactory->Release();
}

void CQMZ4shellextApp::ChooseLanguage() {
    m_resourceModule = m_module;
    CWin32Registry registry;
    m_language = ReadShellextSetting(&registry, L"Language");
    if (m_language == 0) {
        return;
    }
    wchar_t name[10] = {};
    if (GetLocaleInfoW(static_cast<LCID>(m_language), LOCALE_SABBREVLANGNAME, name, 10) == 0) {
        return;
    }
    m_languageDllPath = m_directory + L"\\QMZ4shellext" + name + L".dll";
    m_languageModule.Reset(
        LoadLibraryExW(m_languageDllPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (m_languageModule) {
        m_resourceModule = m_languageModule.Get();
    }
}

std::wstring CQMZ4shellextApp::Text(UINT id) const {
    const wchar_t* text = nullptr;
    // With no buffer, LoadStringW points into the resource itself.
    const int length = LoadStringW(m_resourceModule, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length))
                                         : std::wstring();
}

IClassFactory* CQMZ4shellextApp::ClassObject(REFCLSID classId) {
    IClassFactory* factory = nullptr;
    if (IsEqualCLSID(classId, GuidFromText(kMenuClassId))) {
        factory = m_menuFactory;
    } else if (IsEqualCLSID(classId, GuidFromText(kRecycleBinMenuClassId))) {
        factory = m_recycleBinFactory;
    }
    if (factory != nullptr) {
        factory->AddRef();
    }
    return factory;
}

}  // namespace qmz
