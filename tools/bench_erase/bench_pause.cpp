// Times how quickly a running erase obeys the main window's pause and resume. A large
// file is overwritten through the real engine, queue and worker on the Win32 file
// system; the commands are inserted as the main window inserts them, and each time runs
// until the worker's status report reaches the sink that stands in for the window.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "engine/erase_operations.h"
#include "engine/method_table.h"
#include "engine/overwrite_core.h"
#include "ops/control_operations.h"
#include "tools/bench_erase/bench_rig.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seven passes keep a 1 GiB erase going through all samples, flushes included.
constexpr int32_t kSevenPassMethod = 12;
constexpr int kSamples = 10;
// Each pause lasts long enough that a write still under way would show in the byte
// count, and a drawn amount more: the paused worker looks for commands at a fixed
// interval, and a fixed pause length would always meet it at the same phase.
constexpr int kMinPausedMs = 200;
constexpr int kMaxPausedMs = 300;
// The running time before each pause is drawn anew, so that the pauses land anywhere in
// a pass: amid the chunk writes or in the flush at its end.
constexpr int kMinRunningMs = 50;
constexpr int kMaxRunningMs = 200;
// A report that takes longer than this will not come: the erase is stuck or gone.
constexpr std::chrono::seconds kReportTimeout(30);
constexpr wchar_t kCaption[] = L"bench_pause";

double Milliseconds(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

void PrintCalls(const char* what, const qmz::bench::CallTally& tally) {
    const uint64_t calls = tally.calls.load();
    const double meanMs = calls ? static_cast<double>(tally.nanoseconds.load()) / 1e6 / calls : 0;
    std::printf("%-40s mean %8.2f  max %8.2f ms over %llu calls\n", what, meanMs,
                static_cast<double>(tally.maxNanoseconds.load()) / 1e6,
                static_cast<unsigned long long>(calls));
}

// The moment a status report reached the sink, and how far the erase had written by then.
struct StatusReport {
    Clock::time_point at;
    uint64_t bytesWritten = 0;
};

// Stands in for the main window: frees result records, notes when the erase is done,
// and stamps the first report of the erase operation that shows the awaited status.
class CStatusSink : public qmz::IMessageSink {
public:
    void Observe(const qmz::bench::CSeamProfile* profile) { m_profile = profile; }

    bool Post(uint32_t message, qmz::COperationBase* operation) override {
        const Clock::time_point now = Clock::now();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (message == qmz::WM_OPERATION_ITEM_RESULT) {
            delete operation;
            return true;
        }
        if (dynamic_cast<qmz::CEraseOperationBase*>(operation) == nullptr) {
            return true;  // the commands' own reports
        }
        if (message == qmz::WM_OPERATION_DONE) {
            m_done = true;
            m_finalStatus = operation->m_status;
            m_doneAt = now;
            m_changed.notify_all();
        } else if (message == qmz::WM_OPERATION_STATUS && m_awaited &&
                   operation->m_status == *m_awaited) {
            m_report = StatusReport{now, m_profile->BytesWritten()};
            m_awaited.reset();
            m_changed.notify_all();
        }
        return true;
    }

    // Armed before the command goes in, so that a quick report cannot slip past.
    void Await(int32_t status) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_awaited = status;
        m_report.reset();
    }
    // The awaited report; nothing when the erase ended first or nothing came in time.
    std::optional<StatusReport> Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, kReportTimeout, [this] { return m_report || m_done; });
        return m_report;
    }
    int32_t WaitDone(Clock::time_point* at) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
        *at = m_doneAt;
        return m_finalStatus;
    }

private:
    const qmz::bench::CSeamProfile* m_profile = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<int32_t> m_awaited;
    std::optional<StatusReport> m_report;
    bool m_done = false;
    int32_t m_finalStatus = 0;
    Clock::time_point m_doneAt;
};

// Inserts the command as the main window does (a temporary carrying the owner and the
// caption; the queue keeps a clone) and returns the moment of insertion.
template <class TCommand>
Clock::time_point InsertCommand(qmz::COperationQueue* queue) {
    TCommand command;
    command.m_hOwnerWnd = nullptr;
    command.m_caption = kCaption;
    const Clock::time_point at = Clock::now();
    queue->InsertControlOperation(command);
    return at;
}

