// The test's side of with_image_drive.sh: the drive it made from a loop-mounted image, the
// proof that a drive letter really is that image, and the requests to the host-side
// watcher (image_watcher.py), which sees the image as no Windows process can.
#pragma once

#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qmz::volumetest {

// One entry of the image as the host sees it: "file", "dir", "link" or "other", and the
// path below the image's root with '/' between names.
struct HostEntry {
    std::string kind;
    std::string path;
};

// What the watcher saw while an erase ran.
struct FillSample {
    uint64_t minAvailable = UINT64_MAX;  // least space free to the caller
    std::vector<std::string> fillFiles;  // names of the fill files seen
    std::vector<int> pageValues;         // uniform values their last page took, in order
    uint64_t maxResidentKib = 0;         // the largest VmRSS of the program meanwhile
};

class CImageDrive {
public:
    // Reads what with_image_drive.sh put into the environment.
    CImageDrive();

    // The drive's root ("E:\") once proven to be the image; empty before.
    const std::wstring& Root() const { return m_provenRoot; }
    // `name` in the drive's root; empty before the proof.
    std::wstring Path(const std::wstring& name) const;
    // The run's own folder on D: (link targets live in "outside" there).
    const std::wstring& WorkFolder() const { return m_work; }
    uint64_t ImageBytes() const { return m_mebibytes << 20; }

    // Proves that the drive letter leads to the loop-mounted image and nowhere else: the
    // host finds the prefix's drive mapped to the image's mount, the token written into
    // the image's root reads back through the drive, and the drive is no bigger than the
    // image. Only then does Root() name the drive.
    ::testing::AssertionResult Prove();

    // A request to the watcher and its answer ("error: ..." when none came).
    std::string Ask(const std::string& verb, const std::string& argument = std::string(),
                    DWORD milliseconds = 60000);
    // Space free to the caller, as the host's statvfs says; UINT64_MAX when unknown.
    uint64_t FreeBytes();
    // Every entry of the image (links not followed); the watcher's error as the only
    // entry of kind "error" when the walk failed.
    std::vector<HostEntry> Tree();
    // How often `marker` occurs in the image file, read with the image unmounted; -1 when
    // the scan failed. No Windows process may hold a file of the drive meanwhile.
    int64_t MarkerCount(const std::string& marker);
    bool StartSampling();
    FillSample StopSampling();

private:
    std::wstring m_drive;  // "E:"
    std::string m_token;
    uint64_t m_mebibytes = 0;
    std::wstring m_work;
    std::wstring m_channel;
    std::wstring m_provenRoot;
    int m_nextRequest = 0;
};

// The number after "name=" in a watcher's answer; UINT64_MAX when there is none.
uint64_t AnswerNumber(const std::string& answer, const std::string& name);
// The comma-separated list after "name=" in a watcher's answer.
std::vector<std::string> AnswerList(const std::string& answer, const std::string& name);

}  // namespace qmz::volumetest
