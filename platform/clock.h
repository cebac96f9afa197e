// Time as the core sees it: a millisecond tick count, a sleep and the local date and time
// as the user reads them.
#pragma once

#include <cstdint>
#include <string>

namespace qmz {

class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t TickCount() = 0;  // milliseconds, wraps like GetTickCount
    virtual void Sleep(uint32_t milliseconds) = 0;
    // The current local date and time in the user's default locale: the short date, a
    // blank and the time (GetDateFormatW(DATE_SHORTDATE), GetTimeFormatW).
    virtual std::wstring LocalDateTimeText() = 0;
};

}  // namespace qmz
