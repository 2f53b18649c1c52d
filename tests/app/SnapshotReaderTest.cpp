// Loading snapshot files: hand-written snapshot files kept beside this test, the
// subdirectory rule, the entry checks, the relabelled side and the notice of a failed load.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/SnapshotReader.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

std::string Golden(const std::string& name) {
    const std::string here = __FILE__;
    return here.substr(0, here.rfind('/') + 1) + "snapshots/" + name;
}

FileTime Time(int year, int month, int day, int hour, int minute, int second) {
    FileTime t;
    EXPECT_TRUE(FileTimeFromCalendar({year, month, day, hour, minute, second, 0}, t));
    return t;
}

class SnapshotReaderTest : public ::testing::Test {
  protected:
    // Loads `path` as the side's snapshot, the way a refresh does: the side's directory is the
    // snapshot's name while it loads, and its set starts empty. The reason of a failure is kept in
    // `diagnostics`.
    bool Load(const std::string& path, bool includeSubdirs, Side side = Side::Left, bool quiet = true) {
        app.settings.IncludeSubdirs = includeSubdirs;
        app.pair[side].entries.Clear(kSortFilesFirst, kSortAscending);
        app.pair.Directory(side) = path;
        char* buffer = nullptr;
        size_t size = 0;
        std::FILE* stream = open_memstream(&buffer, &size);
        const bool loaded = SnapshotFileLoader(quiet, stream).ReadSnapshot(app.job, app.pair, side, path);
        std::fclose(stream);
        diagnostics.assign(buffer, size);
        std::free(buffer);
        return loaded;
    }

    std::vector<std::string> Paths(Side side = Side::Left) const {
        std::vector<std::string> paths;
        for (const EntryRef& ref : app.pair[side].entries) paths.push_back(ref.Entry()->path);
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    const FileEntry* Find(const std::string& path, Side side = Side::Left) const {
        for (const EntryRef& ref : app.pair[side].entries)
            if (ref.Entry()->path == path) return ref.Entry();
        return nullptr;
    }

    test::RecordingJob app;
    std::string diagnostics;
};

TEST_F(SnapshotReaderTest, TheExampleFileLoadsEveryFieldAndRelabelsTheSide) {
    ASSERT_TRUE(Load(Golden("example.qsn"), true, Side::Right)) << diagnostics;
    const FileEntry* a = Find("/DATA/SUB/A.TXT", Side::Right);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->nameOffset, 10);
    EXPECT_EQ(a->size, 1234u);
    EXPECT_EQ(a->time, Time(1997, 3, 7, 14, 5, 9));
    EXPECT_EQ(a->attributes, 32u);
    EXPECT_EQ(a->flags, 0u);
    EXPECT_EQ(app.pair[Side::Right].entries.Size(), 3u);

    const SideState& side = app.pair[Side::Right];
    EXPECT_EQ(side.directoryFileCount, 2u);  // the directory SUB is not counted
    EXPECT_EQ(side.directoryByteTotal, 1244u);
    EXPECT_EQ(side.rootLength, 6u);
    EXPECT_EQ(app.pair.Directory(Side::Right), "/DATA/-example.qsn");
    const std::vector<FrameMessage> sent = app.frame.Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].id, UM_CLEARTREESEL);
    EXPECT_EQ(sent[0].wParam, 1);
    EXPECT_TRUE(app.errors.Reports().empty());
}

TEST_F(SnapshotReaderTest, WithoutSubdirectoriesOnlyFilesDirectlyInTheBaseAreTaken) {
    ASSERT_TRUE(Load(Golden("example.qsn"), false)) << diagnostics;
    EXPECT_EQ(Paths(), std::vector<std::string>{"/DATA/B.TXT"});
    EXPECT_EQ(app.pair[Side::Left].directoryFileCount, 1u);
    EXPECT_EQ(app.frame.Sent().at(0).wParam, 0);

    // A directory whose name offset is the base length is still not taken.
    ASSERT_TRUE(Load(Golden("directory-at-base.qsn"), false)) << diagnostics;
    EXPECT_EQ(Find("/data/sub"), nullptr);
    EXPECT_NE(Find("/data/top.txt"), nullptr);
}

