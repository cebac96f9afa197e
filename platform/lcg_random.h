// The C runtime's rand() recurrence, kept per object: the worker thread must not
// depend on a per-thread C runtime seed that only the main thread ever set.
#pragma once

#include <cstdint>

#include "platform/random.h"

namespace qmz {

class CLcgRandom : public IRandom {
public:
    explicit CLcgRandom(uint32_t seed = 1) : m_state(seed) {}
    uint32_t Next() override {
        m_state = m_state * 214013u + 2531011u;
        return (m_state >> 16) & 0x7FFF;
    }

private:
    uint32_t m_state;
};

}  // namespace qmz
