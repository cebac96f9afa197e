// The notification icon against the real shell: add, modify and the destructor's
// delete, and the events the shell sends once the version is set.
#include "ui/win/tray_icon.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>

#include "ui/win/win_handles.h"

namespace qmz {
namespace {

constexpr wchar_t kOwnerClass[] = L"QmzTrayIconTestOwner";
// The last event the owner got through the callback message.
constexpr wchar_t kEventProperty[] = L"QmzTrayEvent";

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAY_NOTIFY) {
        SetPropW(window, kEventProperty, reinterpret_cast<HANDLE>(lParam & 0xFFFF));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW owner = {};
        owner.lpfnWndProc = OwnerProc;
        owner.hInstance = GetModuleHandleW(nullptr);
        owner.lpszClassName = kOwnerClass;
        RegisterClassW(&owner);
        m_owner.Reset(CreateWindowExW(0, kOwnerClass, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, owner.hInstance, nullptr));
        ASSERT_TRUE(m_owner);
        m_icon = LoadIconW(nullptr, IDI_APPLICATION);
    }

    void TearDown() override { RemovePropW(m_owner.Get(), kEventProperty); }

    // Pumps messages until the owner got `event` or two seconds passed.
    bool WaitForEvent(UINT event) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 2000) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            if (reinterpret_cast<UINT_PTR>(GetPropW(m_owner.Get(), kEventProperty)) == event) {
                return true;
            }
            Sleep(20);
        }
        return false;
    }

    CWindow m_owner;
    HICON m_icon = nullptr;
};

TEST_F(TrayIconTest, AddModifyAndTheDestructorDeletes) {
    {
        CTrayIcon icon;
        EXPECT_FALSE(icon.Modify(m_icon));
        ASSERT_TRUE(icon.Add(m_owner.Get(), m_icon, std::wstring(300, L'x')));
        EXPECT_TRUE(icon.IsAdded());
        EXPECT_TRUE(icon.Modify(m_icon));
    }
    // The icon is gone: the shell no longer knows it.
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = m_owner.Get();
    data.uID = TrayIconId;
    data.uFlags = NIF_ICON;
    data.hIcon = m_icon;
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data));
    // And it can be added again, as after "TaskbarCreated".
    CTrayIcon again;
    EXPECT_TRUE(again.Add(m_owner.Get(), m_icon, L"tip"));
}

// Wine's stand-alone tray (X11's when no tray runs, else explorer's) keeps one window per
// icon; a click on it reaches the owner as the mouse message and then, with version 3, as
// NIN_SELECT or WM_CONTEXTMENU.
TEST_F(TrayIconTest, ClicksArriveAsTheVersionThreeEvents) {
    CTrayIcon icon;
    ASSERT_TRUE(icon.Add(m_owner.Get(), m_icon, L"tip"));
    HWND tray = FindWindowExW(FindWindowW(L"__winex11_standalone_tray", nullptr), nullptr,
                              L"__winex11_tray_icon", nullptr);
    if (tray == nullptr) {
        tray = FindWindowExW(FindWindowW(L"Shell_TrayWnd", nullptr), nullptr, L"__wine_tray_icon",
                             nullptr);
    }
    if (tray == nullptr) {
        GTEST_SKIP() << "no Wine tray icon window to click";
    }
    PostMessageW(tray, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    ASSERT_TRUE(WaitForEvent(NIN_SELECT));
    EXPECT_EQ(TrayActionFor(NIN_SELECT), TrayAction::kRestore);
    PostMessageW(tray, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
    ASSERT_TRUE(WaitForEvent(WM_CONTEXTMENU));
}

TEST_F(TrayIconTest, TheWindowKeepsItsTaskbarButtonWhenTheIconCannotBeLocated) {
    CTrayIcon icon;
    EXPECT_TRUE(icon.NeedsTaskbarButton());  // nothing added yet
    ASSERT_TRUE(icon.Add(m_owner.Get(), m_icon, L"tip"));
    const bool located = icon.IconRectKnown();
    std::printf("Windows 7 or later: %d, icon rectangle known: %d\n",
                CTrayIcon::IsWindows7OrLater() ? 1 : 0, located ? 1 : 0);
    EXPECT_EQ(icon.NeedsTaskbarButton(), CTrayIcon::IsWindows7OrLater() && !located);
}

}  // namespace
}  // namespace qmz
