// The stream list that GetFileInformationByHandleEx(FileStreamInfo) and, before Vista,
// ntdll's FileStreamInformation write: entries of one layout, chained by their offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_system.h"

namespace qmz {

// The entries in the first `filledBytes` of `entries` (8-byte aligned storage). Nothing
// past those bytes is read: an entry that would reach beyond them, or overlap the one
// before, makes the whole list ERROR_INVALID_DATA, with nothing listed. Filled bytes that
// hold no entry list nothing.
uint32_t ParseStreamEntries(const void* entries, size_t filledBytes,
                            std::vector<StreamInfo>* streams);

}  // namespace qmz
