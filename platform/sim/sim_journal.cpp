#include "platform/sim/sim_journal.h"

#include <algorithm>
#include <cstring>

namespace qmz {

void SimJournalEntry::Describe(const uint8_t* data, uint64_t count) {
    // Comparing the data with itself shifted is how a fill of gibibytes stays quick to
    // describe: every byte equals the next, or every block the one after it.
    firstByte = count > 0 ? data[0] : 0;
    oneByte = count > 0 && std::memcmp(data, data + 1, count - 1) == 0;
    blockRepeat = count > 512 && std::memcmp(data, data + 512, count - 512) == 0;
    std::copy(data, data + std::min<uint64_t>(count, head.size()), head.begin());
}

std::vector<SimJournalEntry> CSimJournal::Filter(
    const std::function<bool(const SimJournalEntry&)>& keep) const {
    std::vector<SimJournalEntry> kept;
    std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(kept), keep);
    return kept;
}

}  // namespace qmz
