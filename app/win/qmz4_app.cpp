#include "app/win/qmz4_app.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>
#include <ole2.h>

#include <clocale>

#include "app/command_line.h"
#include "app/win/active_object.h"
#include "app/win/owner_frame.h"
#include "app/win/qmz4_module.h"
#include "app/win/second_instance.h"
#include "engine/method_table.h"
#include "ops/erase_coordinator.h"
#include "resources/string_ids.h"
#include "settings/settings_store.h"
#include "ui/resource_ids.h"
#include "ui/win/qmz4_main.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

// OLE for the length of a scope.
class COleSession {
public:
    COleSession() : m_ok(SUCCEEDED(OleInitialize(nullptr))) {}
    ~COleSession() {
        if (m_ok) {
            OleUninitialize();
        }
    }
    COleSession(const COleSession&) = delete;
    COleSession& operator=(const COleSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

}  // namespace

int CQMZ4App::Run(HINSTANCE instance, const wchar_t* commandLine) {
    m_instance = instance;
    INITCOMMONCONTROLSEX controls = {8, 0xFF};
    InitCommonControlsEx(&controls);
    FindProgramDirectory();
    _wsetlocale(LC_ALL, L"");
    LoadLanguageModule();

    COleSession ole;
    if (!ole.Ok()) {
        const std::wstring text = LoadResourceString(m_languageResourceModule, IDS_OLE_INIT_FAILED);
        MessageBoxW(nullptr, text.c_str(), L"QMZ4", MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    m_applicationTitle = LoadResourceString(m_languageResourceModule, IDS_APPLICATION_TITLE);
    m_errorMessagePrefix = LoadResourceString(m_languageResourceModule, IDS_ERROR_MESSAGE_PREFIX);

    const std::wstring arguments = commandLine != nullptr ? commandLine : L"";
    const CommandLineSwitch found = FindCommandLineSwitch(arguments);
    const bool registering =
        found == CommandLineSwitch::kRegister || found == CommandLineSwitch::kUnregister;
    // A registration run is not a request: handed on, "/Register" would become a path.
    if (!registering &&
        ForwardToRunningInstance(arguments, m_errorMessagePrefix, m_applicationTitle)) {
        return 0;
    }

    CQMZ4Module module(m_programPath);
    if (!module.RegisterClassObjects()) {
        return 1;
    }
    if (found == CommandLineSwitch::kEmbedding || found == CommandLineSwitch::kAutomation) {
        module.RegisterProxyFactory();
    } else if (found == CommandLineSwitch::kUnregister) {
        module.UnregisterServer();
        return 0;
    } else {
        module.RegisterServer();  // a failure leaves the program usable, unregistered
        if (found == CommandLineSwitch::kRegister) {
            return 0;
        }
    }
    return RunMainWindow(&module, arguments);
}

int CQMZ4App::RunMainWindow(CQMZ4Module* module, const std::wstring& arguments) {
    if (!m_platform.VersionKnown()) {
        ShowInternalError(nullptr, m_errorMessagePrefix, m_applicationTitle,
                          L"GetVersionEx() failed");
    }
    CEraseCoordinator coordinator(m_platform.Services(), ModifiedMethodSlot());
    CWindow ownerFrame = CreateOwnerFrame(m_instance);
    CActiveObjectRegistration activeObject(m_errorMessagePrefix, m_applicationTitle);
    MainWindowEnvironment environment;
    environment.resources = m_languageResourceModule;
    environment.programDirectory = m_programDirectory;
    environment.commandLine = arguments;
    environment.applicationTitle = m_applicationTitle;
    environment.errorMessagePrefix = m_errorMessagePrefix;
    environment.platform = m_platform.Services();
    environment.registry = m_platform.Registry();
    environment.sink = m_platform.Sink();
    environment.coordinator = &coordinator;
    environment.onInitialised = [&activeObject](HWND) { activeObject.Register(); };
    {
        CQMZ4Main mainWindow(std::move(environment));
        module->SetMainWindow(&mainWindow);
        module->ApplicationLock()->Lock();
        const INT_PTR ended = mainWindow.RunModal(ownerFrame.Get());
        // A message box below pumps messages: a late automation call must find no window.
        module->SetMainWindow(nullptr);
        if (ended == -1) {
            ShowInternalError(nullptr, m_errorMessagePrefix, m_applicationTitle,
                              L"DialogBoxParam() of the main window failed");
        }
        activeObject.Revoke();
        ownerFrame.Reset();
        activeObject.NoteInvisible();
        module->ApplicationLock()->Unlock();
    }
    module->RevokeClassObjects();
    return 0;
}

void CQMZ4App::FindProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.rfind(L'\\');
    m_programPath = path;
    m_programDirectory = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void CQMZ4App::LoadLanguageModule() {
    m_language = CSettingsStore::ReadLanguage(m_platform.Registry());
    m_languageResourceModule = m_instance;
    if (m_language == 0) {
        return;
    }
    wchar_t abbreviation[10] = {};
    // An unknown locale has no name: the built-in texts are used, not a "QMZ4.dll".
    if (GetLocaleInfoW(static_cast<LCID>(m_language), LOCALE_SABBREVLANGNAME, abbreviation,
                       static_cast<int>(std::size(abbreviation))) == 0) {
        return;
    }
    m_languageDllPath = m_programDirectory + L"\\QMZ4" + abbreviation + L".dll";
    m_languageDll.Reset(
        LoadLibraryExW(m_languageDllPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    // A library without the main dialog would leave the program without a window.
    if (m_languageDll &&
        FindResourceW(m_languageDll.Get(), MAKEINTRESOURCEW(IDD_QMZ4_MAIN), RT_DIALOG) != nullptr) {
        m_languageResourceModule = m_languageDll.Get();
    } else {
        m_languageDll.Reset();
    }
}

}  // namespace qmz
