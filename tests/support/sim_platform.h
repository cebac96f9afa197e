// Every seam piece in its simulated form, wired into one PlatformServices: what the
// Win32 bundle is to the real program, this is to a test.
#pragma once

#include "ops/operation_queue.h"
#include "platform/platform_services.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_shell.h"
#include "tests/support/recording_sink.h"

namespace qmz {

class CSimPlatform {
public:
    explicit CSimPlatform(bool vistaOrLater = true, uint32_t randomSeed = 1);
    CSimPlatform(const CSimPlatform&) = delete;
    CSimPlatform& operator=(const CSimPlatform&) = delete;

    const PlatformServices* Services() const { return &m_services; }

    CRecordingSink& Sink() { return m_sink; }
    CFakeClock& Clock() { return m_clock; }
    CRecordingMessageBox& MessageBoxes() { return m_messageBoxes; }
    CSimFileSystem& FileSystem() { return m_fileSystem; }
    CSimRegistry& Registry() { return m_registry; }
    CSimShell& Shell() { return m_shell; }
    CSimCodePage& CodePage() { return m_codePage; }

    // Sends file calls elsewhere: real files under Wine, or a double in front of the sim.
    // The shell's Recycle Bins are then looked for there too.
    void UseFileSystem(IFileSystem* fileSystem) {
        m_services.fileSystem = fileSystem;
        m_shell.AttachFileSystem(fileSystem);
    }
    void UseRandom(IRandom* random) { m_services.random = random; }

private:
    CRecordingSink m_sink;
    CFakeClock m_clock;
    CLcgRandom m_random;
    CRecordingMessageBox m_messageBoxes;
    CSimFileSystem m_fileSystem;
    CSimRegistry m_registry;
    CSimShell m_shell;
    CSimCodePage m_codePage;
    PlatformServices m_services;
};

// Queues a clone of `operation` that reaches the system through `platform`, as every
// operation the program creates does; returns the queued clone.
COperationBase* AppendWithPlatform(COperationQueue* queue, const CEraseOperationBase& operation,
                                   const PlatformServices* platform);

}  // namespace qmz
