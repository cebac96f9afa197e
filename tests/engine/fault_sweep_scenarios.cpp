#include "tests/engine/fault_sweep_scenarios.h"

#include "tests/engine/engine_harness.h"

namespace qmz {
namespace {

std::string Bytes(size_t count, char value) {
    return std::string(count, value);
}

// Beside every request: a file whose name begins like the request's, a folder with a
// named stream, and a read-only file that must stay read-only.
void AddSiblings(CSimFileSystem& sim, const std::wstring& request) {
    sim.AddFile(request + L".bak", Bytes(4500, 'k'));
    sim.AddStream(request + L".bak", L"keep", Bytes(100, 'K'));
    sim.AddFile(L"C:\\req\\other\\o.txt", Bytes(300, 'o'));
    sim.AddStream(L"C:\\req\\other", L"tag", Bytes(50, 't'));
    sim.AddFile(L"C:\\req\\locked.txt", Bytes(20, 'l'), FILE_ATTRIBUTE_READONLY);
}

SweepScenario TreeWithNamedStreams() {
    SweepScenario s;
    s.name = "tree with named streams";
    s.item = SweepItem::kFolderAndContents;
    s.path = L"C:\\req\\tree";
    s.roots = {L"C:\\"};
    s.build = [](CSimFileSystem& sim) {
        sim.AddFile(L"C:\\req\\tree\\a.txt", Bytes(5000, 'a'));
        sim.AddStream(L"C:\\req\\tree\\a.txt", L"meta", Bytes(300, 'm'));
        sim.AddFile(L"C:\\req\\tree\\sub\\b.txt", Bytes(700, 'b'));
        sim.AddStream(L"C:\\req\\tree\\sub", L"info", Bytes(4200, 'i'));
        AddSiblings(sim, L"C:\\req\\tree");
    };
    return s;
}

SweepScenario SparseFile() {
    SweepScenario s;
    s.name = "sparse file";
    s.path = L"C:\\req\\sparse.bin";
    s.roots = {L"C:\\"};
    s.build = [](CSimFileSystem& sim) {
        sim.AddFile(L"C:\\req\\sparse.bin", Bytes(6 * kCluster, 's'));
        sim.MakeSparse(L"C:\\req\\sparse.bin", {{0, kCluster}, {3 * kCluster, 2 * kCluster}});
        AddSiblings(sim, L"C:\\req\\sparse.bin");
    };
    return s;
}

SweepScenario CompressedFileOnTheRawVolume() {
    SweepScenario s;
    s.name = "compressed file, raw volume";
    s.vistaOrLater = false;
    s.path = L"C:\\req\\packed.bin";
    s.roots = {L"C:\\"};
    s.build = [](CSimFileSystem& sim) {
        sim.AddFile(L"C:\\req\\packed.bin", Bytes(5 * kCluster, 'p'));
        sim.MakeCompressed(L"C:\\req\\packed.bin", {{2, 300}, {4, -1}, {5, 400}});
        // A compressed neighbour on the volume: raw writes must miss its clusters.
        sim.AddFile(L"C:\\req\\packed2.bin", Bytes(2 * kCluster, 'P'));
        sim.MakeCompressed(L"C:\\req\\packed2.bin", {{2, 302}});
        AddSiblings(sim, L"C:\\req\\packed.bin");
    };
    return s;
}

SweepScenario ReadOnlyFolderAndFile() {
    SweepScenario s;
    s.name = "read-only folder and file";
    s.item = SweepItem::kFolderAndContents;
    s.path = L"C:\\req\\ro";
    s.roots = {L"C:\\"};
    s.build = [](CSimFileSystem& sim) {
        sim.AddFolder(L"C:\\req\\ro", FILE_ATTRIBUTE_READONLY);
        sim.AddFile(L"C:\\req\\ro\\ro.txt", Bytes(4200, 'r'), FILE_ATTRIBUTE_READONLY);
        sim.AddFolder(L"C:\\req\\ro\\sub", FILE_ATTRIBUTE_READONLY);
        AddSiblings(sim, L"C:\\req\\ro");
    };
    return s;
}

SweepScenario JunctionAndMountPoint() {
    SweepScenario s;
    s.name = "junction and mount point";
    s.item = SweepItem::kFolderAndContents;
    s.path = L"C:\\req\\links";
    s.roots = {L"C:\\", L"D:\\"};
    s.completesUnfaulted = false;  // the mounted volume is reported, never entered
    s.build = [](CSimFileSystem& sim) {
        sim.AddVolume(L'D', kVolumeD, 512, kCluster / 512, 1024);
        sim.AddFile(L"D:\\on_d.txt", Bytes(5000, 'd'));
        sim.AddFile(L"C:\\target\\t.txt", Bytes(4500, 'x'));
        sim.AddStream(L"C:\\target", L"own", Bytes(30, 'y'));
        sim.AddFile(L"C:\\req\\links\\f.txt", Bytes(100, 'f'));
        sim.AddJunction(L"C:\\req\\links\\link", L"C:\\target");
        sim.AddMountPoint(L"C:\\req\\links\\mnt", L"D:\\");
        AddSiblings(sim, L"C:\\req\\links");
    };
    return s;
}

// A delete that reports success and leaves the file, as Wine's does for an immutable
// host file: only looking again tells the file is still there.
SweepScenario RemovalThatChangesNothing() {
    SweepScenario s;
    s.name = "removal that changes nothing";
    s.item = SweepItem::kFolderAndContents;
    s.path = L"C:\\req\\stuck";
    s.roots = {L"C:\\"};
    s.completesUnfaulted = false;
    s.build = [](CSimFileSystem& sim) {
        sim.AddFile(L"C:\\req\\stuck\\gone.txt", Bytes(100, 'g'));
        sim.AddFile(L"C:\\req\\stuck\\stays.txt", Bytes(4200, 'z'));
        sim.SetRemovalIgnored(L"C:\\req\\stuck\\stays.txt");
        AddSiblings(sim, L"C:\\req\\stuck");
    };
    return s;
}

// Host symbolic links as Wine shows them: every call by path reaches the target.
SweepScenario HostLinks() {
    SweepScenario s;
    s.name = "host links";
    s.item = SweepItem::kFolderAndContents;
    s.path = L"C:\\req\\hosted";
    s.roots = {L"C:\\"};
    s.completesUnfaulted = false;  // not claimed: what a host link allows is the engine's call
    s.build = [](CSimFileSystem& sim) {
        sim.AddFile(L"C:\\target2\\secret.txt", Bytes(4300, 'S'));
        sim.AddFile(L"C:\\target2\\dir\\in.txt", Bytes(200, 'I'));
        sim.AddFile(L"C:\\req\\hosted\\own.txt", Bytes(100, 'w'));
        sim.AddHostLink(L"C:\\req\\hosted\\flink", L"C:\\target2\\secret.txt", false);
        sim.AddHostLink(L"C:\\req\\hosted\\dlink", L"C:\\target2\\dir", true);
        AddSiblings(sim, L"C:\\req\\hosted");
    };
    return s;
}

}  // namespace

std::vector<SweepScenario> SweepScenarios() {
    return {TreeWithNamedStreams(),
            SparseFile(),
            CompressedFileOnTheRawVolume(),
            ReadOnlyFolderAndFile(),
            JunctionAndMountPoint(),
            RemovalThatChangesNothing(),
            HostLinks()};
}

}  // namespace qmz
