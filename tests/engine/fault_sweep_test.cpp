// Every seam call, failed at every position it is reached in, once and from then on,
// in small erases through the real queue and worker: whatever fails, nothing outside
// the request changes, every failure reaches a result line, and nothing is reported
// erased whose data is still on the disk.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>

#include "tests/engine/fault_sweep_checks.h"
#include "tests/engine/fault_sweep_report.h"

namespace qmz {
namespace {

using CallCounts = std::array<uint32_t, static_cast<size_t>(SimCall::kCount)>;

// The sweep's hundreds of erases would cost TSan many times their plain time, and what
// they judge does not depend on timing: the plain and ASan builds judge it.
#if defined(__SANITIZE_THREAD__)
constexpr bool kThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif
#else
constexpr bool kThreadSanitizer = false;
#endif

// Three passes with a fixed last pattern, so that old clusters can be judged, and a
// verification read, so that failed reads are on the path too.
MethodEntry ThreePassesAndVerify() {
    MethodEntry method;
    const uint32_t codes[] = {0x00, 0xFF, 0xE5, PassVerify, PassListEnd};
    std::copy(std::begin(codes), std::end(codes), method.PassCodes);
    return method;
}

uint8_t LastWrittenByte(const MethodEntry& method) {
    uint8_t last = 0;
    for (uint32_t i = 0; i < CountPasses(method); ++i) {
        if (method.PassCodes[i] <= 0xFF) {
            last = static_cast<uint8_t>(method.PassCodes[i]);
        }
    }
    return last;
}

uint32_t ErrorFor(SimCall call) {
    return call == SimCall::kWrite ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED;
}

CallCounts CountCalls(CSimFileSystem& sim) {
    CallCounts counts{};
    for (size_t kind = 0; kind < counts.size(); ++kind) {
        counts[kind] = sim.CallCount(static_cast<SimCall>(kind));
    }
    return counts;
}

template <class T>
RunOutcome Erase(CEngineHarness& h, const SweepScenario& scenario, const MethodEntry& method) {
    T operation;
    operation.m_path = scenario.path;
    operation.m_method = &method;
    operation.m_userName = L"QMZ\\tester";
    return h.Run(operation);
}

class CSweep {
public:
    // One erase of the scenario on a fresh volume, with `fault` armed when given.
    // `calls` receives the calls of each kind the erase made.
    SweepVerdict RunOnce(const SweepScenario& scenario, const SimFault* fault, CallCounts* calls) {
        CEngineHarness h(scenario.vistaOrLater);
        CSimFileSystem& sim = h.Sim();
        scenario.build(sim);
        SweepRun run;
        run.scenario = &scenario;
        run.lastPattern = LastWrittenByte(m_method);
        run.before = SnapshotTree(sim, scenario.roots);
        const CallCounts start = CountCalls(sim);
        sim.ClearJournal();
        if (fault != nullptr) {
            sim.InjectFault(*fault);
        }
        run.outcome = scenario.item == SweepItem::kFile
                          ? Erase<CEraseFile>(h, scenario, m_method)
                          : Erase<CEraseFolderAndContents>(h, scenario, m_method);
        sim.ClearFaults();
        const CallCounts end = CountCalls(sim);
        for (size_t kind = 0; kind < end.size(); ++kind) {
            (*calls)[kind] = end[kind] - start[kind];
        }
        run.journal = sim.Journal();
        run.openHandles = sim.OpenHandleCount();
        run.after = SnapshotTree(sim, scenario.roots);
        ++m_runs;
        return CheckRun(sim, run);
    }

    void Sweep(const SweepScenario& scenario) {
        CallCounts counts{};
        const SweepVerdict clean = RunOnce(scenario, nullptr, &counts);
        Record(scenario, SweepFault(), clean);
        // The sweep judges something only if the unfaulted erase reports items erased
        // and leaves neighbours to compare.
        EXPECT_GT(clean.clustersVerified, 0u) << scenario.name;
        EXPECT_GT(clean.outsideObjects, 0u) << scenario.name;
        if (scenario.completesUnfaulted) {
            EXPECT_EQ(clean.status, StatusCompleted) << scenario.name;
        }
        for (size_t kind = 0; kind < counts.size(); ++kind) {
            for (const bool persistent : {false, true}) {
                for (uint32_t nth = 1; nth <= counts[kind]; ++nth) {
                    const SimCall call = static_cast<SimCall>(kind);
                    SimFault fault;
                    fault.call = call;
                    fault.nth = nth;
                    fault.error = ErrorFor(call);
                    fault.persistent = persistent;
                    CallCounts seen{};
                    const SweepVerdict verdict = RunOnce(scenario, &fault, &seen);
                    SweepFault armed;
                    armed.call = SimCallName(call);
                    armed.mode = persistent ? "persistent" : "once";
                    armed.nth = nth;
                    if (seen[kind] < nth) {
                        // The erase took another way before the nth call: not deterministic.
                        m_report.Add(scenario.name, armed, {"fault never reached", ""});
                    }
                    Record(scenario, armed, verdict);
                }
            }
        }
    }

    size_t Runs() const { return m_runs; }
    const CSweepReport& Report() const { return m_report; }

private:
    void Record(const SweepScenario& scenario, const SweepFault& fault,
                const SweepVerdict& verdict) {
        for (const SweepFinding& finding : verdict.findings) {
            m_report.Add(scenario.name, fault, finding);
        }
    }

    const MethodEntry m_method = ThreePassesAndVerify();
    CSweepReport m_report;
    size_t m_runs = 0;
};

TEST(FaultSweep, AnySeamCallFailingLeavesTheRestIntactAndIsReported) {
    if (kThreadSanitizer) {
        GTEST_SKIP() << "too slow under TSan; run in the plain and ASan builds";
    }
    const auto started = std::chrono::steady_clock::now();
    CSweep sweep;
    for (const SweepScenario& scenario : SweepScenarios()) {
        const size_t before = sweep.Runs();
        sweep.Sweep(scenario);
        std::printf("fault sweep: %s: %zu runs\n", scenario.name.c_str(), sweep.Runs() - before);
    }
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("fault sweep: %zu runs in %.1f s\n", sweep.Runs(), seconds);
    ::testing::Test::RecordProperty("runs", static_cast<int>(sweep.Runs()));
    EXPECT_TRUE(sweep.Report().Empty())
        << sweep.Report().Groups() << " distinct failures (scenario | fault | check):\n"
        << sweep.Report().Summary(60);
}

}  // namespace
}  // namespace qmz
