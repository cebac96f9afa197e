#include "ops/worker.h"

#include <chrono>
#include <system_error>

#include "ops/control_operations.h"

namespace qmz {
namespace {

constexpr wchar_t kStatusNotQueued[] = L"Expected operation status to be waiting for execution";
constexpr wchar_t kThreadStartFailed[] = L"AfxBeginThread() or ResumeThread() failed";

// An operation taken with another status than queued is never executed.
bool TakenOperationIsValid(WorkerContext* context, COperationBase* operation) {
    operation->m_worker = context;
    operation->m_queue = context->m_queue;
    if (operation->m_status == StatusQueued) {
        return true;
    }
    context->m_messageBox->Show(nullptr, context->m_errorPrefix + kStatusNotQueued,
                                context->m_caption, MB_ICONINFORMATION);
    context->m_queue->Post(WM_OPERATION_DONE, operation);
    return false;
}

void RunControlOperation(WorkerContext* context, COperationBase* operation) {
    COperationQueue* queue = context->m_queue;
    operation->m_status = StatusExecuting;
    operation->m_request = RequestNone;
    queue->Post(WM_OPERATION_STATUS, operation);
    operation->Execute();
    queue->Post(WM_OPERATION_STATUS, operation);
    if (context->m_current != nullptr) {
        queue->Post(WM_OPERATION_STATUS, context->m_current);
    }
    queue->Post(WM_OPERATION_DONE, operation);
}

void RunEraseOperation(WorkerContext* context, COperationBase* operation) {
    COperationQueue* queue = context->m_queue;
    context->m_current = operation;
    operation->m_status = StatusExecuting;
    operation->m_request = RequestNone;
    queue->Post(WM_OPERATION_STATUS, operation);
    operation->Execute();
    queue->Post(WM_OPERATION_STATUS, operation);
    queue->Post(WM_OPERATION_DONE, operation);
    context->m_current = nullptr;
}

}  // namespace

uint32_t OperationThreadProc(const WorkerThreadParams* params) {
    WorkerContext context;
    context.m_caption = params->caption;
    context.m_errorPrefix = params->errorPrefix;
    context.m_queue = params->queue;
    context.m_messageBox = params->messageBox;

    while (context.m_stop == 0) {
        COperationBase* operation = context.m_queue->TakeNext(context.m_controlOnly != 0);
        if (!TakenOperationIsValid(&context, operation)) {
            return 0;
        }
        if (operation->m_isControl != 0) {
            context.m_controlOnly = 1;
            RunControlOperation(&context, operation);
        } else {
            RunEraseOperation(&context, operation);
        }
    }
    return 0;
}

void ProcessControlOperations(WorkerContext* context) {
    COperationQueue* queue = context->m_queue;
    while (queue->ControlOperationWaits()) {
        if (context->m_stop != 0) {
            return;
        }
        COperationBase* operation = queue->TakeNext(true);
        if (!TakenOperationIsValid(context, operation)) {
            return;  // reported; the erase code goes on and meets the rest next time
        }
        RunControlOperation(context, operation);
    }
}

bool CWorkerThread::Start(const WorkerThreadParams& params) {
    m_params = params;
    {
        std::lock_guard<std::mutex> lock(m_endMutex);
        m_ended = false;
    }
    try {
        m_thread = std::thread([this] {
            OperationThreadProc(&m_params);
            std::lock_guard<std::mutex> lock(m_endMutex);
            m_ended = true;
            m_endSignal.notify_all();
        });
    } catch (const std::system_error&) {
        {
            std::lock_guard<std::mutex> lock(m_endMutex);
            m_ended = true;
        }
        params.messageBox->Show(nullptr, params.errorPrefix + kThreadStartFailed, params.caption,
                                MB_ICONERROR);
        return false;
    }
    return true;
}

void CWorkerThread::Join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool CWorkerThread::WaitForExit(uint32_t timeoutMilliseconds) {
    std::unique_lock<std::mutex> lock(m_endMutex);
    return m_endSignal.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                                [this] { return m_ended; });
}

void CWorkerThread::Stop() {
    if (!m_thread.joinable()) {
        return;
    }
    CCleanupAndExit exit;
    exit.m_caption = m_params.caption;
    m_params.queue->InsertControlOperation(exit);
    m_thread.join();
}

}  // namespace qmz