TEST_F(SnapshotReaderTest, CommentsBlankLinesTwoDigitYearsAndOptionalFields) {
    ASSERT_TRUE(Load(Golden("comments.qsn"), false)) << diagnostics;
    const std::map<std::string, FileTime> expected = {
        {"/data/y97.txt", Time(1997, 1, 2, 3, 4, 5)},         // 97 -> 1997
        {"/data/y05.txt", Time(2005, 6, 7, 8, 9, 10)},        // 05 -> 2005, no reserved field, no mark
        {"/data/y79.txt", Time(2079, 12, 31, 23, 59, 59)},    // 79 -> 2079, no mark
        {"/data/y80.txt", Time(1980, 1, 1, 0, 0, 0)},         // 80 -> 1980, a comma and no mark
        {"/data/y1999.txt", Time(1999, 12, 31, 23, 59, 58)},  // four digits; lower-case mark
        {"/data/y2038.txt", Time(2038, 1, 19, 3, 14, 8)},     // LF line end only
        {"/data/..hidden", Time(2001, 2, 3, 4, 5, 6)},        // ".." inside a name is no component
    };
    ASSERT_EQ(app.pair[Side::Left].entries.Size(), expected.size());
    for (const auto& [path, time] : expected) {
        const FileEntry* entry = Find(path);
        ASSERT_NE(entry, nullptr) << path;
        EXPECT_EQ(entry->time, time) << path;
    }
    EXPECT_EQ(app.pair.Directory(Side::Left), "/data/-comments.qsn");
}

TEST_F(SnapshotReaderTest, EscapedFieldsAndLongPathsLoad) {
    ASSERT_TRUE(Load(Golden("escaped.qsn"), false)) << diagnostics;
    EXPECT_EQ(Paths(), (std::vector<std::string>{"/data/a\"b\nc%d\r", "/data/plain name with blanks"}));

    // 302 characters: more than the 259 that first bounded a field, which Linux paths pass easily.
    ASSERT_TRUE(Load(Golden("long-path.qsn"), true)) << diagnostics;
    ASSERT_EQ(Paths().size(), 1u);
    EXPECT_EQ(Paths()[0].size(), 302u);
}

// Files whose verdict depends on the subdirectory rule, and files that never load.
TEST_F(SnapshotReaderTest, EntryChecksApplyToTakenEntriesOnly) {
    struct Case {
        const char* file;
        bool includeSubdirs;
        bool loads;
        const char* reason;  // part of the diagnostic of a failure
    };
    const Case cases[] = {
        // A name offset of 0 on a line in a subdirectory: harmless unless the line is taken.
        {"offset-zero.qsn", false, true, ""},
        {"offset-zero.qsn", true, false, "name offset"},
        // A name offset not smaller than the path's length: the same.
        {"offset-past-end.qsn", false, true, ""},
        {"offset-past-end.qsn", true, false, "name offset"},
        // A month 13 fails a taken line only.
        {"bad-date-in-subdirectory.qsn", false, true, ""},
        {"bad-date-in-subdirectory.qsn", true, false, "date"},
        // Paths that would lead file actions out of the snapshot's base.
        {"outside-base.qsn", true, false, "outside the base"},
        {"dotdot.qsn", true, false, "'..'"},
        {"dotdot.qsn", false, true, ""},
        // Malformed lines fail whatever the rule.
        {"missing-attributes.qsn", false, false, "separator"},
        {"missing-day.qsn", false, false, "separator"},
        {"text-after-mark.qsn", false, false, "end of an entry"},
        {"number-out-of-range.qsn", false, false, "out of range"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Load(Golden(c.file), c.includeSubdirs), c.loads)
            << c.file << " subdirs " << c.includeSubdirs;
        EXPECT_NE(diagnostics.find(c.reason), std::string::npos) << c.file << ": " << diagnostics;
        if (c.loads) {
            EXPECT_EQ(Paths(), std::vector<std::string>{"/data/top.txt"}) << c.file;
        }
    }
}

