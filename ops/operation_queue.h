// The queue shared by the main thread (inserts, removes) and the worker (takes).
// A doubly-linked list with a cursor at the next operation to run; waiting control
// operations always stand ahead of waiting erase operations.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "ops/auto_reset_event.h"
#include "ops/operation.h"
#include "platform/message_sink.h"

namespace qmz {

class COperationQueue {
public:
    // `sink` receives the reports for the main window. `sharedCustomMethod` is the
    // settings' writable method record: operations that refer to it are queued with a
    // private snapshot of it.
    COperationQueue(IMessageSink* sink, const MethodEntry* sharedCustomMethod);
    // Frees what is still linked; the worker must have ended.
    ~COperationQueue();
    COperationQueue(const COperationQueue&) = delete;
    COperationQueue& operator=(const COperationQueue&) = delete;

    // Main thread. Queue a clone of `operation` (the caller keeps the original);
    // returns the clone, or null when it could not be made.
    COperationBase* AppendOperation(const COperationBase& operation);
    COperationBase* InsertControlOperation(const COperationBase& operation);
    // Main thread. Unlinks and destroys an operation (and a method snapshot it owns).
    void RemoveOperation(COperationBase* operation);
    // Main thread. Removes an operation only while it still waits (the worker has not
    // taken it); false leaves it alone, since the worker may be running it already.
    bool RemoveIfWaiting(COperationBase* operation);

    // Worker thread. Waits until the cursor holds an acceptable operation and takes it.
    COperationBase* TakeNext(bool controlOnly);
    // Whether a control operation is next in line (one lock and unlock).
    bool ControlOperationWaits();

    // Reports to the main window. A record handed over with WM_OPERATION_ITEM_RESULT
    // is destroyed here when it cannot be delivered.
    void Post(uint32_t message, COperationBase* operation);
    void PostItemResult(std::unique_ptr<CEraseOperationBase> record);

    // Inspection for the main window and tests: the list from head to tail, and
    // the positions of head, cursor and tail (null when absent).
    struct Layout {
        std::vector<COperationBase*> linked;
        COperationBase* head = nullptr;
        COperationBase* cursor = nullptr;
        COperationBase* tail = nullptr;
    };
    Layout Inspect();

private:
    void UnlinkAndDestroy(COperationBase* operation);
    void LinkBefore(COperationBase* clone, COperationBase* next);
    void LinkAtTail(COperationBase* clone);

    std::mutex m_lock;
    CAutoResetEvent m_wakeEvent;
    COperationBase* m_head = nullptr;
    COperationBase* m_cursor = nullptr;
    COperationBase* m_tail = nullptr;
    IMessageSink* m_sink;
    const MethodEntry* m_sharedCustomMethod;
};

}  // namespace qmz
