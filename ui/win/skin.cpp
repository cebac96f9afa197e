#include "ui/win/skin.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include "ui/resource_ids.h"

namespace qmz {
namespace {

constexpr UINT_PTR kTintSubclassId = 1;

// Buttons with pictures: the normal picture id before Vista and on Vista or later; the
// pressed (or "on") picture follows it, the pause button's paused pair after that.
struct ButtonPictures {
    int id;
    int classic;
    int vista;
};
constexpr ButtonPictures kButtonPictures[] = {
    {IDC_GOTO_BASIC, 147, 199},
    {IDC_GOTO_FULL, 149, 201},
    {IDC_ERASE_SELECT_ALL, 151, 203},
    {IDC_ERASE_TOGGLE, 153, 205},
    {IDC_ERASE_REMOVE, 155, 207},
    {IDC_ERASE_ADD, 157, 209},
    {IDC_ERASE_SETTINGS, 163, 215},
    {IDC_INTERNET_HISTORY, 165, 217},
    {IDC_INTERNET_TEMP, 167, 219},
    {IDC_INTERNET_COOKIES, 169, 221},
    {IDC_FREE_SPACE, 171, 223},
    {IDC_WINDOWS_TEMP, 173, 225},
    {IDC_RECYCLE_BIN, 175, 227},
    {IDC_ENTIRE_PARTITION, 177, 229},
    {IDC_RESULT_SELECT_ALL, 179, 231},
    {IDC_RESULT_TOGGLE, 181, 233},
    {IDC_RESULT_REMOVE, 183, 235},
    {IDC_SHOW_FAILED, 185, 237},
    {IDC_SHOW_SUCCEEDED, 187, 239},
    {IDC_RESULT_SETTINGS, 189, 241},
    {IDC_PAUSE, 191, 243},
    {IDC_START_ERASE, 195, 247},
    {IDC_CLOSE, 197, 249},
};

// Buttons whose size decides whether the pictures fit.
constexpr int kSizeCheckedButtons[] = {IDC_GOTO_BASIC, IDC_GOTO_FULL, IDC_PAUSE, IDC_START_ERASE,
                                       IDC_CLOSE};

constexpr COLORREF kTintsVista[] = {0x585000, 0x502800, 0x481048};
constexpr COLORREF kTintsClassic[] = {0x383800, 0x200C0C, 0x380C38};

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) {
        return {-1, -1};
    }
    return {info.bmWidth, info.bmHeight};
}

void BlitBitmap(HDC target, const RECT& rect, HBITMAP bitmap, bool stretch) {
    CMemoryDC source(target);
    CSelectObject selected(source.Get(), bitmap);
    if (!selected.Succeeded()) {
        return;
    }
    const SIZE size = BitmapSize(bitmap);
    if (stretch) {
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr);
        StretchBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   source.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
    } else {
        BitBlt(target, rect.left, rect.top, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
    }
}

}  // namespace

CSkin::~CSkin() {
    if (m_dialog != nullptr) {
        for (int id : {IDC_PAUSE, IDC_START_ERASE}) {
            RemoveWindowSubclass(GetDlgItem(m_dialog, id), TintProc, kTintSubclassId);
        }
    }
}

