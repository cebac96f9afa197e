#include "app/win/owner_frame.h"

namespace qmz {
namespace {

constexpr wchar_t kOwnerFrameClass[] = L"QMZ4OwnerFrame";

}  // namespace

CWindow CreateOwnerFrame(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kOwnerFrameClass;
    RegisterClassExW(&windowClass);
    return CWindow(CreateWindowExW(
        WS_EX_TOOLWINDOW, kOwnerFrameClass, L"", WS_POPUP | WS_BORDER | WS_SYSMENU, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr));
}

}  // namespace qmz
