// quarto_gentree [--files N] [--seed S] [--per-folder N] [--depth N] [--tiny] [--million] OUTDIR:
// writes OUTDIR/left and OUTDIR/right for the benchmarks and prints what they hold. --million
// is the memory benchmark's pair: 1,000,000 tiny files a side in 1,000 folders of 1,000
// (about 2 GB on a tmpfs); options after it change it.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/TreeGenerator.h"

namespace {

int Usage(const char* why) {
    std::fprintf(stderr,
                 "quarto_gentree: %s\nusage: quarto_gentree [--files N] [--seed S] [--per-folder N] "
                 "[--depth N] [--tiny] [--million] OUTDIR\n",
                 why);
    return 2;
}

bool ParseNumber(const char* text, uint64_t& value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    quarto::bench::TreeShape shape;
    std::string outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--files" || word == "--seed" || word == "--per-folder" || word == "--depth") {
            uint64_t value = 0;
            if (i + 1 >= argc || !ParseNumber(argv[i + 1], value) || (word != "--seed" && value == 0) ||
                (word != "--files" && word != "--seed" && value > 100000))
                return Usage(("bad number after " + word).c_str());
            if (word == "--files") shape.filesPerSide = value;
            if (word == "--seed") shape.seed = value;
            if (word == "--per-folder") shape.filesPerFolder = static_cast<unsigned>(value);
            if (word == "--depth") shape.maxDepth = static_cast<unsigned>(value);
            ++i;
        } else if (word == "--tiny") {
            shape.tinyFiles = true;
        } else if (word == "--million") {
            shape = quarto::bench::MillionShape(shape.seed);
        } else if (word.rfind("--", 0) == 0 || !outDir.empty()) {
            return Usage(("unexpected argument " + word).c_str());
        } else {
            outDir = word;
        }
    }
    if (outDir.empty()) return Usage("no OUTDIR given");

    quarto::bench::TreeCounts counts;
    std::string error;
    const auto started = std::chrono::steady_clock::now();
    if (!quarto::bench::GenerateTrees(outDir, shape, counts, error)) {
        std::fprintf(stderr, "quarto_gentree: %s\n", error.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("seed %llu, %llu folders a side, %.1f s\n", static_cast<unsigned long long>(shape.seed),
                static_cast<unsigned long long>(counts.folders), seconds);
    std::printf("left:  %llu files, %llu bytes\n", static_cast<unsigned long long>(counts.leftFiles),
                static_cast<unsigned long long>(counts.leftBytes));
    std::printf("right: %llu files, %llu bytes\n", static_cast<unsigned long long>(counts.rightFiles),
                static_cast<unsigned long long>(counts.rightBytes));
    for (int c = 0; c < quarto::bench::kDiffClassCount; ++c)
        std::printf("%-13s %llu\n", quarto::bench::DiffClassName(static_cast<quarto::bench::DiffClass>(c)),
                    static_cast<unsigned long long>(counts.items[c]));
    return 0;
}
