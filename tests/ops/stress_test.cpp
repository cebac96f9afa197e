// Random control commands fired at running erase work from the main thread: whatever
// the interleaving, every operation is reported done exactly once, nothing is posted
// for it afterwards, and the queue ends empty. Bounded: fixed counts, fixed seed.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "ops/control_operations.h"
#include "tests/support/test_erase_operation.h"
#include "tests/support/worker_harness.h"

namespace qmz {
namespace {

constexpr int kEraseOperations = 12;
constexpr int kControlCommands = 300;

std::unique_ptr<COperationBase> RandomControl(std::mt19937& random) {
    switch (random() % 6) {
        case 0:
            return std::make_unique<CPauseNow>();
        case 1:
            return std::make_unique<CResumePausedOperation>();
        case 2:
            return std::make_unique<CFinishCycle>();
        case 3:
            return std::make_unique<CFinishFile>();
        case 4:
            return std::make_unique<CFinishOperation>();
        default:
            return std::make_unique<CDiscardPausedOperation>();
    }
}

// Plays the main window. Operations are told apart by a tag in m_caption, since a
// freed operation's address may be reused by a later one.
class CStressReceiver {
public:
    explicit CStressReceiver(CWorkerHarness& harness) : m_harness(harness) {}

    COperationBase* Append(CEraseOperationBase& operation) {
        operation.m_caption = NextTag();
        return m_harness.Append(operation);
    }
    COperationBase* Insert(COperationBase& operation) {
        operation.m_caption = NextTag();
        return m_harness.Queue().InsertControlOperation(operation);
    }
    // Handles posts until `until` says stop or nothing arrives within `wait`.
    template <class Until>
    void Receive(std::chrono::milliseconds wait, Until until) {
        PostedMessage message;
        while (!until() && m_harness.Sink().Next(&message, wait)) {
            const std::wstring& tag = message.operation->m_caption;
            EXPECT_EQ(m_done[tag], 0) << "posted after it was reported done";
            if (message.message == WM_OPERATION_DONE) {
                ++m_done[tag];
                m_harness.Queue().RemoveOperation(message.operation);
            }
        }
    }
    bool Done(const std::wstring& tag) { return m_done[tag] > 0; }
    bool AllDone() {
        for (int i = 0; i < m_tags; ++i) {
            if (m_done[Tag(i)] == 0) {
                return false;
            }
        }
        return true;
    }
    void ExpectEachDoneOnce() {
        for (int i = 0; i < m_tags; ++i) {
            EXPECT_EQ(m_done[Tag(i)], 1) << "operation " << i;
        }
    }
    std::wstring LastTag() const { return Tag(m_tags - 1); }

private:
    static std::wstring Tag(int i) { return L"#" + std::to_wstring(i); }
    std::wstring NextTag() { return Tag(m_tags++); }

    CWorkerHarness& m_harness;
    std::map<std::wstring, int> m_done;
    int m_tags = 0;
};

TEST(WorkerStress, RandomControlCommandsNeverLoseOrRepeatAReport) {
    CWorkerHarness harness;
    CStressReceiver receiver(harness);
    std::mt19937 random(20261209);

    harness.StartWorker();
    for (int i = 0; i < kEraseOperations; ++i) {
        CTestEraseOperation erase(3, 4, 50);
        receiver.Append(erase);
    }
    for (int i = 0; i < kControlCommands; ++i) {
        receiver.Insert(*RandomControl(random));
        receiver.Receive(std::chrono::milliseconds(0), [] { return false; });
        if (random() % 4 == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    // A last resume releases whatever is held, so every erase operation finishes.
    CResumePausedOperation resume;
    receiver.Insert(resume);
    receiver.Receive(std::chrono::seconds(20), [&] { return receiver.AllDone(); });

    CCleanupAndExit exit;
    receiver.Insert(exit);
    std::wstring exitTag = receiver.LastTag();
    receiver.Receive(std::chrono::seconds(20), [&] { return receiver.Done(exitTag); });
    harness.Worker().Join();
    receiver.Receive(std::chrono::milliseconds(0), [] { return false; });

    receiver.ExpectEachDoneOnce();
    EXPECT_TRUE(harness.Queue().Inspect().linked.empty());
}

}  // namespace
}  // namespace qmz
