#include "ui/model/page_model.h"

#include <algorithm>

#include "ui/resource_ids.h"

namespace qmz {
namespace {

enum PageMask : unsigned {
    kW = 1u << kPageWelcome,
    kB = 1u << kPageBasic,
    kF = 1u << kPageFull,
    kR = 1u << kPageResults,
    kAll = kW | kB | kF | kR,
};

struct PageEntry {
    int id;
    unsigned pages;
};

constexpr PageEntry kPages[] = {
    {IDC_BANNER_LEFT, kAll},
    {IDC_BANNER_MIDDLE, kAll},
    {IDC_BANNER_RIGHT, kAll},
    {IDC_TABS, kAll},
    {IDC_PAGE_BACKGROUND, kAll},
    {IDC_GOTO_BASIC, kW},
    {IDC_GOTO_FULL, kW},
    {IDC_ERASE_FRAME, kB | kF},
    {IDC_ERASE_LIST, kB | kF},
    {IDC_ERASE_SELECT_ALL, kB | kF},
    {IDC_ERASE_TOGGLE, kB | kF},
    {IDC_ERASE_REMOVE, kB | kF},
    {IDC_ERASE_ADD, kB | kF},
    {IDC_ERASE_SETTINGS, kB | kF},
    {IDC_EXTENDED_FRAME, kF},
    {IDC_INTERNET_HISTORY, kF},
    {IDC_INTERNET_TEMP, kF},
    {IDC_INTERNET_COOKIES, kF},
    {IDC_FREE_SPACE, kF},
    {IDC_WINDOWS_TEMP, kF},
    {IDC_RECYCLE_BIN, kF},
    {IDC_ENTIRE_PARTITION, kF},
    {IDC_RESULT_FRAME, kR},
    {IDC_RESULT_LIST, kR},
    {IDC_RESULT_SELECT_ALL, kR},
    {IDC_RESULT_TOGGLE, kR},
    {IDC_RESULT_REMOVE, kR},
    {IDC_SHOW_FAILED, kR},
    {IDC_SHOW_SUCCEEDED, kR},
    {IDC_RESULT_SETTINGS, kR},
    {IDC_COUNTER_FRAME, kR},
    {IDC_ERASED_LABEL, kR},
    {IDC_ERASED_COUNT, kR},
    {IDC_ERASE_TIME_LABEL, kR},
    {IDC_ERASE_TIME, kR},
    {IDC_SYSTEM_FAILED_LABEL, kR},
    {IDC_SYSTEM_FAILED_COUNT, kR},
    {IDC_OTHER_FAILED_LABEL, kR},
    {IDC_OTHER_FAILED_COUNT, kR},
    {IDC_PAUSE, kAll},
    {IDC_START_ERASE, kB | kF | kR},
    {IDC_CLOSE, kAll},
};

}  // namespace

const std::vector<int>& PagedControls() {
    static const std::vector<int> kIds = [] {
        std::vector<int> ids;
        for (const PageEntry& entry : kPages) {
            ids.push_back(entry.id);
        }
        return ids;
    }();
    return kIds;
}

bool ControlOnPage(int controlId, int page) {
    if (page < 0 || page >= kPageCount) {
        return controlId == IDC_PAUSE || controlId == IDC_CLOSE;
    }
    auto it = std::find_if(std::begin(kPages), std::end(kPages),
                           [controlId](const PageEntry& e) { return e.id == controlId; });
    return it != std::end(kPages) && (it->pages & (1u << page)) != 0;
}

}  // namespace qmz