void CSkin::Load(HMODULE resources, bool isVistaOrLater) {
    auto load = [&](int id) {
        CBitmap bitmap(static_cast<HBITMAP>(
            LoadImageW(resources, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        const bool loaded = static_cast<bool>(bitmap);
        m_bitmaps[id] = std::move(bitmap);
        return loaded;
    };
    for (int id : {IDB_PAGE_BACKGROUND, IDB_BANNER_LEFT, IDB_BANNER_MIDDLE, IDB_BANNER_RIGHT}) {
        load(id);
    }
    m_allLoaded = true;
    for (const ButtonPictures& button : kButtonPictures) {
        const int first = isVistaOrLater ? button.vista : button.classic;
        m_buttonPictures[button.id] = first;
        const int count = button.id == IDC_PAUSE ? 4 : 2;
        for (int i = 0; i < count; ++i) {
            m_allLoaded = load(first + i) && m_allLoaded;
        }
    }
    const COLORREF* tints = isVistaOrLater ? kTintsVista : kTintsClassic;
    for (int i = 0; i < 3; ++i) {
        m_brushes[i].Reset(CreateSolidBrush(tints[i]));
    }
}

void CSkin::Apply(HWND dialog) {
    m_dialog = dialog;
    m_inUse = m_allLoaded;
    for (int id : kSizeCheckedButtons) {
        RECT rect = {};
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        const SIZE button = {rect.right - rect.left, rect.bottom - rect.top};
        const int first = m_buttonPictures[id];
        for (int picture : {first, first + 1}) {
            const SIZE size = BitmapSize(Bitmap(picture));
            m_inUse = m_inUse && size.cx == button.cx && size.cy == button.cy;
        }
    }
    for (const auto& [id, picture] : m_buttonPictures) {
        (void)picture;
        if (!m_inUse) {
            break;
        }
        HWND button = GetDlgItem(dialog, id);
        const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
        SetWindowLongPtrW(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
    }
    if (!m_inUse) {
        for (int id : {IDC_PAUSE, IDC_START_ERASE}) {
            SetWindowSubclass(GetDlgItem(dialog, id), TintProc, kTintSubclassId,
                              reinterpret_cast<DWORD_PTR>(this));
        }
    }
}

void CSkin::SetPaused(HWND dialog, bool paused) {
    m_paused = paused;
    InvalidateRect(GetDlgItem(dialog, IDC_PAUSE), nullptr, TRUE);
}

HBITMAP CSkin::Bitmap(int id) const {
    auto it = m_bitmaps.find(id);
    return it == m_bitmaps.end() ? nullptr : it->second.Get();
}

HBITMAP CSkin::Banner(int bitmapId) const {
    return Bitmap(bitmapId);
}

bool CSkin::Draw(const DRAWITEMSTRUCT& item, bool checked) const {
    if (item.CtlType == ODT_STATIC) {
        if (item.CtlID == IDC_BANNER_MIDDLE) {
            DrawStretched(item, Bitmap(IDB_BANNER_MIDDLE));
            return true;
        }
        if (item.CtlID == IDC_PAGE_BACKGROUND) {
            DrawStretched(item, Bitmap(IDB_PAGE_BACKGROUND));
            return true;
        }
        return false;
    }
    auto it = m_buttonPictures.find(static_cast<int>(item.CtlID));
    if (item.CtlType != ODT_BUTTON || it == m_buttonPictures.end()) {
        return false;
    }
    int picture = it->second;
    if (item.CtlID == IDC_PAUSE && m_paused) {
        picture += 2;
    }
    if ((item.itemState & ODS_SELECTED) != 0 || checked) {
        picture += 1;
    }
    BlitBitmap(item.hDC, item.rcItem, Bitmap(picture), false);
    return true;
}

void CSkin::DrawStretched(const DRAWITEMSTRUCT& item, HBITMAP bitmap) const {
    if (bitmap != nullptr) {
        BlitBitmap(item.hDC, item.rcItem, bitmap, true);
    }
}

void CSkin::Tint(HWND button, HRGN painted) const {
    const int brush = GetDlgCtrlID(button) == IDC_START_ERASE ? 2 : (m_paused ? 1 : 0);
    RECT rect = {};
    GetClientRect(button, &rect);
    InflateRect(&rect, -2, -2);
    CWindowDC dc(button);
    // Only what was just painted: tinting a part twice would take the tint off again.
    SelectClipRgn(dc.Get(), painted);
    CSelectObject selected(dc.Get(), m_brushes[brush].Get());
    if (selected.Succeeded()) {
        PatBlt(dc.Get(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               PATINVERT);
    }
}

LRESULT CALLBACK CSkin::TintProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
    if (message != WM_PAINT || wParam != 0) {
        return DefSubclassProc(button, message, wParam, lParam);
    }
    // Tint over what the button has just drawn of itself.
    CUniqueHandle<HRGN, GdiObjectTraits> painted(CreateRectRgn(0, 0, 0, 0));
    const bool hasUpdate = GetUpdateRgn(button, painted.Get(), FALSE) != NULLREGION;
    const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
    if (hasUpdate) {
        reinterpret_cast<const CSkin*>(self)->Tint(button, painted.Get());
    }
    return result;
}

}  // namespace qmz
