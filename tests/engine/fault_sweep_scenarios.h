// The small volumes a fault sweep erases from: each names one requested item and keeps
// siblings beside it that the erase must leave exactly as they were.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"

namespace qmz {

enum class SweepItem { kFile, kFolderAndContents };

struct SweepScenario {
    std::string name;
    bool vistaOrLater = true;  // false: special streams are overwritten on the raw volume
    SweepItem item = SweepItem::kFile;
    std::wstring path;                // the requested item
    std::vector<std::wstring> roots;  // the volumes it lives on, "C:\"
    std::function<void(CSimFileSystem&)> build;
    // Without a fault the request is erased completely and the operation Completed;
    // false claims nothing.
    bool completesUnfaulted = true;
};

std::vector<SweepScenario> SweepScenarios();

}  // namespace qmz
