// The file system as the erase engine addresses it: every path reaches exactly the object
// it spells. Win32 drops trailing dots and blanks from a plain path's last name, so
// "victim." would otherwise open, rename and delete "victim".
#pragma once

#include "platform/file_system.h"

namespace qmz {

class CExactPathFileSystem final : public IFileSystem {
public:
    explicit CExactPathFileSystem(IFileSystem* inner) : m_inner(inner) {}

    uint32_t GetAttributes(const std::wstring& path, uint32_t* attributes) override;
    uint32_t GetAttributesEx(const std::wstring& path, FileAttributeData* data) override;
    uint32_t SetAttributes(const std::wstring& path, uint32_t attributes) override;
    uint32_t FindFirst(const std::wstring& pattern, std::unique_ptr<IFindHandle>* find,
                       FindData* first) override;
    uint32_t Open(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                  uint32_t flags, std::unique_ptr<IFileHandle>* handle) override;
    uint32_t CreateFolder(const std::wstring& path) override;
    uint32_t Move(const std::wstring& from, const std::wstring& to) override;
    uint32_t Delete(const std::wstring& path) override;
    uint32_t RemoveFolder(const std::wstring& path) override;
    uint32_t MakeWritable(const std::wstring& path) override;
    // Volume queries take the plain form: they name no object to change, and
    // GetVolumeNameForVolumeMountPointW does not accept "\\?\C:\".
    uint32_t GetVolumePath(const std::wstring& path, std::wstring* volumePath) override;
    uint32_t GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                        std::wstring* volumeName) override;
    uint32_t QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) override;
    uint32_t QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) override;

private:
    IFileSystem* m_inner;
};

}  // namespace qmz
