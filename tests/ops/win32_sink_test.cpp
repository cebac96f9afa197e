// Under Wine: the worker's reports travel as posted window messages to a real window,
// in order, with the operation as lParam.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include "ops/control_operations.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "platform/lcg_random.h"
#include "platform/sim/sim_services.h"
#include "platform/win32/win32_services.h"
#include "tests/support/test_erase_operation.h"

namespace qmz {
namespace {

class CMessageOnlyWindow {
public:
    CMessageOnlyWindow() {
        m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    ~CMessageOnlyWindow() {
        if (m_window != nullptr) {
            DestroyWindow(m_window);
        }
    }
    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

struct Received {
    UINT message;
    LPARAM operation;
};

// Pumps this thread's queue until WM_OPERATION_DONE for `operation` (or 20 s pass).
std::vector<Received> PumpUntilDone(HWND window, COperationBase* operation) {
    std::vector<Received> received;
    DWORD deadline = GetTickCount() + 20000;
    MSG msg;
    while (GetTickCount() < deadline) {
        if (!PeekMessageW(&msg, window, WM_APP + 1, WM_APP + 3, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
            continue;
        }
        received.push_back({msg.message, msg.lParam});
        if (msg.message == WM_OPERATION_DONE && msg.lParam == reinterpret_cast<LPARAM>(operation)) {
            break;
        }
    }
    return received;
}

TEST(Win32MessageSink, WorkerReportsArriveAsPostedMessagesInOrder) {
    CMessageOnlyWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    CWindowMessageSink sink(window.Handle());
    CWin32Clock clock;
    CLcgRandom random(GetTickCount());
    CRecordingMessageBox boxes;
    PlatformServices services;
    services.sink = &sink;
    services.clock = &clock;
    services.random = &random;
    services.messageBox = &boxes;
    COperationQueue queue(&sink, nullptr);
    CWorkerThread worker;
    WorkerThreadParams params;
    params.queue = &queue;
    params.messageBox = &boxes;
    ASSERT_TRUE(worker.Start(params));

    CTestEraseOperation operation(1, 2, 2);
    operation.m_platform = &services;
    COperationBase* erase = queue.AppendOperation(operation);
    std::vector<Received> received = PumpUntilDone(window.Handle(), erase);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].message, WM_OPERATION_STATUS);
    EXPECT_EQ(received[1].message, WM_OPERATION_STATUS);
    EXPECT_EQ(received[2].message, WM_OPERATION_DONE);
    for (const Received& r : received) {
        EXPECT_EQ(r.operation, reinterpret_cast<LPARAM>(erase));
    }
    EXPECT_EQ(erase->m_status, StatusCompleted);
    queue.RemoveOperation(erase);

    COperationBase* exit = queue.InsertControlOperation(CCleanupAndExit());
    received = PumpUntilDone(window.Handle(), exit);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[2].message, WM_OPERATION_DONE);
    worker.Join();
}

TEST(Win32MessageSink, PostToAWindowThatIsGoneReportsFailure) {
    HWND gone;
    {
        CMessageOnlyWindow window;
        gone = window.Handle();
    }
    CWindowMessageSink sink(gone);
    CTestEraseOperation operation(1, 1, 1);
    EXPECT_FALSE(sink.Post(WM_OPERATION_STATUS, &operation));
}

}  // namespace
}  // namespace qmz
#endif
