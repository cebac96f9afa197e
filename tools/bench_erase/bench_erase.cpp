// Erases one large file with a three-pass method through the real engine, queue and
// worker on the Win32 file system, and prints the overwrite rate.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

#include "engine/erase_operations.h"
#include "engine/method_table.h"
#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "platform/lcg_random.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_services.h"

namespace {

constexpr int32_t kThreePassMethod = 3;  // 0x00, 0xFF, 0xE5

// Stands in for the main window: frees result records and wakes the waiter when the
// erase operation is done.
class CDoneSink : public qmz::IMessageSink {
public:
    bool Post(uint32_t message, qmz::COperationBase* operation) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (message == qmz::WM_OPERATION_ITEM_RESULT) {
            m_lastItemStatus = operation->m_status;
            delete operation;
        } else if (message == qmz::WM_OPERATION_DONE &&
                   dynamic_cast<qmz::CEraseOperationBase*>(operation) != nullptr) {
            m_done = true;
            m_changed.notify_all();
        }
        return true;
    }
    int32_t WaitDone() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
        return m_lastItemStatus;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    int32_t m_lastItemStatus = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_erase FILE\n");
        return 2;
    }
    qmz::CWin32FileSystem fileSystem;
    qmz::FileAttributeData data;
    if (fileSystem.GetAttributesEx(argv[1], &data) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot read the file's size\n");
        return 2;
    }

    CDoneSink sink;
    qmz::CWin32MessageBox messageBox;
    qmz::CWin32Clock clock;
    qmz::CLcgRandom random(GetTickCount());
    qmz::PlatformServices services;
    services.sink = &sink;
    services.messageBox = &messageBox;
    services.clock = &clock;
    services.random = &random;
    services.fileSystem = &fileSystem;
    qmz::COperationQueue queue(&sink, nullptr);
    qmz::CWorkerThread worker;

    qmz::CEraseFile erase;
    erase.m_platform = &services;
    erase.m_path = argv[1];
    erase.m_method = qmz::LookupMethod(kThreePassMethod);
    const uint32_t passes = qmz::CountPasses(*erase.m_method);

    qmz::WorkerThreadParams params;
    params.queue = &queue;
    params.messageBox = &messageBox;
    params.caption = L"bench_erase";
    if (!worker.Start(params)) {
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    // The only erase operation: its "done" ends the wait.
    if (queue.AppendOperation(erase) == nullptr) {
        return 1;
    }
    const int32_t status = sink.WaitDone();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    worker.Stop();

    const double bytes = static_cast<double>(data.size) * passes;
    std::printf("engine: %u passes over %.0f MiB in %.2f s = %.1f MB/s (status %d)\n", passes,
                data.size / 1048576.0, seconds, bytes / 1e6 / seconds, status);
    return status == qmz::StatusCompleted ? 0 : 1;
}
