// Which controls each tab page of the main window shows.
#pragma once

#include <vector>

namespace qmz {

enum MainPage : int { kPageWelcome = 0, kPageBasic = 1, kPageFull = 2, kPageResults = 3 };
constexpr int kPageCount = 4;

// Every control that page switching shows or hides (the hidden keyboard targets are not
// among them: they are never shown).
const std::vector<int>& PagedControls();

// Whether `controlId` is shown on tab `page`; an unknown page shows only the pause and
// close buttons.
bool ControlOnPage(int controlId, int page);

}  // namespace qmz
