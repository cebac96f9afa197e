// The one worker thread: takes operations in queue order and runs them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "ops/operation.h"
#include "ops/operation_queue.h"
#include "platform/message_box.h"

namespace qmz {

// What the main window hands the worker when it starts it.
struct WorkerThreadParams {
    COperationQueue* queue = nullptr;
    IMessageBox* messageBox = nullptr;  // shows the worker's internal errors
    std::wstring caption;               // the program's title
    std::wstring errorPrefix;           // put in front of every internal diagnostic
};

// The worker's own state for its whole life.
struct WorkerContext {
    int32_t m_stop = 0;                   // set only by CCleanupAndExit
    int32_t m_controlOnly = 0;            // 1: the queue is held, only control operations run
    COperationBase* m_current = nullptr;  // the executing erase operation
    std::wstring m_caption;
    std::wstring m_errorPrefix;
    COperationQueue* m_queue = nullptr;
    IMessageBox* m_messageBox = nullptr;
};

// The worker thread's entry; returns 0.
uint32_t OperationThreadProc(const WorkerThreadParams* params);

// Runs every control operation waiting at the cursor. Called from the erase code's
// check points on the worker thread.
void ProcessControlOperations(WorkerContext* context);

// Owns the worker thread. Stopping inserts CCleanupAndExit and waits, so the thread
// ends whether it is idle or busy.
class CWorkerThread {
public:
    CWorkerThread() = default;
    ~CWorkerThread() { Stop(); }
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts the thread; on failure shows the internal-error message and returns false.
    bool Start(const WorkerThreadParams& params);
    // Waits for a thread that is ending by itself (after CCleanupAndExit).
    void Join();
    // Asks the worker to end (CCleanupAndExit) and waits for it.
    void Stop();
    // Started and not joined yet (it may have returned already).
    bool Running() const { return m_thread.joinable(); }
    // Waits up to `timeoutMilliseconds` for the thread procedure to return; true once it
    // has, or when no thread was started. A timed join, which std::thread lacks.
    bool WaitForExit(uint32_t timeoutMilliseconds);

private:
    WorkerThreadParams m_params;
    std::mutex m_endMutex;
    std::condition_variable m_endSignal;
    bool m_ended = true;
    std::thread m_thread;
};

}  // namespace qmz
