#include "ui/win/main_layout.h"

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <cstddef>
#include <tuple>

#include "ui/model/page_model.h"
#include "ui/resource_ids.h"

namespace qmz {
namespace {

// The structure size of Windows XP (without iPaddedBorderWidth) works on every version.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);

// Controls whose captions are measured: buttons, labels and frames.
constexpr int kCaptionControls[] = {
    IDC_GOTO_BASIC,
    IDC_GOTO_FULL,
    IDC_ERASE_FRAME,
    IDC_ERASE_SELECT_ALL,
    IDC_ERASE_TOGGLE,
    IDC_ERASE_REMOVE,
    IDC_ERASE_ADD,
    IDC_ERASE_SETTINGS,
    IDC_EXTENDED_FRAME,
    IDC_INTERNET_HISTORY,
    IDC_INTERNET_TEMP,
    IDC_INTERNET_COOKIES,
    IDC_FREE_SPACE,
    IDC_WINDOWS_TEMP,
    IDC_RECYCLE_BIN,
    IDC_ENTIRE_PARTITION,
    IDC_RESULT_FRAME,
    IDC_RESULT_SELECT_ALL,
    IDC_RESULT_TOGGLE,
    IDC_RESULT_REMOVE,
    IDC_SHOW_FAILED,
    IDC_SHOW_SUCCEEDED,
    IDC_RESULT_SETTINGS,
    IDC_COUNTER_FRAME,
    IDC_ERASED_LABEL,
    IDC_ERASE_TIME_LABEL,
    IDC_SYSTEM_FAILED_LABEL,
    IDC_OTHER_FAILED_LABEL,
    IDC_PAUSE,
    IDC_START_ERASE,
    IDC_CLOSE,
};

std::wstring WindowText(HWND window) {
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
    return text;
}

// Multi-line captions are measured line by line: a line grows, not the whole block.
void AppendLines(const std::wstring& text, std::vector<std::wstring>* lines) {
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        lines->push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            return;
        }
        start = end + 1;
    }
}

LayoutRect ToLayout(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

}  // namespace

void CMainLayout::Adapt(HWND dialog, bool isVistaOrLater, const std::vector<std::wstring>& captions,
                        const ErrorReporter& reportError) {
    RECT work = {};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        m_workArea = {work.left, work.top, work.right, work.bottom};
    } else {
        reportError(L"SPI_GETWORKAREA failed");
        m_workArea = {0, 40, 800, 40 + 560};
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
        reportError(L"SPI_GETNONCLIENTMETRICS failed");
    }
    RECT window = {};
    GetWindowRect(dialog, &window);
    m_designWindow = {window.right - window.left, window.bottom - window.top};

    LOGFONTW designLogFont = {};
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (dialogFont == nullptr ||
        GetObjectW(dialogFont, sizeof(designLogFont), &designLogFont) == 0) {
        reportError(L"GetLogFont() of design font failed");
    } else {
        m_designFont.Reset(CreateFontIndirectW(&designLogFont));
    }
    std::vector<std::wstring> texts = captions;
    for (int id : kCaptionControls) {
        AppendLines(WindowText(GetDlgItem(dialog, id)), &texts);
    }
    const LayoutSnapshot design = Measure(dialog, m_designFont.Get(), texts, reportError);

    m_messageFont.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
    if (m_messageFont) {
        SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(m_messageFont.Get()), FALSE);
        EnumChildWindows(dialog, SetFontOnChild, reinterpret_cast<LPARAM>(m_messageFont.Get()));
    }
    const LayoutSnapshot adapted = Measure(dialog, m_messageFont.Get(), texts, reportError);

    m_growth = ComputeGrowth(design.texts, adapted.texts, isVistaOrLater);
    m_minimum = qmz::MinimumWindowSize(m_designWindow, m_growth);
    m_adapted = AdaptLayout(design, m_growth);
}

