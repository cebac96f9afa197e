// The main window's layout on screen: measured once with the design font and once with
// the message font, then placed on every resize and scrolled below the minimum size.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/window_placement.h"
#include "ui/model/layout_model.h"
#include "ui/model/scroll_model.h"
#include "ui/win/win_handles.h"

namespace qmz {

class CMainLayout {
public:
    using ErrorReporter = std::function<void(const wchar_t* failedStep)>;

    // Reads the work area, measures the design layout, gives the dialog and every control
    // the message font and derives the adapted layout and the minimum size.
    // `captions` are the texts that are not control captions (tabs, list columns).
    void Adapt(HWND dialog, bool isVistaOrLater, const std::vector<std::wstring>& captions,
               const ErrorReporter& reportError);

    LayoutGrowth Growth() const { return m_growth; }
    LayoutSize DesignWindowSize() const { return m_designWindow; }
    LayoutSize MinimumWindowSize() const { return m_minimum; }
    ScreenRect WorkArea() const { return m_workArea; }

    // Moves every control to its final place for the window's current size and scroll
    // position, and sets the list columns.
    void Apply(HWND dialog) const;
    // Shows or hides the scroll bars for the current size; returns whether the scroll
    // position changed (the caller then applies the layout again).
    bool UpdateScrollBars(HWND dialog);
    // A scroll-bar action on SB_HORZ or SB_VERT.
    void Scroll(HWND dialog, int bar, ScrollAction action, int trackPosition);

    // Page switching scrolls back to the origin while controls appear and disappear.
    POINT ScrollPosition() const { return {m_scrollX, m_scrollY}; }
    void SetScrollPosition(POINT position) {
        m_scrollX = position.x;
        m_scrollY = position.y;
    }

private:
    LayoutSnapshot Measure(HWND dialog, HFONT font, const std::vector<std::wstring>& captions,
                           const ErrorReporter& reportError) const;
    LayoutSize WindowSize(HWND dialog) const;

    CFont m_designFont;
    CFont m_messageFont;
    LayoutSnapshot m_adapted;
    LayoutGrowth m_growth;
    LayoutSize m_designWindow;
    LayoutSize m_minimum;
    ScreenRect m_workArea;
    int m_scrollX = 0;
    int m_scrollY = 0;
};

}  // namespace qmz
