// The elapsed clock's text and an item's estimate, at the edges of their units.
#include "ops/progress_text.h"

#include <gtest/gtest.h>

namespace qmz {
namespace {

TEST(ProgressTextTest, ElapsedIsHoursMinutesSecondsWithTheSubUnitsPadded) {
    const struct {
        uint32_t milliseconds;
        const wchar_t* text;
    } cases[] = {
        {0, L"0:00:00"},
        {999, L"0:00:00"},
        {6000, L"0:00:06"},
        {59999, L"0:00:59"},
        {60000, L"0:01:00"},
        {3599999, L"0:59:59"},
        {25u * 3600000 + 61000, L"25:01:01"},
        {4294967295u, L"1193:02:47"},  // where the tick count wraps
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatElapsed(c.milliseconds), c.text) << c.milliseconds;
    }
}

TEST(ProgressTextTest, EstimateRoundsUpToTheUnitOfItsSize) {
    const TimeUnits units = {L"秒", L"分", L"時間"};
    const struct {
        uint64_t bytes;
        uint64_t files;
        uint64_t folders;
        const wchar_t* text;
    } cases[] = {
        {0, 0, 0, L"0秒"},
        {9999999, 9, 0, L"0秒"},  // each share is rounded down on its own
        {10000000, 5, 5, L"2秒"},
        {590000000, 0, 0, L"59秒"},
        {600000000, 3, 0, L"1分"},
        {600000000, 0, 10, L"2分"},    // 61 s
        {35990000000, 0, 0, L"60分"},  // 3599 s
        {36000000000, 0, 0, L"1時間"},
        {36010000000, 0, 0, L"2時間"},
        {0, 36000, 0, L"1時間"},
        {UINT64_C(18446744073709551615), 0, 0, L"512409558時間"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EstimateText(c.bytes, c.files, c.folders, units), c.text) << c.bytes;
    }
}

}  // namespace
}  // namespace qmz
