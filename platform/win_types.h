// Win32 numeric values that the portable core depends on, without <windows.h>.
// Windows code includes <windows.h> first; its macros then stand in for these.
#pragma once

#include <cstdint>

namespace qmz {
// An opaque window handle: the core only passes it through to the seam.
using WindowHandle = void*;
}  // namespace qmz

#if !defined(_WINDOWS_) && !defined(_INC_WINDOWS)

// Error codes
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_INVALID_FUNCTION = 1;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t ERROR_NO_MORE_FILES = 18;
constexpr uint32_t ERROR_WRITE_PROTECT = 19;
constexpr uint32_t ERROR_NOT_READY = 21;
constexpr uint32_t ERROR_SHARING_VIOLATION = 32;
constexpr uint32_t ERROR_LOCK_VIOLATION = 33;
constexpr uint32_t ERROR_HANDLE_EOF = 38;
constexpr uint32_t ERROR_HANDLE_DISK_FULL = 39;
constexpr uint32_t ERROR_NOT_SUPPORTED = 50;
constexpr uint32_t ERROR_FILE_EXISTS = 80;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_DISK_FULL = 112;
constexpr uint32_t ERROR_INVALID_NAME = 123;
constexpr uint32_t ERROR_DIR_NOT_EMPTY = 145;
constexpr uint32_t ERROR_BAD_PATHNAME = 161;
constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
constexpr uint32_t ERROR_FILENAME_EXCED_RANGE = 206;
constexpr uint32_t ERROR_MORE_DATA = 234;
constexpr uint32_t ERROR_DIRECTORY = 267;
constexpr uint32_t ERROR_NOT_A_REPARSE_POINT = 4390;
constexpr uint32_t ERROR_INVALID_DRIVE = 15;
constexpr uint32_t ERROR_NOT_SAME_DEVICE = 17;
constexpr uint32_t ERROR_INSUFFICIENT_BUFFER = 122;
constexpr uint32_t ERROR_NEGATIVE_SEEK = 131;
constexpr uint32_t ERROR_DELETE_PENDING = 303;
constexpr uint32_t ERROR_CANT_RESOLVE_FILENAME = 1921;
constexpr uint32_t ERROR_CALL_NOT_IMPLEMENTED = 120;

// Reparse tags
constexpr uint32_t IO_REPARSE_TAG_MOUNT_POINT = 0xA0000003u;
constexpr uint32_t IO_REPARSE_TAG_SYMLINK = 0xA000000Cu;

// File attributes
constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x1;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr uint32_t FILE_ATTRIBUTE_SYSTEM = 0x4;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t FILE_ATTRIBUTE_TEMPORARY = 0x100;
constexpr uint32_t FILE_ATTRIBUTE_SPARSE_FILE = 0x200;
constexpr uint32_t FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr uint32_t FILE_ATTRIBUTE_COMPRESSED = 0x800;
constexpr uint32_t FILE_ATTRIBUTE_NOT_CONTENT_INDEXED = 0x2000;
constexpr uint32_t FILE_ATTRIBUTE_ENCRYPTED = 0x4000;
constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// Access rights, sharing, disposition and flags of CreateFileW
constexpr uint32_t GENERIC_READ = 0x80000000;
constexpr uint32_t GENERIC_WRITE = 0x40000000;
constexpr uint32_t FILE_READ_ATTRIBUTES = 0x80;
constexpr uint32_t FILE_READ_DATA = 0x1;
constexpr uint32_t FILE_WRITE_DATA = 0x2;
constexpr uint32_t FILE_APPEND_DATA = 0x4;
constexpr uint32_t FILE_WRITE_ATTRIBUTES = 0x100;
constexpr uint32_t DELETE = 0x10000;
constexpr uint32_t GENERIC_ALL = 0x10000000;
constexpr uint32_t FILE_SHARE_READ = 0x1;
constexpr uint32_t FILE_SHARE_WRITE = 0x2;
constexpr uint32_t FILE_SHARE_DELETE = 0x4;
constexpr uint32_t CREATE_NEW = 1;
constexpr uint32_t CREATE_ALWAYS = 2;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t OPEN_ALWAYS = 4;
constexpr uint32_t TRUNCATE_EXISTING = 5;
constexpr uint32_t FILE_FLAG_WRITE_THROUGH = 0x80000000;
constexpr uint32_t FILE_FLAG_NO_BUFFERING = 0x20000000;
constexpr uint32_t FILE_FLAG_DELETE_ON_CLOSE = 0x04000000;
constexpr uint32_t FILE_FLAG_BACKUP_SEMANTICS = 0x02000000;
constexpr uint32_t FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000;
constexpr uint32_t FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;

// SetFilePointerEx move methods
constexpr uint32_t FILE_BEGIN = 0;
constexpr uint32_t FILE_CURRENT = 1;
constexpr uint32_t FILE_END = 2;

// Message boxes
constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_YESNO = 0x4;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Window messages
constexpr uint32_t WM_APP = 0x8000;

// Registry: value types and the end of a value enumeration
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t ERROR_NO_MORE_ITEMS = 259;

// FSCTL_SET_COMPRESSION's format, and the quota error a write can meet
constexpr uint16_t COMPRESSION_FORMAT_NONE = 0;
constexpr uint32_t ERROR_DISK_QUOTA_EXCEEDED = 1295;
constexpr uint32_t ERROR_NO_NETWORK = 1222;

#endif
