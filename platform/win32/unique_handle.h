// Sole owner of one Win32 handle: released exactly once, by its owner, never copied.
// Traits name the handle's invalid value and how it is released.
// Include <windows.h> before this header.
#pragma once

#include <utility>

namespace qmz {

template <class Handle, class Traits>
class CUniqueHandle {
public:
    CUniqueHandle() = default;
    explicit CUniqueHandle(Handle handle) : m_handle(handle) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Invalid(); }
    Handle Release() { return std::exchange(m_handle, Invalid()); }
    void Reset(Handle handle = Invalid()) {
        if (m_handle != Invalid()) {
            Traits::Free(m_handle);
        }
        m_handle = handle;
    }

private:
    // One traits type may serve several handle types (HFONT and HBITMAP are GDI objects).
    static Handle Invalid() { return static_cast<Handle>(Traits::Invalid()); }

    Handle m_handle = Invalid();
};

// Most handle kinds are invalid when null.
template <class Handle>
struct NullIsInvalid {
    static Handle Invalid() { return nullptr; }
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { ::FindClose(handle); }
};

struct RegistryKeyTraits : NullIsInvalid<HKEY> {
    static void Free(HKEY key) { ::RegCloseKey(key); }
};

struct VolumeFindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { ::FindVolumeClose(handle); }
};

// Processes, threads and events: null when there is none.
struct KernelObjectTraits : NullIsInvalid<HANDLE> {
    static void Free(HANDLE handle) { ::CloseHandle(handle); }
};

// A handle from CreateFileW, from FindFirstFileW, from FindFirstVolumeW, and an open
// registry key.
using CScopedHandle = CUniqueHandle<HANDLE, FileHandleTraits>;
using CScopedFind = CUniqueHandle<HANDLE, FindHandleTraits>;
using CScopedVolumeFind = CUniqueHandle<HANDLE, VolumeFindTraits>;
using CRegistryKeyHandle = CUniqueHandle<HKEY, RegistryKeyTraits>;
using CProcessHandle = CUniqueHandle<HANDLE, KernelObjectTraits>;

}  // namespace qmz
