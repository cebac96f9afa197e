// The drive dialog (dialog 135): the drives a free-space or whole-volume erase may be
// given, with their labels and sizes, chosen by ticking rows. BuildDriveRows decides the
// rows; the dialog shows them and keeps each row checked exactly when it is selected.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/platform_services.h"
#include "ui/model/drive_list.h"
#include "ui/win/list_view.h"

namespace qmz {

class CQMZ4Drives {
public:
    // The Windows folder's volume root is read through `platform` here; `platform`
    // outlives the dialog.
    CQMZ4Drives(HMODULE resources, const PlatformServices* platform);
    CQMZ4Drives(const CQMZ4Drives&) = delete;
    CQMZ4Drives& operator=(const CQMZ4Drives&) = delete;

    void SetExcludeWindowsVolume(bool exclude) { m_options.excludeWindowsVolume = exclude; }
    void SetIncludeNetworkDrives(bool include) { m_options.includeNetworkDrives = include; }

    // Modal. True on OK, with at least one drive in Chosen(). False on Cancel, and when no
    // drive can be offered, which a message box captioned `title` says first.
    bool Run(HWND owner, const std::wstring& title);

    // Every row shown, in order, and the rows selected at OK.
    const std::vector<CDriveInfo>& Rows() const { return m_rows; }
    const std::vector<CDriveInfo>& Chosen() const { return m_chosen; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND dialog);
    void InsertColumns();
    void OnItemChanged(const NMLISTVIEW& change);
    void OnOk();

    HMODULE m_resources;
    const PlatformServices* m_platform;
    DriveListOptions m_options;
    std::wstring m_title;     // during a run
    HWND m_dialog = nullptr;  // during a run
    CListView m_list;
    std::vector<CDriveInfo> m_rows;
    std::vector<CDriveInfo> m_chosen;
    // Set while the dialog changes its own rows: their notices are not the user's.
    bool m_updatingRows = false;
};

}  // namespace qmz
