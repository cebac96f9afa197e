// The window's pictures: the stretched banner and page background, the bitmap buttons
// when their pictures fit the laid-out buttons exactly, and otherwise tinted standard
// pause and start buttons.
#pragma once

#include <windows.h>

#include <map>

#include "ui/win/win_handles.h"

namespace qmz {

class CSkin {
public:
    CSkin() = default;
    ~CSkin();
    CSkin(const CSkin&) = delete;
    CSkin& operator=(const CSkin&) = delete;

    // Loads the pictures and the three tint brushes for the running Windows version.
    void Load(HMODULE resources, bool isVistaOrLater);
    // Once the layout is final: the bitmap buttons are used only when every picture
    // loaded and the key buttons have exactly their pictures' size; then those buttons
    // become owner-drawn, else the pause and start buttons are tinted.
    void Apply(HWND dialog);
    bool InUse() const { return m_inUse; }

    // The pause button's look while a pause is in effect.
    void SetPaused(HWND dialog, bool paused);
    // WM_DRAWITEM for the owner-drawn statics and buttons; false when not ours.
    bool Draw(const DRAWITEMSTRUCT& item, bool checked) const;

    HBITMAP Banner(int bitmapId) const;

private:
    static LRESULT CALLBACK TintProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void DrawStretched(const DRAWITEMSTRUCT& item, HBITMAP bitmap) const;
    void Tint(HWND button, HRGN painted) const;
    HBITMAP Bitmap(int id) const;

    std::map<int, CBitmap> m_bitmaps;
    std::map<int, int> m_buttonPictures;  // button id -> its normal picture id
    CBrush m_brushes[3];                  // pause, pause while paused, start
    HWND m_dialog = nullptr;
    bool m_allLoaded = false;
    bool m_inUse = false;
    bool m_paused = false;
};

}  // namespace qmz
