// Simulated clock, random source, message boxes and code page: deterministic and observable.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/lcg_random.h"
#include "platform/message_box.h"
#include "platform/random.h"

namespace qmz {

// Time advances only by Sleep and Advance; each Sleep also yields for real so that the
// other thread gets on while one "waits". A held clock lets only Advance move it, so that
// a test decides how much time passes whatever the worker sleeps in a pause.
class CFakeClock : public IClock {
public:
    uint32_t TickCount() override { return m_now.load(); }
    void Sleep(uint32_t milliseconds) override {
        if (!m_held.load()) {
            m_now += milliseconds;
        }
        ++m_sleeps;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    uint32_t Sleeps() const { return m_sleeps.load(); }
    void Advance(uint32_t milliseconds) { m_now += milliseconds; }
    void Hold(bool held) { m_held = held; }
    std::wstring LocalDateTimeText() override {
        std::lock_guard<std::mutex> lock(m_textMutex);
        return m_dateTimeText;
    }
    void SetLocalDateTimeText(const std::wstring& text) {
        std::lock_guard<std::mutex> lock(m_textMutex);
        m_dateTimeText = text;
    }

private:
    std::mutex m_textMutex;
    std::wstring m_dateTimeText = L"2009/06/15 9:05:30";
    std::atomic<uint32_t> m_now{0};
    std::atomic<uint32_t> m_sleeps{0};
    std::atomic<bool> m_held{false};
};

// Replays a scripted list of values (then repeats the last one).
class CScriptedRandom : public IRandom {
public:
    explicit CScriptedRandom(std::vector<uint32_t> values) : m_values(std::move(values)) {}
    uint32_t Next() override {
        uint32_t value = m_values[m_next < m_values.size() ? m_next : m_values.size() - 1];
        ++m_next;
        return value;
    }

private:
    std::vector<uint32_t> m_values;
    size_t m_next = 0;
};

struct ShownMessageBox {
    std::wstring text;
    std::wstring caption;
    uint32_t style = 0;
};

class CRecordingMessageBox : public IMessageBox {
public:
    int Show(WindowHandle owner, const std::wstring& text, const std::wstring& caption,
             uint32_t style) override;
    std::vector<ShownMessageBox> Shown();
    void AnswerWith(int answer) { m_answer = answer; }

private:
    std::mutex m_mutex;
    std::vector<ShownMessageBox> m_shown;
    int m_answer = IDOK;
};

// A code page of the characters below 0x80 (one byte each, as themselves) and those a test
// adds, each with the bytes it stands for: enough for a single- or double-byte code page.
class CSimCodePage : public ICodePage {
public:
    uint32_t ToAnsi(const std::wstring& text, std::string* bytes) override;
    // `codePoint` (a surrogate pair's code point above 0xFFFF) becomes `bytes`.
    void Add(uint32_t codePoint, const std::string& bytes);

private:
    std::mutex m_mutex;
    std::map<uint32_t, std::string> m_extra;
};

}  // namespace qmz
