#include "ui/win/tray_icon.h"

// <shellapi.h> needs the types of <windows.h>.
#include <shellapi.h>

#include "platform/win32/system_version.h"
#include "ui/win/win_handles.h"

namespace qmz {
namespace {

// The structure as the shells from XP on know it: up to the balloon icon, which XP lacks
// (968 bytes on 64-bit Windows).
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V3_SIZE;
constexpr size_t kTipCharacters = 127;

static_assert(kTrayEventContextMenu == WM_CONTEXTMENU, "context-menu event");
static_assert(kTrayEventSelect == NIN_SELECT, "select event");
static_assert(kTrayEventKeySelect == NIN_KEYSELECT, "keyboard select event");
#ifdef _WIN64
static_assert(kNotifyIconDataSize == 968, "NOTIFYICONDATAW of Windows XP x64");
static_assert(sizeof(NOTIFYICONIDENTIFIER) == 40, "NOTIFYICONIDENTIFIER");
#endif

using GetRectFunction = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);

}  // namespace

NOTIFYICONDATAW CTrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data = {};
    data.cbSize = kNotifyIconDataSize;
    data.hWnd = m_owner;
    data.uID = TrayIconId;
    data.uFlags = flags;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = m_icon;
    m_tip.copy(data.szTip, kTipCharacters);
    return data;
}

bool CTrayIcon::Add(HWND owner, HICON icon, const std::wstring& tip) {
    m_owner = owner;
    m_icon = icon;
    m_tip = tip.substr(0, kTipCharacters);
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    m_added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (m_added) {
        data.uVersion = NOTIFYICON_VERSION;
        Shell_NotifyIconW(NIM_SETVERSION, &data);
    }
    return m_added;
}

bool CTrayIcon::Modify(HICON icon) {
    if (!m_added) {
        return false;
    }
    m_icon = icon;
    NOTIFYICONDATAW data = Data(NIF_ICON | NIF_TIP);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void CTrayIcon::Delete() {
    if (!m_added) {
        return;
    }
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    m_added = false;
}

bool CTrayIcon::IconRectKnown() const {
    CModule shell32(LoadLibraryW(L"shell32.dll"));
    if (!shell32) {
        return false;
    }
    const auto getRect = reinterpret_cast<GetRectFunction>(
        reinterpret_cast<void*>(GetProcAddress(shell32.Get(), "Shell_NotifyIconGetRect")));
    if (getRect == nullptr) {
        return false;
    }
    NOTIFYICONIDENTIFIER identifier = {};
    identifier.cbSize = sizeof(identifier);
    identifier.hWnd = m_owner;
    identifier.uID = TrayIconId;
    RECT rect = {};
    return SUCCEEDED(getRect(&identifier, &rect));
}

bool CTrayIcon::IsWindows7OrLater() {
    const SystemVersion version = ReadSystemVersion();
    // A version that cannot be read counts as a recent one, as everywhere in the program.
    return !version.known || version.major > 6 || (version.major == 6 && version.minor >= 1);
}

bool CTrayIcon::NeedsTaskbarButton() const {
    const bool windows7 = IsWindows7OrLater();
    return qmz::NeedsTaskbarButton(m_added, windows7, !windows7 || IconRectKnown());
}

}  // namespace qmz
