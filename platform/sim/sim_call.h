// The kinds of file-system call the simulation counts, journals and can fail.
#pragma once

namespace qmz {

enum class SimCall {
    kOpen,
    kRead,
    kWrite,
    kSeek,
    kSetEndOfFile,
    kFlush,
    kGetSize,
    kQueryStreams,
    kMove,
    kDelete,
    kRemoveDirectory,
    kCreateDirectory,
    kMakeWritable,
    kSetAttributes,
    kFindFirst,
    kFindNext,
    kGetAttributes,
    kGetVolumePathName,
    kGetVolumeNameForMountPoint,
    kGetDiskFreeSpace,
    kQueryAllocatedRanges,
    kSetZeroData,
    kSetZeroOnDeallocation,
    kGetRetrievalPointers,
    kGetFinalPath,
    kGetReparsePoint,
    kCount
};

}  // namespace qmz
