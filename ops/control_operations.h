// The seven control operations. Each runs on the worker thread and acts on the
// executing erase operation (if any) and on the worker itself.
#pragma once

#include "ops/operation.h"
#include "ops/operation_names.h"

namespace qmz {

template <class Derived, OperationKind kKind>
class CControlOperation : public COperationBase {
public:
    std::unique_ptr<COperationBase> Clone() const override {
        return CloneOf(static_cast<const Derived&>(*this));
    }
    static const std::wstring& DisplayName() { return OperationName(kKind); }
};

class CPauseNow : public CControlOperation<CPauseNow, OperationKind::kPauseNow> {
public:
    void Execute() override;
};

class CResumePausedOperation
    : public CControlOperation<CResumePausedOperation, OperationKind::kResumePausedOperation> {
public:
    void Execute() override;
};

class CFinishCycle : public CControlOperation<CFinishCycle, OperationKind::kFinishCycle> {
public:
    void Execute() override;
};

class CFinishFile : public CControlOperation<CFinishFile, OperationKind::kFinishFile> {
public:
    void Execute() override;
};

class CFinishOperation
    : public CControlOperation<CFinishOperation, OperationKind::kFinishOperation> {
public:
    void Execute() override;
};

class CDiscardPausedOperation
    : public CControlOperation<CDiscardPausedOperation, OperationKind::kDiscardPausedOperation> {
public:
    void Execute() override;
};

class CCleanupAndExit : public CControlOperation<CCleanupAndExit, OperationKind::kCleanupAndExit> {
public:
    void Execute() override;
};

}  // namespace qmz
