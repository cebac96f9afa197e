// The sweep's findings folded into one line per scenario, fault and broken guarantee,
// so that a fault hit at every position reads as one line, not hundreds.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/sim_call.h"
#include "tests/engine/fault_sweep_checks.h"

namespace qmz {

std::string SimCallName(SimCall call);

// How a run's fault was armed; as constructed, the unfaulted run.
struct SweepFault {
    std::string call = "none";
    std::string mode = "-";  // or "once", "persistent"
    uint32_t nth = 0;
};

class CSweepReport {
public:
    // A guarantee the scenario's unfaulted run already broke is counted on that line for
    // the faulted runs that break it too; it would otherwise repeat for every fault.
    void Add(const std::string& scenario, const SweepFault& fault, const SweepFinding& finding);
    bool Empty() const { return m_groups.empty(); }
    size_t Groups() const { return m_groups.size(); }
    // One line per group, at most `maxLines`, then how many were left out.
    std::string Summary(size_t maxLines) const;

private:
    struct Group {
        std::vector<uint32_t> nths;
        std::string firstDetail;
        size_t alsoFaulted = 0;  // faulted runs that broke what the unfaulted run broke
    };
    static std::string Key(const std::string& scenario, const SweepFault& fault,
                           const std::string& check);

    std::map<std::string, Group> m_groups;  // by Key
    std::vector<std::string> m_order;       // keys as first seen
};

}  // namespace qmz
