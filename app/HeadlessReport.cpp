#include "app/HeadlessReport.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/QuartoApp.h"
#include "platform/DirectoryListing.h"
#include "platform/FileIo.h"
#include "platform/SystemError.h"

namespace quarto {
namespace {

class Report {
  public:
    explicit Report(CQuartoApp& app)
        : m_app(app), m_out(app.TerminalOutput() >= 0 ? app.TerminalOutput() : kStandardOutput) {}

    int Run();

  private:
    bool Fail(const std::string& message) {
        m_app.TellTerminal(message);
        return false;
    }
    bool CheckSide(Side side);
    bool CheckBatchName();
    bool Refresh();
    int Print();

    CQuartoApp& m_app;
    const int m_out;
};

bool Report::CheckSide(Side side) {
    DirectoryPair& pair = m_app.Pair();
    const std::string& snapshot = pair[side].snapshotPath;
    if (!snapshot.empty()) {
        if (!IsReadableRegularFile(snapshot))
            return Fail("cannot read the " + std::string(SideName(side)) + " snapshot '" + snapshot + "'");
        return true;
    }
    const std::string& directory = SideDirectory(m_app.GetSettings(), side);
    if (directory.empty()) return Fail("no " + std::string(SideName(side)) + " directory to compare");
    DirectoryListing listing;
    const int code = listing.Open(directory, /*followLastLink=*/true);
    if (code != kErrorSuccess) return Fail("cannot list '" + directory + "': " + SystemMessage(code));
    return true;
}

bool Report::CheckBatchName() {
    const RunOptions& run = m_app.Run();
    const bool batch = run.batchSnapshot[0] || run.batchSnapshot[1];
    if (batch && run.batchSnapshotName.empty() && !run.quiet)
        return Fail("option -C needs a file name without a window (or -Q for \"Snapshot.qsn\")");
    return true;
}

// One refresh (and a snapshot save of option -C after it), with the frame's messages handled
// here until every worker has ended. False when it went wrong.
bool Report::Refresh() {
    MessageLoop& loop = *m_app.HeadlessLoop();
    FrameController& controller = m_app.Controller();
    bool finished = false;
    bool cancelled = false;
    auto batch = controller.afterRefresh;
    controller.afterRefresh = [&](bool wasCancelled) {
        finished = true;
        cancelled = wasCancelled;
        if (batch) batch(wasCancelled);
    };
    const bool snapshotSide[2] = {!m_app.Pair()[Side::Left].snapshotPath.empty(),
                                  !m_app.Pair()[Side::Right].snapshotPath.empty()};
    m_app.Refresh().StartRefresh();
    loop.RunUntil([&] { return finished && controller.Idle(); });
    controller.afterRefresh = batch;

    if (cancelled) return Fail("the comparison was cancelled");
    for (Side side : kSides)
        if (snapshotSide[Index(side)] && m_app.Pair()[side].snapshotPath.empty())
            return Fail("the " + std::string(SideName(side)) + " snapshot could not be loaded");
    if (controller.ErrorDisplayed()) return Fail("an error was reported (see above)");
    return true;
}

int Report::Print() {
    DirectoryPair& pair = m_app.Pair();
    const RowList& left = pair.List(Side::Left);
    const RowList& right = pair.List(Side::Right);
    std::string text;
    bool different = false;
    Row l;
    Row r;
    for (size_t i = 0; left.Read(i, l) && right.Read(i, r); ++i) {
        different = different || l.entry.flags != 0;
        AppendReportLine(text, l, pair[Side::Left].rootLength, r, pair[Side::Right].rootLength);
        text += '\n';
        if (text.size() > (1u << 16)) {
            WriteAll(m_out, text);
            text.clear();
        }
    }
    WriteAll(m_out, text);
    return different ? kReportDifferent : kReportSame;
}

int Report::Run() {
    // The scanner's messages are on the terminal already; a run that would compare something
    // other than what was asked for reports nothing.
    const bool valid = m_app.Run().optionErrors == 0 || Fail("the command line holds an option error");
    if (!valid || !CheckSide(Side::Left) || !CheckSide(Side::Right) || !CheckBatchName()) return kReportError;
    for (Side side : kSides) m_app.Pair().ResetList(side);
    if (!Refresh()) return kReportError;
    return Print();
}

}  // namespace

namespace {

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '\\';
}

// Whether any of eight bytes is below 0x20, 0x7F or '\\': the zero-byte test of SWAR, on the
// bytes xor-ed with each value sought (a byte at or above 0x80 is never below 0x20).
bool AnyNeedsEscape(uint64_t bytes) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighs = 0x8080808080808080ULL;
    const auto zeroIn = [](uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    const uint64_t below20 = (bytes - 0x20 * kOnes) & ~bytes & kHighs;
    return (below20 | zeroIn(bytes ^ (0x7F * kOnes)) | zeroIn(bytes ^ ('\\' * kOnes))) != 0;
}

void AppendEscaped(std::string& out, std::string_view path) {
    size_t done = 0;
    size_t i = 0;
    // A path rarely holds a byte to escape: eight bytes are passed over at a time.
    for (uint64_t bytes = 0; i + 8 <= path.size(); i += 8) {
        std::memcpy(&bytes, path.data() + i, 8);
        if (AnyNeedsEscape(bytes)) break;
    }
    for (; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (!NeedsEscape(c)) continue;
        // The bytes that need nothing go in one piece (a path rarely holds any other).
        out.append(path, done, i - done);
        done = i + 1;
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default: {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            }
        }
    }
    out.append(path, done, path.size() - done);
}

}  // namespace

std::string EscapeReportPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    AppendEscaped(out, path);
    return out;
}

void AppendReportLine(std::string& out, const Row& left, uint32_t leftRoot, const Row& right,
                      uint32_t rightRoot) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const uint32_t flags = left.entry.flags;
    for (int shift = 28; shift >= 0; shift -= 4) out += kHex[(flags >> shift) & 0xF];
    out += '\t';
    AppendEscaped(out, left.entry.RelativePath(leftRoot));
    out += '\t';
    AppendEscaped(out, right.entry.RelativePath(rightRoot));
}

std::string ReportLine(const Row& left, uint32_t leftRoot, const Row& right, uint32_t rightRoot) {
    std::string line;
    AppendReportLine(line, left, leftRoot, right, rightRoot);
    return line;
}

int RunHeadlessReport(CQuartoApp& app) {
    return Report(app).Run();
}

}  // namespace quarto
