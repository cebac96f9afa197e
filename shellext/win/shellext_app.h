// The DLL's application object, one per process: where the DLL lives, which module its
// texts come from (a language library or the DLL itself), its lock count and its cached
// class objects.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <unknwn.h>

#include <cstdint>
#include <string>

#include "com/module_lock.h"
#include "platform/win32/unique_handle.h"

namespace qmz {

struct LibraryTraits : NullIsInvalid<HMODULE> {
    static void Free(HMODULE module) { ::FreeLibrary(module); }
};

class CQMZ4shellextApp {
public:
    // Made at the first call that needs it rather than in DllMain, so that reading the
    // settings and loading the language library never run under the loader lock.
    static CQMZ4shellextApp& Instance();

    const std::wstring& DllPath() const { return m_dllPath; }
    // String `id` of the resource module; empty when it has none.
    std::wstring Text(UINT id) const;
    CModuleLock* Lock() { return &m_lock; }
    // The class object of `classId` (a new reference), or null for a class not served here.
    IClassFactory* ClassObject(REFCLSID classId);

private:
    CQMZ4shellextApp();
    ~CQMZ4shellextApp();
    CQMZ4shellextApp(const CQMZ4shellextApp&) = delete;
    CQMZ4shellextApp& operator=(const CQMZ4shellextApp&) = delete;

    void ChooseLanguage();

    HMODULE m_module = nullptr;
    std::wstring m_dllPath;
    std::wstring m_directory;
    int32_t m_language = 0;
    std::wstring m_languageDllPath;  // the language library tried, if any
    CUniqueHandle<HMODULE, LibraryTraits> m_languageModule;
    HMODULE m_resourceModule = nullptr;
    CModuleLock m_lock;
    IClassFactory* m_menuFactory = nullptr;
    IClassFactory* m_recycleBinFactory = nullptr;
};

}  // namespace qmz
