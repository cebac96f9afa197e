#include "platform/sim/sim_journal.h"

#include <algorithm>

namespace qmz {

void SimJournalEntry::Describe(const uint8_t* data, uint64_t count) {
    firstByte = count > 0 ? data[0] : 0;
    oneByte = count > 0 && std::all_of(data, data + count, [&](uint8_t b) { return b == data[0]; });
    blockRepeat = count > 512;
    for (uint64_t i = 512; i < count && blockRepeat; ++i) {
        blockRepeat = data[i] == data[i - 512];
    }
    std::copy(data, data + std::min<uint64_t>(count, head.size()), head.begin());
    hash = 14695981039346656037ull;
    for (uint64_t i = 0; i < count; ++i) {
        hash = (hash ^ data[i]) * 1099511628211ull;
    }
}

std::vector<SimJournalEntry> CSimJournal::Filter(
    const std::function<bool(const SimJournalEntry&)>& keep) const {
    std::vector<SimJournalEntry> kept;
    std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(kept), keep);
    return kept;
}

}  // namespace qmz
