#include "ops/progress_text.h"

namespace qmz {
namespace {

constexpr uint32_t kMillisecondsPerHour = 3600000;
constexpr uint32_t kMillisecondsPerMinute = 60000;
constexpr uint32_t kMillisecondsPerSecond = 1000;
constexpr uint64_t kBytesPerSecond = 10000000;
constexpr uint64_t kEntriesPerSecond = 10;
constexpr uint64_t kSecondsPerMinute = 60;
constexpr uint64_t kSecondsPerHour = 3600;

std::wstring TwoDigits(uint32_t value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

uint64_t CeilDivide(uint64_t value, uint64_t divisor) {
    return value / divisor + (value % divisor != 0 ? 1 : 0);
}

}  // namespace

std::wstring FormatElapsed(uint32_t milliseconds) {
    const uint32_t hours = milliseconds / kMillisecondsPerHour;
    const uint32_t minutes = milliseconds % kMillisecondsPerHour / kMillisecondsPerMinute;
    const uint32_t seconds = milliseconds % kMillisecondsPerMinute / kMillisecondsPerSecond;
    return std::to_wstring(hours) + L":" + TwoDigits(minutes) + L":" + TwoDigits(seconds);
}

std::wstring EstimateText(uint64_t bytesToWrite, uint64_t fileCount, uint64_t folderCount,
                          const TimeUnits& units) {
    const uint64_t seconds =
        bytesToWrite / kBytesPerSecond + (fileCount + folderCount) / kEntriesPerSecond;
    if (seconds < kSecondsPerMinute) {
        return std::to_wstring(seconds) + units.seconds;
    }
    if (seconds >= kSecondsPerHour) {
        return std::to_wstring(CeilDivide(seconds, kSecondsPerHour)) + units.hours;
    }
    return std::to_wstring(CeilDivide(seconds, kSecondsPerMinute)) + units.minutes;
}

}  // namespace qmz
