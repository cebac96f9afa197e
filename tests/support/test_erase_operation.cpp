#include "tests/support/test_erase_operation.h"

#include "ops/check_point.h"

namespace qmz {

void CGate::Arrive() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_arrived = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_released; });
}

void CGate::WaitArrived() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_arrived; });
}

void CGate::Release() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_released = true;
    m_changed.notify_all();
}

CTestEraseOperation::CTestEraseOperation(int files, int passes, int chunks)
    : m_files(files), m_passes(passes), m_chunks(chunks) {
    m_path = L"C:\\test\\item";
}

void CTestEraseOperation::Execute() {
    {
        std::lock_guard<std::mutex> lock(m_log->mutex);
        ++m_log->executions;
    }
    bool completed = true;
    for (int file = 0; file < m_files && completed; ++file) {
        m_finishFileLatched = 0;
        completed = EraseFile(file);
    }
    if (completed) {
        m_status = StatusCompleted;
    } else {
        // Only an abort request makes the item itself "aborted".
        m_status = m_request == RequestAbort ? StatusAborted : StatusFailedOther;
    }
}

bool CTestEraseOperation::EraseFile(int file) {
    for (int pass = 0; pass < m_passes; ++pass) {
        for (int chunk = 0; chunk < m_chunks; ++chunk) {
            ChunkPosition here{file, pass, chunk};
            if (m_gate && here == m_holdAt) {
                m_gate->Arrive();
            }
            if (!CheckControlPoint(this)) {
                return false;
            }
            std::lock_guard<std::mutex> lock(m_log->mutex);
            m_log->chunksWritten.push_back(here);
        }
        if (m_finishCycleLatched != 0) {
            m_finishFileLatched = 1;
            m_abortLatched = 1;
            return false;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_log->mutex);
        m_log->filesCompleted.push_back(file);
    }
    return m_finishFileLatched == 0;
}

}  // namespace qmz
