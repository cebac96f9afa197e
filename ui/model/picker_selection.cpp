#include "ui/model/picker_selection.h"

#include <algorithm>

namespace qmz {
namespace {

constexpr std::size_t kNameCapacity = 260;
constexpr std::size_t kFolderCapacity = 261;

}  // namespace

std::wstring PickerItemName(const std::wstring& fullPath) {
    const std::size_t slash = fullPath.rfind(L'\\');
    if (slash == std::wstring::npos) {
        return fullPath;
    }
    std::wstring name = fullPath.substr(slash + 1);
    return name.empty() ? fullPath : name;
}

std::wstring FilterDisplayName(const std::wstring& filter) {
    return filter.substr(0, filter.find(L'|'));
}

void CPickerSelection::Clear() {
    m_names.clear();
    m_paths.clear();
    m_editText.clear();
}

void CPickerSelection::Add(const std::wstring& fullPath) {
    m_paths.push_back(fullPath);
    m_names.push_back(PickerItemName(fullPath));
    m_editText += L'"' + m_names.back() + L"\" ";
}

std::wstring CPickerSelection::FileBuffer(const std::wstring& folder) const {
    std::wstring buffer = folder;
    buffer += L'\0';
    for (const std::wstring& name : m_names) {
        buffer += name;
        buffer += L'\0';
    }
    buffer += L'\0';
    return buffer;
}

std::size_t CPickerSelection::FileBufferCapacity(const std::wstring& folder) const {
    return std::max(m_names.size() * kNameCapacity + kFolderCapacity, FileBuffer(folder).size());
}

}  // namespace qmz
