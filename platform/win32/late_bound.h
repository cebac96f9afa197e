// Kernel functions that Windows XP lacks. They are looked up by name when first needed,
// so that the binaries still load on XP; a null pointer means "not on this system", and
// each caller has its pre-Vista way. Include <windows.h> first.
#pragma once

namespace qmz {

// The leading part of ntdll's IO_STATUS_BLOCK, as NtQueryInformationFile fills it.
struct NtIoStatusBlock {
    union {
        LONG status;
        PVOID pointer;
    };
    ULONG_PTR information;
};

struct LateBoundKernel {
    // Vista and later: bound only where the system reports version 6 or more, so that a
    // system (or a compatibility setting) reporting XP is served the way XP is.
    BOOL(WINAPI* getFileInformationByHandleEx)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    DWORD(WINAPI* getFinalPathNameByHandleW)(HANDLE, LPWSTR, DWORD, DWORD);
    // ntdll, on every NT version: the pre-Vista ways.
    LONG(NTAPI* ntQueryInformationFile)(HANDLE, NtIoStatusBlock*, PVOID, ULONG, ULONG);
    ULONG(NTAPI* rtlNtStatusToDosError)(LONG);
};

// Looked up once; the table never changes afterwards.
const LateBoundKernel& LateBound();

}  // namespace qmz
