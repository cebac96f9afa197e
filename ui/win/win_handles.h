// Sole owners of Win32 handles: each handle is released exactly once, by its owner.
#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace qmz {

struct GdiObjectTraits : NullIsInvalid<HGDIOBJ> {
    static void Free(HGDIOBJ object) { DeleteObject(object); }
};
struct IconTraits : NullIsInvalid<HICON> {
    static void Free(HICON icon) { DestroyIcon(icon); }
};
struct MenuTraits : NullIsInvalid<HMENU> {
    static void Free(HMENU menu) { DestroyMenu(menu); }
};
struct ModuleTraits : NullIsInvalid<HMODULE> {
    static void Free(HMODULE module) { FreeLibrary(module); }
};
struct WindowTraits : NullIsInvalid<HWND> {
    static void Free(HWND window) { DestroyWindow(window); }
};

using CFont = CUniqueHandle<HFONT, GdiObjectTraits>;
using CBitmap = CUniqueHandle<HBITMAP, GdiObjectTraits>;
using CBrush = CUniqueHandle<HBRUSH, GdiObjectTraits>;
using CIcon = CUniqueHandle<HICON, IconTraits>;
using CMenu = CUniqueHandle<HMENU, MenuTraits>;
using CModule = CUniqueHandle<HMODULE, ModuleTraits>;
using CWindow = CUniqueHandle<HWND, WindowTraits>;

// A window's device context for the length of a scope.
class CWindowDC {
public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~CWindowDC() {
        if (m_dc != nullptr) {
            ReleaseDC(m_window, m_dc);
        }
    }
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A memory device context for the length of a scope.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_dc(CreateCompatibleDC(compatible)) {}
    ~CMemoryDC() {
        if (m_dc != nullptr) {
            DeleteDC(m_dc);
        }
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// Selects a GDI object into a DC and puts the previous one back at the end of the scope.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~CSelectObject() {
        if (Succeeded()) {
            SelectObject(m_dc, m_previous);
        }
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    bool Succeeded() const { return m_previous != nullptr && m_previous != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace qmz
