// Copy throughput of the file actions beside `cp -a`, in the same run on the same trees.
//
//   quarto_bench_copy FOLDER [--rounds N] [--small N] [--large N] [--large-mib N]
//                     [--set small|large] [--tool quarto|cp] [--thread-per-row]
//
// Creates FOLDER/quarto-bench/src with N small files (default 10,000, 1 to 8 KiB, 100 to a
// folder) and N large files (default 20 of 50 MiB), then copies each set into a fresh target
// with the action workers as the operation driver runs them (the folders first, one at a time;
// then the files, up to five in flight, one event per slot, one worker thread per slot, or with
// --thread-per-row a new thread for every row), and with `cp -a`, alternating which
// goes first in each round. Every target is checked (file count and bytes) and kept until the end
// (on ext4, creating files right after many were deleted costs several times more: the inode
// allocator skips recently deleted inodes); `sync` runs between measurements so that one copy's
// write-back does not slow the next. Prints files/s
// and MiB/s per round and the medians, and the ratio Quarto / cp -a (target: at least 0.8).
#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchJob.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/ActionSlots.h"
#include "ops/CommandFile.h"
#include "ops/FileActions.h"
#include "ops/OperationCodes.h"
#include "platform/DirectoryListing.h"
#include "platform/ErrorSink.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

extern char** environ;

namespace quarto {
namespace {

struct Options {
    std::string folder;
    int rounds = 3;
    int smallFiles = 10000;
    int largeFiles = 20;
    int largeMiB = 50;
    std::string set;            // "small" or "large": only that set
    std::string tool;           // "quarto" or "cp": only that tool (for profiling one side)
    bool threadPerRow = false;  // a new thread per row instead of one worker per slot
};

struct TreeEntries {
    std::vector<FileEntry> folders;  // parents before children
    std::vector<FileEntry> files;
    uint64_t bytes = 0;
};

struct Measure {
    double seconds = 0;
    uint64_t files = 0;
    uint64_t bytes = 0;
    double FilesPerSecond() const { return files / seconds; }
    double MiBPerSecond() const { return bytes / 1048576.0 / seconds; }
};

int Run(const std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
}

// Fills a file with pseudo-random bytes (no file system can compress or dedupe them).
void WriteFile(const std::string& path, uint64_t size, uint64_t& seed) {
    static std::vector<uint64_t> block(1 << 17);  // 1 MiB
    std::ofstream out(path, std::ios::binary);
    while (size > 0) {
        for (uint64_t& word : block) {
            seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17;
            word = seed;
        }
        const uint64_t n = std::min<uint64_t>(size, block.size() * sizeof(uint64_t));
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
        size -= n;
    }
}

void CreateSources(const Options& options, const std::string& small, const std::string& large) {
    uint64_t seed = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < options.smallFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "d%03d/f%05d.dat", i / 100, i);
        MakeFolders(small + name);
        WriteFile(small + name, 1024 + seed % 7169, seed);
    }
    for (int i = 0; i < options.largeFiles; ++i) {
        MakeFolders(large);
        WriteFile(large + "big" + std::to_string(i) + ".dat", uint64_t(options.largeMiB) << 20, seed);
    }
}

// The entries below `root` as a scan would describe them.
void Collect(const std::string& root, const std::string& relative, TreeEntries& tree) {
    DirectoryListing listing;
    if (listing.Open(root + relative) != 0) return;
    std::vector<ListingRecord> records;
    for (ListingRecord record; listing.Next(record) == 0;)
        if (record.name != "." && record.name != "..") records.push_back(record);
    std::sort(records.begin(), records.end(), [](auto& a, auto& b) { return a.name < b.name; });
    for (const ListingRecord& record : records) {
        FileEntry entry;
        entry.path = root + relative + record.name;
        entry.nameOffset = static_cast<uint16_t>(root.size() + relative.size());
        entry.size = record.size;
        entry.attributes = record.attributes;
        if (entry.IsDirectory()) {
            tree.folders.push_back(entry);
            Collect(root, relative + record.name + "/", tree);
        } else {
            tree.files.push_back(entry);
            tree.bytes += record.size;
        }
    }
}

