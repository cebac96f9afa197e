// What each benchmark needs to run erase operations as the program does: the Win32
// services, the real file system behind a timing layer, the queue and the worker.
#pragma once

#include "ops/operation_queue.h"
#include "ops/worker.h"
#include "platform/lcg_random.h"
#include "platform/platform_services.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_services.h"
#include "tools/bench_erase/timed_file_system.h"

namespace qmz::bench {

class CBenchRig {
public:
    // `sink` stands in for the main window and must outlive the rig.
    explicit CBenchRig(IMessageSink* sink);
    CBenchRig(const CBenchRig&) = delete;
    CBenchRig& operator=(const CBenchRig&) = delete;

    // Starts the worker; false (after the worker's own message) when it cannot run.
    bool Start(const wchar_t* caption);
    // Ends the worker (whatever it runs is aborted) before the caller reads results.
    void Stop() { m_worker.Stop(); }

    COperationQueue& Queue() { return m_queue; }
    // What erase operations carry as their platform.
    const PlatformServices* Services() const { return &m_services; }
    CSeamProfile& Profile() { return m_fileSystem.Profile(); }

private:
    CWin32FileSystem m_win32FileSystem;
    CTimedFileSystem m_fileSystem{&m_win32FileSystem};
    CWin32MessageBox m_messageBox;
    CWin32Clock m_clock;
    CLcgRandom m_random;
    PlatformServices m_services;
    COperationQueue m_queue;
    // Last, so that it is destroyed first: the thread ends before what it uses goes.
    CWorkerThread m_worker;
};

}  // namespace qmz::bench
