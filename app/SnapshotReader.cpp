#include "app/SnapshotReader.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "app/SnapshotPathField.h"
#include "core/DirectoryPair.h"
#include "core/JobContext.h"
#include "platform/FileIo.h"

namespace quarto {
namespace {

constexpr int kEof = -1;

// The file as a stream of characters, CR LF read as LF (a lone CR stays a CR). Counts lines for
// the diagnostics. A read error ends the stream and is remembered.
class SnapshotInput {
  public:
    SnapshotInput() = default;
    SnapshotInput(const SnapshotInput&) = delete;
    SnapshotInput& operator=(const SnapshotInput&) = delete;

    // Opens a regular file. Anything else (a FIFO, a device, a directory) is refused: reading
    // one could block for ever or never end.
    bool Open(const std::string& path) { return OpenRegularForReading(path, m_fd) == OpenedKind::Regular; }

    int Get() {
        int c = Raw();
        if (c == '\r' && PeekRaw() == '\n') c = Raw();
        if (c == '\n') ++m_line;
        return c;
    }
    // The next byte without taking it (a CR is a CR here; only digits are looked at this way).
    int Peek() { return PeekRaw(); }
    bool Failed() const { return m_failed; }
    size_t Line() const { return m_line; }

  private:
    int Raw() {
        const int c = PeekRaw();
        if (c != kEof) ++m_position;
        return c;
    }
    int PeekRaw() {
        if (m_position < m_size || Refill()) return m_buffer[m_position];
        return kEof;
    }
    // Buffers the next block. False at the end of the file or on a read error.
    bool Refill() {
        m_size = 0;
        m_position = 0;
        if (!m_fd.Valid() || m_failed) return false;
        const ssize_t n = ReadSome(m_fd.Get(), m_buffer.data(), m_buffer.size());
        if (n < 0) m_failed = true;
        m_size = n > 0 ? static_cast<size_t>(n) : 0;
        return m_size > 0;
    }

    UniqueFd m_fd;
    std::array<unsigned char, 1 << 16> m_buffer{};
    size_t m_size = 0;
    size_t m_position = 0;
    size_t m_line = 1;
    bool m_failed = false;
};

// What a load fills: the side's set and its two directory counters.
struct LoadTarget {
    EntrySet& entries;
    std::atomic<uint64_t>& fileCount;
    std::atomic<uint64_t>& byteTotal;
};

// The numbers of one entry line, as read.
struct EntryFields {
    std::string path;
    uint64_t nameOffset = 0;
    uint64_t size = 0;
    uint64_t attributes = 0;
    bool timeValid = false;
    FileTime time;
};

// Whether a path below the base walks anywhere but down: an empty, "." or ".." component. A
// scan never writes one; ".." would lead file actions out of the base, and the others would
// pair the entry under a name the other side never has.
bool HasOddComponent(std::string_view relative) {
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string_view::npos) end = relative.size();
        const std::string_view part = relative.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return true;
        start = end + 1;
    }
    return false;
}

class SnapshotParser {
  public:
    SnapshotParser(SnapshotInput& in, JobContext& job, LoadTarget target)
        : m_in(in), m_job(job), m_target(target), m_includeSubdirs(job.settings.IncludeSubdirs) {}

    // Reads the whole file. False with Reason() and FailedLine() set when the file is not a
    // valid snapshot.
    bool Parse() {
        if (!ParseBaseLine()) return false;
        for (;;) {
            if (m_job.CancelPending()) return true;  // a cancelled load keeps what it has
            const int opener = SkipCommentLines(m_in.Get());
            if (opener == kEof) break;
            m_line = m_in.Line();
            if (!ParseEntryLine()) return false;
        }
        m_line = m_in.Line();
        return !m_in.Failed() || Fail("the file could not be read to its end");
    }

    const std::string& BasePath() const { return m_base; }
    const char* Reason() const { return m_reason; }
    // The number of the line that failed (1 for the first line of the file).
    size_t FailedLine() const { return m_line; }

  private:
    bool Fail(const char* reason) {
        m_reason = reason;
        return false;
    }

    // Passes over the rest of the line; returns its end: '\n' or kEof.
    int SkipRestOfLine() {
        int c = m_in.Get();
        while (c != '\n' && c != kEof) c = m_in.Get();
        return c;
    }

    // From the character `c` just read: passes over lines that begin with '*' or a space and
    // over empty lines; returns the first character of the next other line, or kEof.
    int SkipCommentLines(int c) {
        while (c == '*' || c == ' ' || c == '\n') {
            if (c != '\n') SkipRestOfLine();
            c = m_in.Get();
        }
        return c;
    }

