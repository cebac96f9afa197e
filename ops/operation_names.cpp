#include "ops/operation_names.h"

#include <array>

#include "resources/string_ids.h"

namespace qmz {
namespace {

constexpr size_t kKindCount = static_cast<size_t>(OperationKind::kCount);

// In the order of OperationKind.
constexpr std::array<uint32_t, kKindCount> kNameIds = {
    IDS_KIND_ERASE_FILE,
    IDS_KIND_ERASE_FREE_SPACE,
    IDS_KIND_ERASE_ENTIRE_PARTITION,
    IDS_KIND_ERASE_RECYCLE_BIN,
    IDS_KIND_ERASE_FOLDER_AND_CONTENTS,
    IDS_KIND_ERASE_FOLDER_ONLY,
    IDS_KIND_ERASE_CONTENTS_OF_FOLDER,
    IDS_KIND_ERASE_WINDOWS_TEMP,
    IDS_KIND_ERASE_INTERNET_TEMP,
    IDS_KIND_ERASE_INTERNET_COOKIES,
    IDS_KIND_ERASE_INTERNET_HISTORY,
    IDS_KIND_PAUSE_NOW,
    IDS_KIND_RESUME_PAUSED_OPERATION,
    IDS_KIND_FINISH_CYCLE,
    IDS_KIND_FINISH_FILE,
    IDS_KIND_FINISH_OPERATION,
    IDS_KIND_DISCARD_PAUSED_OPERATION,
    IDS_KIND_CLEANUP_AND_EXIT,
};

std::array<std::wstring, kKindCount>& Names() {
    static std::array<std::wstring, kKindCount> names;
    return names;
}

}  // namespace

uint32_t OperationNameId(OperationKind kind) {
    return kNameIds[static_cast<size_t>(kind)];
}

const std::wstring& OperationName(OperationKind kind) {
    return Names()[static_cast<size_t>(kind)];
}

void LoadOperationNames(const std::function<std::wstring(uint32_t)>& loadString) {
    for (size_t i = 0; i < kKindCount; ++i) {
        Names()[i] = loadString(kNameIds[i]);
    }
}

}  // namespace qmz
