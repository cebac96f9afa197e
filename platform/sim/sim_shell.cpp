#include "platform/sim/sim_shell.h"

#include <cwctype>

#include "platform/utf16_units.h"

namespace qmz {
namespace {

// The longest value GetEnvironmentVariableW returns into the seam's 260-character buffer.
constexpr size_t kMaxVariableChars = 259;

std::wstring UpperCase(const std::wstring& text) {
    std::wstring upper = text;
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return upper;
}

}  // namespace

std::wstring CSimShell::SpecialFolderPath(int32_t csidl, FolderOwner owner) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto folder = m_folders.find({csidl, owner});
    return folder != m_folders.end() ? folder->second : std::wstring();
}

std::wstring CSimShell::EnvironmentVariable(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto variable = m_variables.find(UpperCase(name));
    if (variable == m_variables.end() || Utf16Units(variable->second) > kMaxVariableChars) {
        return std::wstring();
    }
    return variable->second;
}

std::wstring CSimShell::UserName() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_userName;
}

int32_t CSimShell::ClearUrlHistory() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_clearCalls;
    return m_clearResult;
}

void CSimShell::NotifyChange(ShellChange change, const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notices.push_back(SimShellNotice{change, path});
}

void CSimShell::SetFolder(int32_t csidl, FolderOwner owner, const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folders[{csidl, owner}] = path;
}

void CSimShell::SetVariable(const std::wstring& name, const std::wstring& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_variables[UpperCase(name)] = value;
}

void CSimShell::SetUserName(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_userName = name;
}

void CSimShell::SetClearUrlHistoryResult(int32_t result) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clearResult = result;
}

uint32_t CSimShell::ClearUrlHistoryCalls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clearCalls;
}

std::vector<SimShellNotice> CSimShell::Notices() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_notices;
}

}  // namespace qmz
