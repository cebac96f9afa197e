// "QMZ4.Application": while a client holds one, closing the idle main window is refused
// with the proxy message; once the client lets go, the window closes as usual.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "registration/com_ids.h"
#include "tests/com/com_fixture.h"
#include "tests/gui/program_driver.h"

namespace qmz::comtest {
namespace {

constexpr wchar_t kProxyMessage[] = L"CanExit() fails because a proxy is active";

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class ProxyTest : public CComServerTest {};

TEST_F(ProxyTest, AHeldApplicationObjectKeepsTheIdleWindowOpenUntilReleased) {
    CComSession com;
    ASSERT_TRUE(com.Ok());
    CComPtr<IUnknown> proxy;
    ASSERT_EQ(CoCreateInstance(Guid(kProxyClassId), nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               proxy.ReceiveVoid()),
              S_OK);
    CRunningProgram program;
    ASSERT_TRUE(program.AttachToOnly(15000)) << "COM started no program with a window";
    ASSERT_EQ(program.Rows(), 0) << "the window must have nothing to do";

    PostMessageW(program.Window(), WM_CLOSE, 0, 0);
    const HWND box = program.WaitForOtherWindow(10000);
    ASSERT_NE(box, nullptr) << "no message; the program "
                            << (program.WaitForExit(0) ? "ended" : "still runs");
    const std::wstring text = gui::MessageBoxText(box);
    EXPECT_TRUE(EndsWith(text, kProxyMessage)) << text;
    EXPECT_EQ(GetWindow(box, GW_OWNER), program.Window()) << "the main window owns the message";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    EXPECT_TRUE(gui::WaitUntil(5000, [&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    gui::Settle(1000);
    EXPECT_TRUE(program.Running()) << "the close was refused";
    EXPECT_TRUE(IsWindowVisible(program.Window()));

    proxy.Reset();
    gui::Settle(500);
    std::vector<std::wstring> answered;
    EXPECT_TRUE(program.Close(&answered)) << "the window stays after the client let go";
    EXPECT_TRUE(answered.empty()) << "a message at the second close: " << answered.front();
}

}  // namespace
}  // namespace qmz::comtest
