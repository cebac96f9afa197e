// Calling the main program's automation object from another process: the second start
// and both context-menu handlers.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <oaidl.h>

#include <string>

namespace qmz {

// The methods of the automation interface IQMZ4MainAuto.
constexpr DISPID kDoFilesAndFolders = 1;
constexpr DISPID kDoFreeSpace = 2;
constexpr DISPID kDoEntirePartitions = 3;
constexpr DISPID kDoRecycleBin = 4;

// Text of a GUID in registry form ("{...}") as a GUID; all zero when malformed.
GUID GuidFromText(const wchar_t* text);

// CoCreateInstance of "QMZ4.QMZ4MainAuto" (any server context) for IDispatch.
HRESULT CreateMainAutoDispatch(IDispatch** dispatch);

// Invokes `id` as a method without result, with `argument` as its one BSTR argument or
// with none. On failure `errorText` gets what to show after the error prefix: the
// exception's description or the system's text for the HRESULT, cut to 99 characters.
HRESULT CallDispatchMethod(IDispatch* dispatch, DISPID id, const std::wstring* argument,
                           std::wstring* errorText);

}  // namespace qmz
