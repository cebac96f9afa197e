// The record of everything that read or changed the simulated volumes, in call order.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sim/sim_call.h"

namespace qmz {

struct SimJournalEntry {
    SimCall call = SimCall::kWrite;
    // The object as it is named at the time of the call ("C:\dir\file.txt"), or the
    // device ("\\.\C:") for raw volume I/O.
    std::wstring path;
    std::wstring stream;  // as created ("name"); empty for the main stream
    bool device = false;
    std::wstring target;     // Move: the new path
    uint64_t offset = 0;     // Read/Write: position; SetZeroData: begin; SetEndOfFile: new size
    uint64_t length = 0;     // bytes moved; SetZeroData: end - begin
    uint64_t requested = 0;  // Read/Write: bytes asked for, which `length` may fall short of
    // What the data looked like (Read and Write).
    uint8_t firstByte = 0;
    bool oneByte = false;      // every byte equals firstByte
    bool blockRepeat = false;  // longer than 512 bytes and a repetition of its first 512
    std::array<uint8_t, 16> head{};

    // Describes the data of a Read or Write.
    void Describe(const uint8_t* data, uint64_t count);
};

// Told of a journaled write or zeroing: its 1-based number and the stream or device written.
using SimWriteObserver = std::function<void(uint32_t number, const std::wstring& path)>;

class CSimJournal {
public:
    void Add(const SimJournalEntry& entry) { m_entries.push_back(entry); }
    void Clear() { m_entries.clear(); }
    const std::vector<SimJournalEntry>& Entries() const { return m_entries; }
    std::vector<SimJournalEntry> Filter(
        const std::function<bool(const SimJournalEntry&)>& keep) const;

private:
    std::vector<SimJournalEntry> m_entries;
};

}  // namespace qmz
