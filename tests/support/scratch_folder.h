// A fresh folder under the temporary folder for tests on real files (Windows only);
// removed with everything in it, read-only entries included, when the owner goes.
#pragma once
#ifdef _WIN32

#include <string>

namespace qmz {

class CScratchFolder {
public:
    // `prefix` names the suite, so a folder left by a crashed run says whose it was.
    explicit CScratchFolder(const std::wstring& prefix);
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // Empty when no folder could be created.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// What a real file holds (its first MiB), or "<missing>" when it cannot be opened.
std::string ReadRealFile(const std::wstring& path);

}  // namespace qmz

#endif
