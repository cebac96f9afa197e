// The kinds of file-system and volume call the simulation counts, journals and can fail.
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
    kSetCompression,
    kGetLengthInfo,
    kListVolumes,
    kGetMountPaths,
    kGetDriveType,
    kGetVolumeInformation,
    kConnectedNetworkDisks,
    kCount
};

}  // namespace qmz
