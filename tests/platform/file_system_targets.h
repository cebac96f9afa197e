// The file systems that the seam's contract suite runs against, each with a scratch folder.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qmz {

// A file system and an empty folder on it that the test may fill; cleaned up on destruction.
class IFileSystemTarget {
public:
    virtual ~IFileSystemTarget() = default;
    virtual IFileSystem& Fs() = 0;
    virtual std::wstring Root() const = 0;
    // The real calls running under Wine, whose few known differences some cases allow for.
    virtual bool OnWine() const { return false; }
};

struct FileSystemTargetFactory {
    const char* name;
    std::function<std::unique_ptr<IFileSystemTarget>()> make;
};

std::vector<FileSystemTargetFactory> FileSystemTargets();

// The real file system on a fresh folder under the temporary folder (Windows builds only).
std::unique_ptr<IFileSystemTarget> MakeWin32Target();

}  // namespace qmz
