// The operation model: erase operations stand for items of the erase list, control
// operations carry the user's commands to the worker through the same queue.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "ops/method_entry.h"
#include "ops/operation_names.h"
#include "ops/shared_int32.h"
#include "platform/platform_services.h"
#include "platform/win_types.h"

namespace qmz {

class COperationQueue;
struct WorkerContext;

enum OperationStatus : int32_t {
    StatusAwaitingConfirmation = 0,
    StatusQueued = 2,
    StatusExecuting = 3,
    StatusPaused = 4,
    StatusCompleted = 5,
    StatusFailedSystemFile = 6,
    StatusFailedOther = 7,
    StatusAborted = 8,
};

enum ControlRequest : int32_t {
    RequestNone = 0,
    RequestPause = 1,
    RequestFinishCycle = 2,
    RequestFinishFile = 3,
    RequestFinishOperation = 4,
    RequestAbort = 5,
};

class COperationBase {
public:
    COperationBase() = default;
    COperationBase(const COperationBase&) = default;
    COperationBase& operator=(const COperationBase&) = delete;
    virtual ~COperationBase() = default;

    // Runs on the worker thread.
    virtual void Execute() = 0;
    // A new object of the same class with every field copied; null when memory runs out.
    virtual std::unique_ptr<COperationBase> Clone() const = 0;

    int32_t m_isControl = 0;  // set by the queue on insertion
    SharedInt32 m_status{StatusAwaitingConfirmation};
    SharedInt32 m_request{RequestNone};
    WindowHandle m_hOwnerWnd = nullptr;
    std::wstring m_caption;
    WorkerContext* m_worker = nullptr;  // set when the worker takes the operation
    COperationQueue* m_queue = nullptr;
    COperationBase* m_prev = nullptr;  // queue links, guarded by the queue's mutex
    COperationBase* m_next = nullptr;
};

class CEraseOperationBase : public COperationBase {
public:
    CEraseOperationBase() = default;
    CEraseOperationBase(const CEraseOperationBase&) = default;

    // Fills m_bytesToWrite, m_fileCount and m_folderCount.
    virtual void EstimateWork() = 0;
    // The display name of the operation's kind.
    virtual const std::wstring& KindName() const = 0;
    // The concrete class, for handlers that treat kinds differently (change notices).
    virtual OperationKind Kind() const = 0;

    // Where the operation reaches the system; set by whoever creates it, copied by
    // Clone, and outliving every copy.
    const PlatformServices* m_platform = nullptr;
    std::wstring m_path;
    const MethodEntry* m_method = nullptr;
    int32_t m_ownsMethod = 0;  // 1: m_method is this operation's private snapshot
    int32_t m_includeSuperHidden = 1;
    uint64_t m_bytesToWrite = 0;
    uint64_t m_fileCount = 0;
    uint64_t m_folderCount = 0;
    std::wstring m_userName;  // DOMAIN\user of the creator; filled by whoever creates it
    int32_t m_repeatCount = 1;
    int32_t m_engineFlag = 0;
    std::wstring m_engineName;
    SharedInt32 m_finishCycleLatched;
    SharedInt32 m_finishFileLatched;
    SharedInt32 m_abortLatched;
};

// Clone() for a concrete class with a copy constructor.
template <class T>
std::unique_ptr<COperationBase> CloneOf(const T& operation) {
    try {
        return std::make_unique<T>(operation);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// What every concrete erase operation class has the same way: its clone, its kind and
// the display name of that kind.
template <class Derived, OperationKind kKind>
class CEraseOperationOf : public CEraseOperationBase {
public:
    std::unique_ptr<COperationBase> Clone() const override {
        return CloneOf(static_cast<const Derived&>(*this));
    }
    const std::wstring& KindName() const override { return OperationName(kKind); }
    OperationKind Kind() const override { return kKind; }
};

}  // namespace qmz
