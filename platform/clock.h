// Time as the core sees it: a millisecond tick count and a sleep.
#pragma once

#include <cstdint>

namespace qmz {

class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t TickCount() = 0;  // milliseconds, wraps like GetTickCount
    virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace qmz
