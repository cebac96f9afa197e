// The registry entries of the two deliverables.
#pragma once

#include <string>

#include "registration/registry_script.h"

namespace qmz {

// QMZ4.exe: the automation class "QMZ4.QMZ4MainAuto" and the proxy class
// "QMZ4.Application", both served by the program at `programPath`.
RegistryScript MainAutoScript(const std::wstring& programPath);
RegistryScript ProxyClassScript(const std::wstring& programPath);

// QMZ4shellext.dll at `dllPath`: its AppID, both handler classes with their handler keys,
// and their approval.
RegistryScript ShellextAppIdScript();
RegistryScript MenuHandlerScript(const std::wstring& dllPath);
RegistryScript RecycleBinHandlerScript(const std::wstring& dllPath);

}  // namespace qmz
