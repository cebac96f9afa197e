#include "engine/browser_erase.h"

#include "engine/erase_operations.h"
#include "engine/folder_walk.h"
#include "engine/operation_platform.h"

namespace qmz {

const wchar_t kTypedUrlsKey[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";

namespace {

// Empties the operation's folder and keeps the folder itself. An unresolved folder is a
// failure: walking "" would start from wherever the current directory happens to be.
int32_t EmptyFolder(CEraseOperationBase* operation) {
    if (operation->m_path.empty()) {
        return StatusFailedOther;
    }
    if (EraseFolderTree(operation, operation->m_path, 0) != 0) {
        return StatusCompleted;
    }
    return operation->m_request == RequestAbort ? StatusAborted : StatusFailedOther;
}

// Spaces over every character but the last, which stays so that a terminated string stays
// terminated. Data shorter than one character has nothing that can be blanked.
bool BlankText(std::vector<uint8_t>* data) {
    if (data->size() < 2) {
        return false;
    }
    const size_t characters = data->size() / 2 - 1;
    for (size_t i = 0; i < characters; ++i) {
        (*data)[2 * i] = static_cast<uint8_t>(L' ');
        (*data)[2 * i + 1] = 0;
    }
    return true;
}

// Overwrites every typed address in place, then deletes them last first so that each
// index still names a value. The key itself stays: the browser expects it.
bool ClearTypedUrls(IRegistry* registry) {
    std::unique_ptr<IRegistryKey> key;
    if (registry == nullptr ||
        registry->OpenKey(RegistryRoot::kCurrentUser, kTypedUrlsKey, true, &key) != ERROR_SUCCESS) {
        return false;
    }
    uint32_t maxNameChars = 0;
    uint32_t maxDataBytes = 0;
    if (key->QueryInfo(&maxNameChars, &maxDataBytes) != ERROR_SUCCESS) {
        return false;
    }

    bool cleared = true;
    uint32_t count = 0;
    for (uint32_t index = 0;; ++index) {
        std::wstring name;
        RegistryValue value;
        const uint32_t rc = key->EnumValue(index, maxNameChars + 1, maxDataBytes, &name, &value);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS) {
            cleared = false;
            break;
        }
        ++count;  // deleted below whether or not it could be blanked
        if (BlankText(&value.data) &&
            key->SetValue(name, value.type, value.data) != ERROR_SUCCESS) {
            cleared = false;
            break;
        }
    }

    for (uint32_t index = count; index-- > 0;) {
        std::wstring name;
        RegistryValue value;
        const uint32_t rc = key->EnumValue(index, maxNameChars + 1, maxDataBytes, &name, &value);
        if (rc == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (rc != ERROR_SUCCESS || key->DeleteValue(name) != ERROR_SUCCESS) {
            cleared = false;
            break;
        }
    }
    return cleared;
}

// The browser erases run only when the request enabled them.
int32_t EmptyFolderIfEnabled(CEraseOperationBase* operation, int32_t enabled) {
    return enabled == 1 ? EmptyFolder(operation) : StatusFailedOther;
}

}  // namespace

template <class Derived, OperationKind kKind>
void CKnownFolderErase<Derived, kKind>::EstimateWork() {
    if (this->m_path.empty()) {
        this->m_bytesToWrite = 0;
        this->m_fileCount = 0;
        this->m_folderCount = 0;
        return;
    }
    EstimateTree(this);
}

template class CKnownFolderErase<CEraseInternetTemp, OperationKind::kEraseInternetTemp>;
template class CKnownFolderErase<CEraseInternetCookies, OperationKind::kEraseInternetCookies>;
template class CKnownFolderErase<CEraseInternetHistory, OperationKind::kEraseInternetHistory>;
template class CKnownFolderErase<CEraseWindowsTemp, OperationKind::kEraseWindowsTemp>;

void CEraseInternetTemp::Execute() {
    m_status = EmptyFolderIfEnabled(this, m_enabled);
}

void CEraseInternetCookies::Execute() {
    m_status = EmptyFolderIfEnabled(this, m_enabled);
}

void CEraseWindowsTemp::Execute() {
    m_status = EmptyFolder(this);
}

void CEraseInternetHistory::Execute() {
    if (m_enabled != 1) {
        m_status = StatusFailedOther;
        return;
    }
    // The history store and the typed addresses are cleared even when the files were
    // not: each is a separate trace of the same browsing.
    int32_t status = EmptyFolder(this);
    IShell* shell = ShellOf(this);
    if (shell == nullptr || shell->ClearUrlHistory() != 0) {
        status = StatusFailedOther;
    }
    if (!ClearTypedUrls(RegistryOf(this))) {
        status = StatusFailedOther;
    }
    m_status = status;
}

}  // namespace qmz
