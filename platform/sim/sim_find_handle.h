// A FindFirstFileW enumeration of a simulated folder.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/sim/sim_state.h"

namespace qmz {

class CSimFindHandle : public IFindHandle, private ISimHandle {
public:
    // Lists the entries of `folder` that match `pattern`; `withDots` adds "." and "..".
    CSimFindHandle(std::shared_ptr<CSimState> state, std::shared_ptr<CSimNode> folder,
                   const std::wstring& pattern, bool withDots);
    // A search for one exact name: the single entry is returned by FindFirst.
    explicit CSimFindHandle(std::shared_ptr<CSimState> state);
    ~CSimFindHandle() override;
    CSimFindHandle(const CSimFindHandle&) = delete;
    CSimFindHandle& operator=(const CSimFindHandle&) = delete;

    // The next entry; the caller holds the lock (FindFirst uses it for the first).
    uint32_t NextLocked(FindData* data);
    uint32_t Next(FindData* data) override;

    static FindData Describe(const CSimNode& node, const std::wstring& name,
                             bool viaHostLink = false);

private:
    void EndLocked() override;

    std::shared_ptr<CSimState> m_state;
    std::shared_ptr<CSimNode> m_folder;
    std::wstring m_pattern;
    int m_dotsLeft = 0;
    // Where the walk stands, as NTFS resumes: after this folded name.
    std::wstring m_resumeAfter;
    bool m_started = false;
    bool m_ended = false;  // closed by the end of the simulated process
};

}  // namespace qmz
