// Small helpers shared by the file-system tests.
#pragma once

#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qmz {

// Creates (or replaces) a file holding `data`.
inline uint32_t WriteWholeFile(IFileSystem& fs, const std::wstring& path, const std::string& data,
                               uint32_t flags = 0) {
    std::unique_ptr<IFileHandle> file;
    uint32_t error = fs.Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS, flags, &file);
    uint32_t written = 0;
    if (error == ERROR_SUCCESS && !data.empty()) {
        error = file->Write(data.data(), static_cast<uint32_t>(data.size()), &written);
    }
    return error;
}

// The bytes of a file or stream; "<error N>" when it cannot be opened or read.
inline std::string ReadWholeFile(IFileSystem& fs, const std::wstring& path, uint32_t flags = 0) {
    std::unique_ptr<IFileHandle> file;
    uint32_t error = fs.Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, flags, &file);
    std::string data;
    char buffer[4096];
    uint32_t got = 0;
    while (error == ERROR_SUCCESS &&
           (error = file->Read(buffer, sizeof(buffer), &got)) == ERROR_SUCCESS && got > 0) {
        data.append(buffer, got);
    }
    return error == ERROR_SUCCESS ? data : "<error " + std::to_string(error) + ">";
}

// Every name FindFirst/FindNext report for `pattern`, in their order; `endError` gets the
// code that ended the enumeration (or FindFirst's failure).
inline std::vector<std::wstring> ListNames(IFileSystem& fs, const std::wstring& pattern,
                                           uint32_t* endError = nullptr) {
    std::vector<std::wstring> names;
    std::unique_ptr<IFindHandle> find;
    FindData data;
    uint32_t error = fs.FindFirst(pattern, &find, &data);
    while (error == ERROR_SUCCESS) {
        names.push_back(data.name);
        error = find->Next(&data);
    }
    if (endError != nullptr) {
        *endError = error;
    }
    return names;
}

inline bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::towupper(text[i]) != std::towupper(prefix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace qmz
