#include "tests/support/sim_platform.h"

namespace qmz {

CSimPlatform::CSimPlatform(bool vistaOrLater, uint32_t randomSeed) : m_random(randomSeed) {
    m_services.sink = &m_sink;
    m_services.messageBox = &m_messageBoxes;
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.fileSystem = &m_fileSystem;
    m_services.registry = &m_registry;
    m_services.shell = &m_shell;
    m_services.codePage = &m_codePage;
    m_services.volumes = &m_fileSystem.Volumes();
    // The shell finds its Recycle Bins on the same simulated volumes.
    m_shell.AttachFileSystem(&m_fileSystem);
    m_services.isVistaOrLater = vistaOrLater;
}

COperationBase* AppendWithPlatform(COperationQueue* queue, const CEraseOperationBase& operation,
                                   const PlatformServices* platform) {
    std::unique_ptr<COperationBase> copy = operation.Clone();
    if (!copy) {
        return nullptr;
    }
    static_cast<CEraseOperationBase*>(copy.get())->m_platform = platform;
    return queue->AppendOperation(*copy);
}

}  // namespace qmz
