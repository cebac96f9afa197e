// The main window's entry in the running object table: what a second start of the program
// finds (GetActiveObject under the automation class's id) to hand over its command line.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <unknwn.h>

#include <string>

#include "com/com_ptr.h"

namespace qmz {

class CActiveObjectRegistration {
public:
    CActiveObjectRegistration(std::wstring errorMessagePrefix, std::wstring applicationTitle);
    ~CActiveObjectRegistration();
    CActiveObjectRegistration(const CActiveObjectRegistration&) = delete;
    CActiveObjectRegistration& operator=(const CActiveObjectRegistration&) = delete;

    // Keeps the window's object visible to OLE and registers it strongly. Failures are
    // shown and leave the program running: later starts then cannot find it.
    void Register();
    // Teardown: the entry goes first, the OLE visibility last (after the owner frame).
    void Revoke();
    void NoteInvisible();

private:
    void ShowError(const wchar_t* detail) const;

    std::wstring m_errorMessagePrefix;
    std::wstring m_applicationTitle;
    CComPtr<IUnknown> m_unknown;
    DWORD m_cookie = 0;
};

}  // namespace qmz
