#include "ui/model/status_texts.h"

#include "resources/string_ids.h"

namespace qmz {

uint32_t StatusTextId(int32_t status) {
    // 1 is not a status the model uses; every other one has its own text.
    constexpr uint32_t kIds[] = {
        IDS_STATUS_AWAITING_CONFIRMATION,
        0,
        IDS_STATUS_QUEUED,
        IDS_STATUS_EXECUTING,
        IDS_STATUS_PAUSED,
        IDS_STATUS_COMPLETED,
        IDS_STATUS_FAILED_SYSTEM_FILE,
        IDS_STATUS_FAILED_OTHER,
        IDS_STATUS_ABORTED,
    };
    if (status < 0 || status >= static_cast<int32_t>(std::size(kIds))) {
        return 0;
    }
    return kIds[status];
}

void StatusTexts::Load(const std::function<std::wstring(uint32_t)>& loadString) {
    for (int32_t status = 0; status < kCount; ++status) {
        const uint32_t id = StatusTextId(status);
        m_texts[status] = id == 0 ? std::wstring() : loadString(id);
    }
}

const std::wstring& StatusTexts::Text(int32_t status) const {
    if (status < 0 || status >= kCount) {
        return m_none;
    }
    return m_texts[status];
}

}  // namespace qmz
