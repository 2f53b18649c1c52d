// Throughput of the content comparison against cmp(1) on two identical files with a warm page
// cache. Usage: quarto_bench_compare FOLDER [SIZE[K|M|G]] [RUNS]  (default 1G, 5 runs).
// The runs alternate (Quarto, cmp, Quarto, cmp, ...) so that both see the same cache state.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchJob.h"
#include "core/ContentCompare.h"
#include "core/JobContext.h"
#include "core/Settings.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kChunk = 1 << 20;

bool ParseSize(const char* text, uint64_t& size) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text) return false;
    uint64_t scale = 1;
    if (*end == 'K' || *end == 'k') scale = 1ULL << 10;
    if (*end == 'M' || *end == 'm') scale = 1ULL << 20;
    if (*end == 'G' || *end == 'g') scale = 1ULL << 30;
    if (*end != '\0' && scale == 1) return false;
    size = value * scale;
    return size > 0;
}

// Writes the same pseudo-random bytes to both files, so no page is shared by accident.
bool WriteFiles(const std::string& a, const std::string& b, uint64_t size) {
    std::vector<unsigned char> chunk(kChunk);
    uint64_t state = 0x9E3779B97F4A7C15ULL;
    const int fa = ::open(a.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int fb = ::open(b.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fa >= 0 && fb >= 0;
    for (uint64_t done = 0; ok && done < size; done += kChunk) {
        for (size_t i = 0; i < kChunk; i += 8) {
            state ^= state << 13, state ^= state >> 7, state ^= state << 17;
            std::copy_n(reinterpret_cast<const unsigned char*>(&state), 8, chunk.data() + i);
        }
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, size - done));
        ok = ::write(fa, chunk.data(), n) == static_cast<ssize_t>(n) &&
             ::write(fb, chunk.data(), n) == static_cast<ssize_t>(n);
    }
    if (fa >= 0) ::close(fa);
    if (fb >= 0) ::close(fb);
    return ok;
}

void ReadThrough(const std::string& path) {
    std::vector<char> buffer(kChunk);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

// Seconds taken by `cmp -s a b`, or a negative value when it did not report "identical".
double TimeCmp(const std::string& a, const std::string& b) {
    std::vector<std::string> words{"cmp", "-s", a, b};
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cmp", nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quarto;
    uint64_t size = 1ULL << 30;
    int runs = 5;
    if (argc < 2 || (argc > 2 && !ParseSize(argv[2], size)) ||
        (argc > 3 && (runs = std::atoi(argv[3])) < 1)) {
        std::fprintf(stderr, "usage: %s FOLDER [SIZE[K|M|G]] [RUNS]\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::string a = folder + "quarto_bench_compare_a.bin";
    const std::string b = folder + "quarto_bench_compare_b.bin";
    if (!WriteFiles(a, b, size)) {
        std::fprintf(stderr, "cannot write the test files in %s\n", folder.c_str());
        return 1;
    }
    ReadThrough(a);
    ReadThrough(b);

    quarto::bench::BenchJob bench;
    bench.settings.CheckByteByByte = true;
    JobContext& job = bench.job;
    FileEntry left;
    left.path = a;
    left.size = size;
    FileEntry right = left;
    right.path = b;

    const double mib = static_cast<double>(size) / (1 << 20);
    std::vector<double> ours;
    std::vector<double> theirs;
    int status = 0;
    for (int run = 1; run <= runs && status == 0; ++run) {
        const Clock::time_point start = Clock::now();
        const uint32_t flags = CompareFileContents(job, left, right);
        const double oursSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double cmpSeconds = TimeCmp(a, b);
        if (flags != 0 || cmpSeconds < 0) {
            std::fprintf(stderr, "run %d: a comparison did not find the files identical\n", run);
            status = 1;
            break;
        }
        ours.push_back(mib / oursSeconds);
        theirs.push_back(mib / cmpSeconds);
        std::printf("run %d: quarto %8.1f MiB/s   cmp %8.1f MiB/s\n", run, ours.back(), theirs.back());
    }
    if (status == 0) {
        const double q = Median(ours);
        const double c = Median(theirs);
        std::printf("median of %d runs on %.0f MiB: quarto %.1f MiB/s, cmp %.1f MiB/s, ratio %.2f\n", runs,
                    mib, q, c, q / c);
    }
    ::unlink(a.c_str());
    ::unlink(b.c_str());
    return status;
}
