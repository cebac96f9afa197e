#include "platform/sim/sim_find_handle.h"

#include "platform/win_types.h"

namespace qmz {

CSimFindHandle::CSimFindHandle(std::shared_ptr<CSimState> state, std::shared_ptr<CSimNode> folder,
                               const std::wstring& pattern, bool withDots)
    : m_state(std::move(state)),
      m_folder(std::move(folder)),
      m_pattern(pattern == L"*.*" ? L"*" : pattern),
      m_dotsLeft(withDots ? 2 : 0) {
    m_state->m_handles.insert(this);  // constructed under the lock
}

CSimFindHandle::CSimFindHandle(std::shared_ptr<CSimState> state) : m_state(std::move(state)) {
    m_state->m_handles.insert(this);
}

CSimFindHandle::~CSimFindHandle() {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    if (!m_ended) {
        EndLocked();
    }
}

void CSimFindHandle::EndLocked() {
    m_ended = true;
    m_state->m_handles.erase(this);
}

FindData CSimFindHandle::Describe(const CSimNode& node, const std::wstring& name,
                                  bool viaHostLink) {
    FindData data;
    data.attributes = viaHostLink ? node.AttributesThroughHostLink() : node.Attributes();
    data.name = name;
    const auto main = node.FindStream(L"");
    data.size = main && node.m_reparse == SimReparse::kNone ? main->Size() : 0;
    return data;
}

uint32_t CSimFindHandle::NextLocked(FindData* data) {
    if (!m_folder) {
        return ERROR_NO_MORE_FILES;
    }
    while (m_dotsLeft > 0) {
        const bool self = m_dotsLeft-- == 2;
        const std::wstring name = self ? L"." : L"..";
        if (!MatchesWildcard(m_pattern, name)) {
            continue;
        }
        const CSimNode* node =
            self || m_folder->m_parent == nullptr ? m_folder.get() : m_folder->m_parent;
        *data = Describe(*node, name);
        return ERROR_SUCCESS;
    }
    // Entries are kept in NTFS collation order; resuming by name tolerates changes.
    auto it =
        m_started ? m_folder->m_children.upper_bound(m_resumeAfter) : m_folder->m_children.begin();
    m_started = true;
    for (; it != m_folder->m_children.end(); ++it) {
        m_resumeAfter = it->first;
        if (!MatchesWildcard(m_pattern, it->second->m_name)) {
            continue;
        }
        std::shared_ptr<CSimNode> target;
        if (it->second->m_reparse == SimReparse::kHostLink &&
            m_state->Follow(it->second, &target) == ERROR_SUCCESS) {
            *data = Describe(*target, it->second->m_name, true);
        } else {
            *data = Describe(*it->second, it->second->m_name);
        }
        return ERROR_SUCCESS;
    }
    return ERROR_NO_MORE_FILES;
}

uint32_t CSimFindHandle::Next(FindData* data) {
    std::lock_guard<std::mutex> lock(m_state->m_mutex);
    const std::wstring where = m_folder ? m_state->PathOf(*m_folder) : L"";
    const uint32_t fault = m_state->m_faults.Check(SimCall::kFindNext, where);
    if (fault != ERROR_SUCCESS) {
        return fault;
    }
    return m_ended ? ERROR_INVALID_HANDLE : NextLocked(data);
}

}  // namespace qmz
