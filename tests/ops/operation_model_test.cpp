// The operation model's own rules: display names from the string table, clones that
// copy every field, and control operations acting on the executing operation.
#include <gtest/gtest.h>

#include <ostream>

#include "ops/control_operations.h"
#include "ops/operation_names.h"
#include "ops/worker.h"
#include "settings/string_table.h"
#include "tests/support/test_erase_operation.h"

namespace qmz {
namespace {

TEST(OperationNames, LoadedOnceFromTheStringTable) {
    LoadOperationNames(BuiltinString);
    EXPECT_EQ(OperationName(OperationKind::kEraseFile), L"ファイルを消去");
    EXPECT_EQ(OperationName(OperationKind::kEraseInternetHistory), L"インターネット履歴を消去");
    EXPECT_EQ(CPauseNow::DisplayName(), L"一時停止");
    EXPECT_EQ(CCleanupAndExit::DisplayName(), L"終了する");
    // Every kind has a text: an id missing from the table would show an empty column.
    for (int kind = 0; kind < static_cast<int>(OperationKind::kCount); ++kind) {
        EXPECT_FALSE(OperationName(static_cast<OperationKind>(kind)).empty()) << kind;
    }
}

TEST(OperationClone, CopiesEveryFieldAndKeepsTheMethodReference) {
    MethodEntry method;
    CTestEraseOperation original(1, 1, 1);
    original.m_status = StatusPaused;
    original.m_request = RequestFinishFile;
    original.m_path = L"C:\\data\\report.doc";
    original.m_method = &method;
    original.m_ownsMethod = 1;
    original.m_includeSuperHidden = 0;
    original.m_bytesToWrite = 1ull << 40;
    original.m_userName = L"OFFICE\\tanaka";
    original.m_finishCycleLatched = 1;

    std::unique_ptr<COperationBase> copy = original.Clone();
    auto* clone = dynamic_cast<CTestEraseOperation*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->m_status, StatusPaused);
    EXPECT_EQ(clone->m_request, RequestFinishFile);
    EXPECT_EQ(clone->m_path, original.m_path);
    EXPECT_EQ(clone->m_method, &method);
    EXPECT_EQ(clone->m_ownsMethod, 1);  // the queue, not Clone, decides about snapshots
    EXPECT_EQ(clone->m_includeSuperHidden, 0);
    EXPECT_EQ(clone->m_bytesToWrite, 1ull << 40);
    EXPECT_EQ(clone->m_userName, original.m_userName);
    EXPECT_EQ(clone->m_finishCycleLatched, 1);
    clone->m_path += L"x";  // deep copy
    EXPECT_EQ(original.m_path, L"C:\\data\\report.doc");
}

TEST(OperationDefaults, NewEraseOperationStartsAwaitingConfirmationWithDefaults) {
    CTestEraseOperation operation(1, 1, 1);
    EXPECT_EQ(operation.m_status, StatusAwaitingConfirmation);
    EXPECT_EQ(operation.m_request, RequestNone);
    EXPECT_EQ(operation.m_isControl, 0);
    EXPECT_EQ(operation.m_includeSuperHidden, 1);
    EXPECT_EQ(operation.m_repeatCount, 1);
    EXPECT_EQ(operation.m_ownsMethod, 0);
    EXPECT_EQ(operation.m_finishFileLatched + operation.m_abortLatched, 0);
}

// Each control operation's effect on the executing operation and on the worker.
struct ControlEffect {
    const char* name;  // of the test case
    std::function<std::unique_ptr<COperationBase>()> make;
    int32_t request;
    int32_t status;
    int32_t controlOnlyAfter;
    int32_t stopAfter;
};

// Failure messages and test listings show the name, not the struct's bytes.
void PrintTo(const ControlEffect& effect, std::ostream* out) {
    *out << effect.name;
}

class ControlEffects : public ::testing::TestWithParam<ControlEffect> {};

TEST_P(ControlEffects, SetRequestAndStatusOfTheCurrentOperation) {
    const ControlEffect& effect = GetParam();
    WorkerContext context;
    context.m_controlOnly = 1;
    CTestEraseOperation current(1, 1, 1);
    current.m_status = StatusExecuting;
    context.m_current = &current;

    std::unique_ptr<COperationBase> control = effect.make();
    control->m_worker = &context;
    control->Execute();
    EXPECT_EQ(current.m_request, effect.request);
    EXPECT_EQ(current.m_status, effect.status);
    EXPECT_EQ(control->m_status, StatusCompleted);
    EXPECT_EQ(context.m_controlOnly, effect.controlOnlyAfter);
    EXPECT_EQ(context.m_stop, effect.stopAfter);

    // With nothing executing only the worker is affected.
    context.m_current = nullptr;
    std::unique_ptr<COperationBase> idle = effect.make();
    idle->m_worker = &context;
    idle->Execute();
    EXPECT_EQ(idle->m_status, StatusCompleted);
}

template <class T>
std::function<std::unique_ptr<COperationBase>()> Maker() {
    return [] { return std::make_unique<T>(); };
}

INSTANTIATE_TEST_SUITE_P(
    AllSeven, ControlEffects,
    ::testing::Values(
        ControlEffect{"PauseNow", Maker<CPauseNow>(), RequestPause, StatusPaused, 1, 0},
        ControlEffect{"ResumePausedOperation", Maker<CResumePausedOperation>(), RequestNone,
                      StatusExecuting, 0, 0},
        ControlEffect{"FinishCycle", Maker<CFinishCycle>(), RequestFinishCycle, StatusExecuting, 1,
                      0},
        ControlEffect{"FinishFile", Maker<CFinishFile>(), RequestFinishFile, StatusExecuting, 1, 0},
        ControlEffect{"FinishOperation", Maker<CFinishOperation>(), RequestFinishOperation,
                      StatusExecuting, 1, 0},
        ControlEffect{"DiscardPausedOperation", Maker<CDiscardPausedOperation>(), RequestAbort,
                      StatusAborted, 1, 0},
        ControlEffect{"CleanupAndExit", Maker<CCleanupAndExit>(), RequestAbort, StatusAborted, 1,
                      1}),
    [](const ::testing::TestParamInfo<ControlEffect>& info) { return info.param.name; });

}  // namespace
}  // namespace qmz
