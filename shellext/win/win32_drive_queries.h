// The drive questions of the context menu answered by Win32 and the network provider (mpr).
#pragma once

#include "shellext/model/drive_queries.h"

namespace qmz {

class CWin32DriveQueries : public IDriveQueries {
public:
    uint32_t DriveType(const std::wstring& path) override;
    bool VolumePathName(const std::wstring& path, size_t bufferChars,
                        std::wstring* volumeRoot) override;
    bool NetworkConnection(const std::wstring& localName, std::wstring* remoteName) override;
    bool NetworkResourceName(const std::wstring& localName, const std::wstring& remoteName,
                             std::wstring* resourceName) override;
};

}  // namespace qmz
