#include "tests/engine/fault_sweep_checks.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "platform/sim/sim_path.h"
#include "tests/engine/fault_sweep_report.h"

namespace qmz {
namespace {

constexpr char kOutside[] = "changed outside the request";
constexpr char kCompletedWithLeftovers[] = "operation Completed but a requested item remains";
constexpr char kCompletedWithFailedLine[] = "operation Completed but a line failed";
constexpr char kFailedWithoutLine[] = "operation failed without a failed line";
constexpr char kUnreported[] = "requested item remains without a failed line";
constexpr char kCompletedButThere[] = "Completed line but the item remains";
constexpr char kCompletedUnknown[] = "Completed line for an item that never existed";
constexpr char kDataLeft[] = "Completed line but old data left on disk";
constexpr char kHandlesLeft[] = "handles left open";

constexpr uint32_t kSpecialAttributes =
    FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED | FILE_ATTRIBUTE_SPARSE_FILE;

// `path` is `item` or lies below it (a child, or one of its streams).
bool IsUnder(const std::wstring& path, const std::wstring& item) {
    if (path.size() < item.size() || !EqualsNoCase(path.substr(0, item.size()), item)) {
        return false;
    }
    return path.size() == item.size() || path[item.size()] == L'\\' || path[item.size()] == L':';
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// Which object a name stands for, as the journal tells it: a file is renamed to "$1"
// beside itself before it is deleted, and renamed back when the delete fails, and under
// any of those names it is the same object.
class CRenames {
public:
    // The name that the object now at `path` had before the run.
    std::wstring Origin(const std::wstring& path) const {
        const auto found = m_origin.find(path);
        return found == m_origin.end() ? path : found->second;
    }

    void Apply(const SimJournalEntry& entry) {
        if (entry.device) {
            return;
        }
        if (entry.call == SimCall::kMove) {
            const std::wstring origin = Origin(entry.path);
            m_origin.erase(entry.path);
            m_origin[entry.target] = origin;
        } else if ((entry.call == SimCall::kDelete && entry.stream.empty()) ||
                   entry.call == SimCall::kRemoveDirectory) {
            m_origin.erase(entry.path);
        }
    }

private:
    std::map<std::wstring, std::wstring> m_origin;  // by current name
};

class CRunJudge {
public:
    CRunJudge(CSimFileSystem& sim, const SweepRun& run)
        : m_sim(sim), m_run(run), m_request(run.scenario->path) {
        for (const SimJournalEntry& entry : run.journal) {
            m_renames.Apply(entry);
        }
    }

    SweepVerdict Judge() {
        m_verdict.status = m_run.outcome.status;
        if (m_run.openHandles != 0) {
            Fail(kHandlesLeft, std::to_string(m_run.openHandles));
        }
        CheckOutside();
        CheckJournal();
        CheckReported();
        CheckOverwritten();
        return m_verdict;
    }

private:
    // Whether the object at `path` after the run is, or was, part of the request.
    bool Inside(const std::wstring& path) const {
        return IsUnder(m_renames.Origin(path), m_request);
    }

    void Fail(const char* check, const std::string& detail) {
        for (const SweepFinding& finding : m_verdict.findings) {
            if (finding.check == check) {
                return;  // the first instance tells enough
            }
        }
        m_verdict.findings.push_back({check, detail});
    }

    void CheckOutside() {
        for (const auto& [path, object] : m_run.before) {
            if (Inside(path)) {
                continue;
            }
            ++m_verdict.outsideObjects;
            const auto after = m_run.after.find(path);
            if (after == m_run.after.end()) {
                Fail(kOutside, "removed " + Narrow(path));
            } else if (after->second.attributes != object.attributes) {
                Fail(kOutside, "attributes of " + Narrow(path) + " " + Hex(object.attributes) +
                                   " -> " + Hex(after->second.attributes));
            } else if (!(after->second.streams == object.streams)) {
                Fail(kOutside, "streams of " + Narrow(path));
            }
        }
        for (const auto& entry : m_run.after) {
            if (!Inside(entry.first) && m_run.before.count(entry.first) == 0) {
                Fail(kOutside, "appeared " + Narrow(entry.first));
            }
        }
    }

    // Raw writes may reach only the requested streams' clusters; calls through the file
    // system may change only requested objects.
    void CheckJournal() {
        std::map<std::wstring, std::set<int64_t>> owned;  // by volume root
        for (const auto& [path, object] : m_run.before) {
            if (Inside(path)) {
                for (const SweepStream& stream : object.streams) {
                    owned[RootOf(path)].insert(stream.lcns.begin(), stream.lcns.end());
                }
            }
        }
        CRenames renames;  // as they stood at each call
        for (const SimJournalEntry& entry : m_run.journal) {
            const std::wstring origin = renames.Origin(entry.path);
            renames.Apply(entry);
            if (entry.call == SimCall::kRead || entry.call == SimCall::kFlush) {
                continue;  // looking changes nothing
            }
            if (entry.device) {
                const std::wstring root = entry.path.substr(4, 2) + L"\\";  // "\\.\C:"
                const std::set<int64_t>& mine = owned[root];
                const uint64_t end = (entry.offset + entry.length + kCluster - 1) / kCluster;
                for (uint64_t lcn = entry.offset / kCluster; lcn < end; ++lcn) {
                    if (mine.count(static_cast<int64_t>(lcn)) == 0) {
                        Fail(kOutside, "raw " + SimCallName(entry.call) + " of cluster " +
                                           std::to_string(lcn) + " of " + Narrow(entry.path));
                        break;
                    }
                }
            } else if (!IsUnder(origin, m_request)) {
                Fail(kOutside, SimCallName(entry.call) + " of " + Narrow(entry.path));
            }
        }
    }

    void CheckReported() {
        const RunOutcome& outcome = m_run.outcome;
        std::vector<std::wstring> leftovers;
        for (const auto& entry : m_run.after) {
            if (Inside(entry.first)) {
                leftovers.push_back(m_renames.Origin(entry.first));
            }
        }
        const bool completed = outcome.status == StatusCompleted;
        const auto failedLine =
            std::find_if(outcome.lines.begin(), outcome.lines.end(),
                         [](const ResultLine& line) { return line.status != StatusCompleted; });
        if (completed && !leftovers.empty()) {
            Fail(kCompletedWithLeftovers, Narrow(leftovers.front()));
        }
        if (completed && failedLine != outcome.lines.end()) {
            Fail(kCompletedWithFailedLine,
                 Narrow(failedLine->path) + " " + std::to_string(failedLine->status));
        }
        if (!completed && failedLine == outcome.lines.end()) {
            Fail(kFailedWithoutLine, "status " + std::to_string(outcome.status));
        }
        for (const std::wstring& leftover : leftovers) {
            // Its own failed line, or a failed line of a folder that holds it.
            const bool reported = std::any_of(
                outcome.lines.begin(), outcome.lines.end(), [&](const ResultLine& line) {
                    return line.status != StatusCompleted && Inside(line.path) &&
                           IsUnder(leftover, line.path);
                });
            if (!reported) {
                Fail(kUnreported, Narrow(leftover));
            }
        }
        for (const ResultLine& line : outcome.lines) {
            const bool remains = std::any_of(
                leftovers.begin(), leftovers.end(),
                [&](const std::wstring& leftover) { return EqualsNoCase(leftover, line.path); });
            if (line.status == StatusCompleted && remains) {
                Fail(kCompletedButThere, Narrow(line.path));
            }
        }
    }

    // Every cluster that held a stream of an item reported erased holds the last pass now
    // (or zeros, where the file system was told to zero a special stream).
    void CheckOverwritten() {
        for (const ResultLine& line : m_run.outcome.lines) {
            if (line.status != StatusCompleted) {
                continue;
            }
            const auto before = m_run.before.find(line.path);
            if (before == m_run.before.end()) {
                Fail(kCompletedUnknown, Narrow(line.path));
                continue;
            }
            const bool zeroed = (before->second.attributes & kSpecialAttributes) != 0 &&
                                m_run.scenario->vistaOrLater;
            const uint8_t expected = zeroed ? 0 : m_run.lastPattern;
            for (const SweepStream& stream : before->second.streams) {
                CheckStream(line.path, stream, expected);
            }
        }
    }

    void CheckStream(const std::wstring& path, const SweepStream& stream, uint8_t expected) {
        const uint64_t size = stream.data.size();
        for (size_t vcn = 0; vcn < stream.lcns.size(); ++vcn) {
            const uint64_t from = vcn * kCluster;
            if (stream.lcns[vcn] < 0 || from >= size) {
                continue;
            }
            // Only the bytes that held data: the slack past the end never did.
            const std::string cluster = ClusterAt(m_sim, path, stream.lcns[vcn]);
            const size_t count = static_cast<size_t>(std::min<uint64_t>(kCluster, size - from));
            ++m_verdict.clustersVerified;
            const auto wrong =
                std::find_if(cluster.begin(), cluster.begin() + count,
                             [&](char byte) { return static_cast<uint8_t>(byte) != expected; });
            if (wrong != cluster.begin() + count) {
                const std::wstring name = stream.name.empty() ? path : path + L":" + stream.name;
                Fail(kDataLeft, Narrow(name) + " VCN " + std::to_string(vcn) + " holds " +
                                    Hex(static_cast<uint8_t>(*wrong)) + ", want " + Hex(expected));
                return;
            }
        }
    }

    CSimFileSystem& m_sim;
    const SweepRun& m_run;
    std::wstring m_request;
    CRenames m_renames;  // as they stand after the run
    SweepVerdict m_verdict;
};

}  // namespace

SweepVerdict CheckRun(CSimFileSystem& sim, const SweepRun& run) {
    return CRunJudge(sim, run).Judge();
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) {
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return narrow;
}

}  // namespace qmz
