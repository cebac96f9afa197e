// Erases a folder of many small files with a three-pass method through the real engine,
// queue and worker on the Win32 file system, and prints the time and, per kind of file
// system call, where it went: with small files the cost is in the calls around each
// file, not in the bytes.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "engine/erase_operations.h"
#include "engine/method_table.h"
#include "tools/bench_erase/bench_rig.h"

namespace {

constexpr int32_t kThreePassMethod = 3;  // 0x00, 0xFF, 0xE5
constexpr wchar_t kCaption[] = L"bench_small_files";

// Stands in for the main window: counts and frees the file lines, and wakes the waiter
// when the erase operation is done.
class CFolderSink : public qmz::IMessageSink {
public:
    bool Post(uint32_t message, qmz::COperationBase* operation) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (message == qmz::WM_OPERATION_ITEM_RESULT) {
            if (dynamic_cast<qmz::CEraseFile*>(operation) != nullptr) {
                ++m_fileLines;
                m_filesErased += operation->m_status == qmz::StatusCompleted ? 1 : 0;
            }
            delete operation;
        } else if (message == qmz::WM_OPERATION_DONE &&
                   dynamic_cast<qmz::CEraseOperationBase*>(operation) != nullptr) {
            m_done = true;
            m_finalStatus = operation->m_status;
            m_changed.notify_all();
        }
        return true;
    }
    int32_t WaitDone() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
        return m_finalStatus;
    }
    // Read after the worker has ended.
    uint64_t FileLines() const { return m_fileLines; }
    uint64_t FilesErased() const { return m_filesErased; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
    int32_t m_finalStatus = 0;
    uint64_t m_fileLines = 0;
    uint64_t m_filesErased = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_small_files FOLDER\n");
        return 2;
    }
    CFolderSink sink;
    qmz::bench::CBenchRig rig(&sink);
    qmz::CEraseFolderAndContents erase;
    erase.m_platform = rig.Services();
    erase.m_path = argv[1];
    erase.m_method = qmz::LookupMethod(kThreePassMethod);
    if (!rig.Start(kCaption)) {
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    if (rig.Queue().AppendOperation(erase) == nullptr) {
        return 1;
    }
    const int32_t status = sink.WaitDone();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rig.Stop();

    const uint64_t files = sink.FilesErased();
    std::printf("engine: %llu of %llu files erased in %.2f s = %.2f ms per file (status %d)\n",
                static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(sink.FileLines()), seconds,
                seconds * 1e3 / static_cast<double>(files ? files : 1), status);
    rig.Profile().Print(stdout, files, seconds);
    return status == qmz::StatusCompleted && files == sink.FileLines() ? 0 : 1;
}
