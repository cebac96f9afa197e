#include "tools/bench_erase/bench_rig.h"

namespace qmz::bench {

CBenchRig::CBenchRig(IMessageSink* sink) : m_random(GetTickCount()), m_queue(sink, nullptr) {
    m_services.sink = sink;
    m_services.messageBox = &m_messageBox;
    m_services.clock = &m_clock;
    m_services.random = &m_random;
    m_services.fileSystem = &m_fileSystem;
}

bool CBenchRig::Start(const wchar_t* caption) {
    WorkerThreadParams params;
    params.queue = &m_queue;
    params.messageBox = &m_messageBox;
    params.caption = caption;
    return m_worker.Start(params);
}

}  // namespace qmz::bench
