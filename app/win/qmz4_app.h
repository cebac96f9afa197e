// CQMZ4App: the life of the QMZ4 process from start to end (one per process).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/win/win32_platform.h"
#include "ui/win/win_handles.h"

namespace qmz {

class CQMZ4Module;

class CQMZ4App {
public:
    CQMZ4App() = default;
    CQMZ4App(const CQMZ4App&) = delete;
    CQMZ4App& operator=(const CQMZ4App&) = delete;

    // Starts up, runs the main window modally and tears down; returns the exit code.
    int Run(HINSTANCE instance, const wchar_t* commandLine);

private:
    int RunMainWindow(CQMZ4Module* module, const std::wstring& arguments);
    void FindProgramDirectory();
    void LoadLanguageModule();

    HINSTANCE m_instance = nullptr;
    CWin32Platform m_platform;
    std::wstring m_programPath;
    std::wstring m_programDirectory;  // without a trailing backslash
    int32_t m_language = 0;
    std::wstring m_languageDllPath;
    CModule m_languageDll;
    HMODULE m_languageResourceModule = nullptr;  // the language DLL or the program itself
    std::wstring m_applicationTitle;
    std::wstring m_errorMessagePrefix;
};

}  // namespace qmz
