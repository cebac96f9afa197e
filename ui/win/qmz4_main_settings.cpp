// The main window's settings: the settings dialog, what its OK changes (the context-menu
// registration, the saved settings, the log file), and the log records of finished items.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <shellapi.h>

#include "platform/win32/unique_handle.h"
#include "resources/string_ids.h"
#include "ui/resource_ids.h"
#include "ui/win/qmz4_main.h"
#include "ui/win/resource_texts.h"

namespace qmz {
namespace {

// regsvr32 registers in well under a second; a hung one must not hold the window forever.
constexpr DWORD kRegistrationTimeout = 30000;

}  // namespace

void CQMZ4Main::InitSettingsDialogAndLog() {
    m_settingsDialog = std::make_unique<CQMZ4Settings>(m_env.resources);
    m_log = std::make_unique<CEraseLog>(m_env.platform);
    if (m_settings.Logging == 1) {
        OpenLog();
    }
}

void CQMZ4Main::OpenLog() {
    if (m_log->Open(m_settings.LogFile)) {
        m_settings.Logging = 1;
        return;
    }
    m_settings.Logging = 0;
    const std::wstring text = m_settings.LogFile + Text(IDS_LOG_CANNOT_WRITE);
    MessageBoxW(m_hwnd, text.c_str(), m_title.c_str(), MB_OK | MB_ICONERROR);
}

void CQMZ4Main::OnSettings() {
    SettingsDialogInputs inputs;
    inputs.title = m_title;
    inputs.settings = m_settings;
    inputs.logFilter = Text(IDS_LOG_FILE_FILTER);
    inputs.logPickerTitle = Text(IDS_LOG_FILE_PICKER_TITLE);
    inputs.logCannotWrite = Text(IDS_LOG_CANNOT_WRITE);
    inputs.logDoesNotExist = Text(IDS_LOG_DOES_NOT_EXIST);
    inputs.logCannotShow = Text(IDS_LOG_CANNOT_SHOW);
    SettingsDialogResult result;
    if (m_settingsDialog->Run(m_hwnd, inputs, &result)) {
        ApplySettings(result);
    }
}

void CQMZ4Main::ApplySettings(SettingsDialogResult result) {
    if (result.settings.EnableShellExtension != m_settings.EnableShellExtension &&
        !RunShellExtensionRegistration(result.settings.EnableShellExtension == 1)) {
        // The menus are as they were, and so is the setting that mirrors them.
        result.settings.EnableShellExtension = m_settings.EnableShellExtension;
    }
    if (result.settings.Language != m_settings.Language) {
        MessageBoxW(m_hwnd, Text(IDS_LANGUAGE_CHANGED).c_str(), m_title.c_str(),
                    MB_OK | MB_ICONINFORMATION);
    }
    ApplySettingsDialogResult(result, &m_settings);
    m_store->SaveSettings(m_settings);
    // Requests made from now on use the new method and the new hidden-file rule.
    m_requests->SetMethod(m_settings.EffectiveMethod);
    m_requests->SetIncludeSuperHidden(m_settings.IncludeSuperHidden);
    if (m_settings.Logging == 0) {
        m_log->Close();
        if (result.eraseLogRequested && !m_settings.LogFile.empty()) {
            AddFileAndFolderRequest(L"\"" + m_settings.LogFile + L"\"");
        }
        return;
    }
    OpenLog();
}

bool CQMZ4Main::RunShellExtensionRegistration(bool enable) {
    // The DLL's path is quoted: a program folder with a blank in its name would otherwise
    // reach regsvr32 as two arguments and register nothing.
    const std::wstring parameters = std::wstring(enable ? L"/s " : L"/s /u ") + L"\"" +
                                    m_env.programDirectory + L"\\QMZ4shellext.dll\"";
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = m_hwnd;
    info.lpFile = L"regsvr32";
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    bool registered = ShellExecuteExW(&info) != FALSE;
    if (registered && info.hProcess != nullptr) {
        // "/s" keeps regsvr32 silent, so its exit code is the only word of a failure (a
        // missing DLL, no rights): the change must not then be announced as made.
        const CProcessHandle process(info.hProcess);
        DWORD exitCode = 1;
        registered = WaitForSingleObject(process.Get(), kRegistrationTimeout) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(process.Get(), &exitCode) && exitCode == 0;
    }
    if (registered) {
        MessageBoxW(m_hwnd, Text(IDS_SHELL_EXTENSION_CHANGED).c_str(), m_title.c_str(),
                    MB_OK | MB_ICONINFORMATION);
        return true;
    }
    const std::wstring failed = L"regsvr32 " + parameters;
    MessageBoxW(m_hwnd, failed.c_str(), m_title.c_str(), MB_OK | MB_ICONERROR);
    return false;
}

void CQMZ4Main::ItemFinished(const CEraseOperationBase& record) {
    if (m_log && m_log->IsOpen()) {
        m_log->Write(MakeLogRecord(record, m_statusTexts, m_env.platform->clock));
    }
}

}  // namespace qmz