TreeEntries Describe(const std::string& root) {
    TreeEntries tree;
    Collect(root, "", tree);
    return tree;
}

// One pass through ActionSlots: `slots` actions in flight, a slot per event, a worker per slot.
void RunPassOnSlots(ActionRun& run, const std::vector<FileEntry>& entries, size_t firstRow, size_t slots) {
    ActionSlots pass(run, slots);
    for (size_t i = 0; i < entries.size(); ++i) {
        run.pair.List(Side::Left).ChangeState(firstRow + i, kRowInProgress, kRowMarked);
        auto item =
            std::make_unique<ActionItem>(ActionItem{kCmdCopySelected, Side::Left, firstRow + i, entries[i]});
        pass.Start(item);
    }
    pass.WaitIdle();
}

// The same pass with a new thread for every row.
void RunPassOnThreads(ActionRun& run, const std::vector<FileEntry>& entries, size_t firstRow, size_t slots) {
    std::vector<std::unique_ptr<Event>> events;
    std::vector<Event*> waitable;
    for (size_t i = 0; i < slots; ++i) {
        events.push_back(std::make_unique<Event>(Event::Reset::Auto, true));
        waitable.push_back(events.back().get());
    }
    std::vector<std::thread> workers(slots);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int slot = Event::WaitAny(waitable);
        if (workers[slot].joinable()) workers[slot].join();
        run.pair.List(Side::Left).ChangeState(firstRow + i, kRowInProgress, kRowMarked);
        auto item = std::make_unique<ActionItem>(
            ActionItem{kCmdCopySelected, Side::Left, firstRow + i, entries[i], waitable[slot]});
        workers[slot] = std::thread(PerformItemAction, std::ref(run), std::move(item));
    }
    Event::WaitAll(waitable);
    for (std::thread& worker : workers)
        if (worker.joinable()) worker.join();
}

Measure CopyWithQuarto(const std::string& source, const std::string& target, TreeEntries tree,
                       bool threadPerRow) {
    quarto::bench::BenchJob bench;
    // Paired as a comparison leaves them: unique on the left, so each copy first makes sure that
    // no target has appeared since.
    for (auto* set : {&tree.folders, &tree.files})
        for (FileEntry& entry : *set) entry.counterpart = &bench.pair.Blank();
    Settings& settings = bench.settings;
    JobContext& job = bench.job;
    DirectoryPair& pair = bench.pair;
    pair.Directory(Side::Left) = source;
    pair.Directory(Side::Right) = target;
    pair[Side::Left].rootLength = static_cast<uint32_t>(source.size());
    pair[Side::Right].rootLength = static_cast<uint32_t>(target.size());
    RowList& rows = pair.List(Side::Left);
    rows.SetRedraw(false);
    for (const auto* set : {&tree.folders, &tree.files})
        for (const FileEntry& entry : *set) rows.SetMarked(rows.AddEntryRow(rows.Count(), entry), true);
    CommandFile commandFile("quarto_bench_copy", "");
    std::mutex errorDialogMutex;
    ActionRun run{
        job, pair, commandFile, settings.IgnoreFileAttributes, settings.AttributeMask, errorDialogMutex};
    mkdir(target.c_str(), 0755);
    const auto start = std::chrono::steady_clock::now();
    const auto pass = threadPerRow ? RunPassOnThreads : RunPassOnSlots;
    pass(run, tree.folders, 0, 1);
    pass(run, tree.files, tree.folders.size(), 5);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), tree.files.size(), tree.bytes};
}

Measure CopyWithCp(const std::string& source, const std::string& target, const TreeEntries& tree) {
    const auto start = std::chrono::steady_clock::now();
    // cp -a copies the folder itself: "cp -a src/small dst/small" makes dst/small.
    const int status =
        Run({"cp", "-a", source.substr(0, source.size() - 1), target.substr(0, target.size() - 1)});
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (status != 0) std::fprintf(stderr, "cp -a failed with %d\n", status);
    return {elapsed.count(), tree.files.size(), tree.bytes};
}

