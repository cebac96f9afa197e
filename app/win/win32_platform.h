// The real system behind the seam, made once per process: every Win32 seam piece and
// the one PlatformServices that the coordinator and the operations reach it through.
#pragma once

#include <windows.h>

#include "platform/lcg_random.h"
#include "platform/platform_services.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_volumes.h"

namespace qmz {

class CWin32Platform {
public:
    CWin32Platform();
    CWin32Platform(const CWin32Platform&) = delete;
    CWin32Platform& operator=(const CWin32Platform&) = delete;

    const PlatformServices* Services() const { return &m_services; }
    CWindowMessageSink* Sink() { return &m_sink; }
    IRegistry* Registry() { return &m_registry; }
    // False when the system version could not be read (Vista or later is then assumed).
    bool VersionKnown() const { return m_versionKnown; }

private:
    CWindowMessageSink m_sink;
    CWin32MessageBox m_messageBox;
    CWin32Clock m_clock;
    CLcgRandom m_random;
    CWin32FileSystem m_fileSystem;
    CWin32Registry m_registry;
    CWin32Shell m_shell;
    CWin32CodePage m_codePage;
    CWin32Volumes m_volumes;
    bool m_versionKnown = false;
    PlatformServices m_services;
};

}  // namespace qmz
