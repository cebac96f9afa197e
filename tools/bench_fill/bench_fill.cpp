// bench_fill QMZ4.exe METHOD [METHOD ...]: run by tools/bench_fill/run.sh inside
// with_image_drive.sh. For each method, times the program's free-space erase of the image
// drive from the start button to its result row, and reads the program's memory (VmRSS,
// through the host) idle before the erase and at its peak during it. Prints one line per
// method (figures, not assertions):
//   method=N seconds=S bytes=FREE_BEFORE least_free=BYTES idle_kib=I peak_kib=P hwm_kib=H
//   status=TEXT
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "com/dispatch_call.h"
#include "tests/volume/image_drive.h"
#include "tests/volume/volume_program.h"

namespace qmz::volumetest {
namespace {

double Seconds() {
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Measure(CImageDrive* drive, DWORD method) {
    gui::ResetRegistry();
    const uint64_t freeBefore = drive->FreeBytes();
    CVolumeProgram program(method);
    if (!program.Ready() || !program.Request(kDoFreeSpace, drive->Root(), kFreeSpaceKind)) {
        std::fprintf(stderr, "method %lu: the program took no request\n", method);
        return false;
    }
    gui::Settle(1000);  // settled: what the program holds while it waits
    const uint64_t idle = AnswerNumber(drive->Ask("rss"), "rss");
    if (!drive->StartSampling()) {
        std::fprintf(stderr, "the host does not sample\n");
        return false;
    }
    program.Start();
    const double start = Seconds();
    // Polled often, so that the figure does not round up to a coarse step.
    while (!program.Ended() && Seconds() - start < 1800) {
        gui::Settle(2);
    }
    const double seconds = Seconds() - start;
    const FillSample sample = drive->StopSampling();
    const uint64_t peak = AnswerNumber(drive->Ask("rss"), "hwm");
    const std::vector<ResultRow> results = program.Results();
    std::printf(
        "method=%lu seconds=%.3f bytes=%llu least_free=%llu idle_kib=%llu peak_kib=%llu "
        "hwm_kib=%llu status=%s\n",
        method, seconds, static_cast<unsigned long long>(freeBefore),
        static_cast<unsigned long long>(sample.minAvailable), static_cast<unsigned long long>(idle),
        static_cast<unsigned long long>(sample.maxResidentKib),
        static_cast<unsigned long long>(peak),
        results.empty() ? "none" : Utf8(results[0].status).c_str());
    std::fflush(stdout);
    program.Close();
    gui::ResetRegistry();
    return !results.empty();
}

}  // namespace
}  // namespace qmz::volumetest

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: bench_fill QMZ4.exe METHOD [METHOD ...]\n");
        return 2;
    }
    qmz::gui::ProgramPath() = argv[1];
    qmz::volumetest::CImageDrive drive;
    const ::testing::AssertionResult proven = drive.Prove();
    if (!proven) {
        std::fprintf(stderr, "refused: %s\n", proven.message());
        return 1;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    bool ok = true;
    for (int i = 2; i < argc; ++i) {
        ok = qmz::volumetest::Measure(&drive, static_cast<DWORD>(_wtoi(argv[i]))) && ok;
    }
    CoUninitialize();
    return ok ? 0 : 1;
}
