// Fault injection: fail the Nth call of a kind, once or from then on, optionally on one path.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_call.h"

namespace qmz {

struct SimFault {
    SimCall call = SimCall::kWrite;
    uint32_t nth = 1;  // 1 = the first matching call after the fault was set
    uint32_t error = 0;
    bool persistent = false;  // also fail every later matching call
    // Empty matches every call; otherwise the path, anything below it and its streams.
    std::wstring path;
    // Instead of failing with `error`, the call succeeds with a short answer of at most
    // `shortTo` units: bytes for Read and Write, extents for GetRetrievalPointers (with
    // ERROR_MORE_DATA). Devices and file systems may answer less than was asked.
    bool answersShort = false;
    uint32_t shortTo = 0;
};

class CSimFaults {
public:
    void Add(const SimFault& fault) { m_faults.push_back({fault, 0, false}); }
    void Clear() { m_faults.clear(); }
    // Counts the call; the error to fail it with, or 0. A call that can answer short
    // passes `limit`, lowered when it is to answer with fewer units than it could.
    uint32_t Check(SimCall call, const std::wstring& path, uint32_t* limit = nullptr);
    uint32_t CallCount(SimCall call) const { return m_calls[static_cast<size_t>(call)]; }

private:
    struct Armed {
        SimFault fault;
        uint32_t seen;
        bool spent;
    };
    std::vector<Armed> m_faults;
    std::array<uint32_t, static_cast<size_t>(SimCall::kCount)> m_calls{};
};

}  // namespace qmz