LayoutSnapshot CMainLayout::Measure(HWND dialog, HFONT font,
                                    const std::vector<std::wstring>& captions,
                                    const ErrorReporter& reportError) const {
    LayoutSnapshot snapshot;
    for (int id : PagedControls()) {
        HWND control = GetDlgItem(dialog, id);
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        snapshot.controls[id] = ToLayout(rect);
    }
    RECT listClient = {};
    GetClientRect(GetDlgItem(dialog, IDC_ERASE_LIST), &listClient);
    snapshot.columns = DesignColumnWidths(listClient.right - GetSystemMetrics(SM_CXVSCROLL));

    CWindowDC dc(dialog);
    CSelectObject selected(dc.Get(), font);
    if (font == nullptr || !selected.Succeeded()) {
        reportError(L"SelectObject() of font failed");
    }
    for (const std::wstring& text : captions) {
        SIZE size = {};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        snapshot.texts.push_back({size.cx, size.cy});
    }
    return snapshot;
}

LayoutSize CMainLayout::WindowSize(HWND dialog) const {
    RECT window = {};
    GetWindowRect(dialog, &window);
    return {window.right - window.left, window.bottom - window.top};
}

void CMainLayout::Apply(HWND dialog) const {
    const LayoutSnapshot final = FinalLayout(m_adapted, ExtraSize(WindowSize(dialog), m_minimum));
    HDWP positions = BeginDeferWindowPos(static_cast<int>(final.controls.size()));
    for (const auto& [id, rect] : final.controls) {
        HWND control = GetDlgItem(dialog, id);
        if (control == nullptr) {
            continue;
        }
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        const int x = rect.left - m_scrollX;
        const int y = rect.top - m_scrollY;
        if (positions != nullptr) {
            positions = DeferWindowPos(positions, control, nullptr, x, y, rect.Width(),
                                       rect.Height(), flags);
        } else {
            SetWindowPos(control, nullptr, x, y, rect.Width(), rect.Height(), flags);
        }
    }
    if (positions != nullptr) {
        EndDeferWindowPos(positions);
    }
    for (int id : {IDC_ERASE_LIST, IDC_RESULT_LIST}) {
        for (int i = 0; i < kListColumnCount; ++i) {
            ListView_SetColumnWidth(GetDlgItem(dialog, id), i, final.columns[i]);
        }
    }
    // Hidden and moved controls leave areas that only the page background can repaint.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CMainLayout::UpdateScrollBars(HWND dialog) {
    const LayoutSize size = WindowSize(dialog);
    const ScrollAxis horizontal = ComputeScrollAxis(size.width, m_minimum.width, m_scrollX);
    const ScrollAxis vertical = ComputeScrollAxis(size.height, m_minimum.height, m_scrollY);
    bool moved = false;
    for (const auto& [bar, axis, position] :
         {std::tuple<int, ScrollAxis, int*>{SB_HORZ, horizontal, &m_scrollX},
          std::tuple<int, ScrollAxis, int*>{SB_VERT, vertical, &m_scrollY}}) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMin = 0;
        info.nMax = axis.maximum;
        info.nPage = axis.page;
        info.nPos = axis.position;
        SetScrollInfo(dialog, bar, &info, TRUE);
        ShowScrollBar(dialog, bar, axis.visible);
        moved = moved || *position != axis.position;
        *position = axis.position;
    }
    return moved;
}

void CMainLayout::Scroll(HWND dialog, int bar, ScrollAction action, int trackPosition) {
    const LayoutSize size = WindowSize(dialog);
    int* position = bar == SB_HORZ ? &m_scrollX : &m_scrollY;
    const ScrollAxis axis = bar == SB_HORZ
                                ? ComputeScrollAxis(size.width, m_minimum.width, *position)
                                : ComputeScrollAxis(size.height, m_minimum.height, *position);
    const int target = ScrollTo(axis, action, trackPosition);
    if (target == *position) {
        return;
    }
    *position = target;
    SetScrollPos(dialog, bar, target, TRUE);
    Apply(dialog);
}

}  // namespace qmz