    bool Expect(char wanted) { return m_in.Get() == wanted || Fail("a separator is missing"); }

    // The field up to the next double quote (which is consumed), decoded.
    bool ReadPathField(std::string& path) {
        std::string field;
        for (int c = m_in.Get(); c != '"'; c = m_in.Get()) {
            if (c == kEof) return Fail("a path field is not closed");
            if (field.size() == kMaxSnapshotFieldLength) return Fail("a path field is too long");
            field += static_cast<char>(c);
        }
        if (!DecodeSnapshotPath(field, path)) return Fail("a path field holds a broken escape or a NUL");
        return path.size() <= kMaxSnapshotPathLength || Fail("a path is too long");
    }

    // One or more decimal digits, at most `limit`.
    bool ReadNumber(uint64_t limit, uint64_t& value) {
        value = 0;
        if (m_in.Peek() < '0' || m_in.Peek() > '9') return Fail("a number is missing");
        while (m_in.Peek() >= '0' && m_in.Peek() <= '9') {
            value = value * 10 + static_cast<uint64_t>(m_in.Get() - '0');
            if (value > limit) return Fail("a number is out of range");
        }
        return true;
    }

    // The base is the root of the side's file actions and what a program may be handed, so it
    // must be absolute (which also keeps it, and every entry below it, from reading as an
    // option) and holds no ".." component. It is ended with '/' when it lacks one, so that
    // entries are checked beneath it by whole components.
    bool ParseBaseLine() {
        // Whatever character opens the line, the path runs up to the next double quote.
        if (SkipCommentLines(m_in.Get()) == kEof) return Fail("the base line is missing");
        m_line = m_in.Line();
        if (!ReadPathField(m_base)) return false;
        if (m_base.empty()) return Fail("the base path is empty");
        if (m_base.front() != '/') return Fail("the base path is not absolute");
        if (m_base.back() != '/') m_base += '/';
        if (m_base.size() > kMaxSnapshotPathLength) return Fail("a path is too long");
        if (m_base.find("/../") != std::string::npos) return Fail("the base path holds a '..' component");
        const int c = m_in.Get();
        return c == '\n' || Fail(c == kEof ? "the last line has no line end" : "text follows the base line");
    }

    bool ParseDateTime(EntryFields& fields);
    bool ParseEntryLine();
    bool ReadTrailingFields();
    bool CheckEntry(const EntryFields& fields);
    void AddEntry(const EntryFields& fields);

    SnapshotInput& m_in;
    JobContext& m_job;
    LoadTarget m_target;
    const bool m_includeSubdirs;
    std::string m_base;
    const char* m_reason = "";
    size_t m_line = 0;  // the line being read
};

// YYYY/MM/DD,hh:mm:ss. Two-digit years are 1980-2079; month to second keep their low 8 bits.
// A date that is no calendar date fails the line only if the line is taken.
bool SnapshotParser::ParseDateTime(EntryFields& fields) {
    uint64_t year = 0;
    std::array<uint64_t, 5> rest{};  // month, day, hour, minute, second
    static constexpr char kSeparators[] = {'/', '/', ',', ':', ':'};
    if (!ReadNumber(UINT32_MAX, year)) return false;
    for (size_t i = 0; i < rest.size(); ++i)
        if (!Expect(kSeparators[i]) || !ReadNumber(UINT32_MAX, rest[i])) return false;
    if (year < 100) {
        year += 1900;
        if (year < 1980) year += 100;
    }
    CalendarTime c;
    c.year = year > 99999 ? 99999 : static_cast<int>(year);  // out of range either way
    c.month = static_cast<int>(rest[0] & 0xFF);
    c.day = static_cast<int>(rest[1] & 0xFF);
    c.hour = static_cast<int>(rest[2] & 0xFF);
    c.minute = static_cast<int>(rest[3] & 0xFF);
    c.second = static_cast<int>(rest[4] & 0xFF);
    fields.timeValid = FileTimeFromCalendar(c, fields.time);
    return true;
}

// The rest of a taken line: [,reserved][,][S|N], then the line end.
bool SnapshotParser::ReadTrailingFields() {
    int c = m_in.Get();
    if (c == ',') {
        uint64_t reserved = 0;
        if (!ReadNumber(UINT32_MAX, reserved)) return false;
        c = m_in.Get();
    }
    if (c == ',') c = m_in.Get();
    // The mark is not carried over: loaded entries start unmarked.
    if (c == 'S' || c == 's' || c == 'N' || c == 'n') c = m_in.Get();
    if (c == kEof) return Fail("the last line has no line end");
    return c == '\n' || Fail("unexpected text at the end of an entry line");
}