// The base is the root of the side's file actions: it must be absolute, and entries must lie
// beneath it by whole components.
TEST_F(SnapshotReaderTest, CraftedBasesAndEntriesCannotReachOutsideTheBase) {
    test::TempTree tree;
    const std::string entry = ",1,2001/01/01,00:00:00,32,0,N\r\n";
    const struct {
        std::string text;
        bool loads;
        const char* reason;
    } cases[] = {
        // A base without its '/' is ended with one: "/T/LO/victim" is not beneath "/T/L".
        {"\"/T/L\"\r\n\"/T/LO/victim\",5" + entry, false, "outside the base"},
        {"\"/T/L\"\r\n\"/T/L/mine\",5" + entry, true, ""},
        {"\"/T/L/\"\r\n\"/T/L/\",3" + entry, false, "outside the base"},  // the base itself
        // Bases that are no absolute directory, some of which a program would read as options.
        {"\"C:\\DATA\\\"\r\n", false, "not absolute"},
        {"\"data/\"\r\n", false, "not absolute"},
        {"\"--output=/tmp/x/\"\r\n\"--output=/tmp/x/a\",16" + entry, false, "not absolute"},
        {"\"-/\"\r\n\"-/a\",2" + entry, false, "not absolute"},
        {"\"/data/../etc/\"\r\n", false, "'..'"},
        // Components below the base that a scan never writes.
        {"\"/data/\"\r\n\"/data/sub/../../etc/passwd\",10" + entry, false, "'..'"},
        {"\"/data/\"\r\n\"/data/./a\",8" + entry, false, "'.'"},
        {"\"/data/\"\r\n\"/data//a\",7" + entry, false, "empty"},
        {"\"/data/\"\r\n\"/data/a/\",7" + entry, false, "empty"},
    };
    for (const auto& c : cases) {
        const std::string file = tree.File("case.qsn", c.text);
        EXPECT_EQ(Load(file, true), c.loads) << c.text;
        EXPECT_NE(diagnostics.find(c.reason), std::string::npos) << c.text << ": " << diagnostics;
    }
    // The base completed with its '/' is the side's root; a file directly in it is taken
    // without subdirectories.
    ASSERT_TRUE(Load(tree.File("case.qsn", "\"/T/L\"\r\n\"/T/L/mine\",5" + entry), false)) << diagnostics;
    EXPECT_EQ(Paths(), std::vector<std::string>{"/T/L/mine"});
    EXPECT_EQ(app.pair[Side::Left].rootLength, 5u);
    EXPECT_EQ(app.pair.Directory(Side::Left), "/T/L/-case.qsn");
}

TEST_F(SnapshotReaderTest, AFailureNamesTheLineThatFailed) {
    test::TempTree tree;
    const std::string good = "\"/data/a\",6,1,2001/01/01,00:00:00,32,0,N\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"* header\r\n\r\n\"/data/\"\r\n" + good + "\"/data/b\",6,x\r\n" + good, "line 5:"},
        {"* header\r\n\r\n\"/data\"x\r\n", "line 3:"},
        {"\"/data/\"\r\n" + good + good.substr(0, 30), "line 3:"},  // cut short in its last line
    };
    for (const auto& [text, line] : cases) {
        EXPECT_FALSE(Load(tree.File("case.qsn", text), true));
        EXPECT_NE(diagnostics.find(line), std::string::npos) << diagnostics;
    }
}

