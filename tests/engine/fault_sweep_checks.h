// The judgement of one sweep run: what an erase must guarantee whichever seam call
// failed, checked against the volume itself rather than against what the engine said.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"
#include "tests/engine/engine_harness.h"
#include "tests/engine/fault_sweep_scenarios.h"
#include "tests/engine/fault_sweep_snapshot.h"

namespace qmz {

struct SweepRun {
    const SweepScenario* scenario = nullptr;
    uint8_t lastPattern = 0;  // the method's last written byte
    SweepTree before;
    SweepTree after;
    RunOutcome outcome;
    std::vector<SimJournalEntry> journal;
    size_t openHandles = 0;
};

struct SweepFinding {
    std::string check;   // which guarantee was broken
    std::string detail;  // the first item or cluster that shows it
};

struct SweepVerdict {
    std::vector<SweepFinding> findings;  // at most one per check
    size_t clustersVerified = 0;         // old clusters of Completed items that were read
    size_t outsideObjects = 0;           // objects outside the request that were compared
    int32_t status = 0;                  // the operation's, as it ended
};

// `sim` is read for the old clusters of items reported erased.
SweepVerdict CheckRun(CSimFileSystem& sim, const SweepRun& run);

std::string Narrow(const std::wstring& text);

}  // namespace qmz