void PrintSpread(const char* what, std::vector<double> values) {
    if (values.empty()) {
        std::printf("%-40s no samples\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-40s min %8.2f  median %8.2f  max %8.2f ms\n", what, values.front(), median,
                values.back());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_pause FILE\n");
        return 2;
    }
    CStatusSink sink;
    qmz::bench::CBenchRig rig(&sink);
    sink.Observe(&rig.Profile());
    qmz::CEraseFile erase;
    erase.m_platform = rig.Services();
    erase.m_path = argv[1];
    erase.m_method = qmz::LookupMethod(kSevenPassMethod);
    if (!rig.Start(kCaption)) {
        return 1;
    }

    sink.Await(qmz::StatusExecuting);
    const Clock::time_point start = Clock::now();
    if (rig.Queue().AppendOperation(erase) == nullptr) {
        return 1;
    }
    std::optional<StatusReport> running = sink.Wait();
    if (!running) {
        std::fprintf(stderr, "the erase did not start\n");
        return 1;
    }

    std::vector<double> pauseMs;
    std::vector<double> resumeMs;
    std::vector<double> chunkMs;
    uint64_t writtenWhilePaused = 0;
    Clock::duration pausedTotal{};
    std::minstd_rand pick(GetTickCount());
    std::uniform_int_distribution<int> runningMs(kMinRunningMs, kMaxRunningMs);
    std::uniform_int_distribution<int> pausedMs(kMinPausedMs, kMaxPausedMs);
    for (int sample = 1; sample <= kSamples; ++sample) {
        std::this_thread::sleep_for(std::chrono::milliseconds(runningMs(pick)));
        // Racy by nature, and only a hint: the call the worker is inside at insertion.
        const char* busy = rig.Profile().CallInProgress();
        sink.Await(qmz::StatusPaused);
        const Clock::time_point pauseAt = InsertCommand<qmz::CPauseNow>(&rig.Queue());
        const std::optional<StatusReport> paused = sink.Wait();
        if (!paused) {
            std::fprintf(stderr, "no pause report for sample %d: the erase ended or hangs\n",
                         sample);
            return 1;
        }
        pauseMs.push_back(Milliseconds(paused->at - pauseAt));
        // The running stretch since the last resume, flushes included, per 1 MiB chunk.
        const double chunks = static_cast<double>(paused->bytesWritten - running->bytesWritten) /
                              qmz::kPatternBufferBytes;
        if (chunks > 0) {
            chunkMs.push_back(Milliseconds(paused->at - running->at) / chunks);
        }

        std::this_thread::sleep_for(std::chrono::milliseconds(pausedMs(pick)));
        writtenWhilePaused += rig.Profile().BytesWritten() - paused->bytesWritten;

        sink.Await(qmz::StatusExecuting);
        const Clock::time_point resumeAt = InsertCommand<qmz::CResumePausedOperation>(&rig.Queue());
        running = sink.Wait();
        if (!running) {
            std::fprintf(stderr, "no resume report for sample %d\n", sample);
            return 1;
        }
        resumeMs.push_back(Milliseconds(running->at - resumeAt));
        pausedTotal += running->at - paused->at;
        std::printf("sample %2d: pause %8.2f ms (worker in %s), resume %7.2f ms\n", sample,
                    pauseMs.back(), busy ? busy : "no call", resumeMs.back());
    }

    Clock::time_point doneAt;
    const int32_t status = sink.WaitDone(&doneAt);
    rig.Stop();

    PrintSpread("pause (insert -> Paused report):", pauseMs);
    PrintSpread("resume (insert -> Executing report):", resumeMs);
    PrintSpread("1 MiB chunk while running (incl. flush):", chunkMs);
    PrintCalls("Write of one 1 MiB chunk:", rig.Profile().Tally(qmz::bench::SeamCall::kWrite));
    PrintCalls("Flush at the end of a pass:", rig.Profile().Tally(qmz::bench::SeamCall::kFlush));
    std::printf("written while paused: %llu bytes over %d pauses of %d-%d ms\n",
                static_cast<unsigned long long>(writtenWhilePaused), kSamples, kMinPausedMs,
                kMaxPausedMs);
    const double runningSeconds =
        std::chrono::duration<double>(doneAt - start - pausedTotal).count();
    const uint64_t written = rig.Profile().BytesWritten();
    std::printf(
        "engine: %.0f MiB written in %.2f s of running = %.1f MB/s = %.2f ms per 1 MiB "
        "chunk (status %d)\n",
        written / 1048576.0, runningSeconds, written / 1e6 / runningSeconds,
        runningSeconds * 1e3 / (static_cast<double>(written) / qmz::kPatternBufferBytes), status);
    return status == qmz::StatusCompleted && writtenWhilePaused == 0 ? 0 : 1;
}
