// One contract for the locale pieces of the seam: the ANSI code page the log is written in
// and the local date-time text. The double plays Japanese Windows (code page 932); under
// Wine the real calls run, with the Japanese cases when Wine's code page is 932
// (LC_ALL=ja_JP.UTF-8).
#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_services.h"
#endif

#include <gtest/gtest.h>

#include <ctime>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/sim/sim_services.h"

namespace qmz {
namespace {

class ILocaleTarget {
public:
    virtual ~ILocaleTarget() = default;
    virtual ICodePage& CodePage() = 0;
    virtual IClock& Clock() = 0;
    virtual uint32_t CodePageNumber() = 0;
};

std::wstring TodayShortDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    wchar_t text[32];
    std::swprintf(text, 32, L"%d/%02d/%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

class CSimLocaleTarget : public ILocaleTarget {
public:
    CSimLocaleTarget() {
        m_codePage.Add(0x65E5, "\x93\xFA");  // 日
        m_codePage.Add(0x672C, "\x96\x7B");  // 本
        m_clock.SetLocalDateTimeText(TodayShortDate() + L" 9:05:30");
    }
    ICodePage& CodePage() override { return m_codePage; }
    IClock& Clock() override { return m_clock; }
    uint32_t CodePageNumber() override { return 932; }

private:
    CSimCodePage m_codePage;
    CFakeClock m_clock;
};

#ifdef _WIN32
class CWin32LocaleTarget : public ILocaleTarget {
public:
    ICodePage& CodePage() override { return m_codePage; }
    IClock& Clock() override { return m_clock; }
    uint32_t CodePageNumber() override { return GetACP(); }

private:
    CWin32CodePage m_codePage;
    CWin32Clock m_clock;
};
#endif

struct LocaleTargetFactory {
    const char* name;
    std::function<std::unique_ptr<ILocaleTarget>()> make;
};

class LocaleContractTest : public ::testing::TestWithParam<LocaleTargetFactory> {
protected:
    void SetUp() override { m_target = GetParam().make(); }
    std::unique_ptr<ILocaleTarget> m_target;
};

TEST_P(LocaleContractTest, AsciiIsItsOwnBytesInEveryCodePage) {
    std::string bytes = "stale";
    EXPECT_EQ(m_target->CodePage().ToAnsi(L"", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(m_target->CodePage().ToAnsi(L"C:\\logs\\erase \"1\".csv\r\n", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "C:\\logs\\erase \"1\".csv\r\n");
}

TEST_P(LocaleContractTest, JapaneseCodePageHasKanjiButNoLookAlikes) {
    if (m_target->CodePageNumber() != 932) {
        GTEST_SKIP() << "code page " << m_target->CodePageNumber();
    }
    ICodePage& codePage = m_target->CodePage();
    std::string bytes;
    EXPECT_EQ(codePage.ToAnsi(L"C:\\\u65E5\u672C", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "C:\\\x93\xFA\x96\x7B");
    // A best fit would write 'e' for é and a backslash for the yen sign: a different path.
    for (const std::wstring missing : {L"caf\u00E9", L"\u00A5", L"\U0001F600", L"\u65E5\u00E9"}) {
        bytes = "stale";
        EXPECT_EQ(codePage.ToAnsi(missing, &bytes), ERROR_NO_UNICODE_TRANSLATION);
        EXPECT_EQ(bytes, "");
    }
}

TEST_P(LocaleContractTest, LocalDateTimeIsTheShortDateABlankAndTheTime) {
    const std::wstring before = TodayShortDate();
    const std::wstring text = m_target->Clock().LocalDateTimeText();
    const std::wstring after = TodayShortDate();
    const size_t blank = text.find(L' ');
    ASSERT_NE(blank, std::wstring::npos) << text.size();
    // Every short date shows the year, at least its last two digits.
    const std::wstring year = after.substr(2, 2);
    EXPECT_NE(text.substr(0, blank).find(year), std::wstring::npos);
    EXPECT_NE(text.find(L':', blank), std::wstring::npos);
    if (m_target->CodePageNumber() == 932) {
        // Japanese short dates begin yyyy/MM/ (Windows pads the day, Wine 8 does not).
        const std::wstring date = text.substr(0, blank);
        EXPECT_TRUE(date.compare(0, 8, before, 0, 8) == 0 || date.compare(0, 8, after, 0, 8) == 0)
            << ::testing::PrintToString(text);
    }
}

std::vector<LocaleTargetFactory> Targets() {
    std::vector<LocaleTargetFactory> targets = {
        {"Sim", [] { return std::unique_ptr<ILocaleTarget>(new CSimLocaleTarget()); }}};
#ifdef _WIN32
    targets.push_back(
        {"Win32", [] { return std::unique_ptr<ILocaleTarget>(new CWin32LocaleTarget()); }});
#endif
    return targets;
}

INSTANTIATE_TEST_SUITE_P(AllTargets, LocaleContractTest, ::testing::ValuesIn(Targets()),
                         [](const ::testing::TestParamInfo<LocaleTargetFactory>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace qmz
