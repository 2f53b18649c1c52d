// Fuzzes the snapshot reader through its real entry point (a file opened by name). Every input
// is loaded with and without subdirectories; a load that succeeds must leave only entries that
// pass the reader's checks, and must come back the same through a save and a second load.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/SnapshotPathField.h"
#include "app/SnapshotReader.h"
#include "app/SnapshotWriter.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "platform/ErrorSink.h"
#include "platform/Event.h"
#include "platform/FrameSink.h"
#include "platform/ProgressSink.h"
#include "platform/Prompter.h"

namespace {

using namespace quarto;

class NullFrame : public FrameSink {
  public:
    intptr_t Send(const FrameMessage&) override { return 0; }
    void Post(FrameMessage) override {}
};

// Every box answered at once with its default button, silently.
class SilentPrompter : public Prompter {
  public:
    int MessageBox(const std::string&, const std::string&, uint32_t type) override {
        return DefaultAnswer(type);
    }
};

class NullErrors : public ErrorSink {
  public:
    void ReportError(int, int, FrameSink*, const std::string&, const char*, int) override {}
    int AskSystemError(int, const std::string*, uint32_t) override { return IDCANCEL; }
};

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "snapshot fuzz: %s\n", what);
    std::abort();
}

// A file in memory with a name the reader can open.
struct MemoryFile {
    explicit MemoryFile(const char* name) : fd(memfd_create(name, MFD_CLOEXEC)) {
        Check(fd >= 0, "memfd_create failed");
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    void Fill(const uint8_t* data, size_t size) const {
        Check(ftruncate(fd, 0) == 0, "ftruncate failed");
        size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            Check(n > 0, "pwrite failed");
            done += static_cast<size_t>(n);
        }
    }
    int fd;
    std::string path;
};

// A saved snapshot replaces its file by renaming a temporary one beside it, so it needs a real
// folder (a memory file's /proc name is a link, which the writer refuses); in memory where the
// machine has it, since every save syncs its file.
struct OutputFile {
    OutputFile() {
        std::string folder = "/dev/shm/quarto-fuzz-XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) {
            folder = "/tmp/quarto-fuzz-XXXXXX";
            Check(mkdtemp(folder.data()) != nullptr, "mkdtemp failed");
        }
        path = folder + "/out.qsn";
    }
    ~OutputFile() {
        unlink(path.c_str());
        rmdir(path.substr(0, path.rfind('/')).c_str());
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    std::string path;
};

// Whether a path below the base walks anywhere but down.
bool HasOddComponent(std::string_view relative) {
    for (size_t start = 0; start <= relative.size();) {
        size_t end = relative.find('/', start);
        if (end == std::string_view::npos) end = relative.size();
        const std::string_view part = relative.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return true;
        start = end + 1;
    }
    return false;
}

struct Harness {
    Settings settings;
    NullFrame frame;
    NullProgressSink progress;
    SilentPrompter prompter;
    NullErrors errors;
    Event cancel{Event::Reset::Manual};
    JobContext job{settings, frame, progress, prompter, errors, cancel};
    DirectoryPair pair;
};

void CheckLoadedSide(const Harness& h, Side side, const std::string& tail, bool includeSubdirs) {
    const SideState& state = h.pair[side];
    const std::string& directory = h.pair.Directory(side);
    Check(state.rootLength + 1 + tail.size() == directory.size(),
          "relabelled directory has the wrong length");
    Check(directory.compare(state.rootLength, std::string::npos, "-" + tail) == 0,
          "relabelled directory tail");
    const std::string_view base(directory.data(), state.rootLength);
    Check(!base.empty() && base.size() <= kMaxSnapshotPathLength, "base length");
    Check(base.front() == '/' && base.back() == '/', "base not an absolute directory");
    for (const EntryRef& ref : state.entries) {
        const FileEntry& e = *ref.Entry();
        Check(!e.path.empty() && e.path.size() <= kMaxSnapshotPathLength, "entry path length");
        Check(e.nameOffset > 0 && e.nameOffset < e.path.size(), "name offset inside the path");
        Check(e.path.size() > base.size() && std::string_view(e.path).substr(0, base.size()) == base,
              "entry outside the base");
        Check(!HasOddComponent(std::string_view(e.path).substr(base.size())), "entry with an odd component");
        Check(e.path.find('\0') == std::string::npos, "entry with a NUL");
        if (!includeSubdirs)
            Check(e.nameOffset == base.size() && !e.IsDirectory(),
                  "entry taken against the subdirectory rule");
    }
}

// Saves the left side's loaded entries and loads them as the right side: the same entries.
void CheckRoundTrip(Harness& h, const OutputFile& out) {
    const SideState& left = h.pair[Side::Left];
    RowList& rows = h.pair.List(Side::Left);
    rows.ClearList();
    for (const EntryRef& ref : left.entries) rows.AddEntryRow(rows.Count(), *ref.Entry());
    const std::string base = h.pair.Directory(Side::Left).substr(0, left.rootLength);
    Check(WriteSnapshot(h.job, rows, base, out.path, "quarto", "fuzz") == SnapshotWriteResult::Written,
          "save");
    h.pair.Directory(Side::Right) = out.path;
    SnapshotFileLoader loader(true, nullptr);
    Check(loader.ReadSnapshot(h.job, h.pair, Side::Right, out.path), "a saved snapshot does not load back");
    const SideState& right = h.pair[Side::Right];
    Check(right.rootLength == left.rootLength, "round trip changes the base");
    Check(right.entries.Size() == left.entries.Size(), "round trip changes the entry count");
    auto r = right.entries.begin();
    for (const EntryRef& ref : left.entries) {
        const FileEntry& a = *ref.Entry();
        const FileEntry& b = *(r++)->Entry();
        Check(a.path == b.path && a.nameOffset == b.nameOffset && a.size == b.size &&
                  a.attributes == b.attributes && a.time == b.time,
              "round trip changes an entry");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const MemoryFile input("snapshot-in");
    static const OutputFile output;
    input.Fill(data, size);
    for (const bool includeSubdirs : {false, true}) {
        Harness h;
        h.settings.IncludeSubdirs = includeSubdirs;
        h.pair.Directory(Side::Left) = input.path;
        SnapshotFileLoader loader(true, nullptr);
        if (!loader.ReadSnapshot(h.job, h.pair, Side::Left, input.path)) continue;
        CheckLoadedSide(h, Side::Left, std::to_string(input.fd), includeSubdirs);
        CheckRoundTrip(h, output);
    }
    return 0;
}
