// What the automation object and the proxy may ask of the main window. Calls arrive on the
// user-interface thread through its message loop.
#pragma once

#include <string>

namespace qmz {

class IAutomationTarget {
public:
    virtual ~IAutomationTarget() = default;
    // Each argument is a request line of paths (ParsePathList); the rows wait for
    // confirmation unless Autorun starts the erase.
    virtual void DoFilesAndFolders(const std::wstring& pathList) = 0;
    virtual void DoFreeSpace(const std::wstring& rootList) = 0;
    virtual void DoEntirePartitions(const std::wstring& rootList) = 0;
    virtual void DoRecycleBin() = 0;
    // While a proxy client is attached the window refuses to close for good.
    virtual void SetProxyAttached(bool attached) = 0;
};

}  // namespace qmz
