// Scan-and-pair benchmark: both sides scanned at once (one thread per side, no pause per
// entry) and paired into the two row lists, exactly as a refresh does, measured side by side
// with `find LEFT RIGHT -printf '%s %T@ %m %p\n'` on the same trees, runs alternating.
// Each Quarto run happens in a child process so its peak memory is its own.
//
//   quarto_bench_scan LEFT RIGHT [RUNS]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchJob.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "ops/JobThreads.h"
#include "ops/Refresh.h"

namespace {

using Clock = std::chrono::steady_clock;

long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
    return 0;
}

struct QuartoRun {
    double seconds = 0;
    double entries = 0;
    double bytesPerEntry = 0;
};

// One refresh of LEFT against RIGHT into fresh row lists; in the child process.
QuartoRun RefreshOnce(const std::string& left, const std::string& right) {
    using namespace quarto;
    const long baselineKb = StatusKb("VmRSS:");
    bench::BenchJob bench;
    Settings& settings = bench.settings;
    settings.ScanPausePerEntry = 0;
    settings.IncludeSubdirs = true;
    settings.LeftDir = left;
    settings.RightDir = right;
    MessageLoop& loop = bench.loop;
    JobContext& job = bench.job;
    DirectoryPair& pair = bench.pair;
    Event leftDone(Event::Reset::Auto), rightDone(Event::Reset::Auto);
    JobThreads threads;
    Refresher refresher(job, pair, nullptr, leftDone, rightDone, threads);
    bool done = false;
    loop.SetHandler([&](const FrameMessage& m) -> intptr_t {
        if (m.id == UM_REFRESHDONE) done = true;
        return 0;
    });
    const auto start = Clock::now();
    refresher.StartRefresh();
    loop.RunUntil([&] { return done; });
    threads.JoinAll();
    QuartoRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.entries = static_cast<double>(pair[Side::Left].entries.Size() + pair[Side::Right].entries.Size());
    run.bytesPerEntry = (StatusKb("VmHWM:") - baselineKb) * 1024.0 / std::max(run.entries, 1.0);
    return run;
}

QuartoRun RefreshInChild(const std::string& left, const std::string& right) {
    int fds[2];
    if (pipe(fds) != 0) std::exit(2);
    const pid_t pid = fork();
    if (pid == 0) {
        const QuartoRun run = RefreshOnce(left, right);
        if (write(fds[1], &run, sizeof run) != sizeof run) _exit(2);
        _exit(0);
    }
    QuartoRun run;
    if (read(fds[0], &run, sizeof run) != sizeof run) std::exit(2);
    waitpid(pid, nullptr, 0);
    close(fds[0]);
    close(fds[1]);
    return run;
}

double FindOnce(const std::string& left, const std::string& right) {
    const std::string command = "find '" + left + "' '" + right + "' -printf '%s %T@ %m %p\\n' > /dev/null";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "find failed\n");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s LEFT RIGHT [RUNS]\n", argv[0]);
        return 2;
    }
    std::string left = argv[1], right = argv[2];
    if (left.back() != '/') left += '/';
    if (right.back() != '/') right += '/';
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;

    FindOnce(left, right);  // warm the cache
    std::vector<double> quarto, find, memory;
    double entries = 0;
    for (int i = 0; i < runs; ++i) {
        const QuartoRun run = RefreshInChild(left, right);
        quarto.push_back(run.seconds);
        memory.push_back(run.bytesPerEntry);
        entries = run.entries;
        find.push_back(FindOnce(left, right));
    }
    const double q = Median(quarto), f = Median(find);
    std::printf("entries (both sides)     %.0f\n", entries);
    std::printf("quarto scan+pair         %.3f s  (%.0f entries/s)\n", q, entries / q);
    std::printf("find -printf             %.3f s  (%.0f entries/s)\n", f, entries / f);
    std::printf("time ratio quarto/find   %.2fx  (target <= 1.0x)\n", q / f);
    std::printf("peak memory per entry    %.0f bytes  (target <= 400)\n", Median(memory));
    return 0;
}
