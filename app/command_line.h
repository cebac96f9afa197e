// The switches of a COM local server on the program's command line.
#pragma once

#include <string>

namespace qmz {

enum class CommandLineSwitch { None, Register, Unregister, Embedding, Automation };

// The first recognised switch after "/" or "-", compared without case.
CommandLineSwitch FindCommandLineSwitch(const std::wstring& commandLine);

}  // namespace qmz
