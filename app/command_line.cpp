#include "app/command_line.h"

#include <cwctype>

namespace qmz {
namespace {

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != L'\0'; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) {
            return false;
        }
    }
    return i == a.size() && b[i] == L'\0';
}

CommandLineSwitch SwitchOf(const std::wstring& word) {
    if (EqualsNoCase(word, L"Register") || EqualsNoCase(word, L"Regserver")) {
        return CommandLineSwitch::kRegister;
    }
    if (EqualsNoCase(word, L"Unregister") || EqualsNoCase(word, L"Unregserver")) {
        return CommandLineSwitch::kUnregister;
    }
    if (EqualsNoCase(word, L"Embedding")) {
        return CommandLineSwitch::kEmbedding;
    }
    if (EqualsNoCase(word, L"Automation")) {
        return CommandLineSwitch::kAutomation;
    }
    return CommandLineSwitch::kNone;
}

}  // namespace

CommandLineSwitch FindCommandLineSwitch(const std::wstring& commandLine) {
    size_t pos = 0;
    while (pos < commandLine.size()) {
        while (pos < commandLine.size() && commandLine[pos] == L' ') {
            ++pos;
        }
        size_t end = commandLine.find(L' ', pos);
        if (end == std::wstring::npos) {
            end = commandLine.size();
        }
        if (end > pos + 1 && (commandLine[pos] == L'/' || commandLine[pos] == L'-')) {
            const CommandLineSwitch found = SwitchOf(commandLine.substr(pos + 1, end - pos - 1));
            if (found != CommandLineSwitch::kNone) {
                return found;
            }
        }
        pos = end;
    }
    return CommandLineSwitch::kNone;
}

}  // namespace qmz
