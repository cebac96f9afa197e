#include "ops/operation_queue.h"

namespace qmz {

COperationQueue::COperationQueue(IMessageSink* sink, const MethodEntry* sharedCustomMethod)
    : m_sink(sink), m_sharedCustomMethod(sharedCustomMethod) {}

COperationQueue::~COperationQueue() {
    while (m_head != nullptr) {
        RemoveOperation(m_head);
    }
}

COperationBase* COperationQueue::AppendOperation(const COperationBase& operation) {
    std::lock_guard<std::mutex> lock(m_lock);
    std::unique_ptr<COperationBase> clone = operation.Clone();
    if (!clone) {
        return nullptr;
    }
    clone->m_isControl = 0;
    clone->m_status = StatusQueued;

    // A queued operation keeps the custom method as it was when the user confirmed,
    // whatever the settings change later; built-in methods are shared.
    if (auto* erase = dynamic_cast<CEraseOperationBase*>(clone.get())) {
        erase->m_ownsMethod = 0;
        if (erase->m_method != nullptr && erase->m_method == m_sharedCustomMethod) {
            try {
                erase->m_method = new MethodEntry(*m_sharedCustomMethod);
            } catch (const std::bad_alloc&) {
                return nullptr;
            }
            erase->m_ownsMethod = 1;
        }
    }

    COperationBase* queued = clone.release();
    LinkAtTail(queued);
    m_wakeEvent.Set();
    return queued;
}

COperationBase* COperationQueue::InsertControlOperation(const COperationBase& operation) {
    std::lock_guard<std::mutex> lock(m_lock);
    std::unique_ptr<COperationBase> clone = operation.Clone();
    if (!clone) {
        return nullptr;
    }
    clone->m_isControl = 1;
    clone->m_status = StatusQueued;
    COperationBase* queued = clone.release();

    COperationBase* firstWaitingErase = m_cursor;
    while (firstWaitingErase != nullptr && firstWaitingErase->m_isControl != 0) {
        firstWaitingErase = firstWaitingErase->m_next;
    }
    if (firstWaitingErase != nullptr) {
        LinkBefore(queued, firstWaitingErase);
    } else {
        LinkAtTail(queued);  // behind any waiting control operations, in their order
    }
    m_wakeEvent.Set();
    return queued;
}

void COperationQueue::RemoveOperation(COperationBase* operation) {
    std::lock_guard<std::mutex> lock(m_lock);
    UnlinkAndDestroy(operation);
}

bool COperationQueue::RemoveIfWaiting(COperationBase* operation) {
    std::lock_guard<std::mutex> lock(m_lock);
    for (COperationBase* waiting = m_cursor; waiting != nullptr; waiting = waiting->m_next) {
        if (waiting == operation) {
            UnlinkAndDestroy(operation);
            return true;
        }
    }
    return false;
}

COperationBase* COperationQueue::TakeNext(bool controlOnly) {
    std::unique_lock<std::mutex> lock(m_lock);
    auto acceptable = [&] {
        return m_cursor != nullptr && (!controlOnly || m_cursor->m_isControl != 0);
    };
    while (!acceptable()) {
        // The event stays set if an insertion slips in between the test and the
        // wait, so no wake-up is lost.
        lock.unlock();
        m_wakeEvent.Wait();
        lock.lock();
    }
    COperationBase* taken = m_cursor;
    m_cursor = taken->m_next;
    return taken;
}

bool COperationQueue::ControlOperationWaits() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_cursor != nullptr && m_cursor->m_isControl != 0;
}

void COperationQueue::Post(uint32_t message, COperationBase* operation) {
    m_sink->Post(message, operation);
}

void COperationQueue::PostItemResult(std::unique_ptr<CEraseOperationBase> record) {
    if (m_sink->Post(WM_OPERATION_ITEM_RESULT, record.get())) {
        record.release();  // the receiver owns it now
    }
}

COperationQueue::Layout COperationQueue::Inspect() {
    std::lock_guard<std::mutex> lock(m_lock);
    Layout layout;
    for (COperationBase* op = m_head; op != nullptr; op = op->m_next) {
        layout.linked.push_back(op);
    }
    layout.head = m_head;
    layout.cursor = m_cursor;
    layout.tail = m_tail;
    return layout;
}

void COperationQueue::UnlinkAndDestroy(COperationBase* operation) {
    if (operation == m_head) {
        m_head = operation->m_next;
    } else if (operation->m_prev != nullptr) {
        operation->m_prev->m_next = operation->m_next;
    }
    if (operation == m_tail) {
        m_tail = operation->m_prev;
    } else if (operation->m_next != nullptr) {
        operation->m_next->m_prev = operation->m_prev;
    }
    if (operation == m_cursor) {
        m_cursor = operation->m_next;
    }
    operation->m_prev = nullptr;
    operation->m_next = nullptr;

    if (auto* erase = dynamic_cast<CEraseOperationBase*>(operation)) {
        if (erase->m_ownsMethod != 0) {
            delete erase->m_method;
            erase->m_method = nullptr;
            erase->m_ownsMethod = 0;
        }
    }
    delete operation;
}

void COperationQueue::LinkBefore(COperationBase* clone, COperationBase* next) {
    clone->m_next = next;
    clone->m_prev = next->m_prev;
    if (next->m_prev != nullptr) {
        next->m_prev->m_next = clone;
    }
    next->m_prev = clone;
    if (next == m_head) {
        m_head = clone;
    }
    if (next == m_cursor) {
        m_cursor = clone;
    }
}

void COperationQueue::LinkAtTail(COperationBase* clone) {
    clone->m_next = nullptr;
    clone->m_prev = m_tail;
    if (m_tail != nullptr) {
        m_tail->m_next = clone;
    } else {
        m_head = clone;
    }
    m_tail = clone;
    if (m_cursor == nullptr) {
        m_cursor = clone;
    }
}

}  // namespace qmz
