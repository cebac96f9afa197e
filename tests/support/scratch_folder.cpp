#ifdef _WIN32
#include "tests/support/scratch_folder.h"

#include <windows.h>

namespace qmz {
namespace {

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(path.c_str());
}

}  // namespace

std::string ReadRealFile(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string data(1 << 20, '\0');
    DWORD read = 0;
    ::ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &read, nullptr);
    ::CloseHandle(file);
    data.resize(read);
    return data;
}

CScratchFolder::CScratchFolder(const std::wstring& prefix) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring base(temp, length);
    if (!base.empty() && base.back() == L'\\') {
        base.pop_back();
    }
    for (unsigned attempt = 0; attempt <= 100; ++attempt) {
        const std::wstring candidate =
            base + L"\\" + prefix + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(attempt);
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
    }
}

CScratchFolder::~CScratchFolder() {
    if (!m_path.empty()) {
        RemoveTree(m_path);
    }
}

}  // namespace qmz
#endif
