#include "ops/operation_names.h"

#include <array>

namespace qmz {
namespace {

constexpr size_t kKindCount = static_cast<size_t>(OperationKind::Count);

constexpr std::array<uint32_t, kKindCount> kNameIds = {
    107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117,  // erase kinds
    154, 155, 156, 157, 158, 159, 160,                      // control kinds
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