TEST_F(SnapshotReaderTest, MalformedTextFails) {
    test::TempTree tree;
    const std::string longest(65535 - 6, 'x');
    const struct {
        std::string text;
        bool loads;
        const char* reason;
    } cases[] = {
        {"", false, "base line is missing"},
        {"* only a comment\r\n\r\n", false, "base line is missing"},
        {"\"/data/\"\r\n", true, ""},  // a base line and no entry: an empty side
        // A file cut short in its last line is no smaller tree.
        {"\"/data/\"", false, "no line end"},
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/01/01,00:00:00,32,0,N", false, "no line end"},
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/01/01,00:00:00,3", false, "no line end"},
        {"\"/data/", false, "not closed"},
        {"\"\"\r\n", false, "base path is empty"},
        {"\"/data/\"x\r\n", false, "follows the base line"},
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/01/01,00:00:00,32,0,N,\r\n", false, "end of an entry"},
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/01/01,00:00:00,32,x\r\n", false, "number is missing"},
        {"\"/data/\"\r\n\"/data/a\",65536,1,2001/01/01,00:00:00,32\r\n", false, "out of range"},
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/02/29,00:00:00,32\r\n", false, "date"},
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/01/01,24:00:00,32\r\n", false, "date"},
        // Month to second keep their low 8 bits: 257 is month 1.
        {"\"/data/\"\r\n\"/data/a\",6,1,2001/257/01,00:00:00,32\r\n", true, ""},
        {"\"/data/\"\r\n\"?/data/%4\",6,1,2001/01/01,00:00:00,32\r\n", false, "escape"},
        {"\"/data/\"\r\n\"?/data/%00x\",6,1,2001/01/01,00:00:00,32\r\n", false, "NUL"},
        {std::string("\"/data/\"\r\n\"/data/a") + '\0' + "b\",6,1,2001/01/01,00:00:00,32\r\n", false, "NUL"},
        // The longest path a field holds, and one more.
        {"\"/data/\"\r\n\"/data/" + longest + "\",6,1,2001/01/01,00:00:00,32\r\n", true, ""},
        {"\"/data/\"\r\n\"/data/" + longest + "y\",6,1,2001/01/01,00:00:00,32\r\n", false, "too long"},
    };
    for (const auto& c : cases) {
        const std::string file = tree.File("case.qsn", c.text);
        EXPECT_EQ(Load(file, true), c.loads) << c.text.substr(0, 80);
        EXPECT_NE(diagnostics.find(c.reason), std::string::npos)
            << c.text.substr(0, 80) << ": " << diagnostics;
    }
}

TEST_F(SnapshotReaderTest, FailedLoadGivesTheNoticeUnlessQuiet) {
    test::TempTree tree;
    const std::string missing = tree.Path("missing.qsn");
    const std::string before = app.pair.Directory(Side::Left);
    EXPECT_FALSE(Load(missing, true, Side::Left, false));
    const auto reports = app.errors.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].severity, kSeverityNotice);
    EXPECT_EQ(reports[0].code, 0);
    EXPECT_EQ(reports[0].text,
              "Snapshot file '" + missing +
                  "' either does not exist, is in use, or has an invalid internal format...");
    EXPECT_TRUE(app.frame.Sent().empty());  // the side is not relabelled
    EXPECT_EQ(app.pair.Directory(Side::Left), missing);

    EXPECT_FALSE(Load(missing, true, Side::Left, true));
    EXPECT_EQ(app.errors.Reports().size(), 1u);  // quiet: no second notice
}

TEST_F(SnapshotReaderTest, OnlyRegularFilesAreRead) {
    test::TempTree tree;
    const std::string fifo = tree.Path("pipe.qsn");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(Load(fifo, true));  // returns at once instead of waiting for a writer
    EXPECT_FALSE(Load(tree.Root(), true));
    EXPECT_FALSE(Load("/dev/zero", true));
}

TEST_F(SnapshotReaderTest, CancelStopsBetweenLinesAndKeepsTheSide) {
    app.cancel.Set();
    ASSERT_TRUE(Load(Golden("example.qsn"), true));
    EXPECT_TRUE(Paths().empty());
    EXPECT_EQ(app.pair[Side::Left].rootLength, 6u);
}

}  // namespace
}  // namespace quarto
