// The simulated Windows file system that tests run the erase logic against: NTFS-like
// volumes in memory, with set-up helpers, fault injection and a journal of all I/O.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/sim/sim_call.h"
#include "platform/sim/sim_faults.h"
#include "platform/sim/sim_journal.h"
#include "platform/sim/sim_volume_kind.h"
#include "platform/volumes.h"

namespace qmz {

class CSimState;
class CSimNode;
class CSimStream;
class CSimVolume;
class CSimVolumes;
struct SimLookup;
enum class SimReparse;

class CSimFileSystem : public IFileSystem {
public:
    CSimFileSystem();
    ~CSimFileSystem() override;
    CSimFileSystem(const CSimFileSystem&) = delete;
    CSimFileSystem& operator=(const CSimFileSystem&) = delete;

    uint32_t GetAttributes(const std::wstring& path, uint32_t* attributes) override;
    uint32_t GetAttributesEx(const std::wstring& path, FileAttributeData* data) override;
    uint32_t SetAttributes(const std::wstring& path, uint32_t attributes) override;
    uint32_t FindFirst(const std::wstring& pattern, std::unique_ptr<IFindHandle>* find,
                       FindData* first) override;
    uint32_t Open(const std::wstring& path, uint32_t access, uint32_t share, uint32_t disposition,
                  uint32_t flags, std::unique_ptr<IFileHandle>* handle) override;
    uint32_t CreateFolder(const std::wstring& path) override;
    uint32_t Move(const std::wstring& from, const std::wstring& to) override;
    uint32_t Delete(const std::wstring& path) override;
    uint32_t RemoveFolder(const std::wstring& path) override;
    uint32_t MakeWritable(const std::wstring& path) override;
    uint32_t GetVolumePath(const std::wstring& path, std::wstring* volumePath) override;
    uint32_t GetVolumeNameForMountPoint(const std::wstring& mountPoint,
                                        std::wstring* volumeName) override;
    uint32_t QueryFreeSpace(const std::wstring& root, DiskFreeSpace* space) override;
    uint32_t QueryFreeSpaceEx(const std::wstring& path, DiskFreeSpaceEx* space) override;

    // The volume seam over the same machine: the volumes added here, their kinds and
    // the network connections.
    IVolumes& Volumes();

    // --- Set-up. Paths are absolute; missing parent folders are created. ---

    // `guidName` is "\\?\Volume{...}\"; `letter` is 0 for a volume without a drive letter.
    // A new volume is a fixed NTFS disk without a label.
    uint32_t AddVolume(wchar_t letter, const std::wstring& guidName, uint32_t bytesPerSector,
                       uint32_t sectorsPerCluster, uint64_t totalClusters);
    // The file system, label, drive type and device length of the volume with root `root`
    // ("D:\", its GUID name or "\\server\share\").
    uint32_t SetVolumeKind(const std::wstring& root, const SimVolumeKind& kind);
    // A share on another machine ("\\server\share") the user is connected to, with the
    // drive letter of that connection (0 for none): a remote volume reached by its UNC
    // root, and by "Z:\" when lettered, which volume enumeration does not list.
    uint32_t AddNetworkShare(const std::wstring& share, wchar_t letter, uint32_t bytesPerSector,
                             uint32_t sectorsPerCluster, uint64_t totalClusters);
    // One more connection, without a drive letter, to a share already added: the
    // connection list then names the share twice, as Windows does.
    uint32_t AddNetworkConnection(const std::wstring& share);
    // The process of the code under test ends: every file, device and find handle it
    // still holds is closed, delete-on-close applied; calls on them fail with
    // ERROR_INVALID_HANDLE and destroying them does nothing more. Holds of other
    // processes (HoldOpen) stay.
    void EndProcess();
    uint32_t AddFolder(const std::wstring& path, uint32_t attributes = 0);
    // `attributes` 0 gives FILE_ATTRIBUTE_ARCHIVE. ERROR_DISK_FULL when the data does not fit.
    uint32_t AddFile(const std::wstring& path, const std::string& data, uint32_t attributes = 0);
    // A named stream ("name", no colons) of an existing file or folder; replaces its data.
    uint32_t AddStream(const std::wstring& path, const std::wstring& name, const std::string& data);
    // Marks the stream ("file" or "file:name") sparse; only clusters touching `allocated`
    // stay allocated, the rest become holes.
    uint32_t MakeSparse(const std::wstring& path, const std::vector<AllocatedRange>& allocated);
    // Moves the stream's clusters to the given VCN->LCN layout (lcn -1: a hole, whose
    // bytes read as zero) and sets the attribute. The LCNs must be free.
    uint32_t MakeCompressed(const std::wstring& path, const std::vector<Extent>& extents);
    uint32_t MakeEncrypted(const std::wstring& path, const std::vector<Extent>& extents);
    uint32_t AddJunction(const std::wstring& link, const std::wstring& target);
    uint32_t AddSymlink(const std::wstring& link, const std::wstring& target, bool folder);
    // A link as Wine shows a host symbolic link: a file link looks like its target, a
    // folder link like a folder with the reparse attribute, and every call by path
    // (opening, attributes, moving, deleting) reaches the target.
    uint32_t AddHostLink(const std::wstring& link, const std::wstring& target, bool folder);
    // Delete and RemoveFolder of the object report success and leave it in place.
    uint32_t SetRemovalIgnored(const std::wstring& path, bool ignored = true);
    // Mounts the volume named by `volume` ("D:\" or its GUID name) in `folder`.
    uint32_t AddMountPoint(const std::wstring& folder, const std::wstring& volume);
    // Another process opens the object (or stream) with `access` and `share`.
    uint32_t HoldOpen(const std::wstring& path, uint32_t share,
                      uint32_t access = GENERIC_READ | GENERIC_WRITE);
    void ReleaseHolds(const std::wstring& path);
    // Delete / RemoveFolder, or Move, of the object fail with ERROR_ACCESS_DENIED.
    uint32_t SetCannotDelete(const std::wstring& path, bool cannot = true);
    uint32_t SetCannotRename(const std::wstring& path, bool cannot = true);
    // A disk quota: the caller may allocate `bytes` more on the volume from now on.
    // QueryFreeSpaceEx reports at most what is left of it free to the caller, and a
    // write or extension that needs more fails with ERROR_DISK_QUOTA_EXCEEDED.
    uint32_t SetQuota(const std::wstring& root, uint64_t bytes);
    // The stream ("file" or "file:name") holds exactly `data` from now on, changed behind
    // the back of every handle (whose positions stay): the work of another program or a
    // failing disk, so neither journaled, counted nor observed.
    uint32_t ReplaceData(const std::wstring& path, const std::string& data);

