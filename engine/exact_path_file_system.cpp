#include "engine/exact_path_file_system.h"

#include "engine/path_helpers.h"

namespace qmz {

uint32_t CExactPathFileSystem::GetAttributes(const std::wstring& path, uint32_t* attributes) {
    return m_inner->GetAttributes(VerbatimPath(path), attributes);
}

uint32_t CExactPathFileSystem::GetAttributesEx(const std::wstring& path, FileAttributeData* data) {
    return m_inner->GetAttributesEx(VerbatimPath(path), data);
}

uint32_t CExactPathFileSystem::SetAttributes(const std::wstring& path, uint32_t attributes) {
    return m_inner->SetAttributes(VerbatimPath(path), attributes);
}

uint32_t CExactPathFileSystem::FindFirst(const std::wstring& pattern,
                                         std::unique_ptr<IFindHandle>* find, FindData* first) {
    return m_inner->FindFirst(VerbatimPath(pattern), find, first);
}

uint32_t CExactPathFileSystem::Open(const std::wstring& path, uint32_t access, uint32_t share,
                                    uint32_t disposition, uint32_t flags,
                                    std::unique_ptr<IFileHandle>* handle) {
    return m_inner->Open(VerbatimPath(path), access, share, disposition, flags, handle);
}

uint32_t CExactPathFileSystem::CreateFolder(const std::wstring& path) {
    return m_inner->CreateFolder(VerbatimPath(path));
}

uint32_t CExactPathFileSystem::Move(const std::wstring& from, const std::wstring& to) {
    return m_inner->Move(VerbatimPath(from), VerbatimPath(to));
}

uint32_t CExactPathFileSystem::Delete(const std::wstring& path) {
    return m_inner->Delete(VerbatimPath(path));
}

uint32_t CExactPathFileSystem::RemoveFolder(const std::wstring& path) {
    return m_inner->RemoveFolder(VerbatimPath(path));
}

uint32_t CExactPathFileSystem::MakeWritable(const std::wstring& path) {
    return m_inner->MakeWritable(VerbatimPath(path));
}

uint32_t CExactPathFileSystem::GetVolumePath(const std::wstring& path, std::wstring* volumePath) {
    return m_inner->GetVolumePath(path, volumePath);
}

uint32_t CExactPathFileSystem::GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                                          std::wstring* volumeName) {
    return m_inner->GetVolumeNameForMountPoint(mountPoint, volumeName);
}

uint32_t CExactPathFileSystem::QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) {
    return m_inner->QueryFreeSpace(root, space);
}

uint32_t CExactPathFileSystem::QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) {
    return m_inner->QueryFreeSpaceEx(path, space);
}

}  // namespace qmz
