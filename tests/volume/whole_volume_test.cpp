// The whole-volume erase of the real program on the image drive: every file and folder
// goes, what they held is overwritten, the drive stays usable, and host symbolic links on
// the drive never lead the erase to their targets outside it.
#include <windows.h>
// The other Windows headers need the types of <windows.h>.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "com/dispatch_call.h"
#include "tests/volume/marker_files.h"
#include "tests/volume/volume_test.h"

namespace qmz::volumetest {
namespace {

class WholeVolumeEraseTest : public CVolumeTest {
protected:
    // A tree of marker files: nested folders, a Japanese name, read-only, hidden and
    // system files, an empty folder; then filler files until the drive is full, so that
    // every block in use holds records. Returns the records written.
    uint64_t WriteTree() {
        const wchar_t* folders[] = {L"tree", L"tree\\a", L"tree\\a\\b", L"日本語フォルダ",
                                    L"empty"};
        for (const wchar_t* folder : folders) {
            EXPECT_TRUE(CreateDirectoryW(m_drive.Path(folder).c_str(), nullptr)) << Utf8(folder);
        }
        struct Planned {
            const wchar_t* name;
            uint64_t mebibytes;
            DWORD attributes;
        };
        const Planned files[] = {{L"top.bin", 4, FILE_ATTRIBUTE_NORMAL},
                                 {L"tree\\a\\b\\deep.bin", 3, FILE_ATTRIBUTE_NORMAL},
                                 {L"tree\\readonly.bin", 2, FILE_ATTRIBUTE_READONLY},
                                 {L"hidden.bin", 2, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
                                 {L"日本語フォルダ\\ファイル.bin", 2, FILE_ATTRIBUTE_NORMAL}};
        uint64_t records = 0;
        for (const Planned& file : files) {
            const std::wstring path = m_drive.Path(file.name);
            const uint64_t written = WriteMarkerFile(path, file.mebibytes, records);
            EXPECT_EQ(written, (file.mebibytes << 20) / kRecordBytes) << Utf8(path);
            records += written;
            EXPECT_TRUE(SetFileAttributesW(path.c_str(), file.attributes)) << Utf8(path);
        }
        std::vector<std::wstring> fillers;
        return records + FillWithMarkerFiles(m_drive.Path(L"tree\\a\\filler"), records, &fillers);
    }
};

// Wine's view of the drive's root, for the output.
std::vector<std::wstring> RootNames(const std::wstring& root) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW((root + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") {
            wchar_t attributes[16];
            swprintf(attributes, 16, L" (%lX)", found.dwFileAttributes);
            names.push_back(name + attributes);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

TEST_F(WholeVolumeEraseTest, EverythingGoesItsDataIsOverwrittenAndLinkTargetsOutsideStay) {
    // The links first: on a full drive there would be no room for them.
    ASSERT_EQ(m_drive.Ask("links"), "ok");
    const uint64_t records = WriteTree();
    const std::wstring outside = m_drive.WorkFolder() + L"\\outside";
    const std::string targetFile = gui::Contents(outside + L"\\target.txt");
    const std::string targetInside = gui::Contents(outside + L"\\folder\\inside.txt");
    ASSERT_EQ(targetFile, "the linked file");
    ASSERT_EQ(targetInside, "inside the linked folder");
    const int64_t before = m_drive.MarkerCount(kMarker);
    ASSERT_GE(before, static_cast<int64_t>(records * 9 / 10))
        << "the files' blocks must hold the marker, or the test proves nothing";
    ASSERT_GE(records * kRecordBytes, m_drive.ImageBytes() / 10 * 7) << "the drive is full of them";
    // Once more, now that the scan has unmounted and mounted the image again.
    ASSERT_TRUE(m_drive.Prove());

    CVolumeProgram program(kQuickMethod);
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(program.Request(kDoEntirePartitions, m_drive.Root(), kEntirePartitionKind));
    ASSERT_TRUE(m_drive.StartSampling());
    program.Start();
    const bool ended = program.WaitForEnd(240000);
    const FillSample sample = m_drive.StopSampling();
    const std::vector<ResultRow> results = program.Results();
    Print(results);
    for (const std::wstring& question : program.Questions()) {
        std::printf("question answered: %s\n", Utf8(question).c_str());
    }
    for (const std::wstring& name : RootNames(m_drive.Root())) {
        std::printf("left in the root (Wine): %s\n", Utf8(name).c_str());
    }
    EXPECT_TRUE(program.Close());
    ASSERT_TRUE(ended) << "no result within four minutes";
    EXPECT_FALSE(sample.fillFiles.empty()) << "the host saw no fill file";
    EXPECT_LE(sample.minAvailable, kFullWithin) << "the drive was never full";

    // Links stay where removing them would reach their targets; so do the folders that
    // hold them. Nothing else may stay.
    const std::vector<HostEntry> left = m_drive.Tree();
    std::vector<std::string> links;
    for (const HostEntry& entry : left) {
        std::printf("left on the image (host): %s %s\n", entry.kind.c_str(), entry.path.c_str());
        if (entry.kind == "link") {
            links.push_back(entry.path);
        }
    }
    for (const HostEntry& entry : left) {
        if (entry.kind == "link") {
            continue;
        }
        bool holdsLink = false;
        for (const std::string& link : links) {
            holdsLink = holdsLink || (entry.kind == "dir" && link.rfind(entry.path + "/", 0) == 0);
        }
        EXPECT_TRUE(holdsLink) << entry.kind << " " << entry.path << " was not erased";
    }
    EXPECT_EQ(gui::Contents(outside + L"\\target.txt"), targetFile) << "the linked file";
    EXPECT_EQ(gui::Contents(outside + L"\\folder\\inside.txt"), targetInside)
        << "the linked folder's file";
    EXPECT_EQ(m_drive.MarkerCount(kMarker), 0) << "erased files' data survived";

    // Still a drive: a new file is written and read back, and the space is free.
    const std::wstring after = m_drive.Path(L"after.txt");
    ASSERT_TRUE(WriteFlushed(after, "written after the erase"));
    EXPECT_EQ(gui::Contents(after), "written after the erase");
    ULARGE_INTEGER available = {}, total = {}, free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(m_drive.Root().c_str(), &available, &total, &free));
    EXPECT_GE(available.QuadPart, total.QuadPart / 10 * 9) << "the space is free again";
}

}  // namespace
}  // namespace qmz::volumetest
