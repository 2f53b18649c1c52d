// The performance table in one command: the program itself (quarto --report) measured beside
// its peers in the same run, runs alternating, warm cache, no pause per scanned entry.
//
//   quarto_bench_table [--runs N] [--quarto PATH] PAIR MILLION SCRATCH
//
// PAIR holds the 2 x 100,000-file trees (made there with seed 1 when PAIR/left is missing),
// MILLION the million-entry pair (made there when missing; put it on a tmpfs of about 2 GB),
// SCRATCH gets two 1 GiB files for the last row and loses them afterwards. "-" skips a row's
// data. Rows (the memory row is printed last: it does not depend on the machine's load):
//   1. quarto --report -r PAIR/left PAIR/right    beside  find L R -printf '%s %T@ %m %p\n'
//   2. the same with CheckByteByByte=1            beside  diff -rq L R
//   3. peak resident memory of the whole quarto process on MILLION, per entry
//   4. one 1 GiB file against its copy: the content comparison itself (in this process, as the
//      earlier figures were taken), and the whole program for it, as throughput  beside  cmp -s
#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchJob.h"
#include "bench/TreeGenerator.h"
#include "core/ContentCompare.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Outcome {
    double seconds = 0;
    long maxRssKb = 0;
    int status = -1;  // exit status, -1 when it did not exit normally
};

