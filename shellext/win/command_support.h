// What both handlers do with a chosen command: give its text to Explorer, read a verb
// string, and hand the command to the main program through its automation object.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oaidl.h>

#include <string>

#include "com/dispatch_call.h"
#include "shellext/model/menu_verbs.h"

namespace qmz {

// The texts a handler shows, loaded from the resource module at each Initialize.
struct HandlerTexts {
    std::wstring title;
    std::wstring errorPrefix;
};
HandlerTexts LoadHandlerTexts();

// GetCommandString's copy: `text` as wide characters or in the ANSI code page, at most
// `chars` characters (bytes) with the terminator.
HRESULT CopyCommandText(const std::wstring& text, CommandTextForm form, LPSTR buffer, UINT chars);

// A verb string from InvokeCommand, converted from the ANSI code page.
std::wstring VerbText(LPCSTR verb);

// Creates a main-program automation object (COM starts the program when it is not running)
// and calls method `id` with `argument` or with none. Failures are shown to the user in a
// message box owned by `owner`; the command has then simply not happened.
void CallMainProgram(HWND owner, const HandlerTexts& texts, DISPID id,
                     const std::wstring* argument);

}  // namespace qmz
