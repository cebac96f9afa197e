#include "tests/engine/fault_sweep_snapshot.h"

#include <memory>

#include "engine/path_helpers.h"

namespace qmz {
namespace {

SweepStream StreamOf(CSimFileSystem& sim, const std::wstring& object, const std::wstring& name) {
    SweepStream stream;
    stream.name = name;
    const std::wstring path = name.empty() ? object : object + L":" + name;
    stream.data = sim.ReadAll(path);
    stream.lcns = sim.ClustersOf(path);
    for (int64_t lcn : stream.lcns) {
        if (lcn >= 0) {
            stream.clusters += ClusterAt(sim, object, lcn);
        }
    }
    return stream;
}

void AddObject(CSimFileSystem& sim, const std::wstring& path, uint32_t attributes,
               SweepTree* tree) {
    SweepObject& object = (*tree)[path];
    object.attributes = sim.AttributesOf(path);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        object.streams.push_back(StreamOf(sim, path, L""));
    }
    for (const std::wstring& name : sim.StreamNames(path)) {
        object.streams.push_back(StreamOf(sim, path, name));
    }
}

void ListFolder(CSimFileSystem& sim, const std::wstring& folder, SweepTree* tree) {
    std::unique_ptr<IFindHandle> find;
    FindData entry;
    if (sim.FindFirst(JoinPath(folder, L"*"), &find, &entry) != ERROR_SUCCESS) {
        return;  // an empty folder
    }
    std::vector<std::wstring> folders;
    do {
        if (entry.name == L"." || entry.name == L"..") {
            continue;
        }
        const std::wstring path = JoinPath(folder, entry.name);
        AddObject(sim, path, entry.attributes, tree);
        const uint32_t kEntered = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((entry.attributes & kEntered) == FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(path);
        }
    } while (find->Next(&entry) == ERROR_SUCCESS);
    find.reset();
    for (const std::wstring& path : folders) {
        ListFolder(sim, path, tree);
    }
}

}  // namespace

SweepTree SnapshotTree(CSimFileSystem& sim, const std::vector<std::wstring>& roots) {
    SweepTree tree;
    for (const std::wstring& root : roots) {
        ListFolder(sim, root, &tree);
    }
    return tree;
}

std::wstring RootOf(const std::wstring& path) {
    return path.substr(0, 3);
}

std::string ClusterAt(CSimFileSystem& sim, const std::wstring& path, int64_t lcn) {
    return sim.ReadClusters(RootOf(path), lcn, 1);
}

}  // namespace qmz
