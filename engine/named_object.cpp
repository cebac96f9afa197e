#include "engine/named_object.h"

#include <memory>

#include "engine/path_helpers.h"
#include "ops/no_case.h"

namespace qmz {
namespace {

// Errors that say the system cannot name a handle's object at all (no
// GetFinalPathNameByHandleW and no ntdll fall-back, or a redirector that does not
// answer): links are then told by their reparse attribute alone, as before Vista.
bool CannotBeTold(uint32_t error) {
    return error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION;
}

// "C:\dir\file" -> "\dir\file"; "\\server\share\file" -> "\file".
std::wstring WithinVolume(const std::wstring& plain) {
    size_t rootEnd = 2;
    if (plain.compare(0, 2, L"\\\\") == 0) {
        const size_t server = plain.find(L'\\', 2);
        rootEnd = server == std::wstring::npos ? plain.size() : plain.find(L'\\', server + 1);
    }
    if (rootEnd == std::wstring::npos || rootEnd >= plain.size()) {
        return L"\\";
    }
    return plain.substr(rootEnd);
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':') {
        path.pop_back();
    }
    return path;
}

bool SamePath(const std::wstring& final, const std::wstring& plain) {
    const std::wstring reached = WithoutTrailingBackslash(WithoutVerbatimPrefix(final));
    const bool volumeKnown = !reached.empty() && reached[0] != L'\\';
    const bool uncKnown = reached.compare(0, 2, L"\\\\") == 0;
    const std::wstring named = WithoutTrailingBackslash(plain);
    if (volumeKnown || uncKnown) {
        return EqualsNoCase(reached, named);
    }
    return EqualsNoCase(reached, WithoutTrailingBackslash(WithinVolume(named)));
}

}  // namespace

HandleReach ReachOf(IFileSystem* fileSystem, IFileHandle* handle, const std::wstring& path) {
    std::wstring final;
    const uint32_t error = handle->GetFinalPath(&final);
    if (CannotBeTold(error)) {
        return HandleReach::kNamedObject;
    }
    if (error != ERROR_SUCCESS) {
        return HandleReach::kUnknown;
    }
    const std::wstring plain = CanonicalPath(path);
    if (SamePath(final, plain)) {
        return HandleReach::kNamedObject;
    }
    // The folder may be reached through a junction, or the name be a short one: compare
    // with where the folder leads and the entry's own name.
    const size_t slash = LastSeparator(WithoutTrailingBackslash(plain));
    if (slash == std::wstring::npos) {
        return HandleReach::kUnknown;
    }
    std::unique_ptr<IFileHandle> folder;
    std::wstring folderFinal;
    std::unique_ptr<IFindHandle> find;
    FindData entry;
    if (fileSystem->Open(plain.substr(0, slash + 1), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, &folder) != ERROR_SUCCESS ||
        folder->GetFinalPath(&folderFinal) != ERROR_SUCCESS ||
        fileSystem->FindFirst(WithoutTrailingBackslash(plain), &find, &entry) != ERROR_SUCCESS) {
        return HandleReach::kUnknown;
    }
    const std::wstring expected =
        JoinPath(WithoutTrailingBackslash(WithoutVerbatimPrefix(folderFinal)), entry.name);
    return SamePath(final, expected) ? HandleReach::kNamedObject : HandleReach::kElsewhere;
}

bool IsGone(IFileSystem* fileSystem, const std::wstring& path) {
    FileAttributeData data;
    const uint32_t error = fileSystem->GetAttributesEx(path, &data);
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace qmz