bool SameShape(const TreeEntries& a, const TreeEntries& b) {
    return a.files.size() == b.files.size() && a.folders.size() == b.folders.size() && a.bytes == b.bytes;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int* number = word == "--rounds"      ? &options.rounds
                      : word == "--small"     ? &options.smallFiles
                      : word == "--large"     ? &options.largeFiles
                      : word == "--large-mib" ? &options.largeMiB
                                              : nullptr;
        if (number != nullptr) {
            if (value == nullptr || (*number = std::atoi(value)) <= 0) return false;
            ++i;
        } else if (word == "--set" || word == "--tool") {
            if (value == nullptr) return false;
            (word == "--set" ? options.set : options.tool) = value;
            ++i;
        } else if (word == "--thread-per-row") {
            options.threadPerRow = true;
        } else if (options.folder.empty() && !word.empty() && word[0] != '-') {
            options.folder = word;
        } else {
            return false;
        }
    }
    return !options.folder.empty();
}

int Main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s FOLDER [--rounds N] [--small N] [--large N] [--large-mib N] [--set "
                     "small|large] [--tool quarto|cp] [--thread-per-row]\n",
                     argv[0]);
        return 2;
    }
    const std::string base = options.folder + (options.folder.back() == '/' ? "" : "/") + "quarto-bench/";
    Run({"rm", "-rf", base});
    const std::string sets[2] = {"small", "large"};
    std::printf("creating %d small files and %d files of %d MiB under %s\n", options.smallFiles,
                options.largeFiles, options.largeMiB, base.c_str());
    CreateSources(options, base + "src/small/", base + "src/large/");
    sync();
    std::vector<double> rates[2][2];  // [set][0 Quarto, 1 cp -a]: files/s for small, MiB/s for large
    for (int s = 0; s < 2; ++s) {
        if (!options.set.empty() && options.set != sets[s]) continue;
        const std::string source = base + "src/" + sets[s] + "/";
        const TreeEntries tree = Describe(source);
        for (int round = 0; round < options.rounds; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                const int tool = (round + turn) % 2;  // alternate who goes first
                if (!options.tool.empty() && options.tool != (tool == 0 ? "quarto" : "cp")) continue;
                const std::string targetBase =
                    base + (tool == 0 ? "quarto-" : "cp-") + sets[s] + "-" + std::to_string(round) + "/";
                const std::string target = targetBase + sets[s] + "/";
                mkdir(targetBase.c_str(), 0755);
                const Measure m = tool == 0 ? CopyWithQuarto(source, target, tree, options.threadPerRow)
                                            : CopyWithCp(source, target, tree);
                if (!SameShape(tree, Describe(target)))
                    std::fprintf(stderr, "!! %s copy is incomplete\n", target.c_str());
                rates[s][tool].push_back(s == 0 ? m.FilesPerSecond() : m.MiBPerSecond());
                std::printf("round %d %-5s %-6s %7.3f s  %9.0f files/s  %8.1f MiB/s\n", round + 1,
                            sets[s].c_str(), tool == 0 ? "quarto" : "cp -a", m.seconds, m.FilesPerSecond(),
                            m.MiBPerSecond());
                std::fflush(stdout);
                sync();
            }
        }
    }
    for (auto& set : rates)
        for (auto& tool : set)
            if (tool.empty()) tool.push_back(0);
    const double smallRatio = Median(rates[0][0]) / Median(rates[0][1]);
    const double largeRatio = Median(rates[1][0]) / Median(rates[1][1]);
    std::printf("\nmedian of %d rounds          quarto        cp -a   ratio\n", options.rounds);
    std::printf("small files (files/s) %12.0f %12.0f   %.2fx\n", Median(rates[0][0]), Median(rates[0][1]),
                smallRatio);
    std::printf("large files (MiB/s)   %12.1f %12.1f   %.2fx\n", Median(rates[1][0]), Median(rates[1][1]),
                largeRatio);
    std::printf("target: at least 0.80x cp -a: %s\n",
                smallRatio >= 0.8 && largeRatio >= 0.8 ? "met" : "NOT met");
    Run({"rm", "-rf", base});
    return 0;
}

}  // namespace
}  // namespace quarto

int main(int argc, char** argv) {
    return quarto::Main(argc, argv);
}
