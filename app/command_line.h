// The switches of a COM local server on the program's command line.
#pragma once

#include <string>

namespace qmz {

enum class CommandLineSwitch { kNone, kRegister, kUnregister, kEmbedding, kAutomation };

// The first recognised switch after "/" or "-", compared without case.
CommandLineSwitch FindCommandLineSwitch(const std::wstring& commandLine);

}  // namespace qmz