// Runs argv with standard output to /dev/null and the given extra environment.
Outcome Run(const std::vector<std::string>& words, const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> envWords;
    for (char** e = environ; *e != nullptr; ++e) envWords.emplace_back(*e);
    envWords.insert(envWords.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
    for (const std::string& w : envWords) envp.push_back(const_cast<char*>(w.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Outcome outcome;
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        struct rusage usage {};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
        outcome.maxRssKb = usage.ru_maxrss;
    }
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return outcome;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

std::string CpuModel() {
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "?";
}

// A settings file in a folder of its own, handed to quarto as XDG_CONFIG_HOME.
std::string SettingsHome(const std::string& scratch, const char* name, bool byteByByte) {
    const std::string home = scratch + "/" + name;
    mkdir(home.c_str(), 0755);
    mkdir((home + "/Brightvale").c_str(), 0755);
    std::ofstream(home + "/Brightvale/Quarto.conf")
        << "[Settings]\nScanPausePerEntry=0\nCheckByteByByte=" << (byteByByte ? 1 : 0) << "\n";
    return "XDG_CONFIG_HOME=" + home;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

bool EnsureTrees(const std::string& dir, const quarto::bench::TreeShape& shape) {
    if (Exists(dir + "/left") && Exists(dir + "/right")) return true;
    std::fprintf(stderr, "generating %s ...\n", dir.c_str());
    quarto::bench::TreeCounts counts;
    std::string error;
    if (quarto::bench::GenerateTrees(dir, shape, counts, error)) return true;
    std::fprintf(stderr, "quarto_bench_table: %s\n", error.c_str());
    return false;
}

int RemoveOne(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

void RemoveTree(const std::string& path) {
    nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

size_t g_entries = 0;
int CountEntry(const char*, const struct stat*, int, struct FTW* ftw) {
    if (ftw->level > 0) ++g_entries;
    return 0;
}

// Files and folders below both roots: the entries quarto holds.
size_t CountEntries(const std::string& dir) {
    g_entries = 0;
    for (const char* side : {"/left", "/right"}) nftw((dir + side).c_str(), CountEntry, 32, FTW_PHYS);
    return g_entries;
}

struct Timed {
    double ours;
    double theirs;
};

// Alternates the two commands `runs` times after one warming run of each; medians.
Timed Alternate(int runs, const std::vector<std::string>& ours, const std::vector<std::string>& env,
                const std::vector<std::string>& theirs, bool& ok) {
    Run(ours, env);
    Run(theirs);
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        const Outcome q = Run(ours, env);
        const Outcome p = Run(theirs);
        ok = ok && (q.status == 0 || q.status == 1) && (p.status == 0 || p.status == 1);
        a.push_back(q.seconds);
        b.push_back(p.seconds);
    }
    return {Median(a), Median(b)};
}

// CompareFileContents on the two files alternating with the peer; medians.
Timed CompareInProcess(int runs, const std::string& a, const std::string& b,
                       const std::vector<std::string>& peer, bool& ok) {
    quarto::bench::BenchJob bench;
    bench.settings.CheckByteByByte = true;
    quarto::FileEntry left;
    left.path = a;
    left.nameOffset = static_cast<uint16_t>(a.rfind('/') + 1);
    left.size = 1ULL << 30;
    quarto::FileEntry right = left;
    right.path = b;
    right.nameOffset = static_cast<uint16_t>(b.rfind('/') + 1);
    quarto::CompareFileContents(bench.job, left, right);
    Run(peer);
    std::vector<double> ours, theirs;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        ok = quarto::CompareFileContents(bench.job, left, right) == 0 && ok;
        ours.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        const Outcome p = Run(peer);
        ok = ok && p.status == 0;
        theirs.push_back(p.seconds);
    }
    return {Median(ours), Median(theirs)};
}

bool WriteBigPair(const std::string& a, const std::string& b, uint64_t size) {
    std::vector<unsigned char> chunk(1 << 20);
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    const int fa = open(a.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int fb = open(b.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fa >= 0 && fb >= 0;
    for (uint64_t done = 0; ok && done < size; done += chunk.size()) {
        for (size_t i = 0; i < chunk.size(); i += 8) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            std::memcpy(chunk.data() + i, &state, 8);
        }
        ok = write(fa, chunk.data(), chunk.size()) == static_cast<ssize_t>(chunk.size()) &&
             write(fb, chunk.data(), chunk.size()) == static_cast<ssize_t>(chunk.size());
    }
    // Written back before anything is timed, so that the disk's flushing does not run beside
    // the comparisons; the pages stay in the cache.
    const struct timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
    if (fa >= 0) ok = futimens(fa, times) == 0 && fsync(fa) == 0 && close(fa) == 0 && ok;
    if (fb >= 0) ok = futimens(fb, times) == 0 && fsync(fb) == 0 && close(fb) == 0 && ok;
    return ok;
}

void PrintMachine() {
    struct utsname u {};
    uname(&u);
    const std::time_t now = std::time(nullptr);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    std::printf("machine: %ld cores (%s), %.0f GiB, %s %s; %s; load average %s\n",
                sysconf(_SC_NPROCESSORS_ONLN), CpuModel().c_str(),
                static_cast<double>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE) / (1 << 30), u.sysname,
                u.release, date, LoadAverage().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::string quarto = QUARTO_BINARY;
    std::vector<std::string> dirs;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (word == "--quarto" && i + 1 < argc) {
            quarto = argv[++i];
        } else {
            dirs.push_back(word);
        }
    }
    if (dirs.size() != 3) {
        std::fprintf(stderr, "usage: quarto_bench_table [--runs N] [--quarto PATH] PAIR MILLION SCRATCH\n");
        return 2;
    }
    const std::string& pairDir = dirs[0];
    const std::string& millionDir = dirs[1];
    char configTemplate[] = "/tmp/quarto-bench-XXXXXX";
    const std::string config = mkdtemp(configTemplate);
    const std::string plain = SettingsHome(config, "plain", false);
    const std::string bytes = SettingsHome(config, "bytes", true);
    PrintMachine();
    std::printf("%-48s %12s  %-34s %7s  %s\n", "what", "quarto", "peer", "ratio", "target");
    bool ok = true;

    quarto::bench::TreeShape hundred;
    hundred.filesPerSide = 100000;
    if (pairDir != "-" && EnsureTrees(pairDir, hundred)) {
        const std::string l = pairDir + "/left", r = pairDir + "/right";
        const Timed scan = Alternate(runs, {quarto, "--report", "-r", l, r}, {plain},
                                     {"find", l, r, "-printf", "%s %T@ %m %p\\n"}, ok);
        std::printf("%-48s %10.3f s  find -printf %19.3f s %6.2fx  <= 0.6x\n",
                    "scan+pair+report 2 x 100,000 files", scan.ours, scan.theirs, scan.ours / scan.theirs);
        const Timed compare =
            Alternate(runs, {quarto, "--report", "-r", l, r}, {bytes}, {"diff", "-rq", l, r}, ok);
        std::printf("%-48s %10.3f s  diff -rq %23.3f s %6.2fx  <= 0.8x\n", "the same with CheckByteByByte=1",
                    compare.ours, compare.theirs, compare.ours / compare.theirs);
    }
    // The timed rows first, while the machine is as quiet as it was at the start; the memory
    // figure does not depend on the load.
    if (dirs[2] != "-") {
        const std::string a = dirs[2] + "/quarto-bench-a", b = dirs[2] + "/quarto-bench-b";
        mkdir(a.c_str(), 0755);
        mkdir(b.c_str(), 0755);
        const uint64_t size = 1ULL << 30;
        if (WriteBigPair(a + "/big.bin", b + "/big.bin", size)) {
            const std::vector<std::string> cmp{"cmp", "-s", a + "/big.bin", b + "/big.bin"};
            const Timed inProcess = CompareInProcess(runs, a + "/big.bin", b + "/big.bin", cmp, ok);
            std::printf("%-48s %6.0f MiB/s  cmp -s %19.0f MiB/s %6.2fx  >= 3x\n",
                        "1 GiB file against its copy", 1024 / inProcess.ours, 1024 / inProcess.theirs,
                        inProcess.theirs / inProcess.ours);
            const Timed whole = Alternate(runs, {quarto, "--report", a, b}, {bytes}, cmp, ok);
            std::printf("%-48s %6.0f MiB/s  cmp -s %19.0f MiB/s %6.2fx\n", "  the same, the whole program",
                        1024 / whole.ours, 1024 / whole.theirs, whole.theirs / whole.ours);
        } else {
            std::fprintf(stderr, "cannot write the 1 GiB files in %s\n", dirs[2].c_str());
            ok = false;
        }
        unlink((a + "/big.bin").c_str());
        unlink((b + "/big.bin").c_str());
        rmdir(a.c_str());
        rmdir(b.c_str());
    }
    if (millionDir != "-" && EnsureTrees(millionDir, quarto::bench::MillionShape(1))) {
        const size_t entries = CountEntries(millionDir);
        const std::vector<std::string> words{quarto, "--report", "-r", millionDir + "/left",
                                             millionDir + "/right"};
        Run(words, {plain});
        long peakKb = 0;
        for (int i = 0; i < std::min(runs, 3); ++i) {
            const Outcome q = Run(words, {plain});
            ok = ok && (q.status == 0 || q.status == 1);
            peakKb = std::max(peakKb, q.maxRssKb);
        }
        std::printf("%-48s %8.0f B/entry  (%ld MiB peak for %zu entries)          <= 200\n",
                    "peak memory, the million-entry pair", peakKb * 1024.0 / static_cast<double>(entries),
                    peakKb / 1024, entries);
    }
    std::printf("load average at the end: %s\n", LoadAverage().c_str());
    RemoveTree(config);
    if (!ok) std::fprintf(stderr, "quarto_bench_table: a run failed\n");
    return ok ? 0 : 1;
}