bool SnapshotParser::CheckEntry(const EntryFields& fields) {
    if (!fields.timeValid) return Fail("a date or time is not valid");
    if (fields.path.empty()) return Fail("an entry path is empty");
    if (fields.nameOffset == 0 || fields.nameOffset >= fields.path.size())
        return Fail("a name offset lies outside its path");
    // Copies and deletes act on these paths; none may lead out of the snapshot's base. The base
    // ends with '/', so the prefix compares whole components.
    if (fields.path.size() <= m_base.size() || fields.path.compare(0, m_base.size(), m_base) != 0)
        return Fail("an entry lies outside the base path");
    if (HasOddComponent(std::string_view(fields.path).substr(m_base.size())))
        return Fail("an entry path holds an empty, '.' or '..' component");
    return true;
}

void SnapshotParser::AddEntry(const EntryFields& fields) {
    FileEntry entry;
    entry.path = fields.path;
    entry.nameOffset = static_cast<uint16_t>(fields.nameOffset);
    entry.time = fields.time;
    entry.size = fields.size;  // at most 32 bits: the format keeps no more
    entry.attributes = static_cast<uint32_t>(fields.attributes);
    const bool isFile = !entry.IsDirectory();
    const uint64_t size = entry.size;
    // A line repeating an entry already read adds nothing, not even to the counts.
    if (m_target.entries.Insert(std::move(entry)) && isFile) {
        ++m_target.fileCount;
        m_target.byteTotal += size;
    }
}

// The opener of the line has been read.
bool SnapshotParser::ParseEntryLine() {
    EntryFields fields;
    if (!ReadPathField(fields.path) || !Expect(',')) return false;
    if (!ReadNumber(UINT16_MAX, fields.nameOffset) || !Expect(',')) return false;
    if (!ReadNumber(UINT32_MAX, fields.size) || !Expect(',')) return false;
    if (!ParseDateTime(fields) || !Expect(',')) return false;
    if (!ReadNumber(UINT32_MAX, fields.attributes)) return false;
    m_job.CountProcessedEntry();

    const bool taken =
        m_includeSubdirs || (fields.nameOffset == m_base.size() && (fields.attributes & kAttrDirectory) == 0);
    // Every base and entry line ends with its line end: a file cut short in its last line must
    // not load as a smaller tree.
    if (!taken) return SkipRestOfLine() == '\n' || Fail("the last line has no line end");
    if (!ReadTrailingFields() || !CheckEntry(fields)) return false;
    AddEntry(fields);
    return true;
}

}  // namespace

bool SnapshotFileLoader::ReadSnapshot(JobContext& job, DirectoryPair& pair, Side side,
                                      const std::string& path) {
    SideState& state = pair[side];
    SnapshotInput in;
    const char* reason = "the file cannot be opened as a regular file";
    bool loaded = false;
    size_t line = 0;
    std::string base;
    if (in.Open(path)) {
        SnapshotParser parser(in, job,
                              LoadTarget{state.entries, state.directoryFileCount, state.directoryByteTotal});
        loaded = parser.Parse();
        reason = parser.Reason();
        line = parser.FailedLine();
        base = parser.BasePath();
    }
    if (!loaded) {
        if (m_diagnostics != nullptr && line > 0)
            std::fprintf(m_diagnostics, "Snapshot '%s', line %zu: %s\n", path.c_str(), line, reason);
        else if (m_diagnostics != nullptr)
            std::fprintf(m_diagnostics, "Snapshot '%s': %s\n", path.c_str(), reason);
        if (!m_quiet) {
            const std::string text =
                "Snapshot file '" + path +
                "' either does not exist, is in use, or has an invalid internal format...";
            QUARTO_REPORT_ERROR(job.errors, kSeverityNotice, 0, &job.frame, text);
        }
        return false;
    }
    state.rootLength = static_cast<uint32_t>(base.size());
    std::string& directory = pair.Directory(side);
    const size_t slash = directory.rfind('/');
    directory = base + "-" + (slash == std::string::npos ? directory : directory.substr(slash + 1));
    job.frame.Send({UM_CLEARTREESEL, side == Side::Left ? 0 : 1, 0, {}});
    return true;
}

}  // namespace quarto
