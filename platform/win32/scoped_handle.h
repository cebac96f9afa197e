// One owner for each Win32 handle: closed exactly once, when its owner goes.
// Include <windows.h> before this header.
#pragma once

namespace qmz {

// A handle from CreateFileW.
class CScopedHandle {
public:
    explicit CScopedHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~CScopedHandle() {
        if (IsValid()) {
            ::CloseHandle(m_handle);
        }
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A handle from FindFirstFileW.
class CScopedFind {
public:
    explicit CScopedFind(HANDLE handle) : m_handle(handle) {}
    ~CScopedFind() {
        if (m_handle != INVALID_HANDLE_VALUE) {
            ::FindClose(m_handle);
        }
    }
    CScopedFind(const CScopedFind&) = delete;
    CScopedFind& operator=(const CScopedFind&) = delete;

    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

}  // namespace qmz
