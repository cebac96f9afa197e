// The texts the window shows for time: the elapsed clock and an item's estimate.
#pragma once

#include <cstdint>
#include <string>

namespace qmz {

// The unit words of the estimate column, loaded from the string table by the window.
struct TimeUnits {
    std::wstring seconds;
    std::wstring minutes;
    std::wstring hours;
};

// "h:mm:ss"; the hours are not padded and go past 24.
std::wstring FormatElapsed(uint32_t milliseconds);

// A rough time for an item of this size: about 10 MB a second, and ten files or folders a
// second. Under a minute in seconds, under an hour in minutes, then in hours, each rounded up.
std::wstring EstimateText(uint64_t bytesToWrite, uint64_t fileCount, uint64_t folderCount,
                          const TimeUnits& units);

}  // namespace qmz
