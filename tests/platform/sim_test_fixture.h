// A simulated machine for the simulation's own tests: C: and an unlettered volume.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/sim_file_system.h"
#include "tests/platform/file_system_test_util.h"

namespace qmz {

class SimFileSystemTest : public ::testing::Test {
protected:
    static constexpr uint32_t kCluster = 4096;
    static constexpr uint64_t kClusters = 1024;  // 4 MiB
    const std::wstring kGuidC = L"\\\\?\\Volume{11111111-0000-0000-0000-000000000001}\\";
    const std::wstring kGuidData = L"\\\\?\\Volume{22222222-0000-0000-0000-000000000002}\\";

    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(L'C', kGuidC, 512, 8, kClusters));
        ASSERT_EQ(ERROR_SUCCESS, m_fs.AddVolume(0, kGuidData, 512, 8, kClusters));
    }

    uint64_t FreeBytes(const std::wstring& root = L"C:\\") {
        DiskFreeSpaceEx space;
        EXPECT_EQ(ERROR_SUCCESS, m_fs.QueryFreeSpaceEx(root, &space));
        return space.totalFreeBytes;
    }

    std::unique_ptr<IFileHandle> OpenRw(const std::wstring& path, uint32_t flags = 0) {
        std::unique_ptr<IFileHandle> handle;
        EXPECT_EQ(ERROR_SUCCESS,
                  m_fs.Open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING, flags, &handle))
            << "opening " << std::string(path.begin(), path.end());
        return handle;
    }

    CSimFileSystem m_fs;
};

}  // namespace qmz