    // --- Inspection. Links are not followed. ---

    bool Exists(const std::wstring& path);
    // The stream's bytes ("file" or "file:name"); empty when missing.
    std::string ReadAll(const std::wstring& path);
    // Named streams as created, in the order FileStreamInfo lists them.
    std::vector<std::wstring> StreamNames(const std::wstring& path);
    uint32_t AttributesOf(const std::wstring& path);
    // The stream's LCN for each VCN (-1 for holes).
    std::vector<int64_t> ClustersOf(const std::wstring& path);
    // Raw bytes of clusters of the volume with root `root`, allocated or not.
    std::string ReadClusters(const std::wstring& root, int64_t lcn, uint64_t count);
    bool ZeroOnDeallocationSet(const std::wstring& path);
    // File, device and find handles not yet closed.
    size_t OpenHandleCount();

    // --- Faults and the journal. ---

    void InjectFault(const SimFault& fault);
    void InjectFault(SimCall call, uint32_t nth, uint32_t error, bool persistent = false,
                     const std::wstring& path = L"");
    void ClearFaults();
    // Calls of a kind made so far (faulted ones included).
    uint32_t CallCount(SimCall call);
    std::vector<SimJournalEntry> Journal();
    std::vector<SimJournalEntry> Journal(SimCall call);
    // Entries of the object (or device) at `path` and of its streams.
    std::vector<SimJournalEntry> JournalFor(const std::wstring& path);
    void ClearJournal();
    // Called after each write or zeroing that the journal records (raw volume writes
    // included), numbered from 1 since it was set, with the stream's or device's name.
    // It runs on the writing thread outside the simulation's lock: it may call back
    // into this file system, and what it does happens between two calls of the code
    // under test. An empty function removes it.
    void SetWriteObserver(SimWriteObserver observer);

private:
    uint32_t VolumeOfFolder(const std::wstring& folder, const CSimVolume** volume);
    uint32_t SetNodeFlag(const std::wstring& path, bool CSimNode::*flag, bool value);
    uint32_t OpenDevice(const std::wstring& path, uint32_t access, uint32_t share, uint32_t flags,
                        std::unique_ptr<IFileHandle>* handle);
    uint32_t OpenObject(const std::wstring& path, uint32_t access, uint32_t share,
                        uint32_t disposition, uint32_t flags, std::unique_ptr<IFileHandle>* handle);
    // The stream a path names ("file", "file:name"), links not followed; with
    // `viaHostLink` as a call sees it, telling whether a host link was followed.
    uint32_t FindStreamOf(const std::wstring& path, std::shared_ptr<CSimNode>* node,
                          std::shared_ptr<CSimStream>* stream, bool* viaHostLink = nullptr);
    uint32_t EnsureFolders(const std::wstring& path, size_t count);
    uint32_t AddLink(const std::wstring& link, bool folder, std::shared_ptr<CSimNode>* node);
    uint32_t AddSymlinkOrJunction(const std::wstring& link, const std::wstring& target, bool folder,
                                  SimReparse kind);
    // Runs `change` under the lock on the stream a path names; a folder has none to change.
    uint32_t ChangeStream(const std::wstring& path,
                          const std::function<uint32_t(CSimNode&, CSimStream&)>& change);
    uint32_t SetLayout(const std::wstring& path, const std::vector<Extent>& extents,
                       uint32_t attribute);
    uint32_t Remove(CSimNode& node, SimCall call);

    std::shared_ptr<CSimState> m_state;
    std::unique_ptr<CSimVolumes> m_volumes;
};

}  // namespace qmz
