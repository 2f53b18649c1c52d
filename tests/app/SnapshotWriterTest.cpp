// Saving snapshots: the line format, which rows are written, cancel and failures, and save then
// load round trips of every field, including names that the first snapshot files could not hold.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "app/SnapshotReader.h"
#include "app/SnapshotWriter.h"
#include "platform/SystemError.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/JobHarness.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

FileEntry Entry(const std::string& path, uint16_t nameOffset, uint64_t size, uint32_t attributes,
                FileTime time) {
    FileEntry e;
    e.path = path;
    e.nameOffset = nameOffset;
    e.size = size;
    e.attributes = attributes;
    e.time = time;
    return e;
}

FileTime Time(int year, int month, int day, int hour, int minute, int second) {
    FileTime t;
    EXPECT_TRUE(FileTimeFromCalendar({year, month, day, hour, minute, second, 0}, t));
    return t;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file without its header line and the empty line after it.
std::string Body(const std::string& text) {
    const size_t end = text.find("\r\n\r\n");
    return end == std::string::npos ? text : text.substr(end + 4);
}

// The names in the folder besides the ones given: temporary files left behind.
std::vector<std::string> Leftovers(const std::string& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* e = readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != ".." &&
                std::find(expected.begin(), expected.end(), name) == expected.end())
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

class SnapshotWriterTest : public ::testing::Test {
  protected:
    RowList& Left() { return app.pair.List(Side::Left); }
    SnapshotWriteResult Save(const std::string& base, const std::string& file) {
        return WriteSnapshot(app.job, Left(), base, file, "quarto", "Version 1.2.3.4 (release)");
    }

    test::RecordingJob app;
    test::TempTree tree;
};

TEST_F(SnapshotWriterTest, HeaderAndExampleLine) {
    const char* oldZone = std::getenv("TZ");
    const std::string saved = oldZone ? oldZone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    // 1997-03-07 14:05:09 UTC; the day of month is padded with a blank.
    EXPECT_EQ(SnapshotHeaderText("quarto", "Version 1.2.3.4 (release)", 857743509),
              "* quarto Version 1.2.3.4 (release) took snapshot on Fri Mar  7 14:05:09 1997\r\n\r\n");
    oldZone ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();

    const FileEntry a = Entry("C:\\DATA\\SUB\\A.TXT", 12, 1234, 32, Time(1997, 3, 7, 14, 5, 9));
    EXPECT_EQ(SnapshotRowText(a, false), "\"C:\\DATA\\SUB\\A.TXT\",12,1234,1997/03/07,14:05:09,32,0,N\r\n");
    EXPECT_EQ(SnapshotRowText(a, true), "\"C:\\DATA\\SUB\\A.TXT\",12,1234,1997/03/07,14:05:09,32,0,S\r\n");
    // Milliseconds are dropped; times are UTC whatever the local zone.
    FileEntry b = a;
    b.time = FileTime::FromValue(Time(2038, 1, 19, 3, 14, 7).Value() + 9999999);
    EXPECT_NE(SnapshotRowText(b, false).find(",2038/01/19,03:14:07,"), std::string::npos);
    // The size field keeps the low 32 bits of a file over 4 GiB.
    b.size = 5000000000ULL;
    EXPECT_NE(SnapshotRowText(b, false).find(",12,705032704,"), std::string::npos);
    EXPECT_EQ(SnapshotBaseLineText("C:\\DATA\\"), "\"C:\\DATA\\\"\r\n");
    // A time after the last the format holds is written as that time, so the file loads back.
    b.time = FileTime::FromValue(Time(30827, 12, 31, 23, 59, 59).Value() + kFileTimeUnitsPerSecond);
    EXPECT_NE(SnapshotRowText(b, false).find(",30827/12/31,23:59:59,"), std::string::npos);
    b.time = FileTime::FromValue(UINT64_MAX);
    EXPECT_NE(SnapshotRowText(b, false).find(",30827/12/31,23:59:59,"), std::string::npos);
}

TEST_F(SnapshotWriterTest, WritesListedRowsInOrderSkippingBlanksAndParentMarkers) {
    const FileTime t = Time(2001, 2, 3, 4, 5, 6);
    FileEntry dotdot = Entry("/d/..", 3, 0, kAttrDirectory, t);
    dotdot.flags = FlagDotDot;
    Left().AddEntryRow(0, dotdot);
    Left().AddEntryRow(1, Entry("/d/b.txt", 3, 7, kAttrArchive, t));
    Left().AddEntryRow(2, FileEntry{});  // blank half of a right-only pair
    Left().AddEntryRow(3, Entry("/d/a.txt", 3, 5, kAttrNormal, t));
    Left().AddEntryRow(4, Entry("/d/sub", 3, 0, kAttrDirectory, t));
    ASSERT_TRUE(Left().SetMarked(3, true));

    const std::string file = tree.Path("s.qsn");
    ASSERT_EQ(Save("/d/", file), SnapshotWriteResult::Written);
    const std::string text = ReadFile(file);
    // The header carries the fixed 24-character local time, e.g. "Fri Mar  7 14:05:09 1997".
    const std::string lead = "* quarto Version 1.2.3.4 (release) took snapshot on ";
    ASSERT_EQ(text.compare(0, lead.size(), lead), 0);
    const std::string stamp = text.substr(lead.size(), 24);
    EXPECT_EQ(std::string({stamp[3], stamp[7], stamp[10], stamp[13], stamp[16], stamp[19]}), "   :: ")
        << stamp;
    EXPECT_EQ(text.compare(lead.size() + 24, 5, "\r\n\r\n\""), 0);
    EXPECT_EQ(Body(text),
              "\"/d/\"\r\n"
              "\"/d/b.txt\",3,7,2001/02/03,04:05:06,32,0,N\r\n"
              "\"/d/a.txt\",3,5,2001/02/03,04:05:06,128,0,S\r\n"
              "\"/d/sub\",3,0,2001/02/03,04:05:06,16,0,N\r\n");
    EXPECT_EQ(app.progress.OperationText(), "Saving a snapshot");
}

TEST_F(SnapshotWriterTest, ACancelledSaveLeavesTheOldSnapshotAndWritesNothing) {
    Left().AddEntryRow(0, Entry("/d/a", 3, 1, kAttrNormal, {}));
    app.cancel.Set();
    const std::string old = tree.File("old.qsn", "the previous snapshot");
    EXPECT_EQ(Save("/d/", old), SnapshotWriteResult::Cancelled);
    EXPECT_EQ(ReadFile(old), "the previous snapshot");
    // A header-only file would load as a valid, empty side.
    EXPECT_EQ(Save("/d/", tree.Path("new.qsn")), SnapshotWriteResult::Cancelled);
    EXPECT_EQ(Leftovers(tree.Root(), {"old.qsn"}), std::vector<std::string>{});
    EXPECT_TRUE(app.errors.Reports().empty());
}

TEST_F(SnapshotWriterTest, FailuresAreReportedAndNothingIsWrittenThroughWhatStandsAtTheName) {
    Left().AddEntryRow(0, Entry("/d/a", 3, 1, kAttrNormal, {}));
    // A file that cannot be created: an Error with code 0 and no text.
    EXPECT_EQ(Save("/d/", tree.Path("no/such/folder/s.qsn")), SnapshotWriteResult::Failed);
    ASSERT_EQ(app.errors.Reports().size(), 1u);
    EXPECT_EQ(app.errors.Reports()[0].severity, kSeverityError);
    EXPECT_EQ(app.errors.Reports()[0].code, 0);
    EXPECT_EQ(app.errors.Reports()[0].text, "");

    // A link planted at the name, a device and a FIFO: refused with the reason, left as they are.
    const std::string victim = tree.File("victim", "someone else's file");
    const std::string link = tree.Symlink("link.qsn", victim);
    const std::string fifo = tree.Path("pipe.qsn");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string dangling = tree.Symlink("dangling.qsn", tree.Path("created"));  // never created
    const std::pair<std::string, const char*> refused[] = {{link, "is a symbolic link"},
                                                           {dangling, "is a symbolic link"},
                                                           {"/dev/full", "not a regular file"},
                                                           {fifo, "not a regular file"},
                                                           {tree.Dir("folder.qsn"), "not a regular file"}};
    for (const auto& [name, reason] : refused) {
        EXPECT_EQ(Save("/d/", name), SnapshotWriteResult::Failed) << name;
        EXPECT_EQ(app.errors.Reports().back().severity, kSeverityError);
        EXPECT_NE(app.errors.Reports().back().text.find(reason), std::string::npos) << name;
    }
    EXPECT_EQ(ReadFile(victim), "someone else's file");
    struct stat st {};
    EXPECT_TRUE(lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_TRUE(stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode));
    EXPECT_EQ(Leftovers(tree.Root(), {"victim", "link.qsn", "dangling.qsn", "pipe.qsn", "folder.qsn"}),
              std::vector<std::string>{});
}

// A full disk while saving over a good snapshot: the old one stays whole, nothing is left.
TEST_F(SnapshotWriterTest, AFullDiskLeavesTheOldSnapshotWhole) {
    const std::string mount = tree.Dir("small");
    for (size_t i = 0; i < 200; ++i)
        Left().AddEntryRow(i,
                           Entry("/d/" + std::string(200, 'a') + std::to_string(i), 3, 1, kAttrNormal, {}));
    const int code = test::RunOnSmallTmpfs(mount, 64 * 1024, [&] {
        const std::string old = mount + "/old.qsn";
        std::ofstream(old) << "the previous snapshot";
        test::FillFileSystem(mount + "/filler");
        EXPECT_EQ(Save("/d/", old), SnapshotWriteResult::Failed);
        ASSERT_EQ(app.errors.Reports().size(), 1u);
        EXPECT_EQ(app.errors.Reports()[0].code, kErrorDiskFull);
        EXPECT_EQ(ReadFile(old), "the previous snapshot");
        EXPECT_EQ(Leftovers(mount, {"old.qsn", "filler"}), std::vector<std::string>{});
    });
    if (code == test::kMountForbidden) GTEST_SKIP() << "this machine forbids mounting a tmpfs";
    EXPECT_EQ(code, 0) << "the checks in the child failed (see above)";
}

// Times after the year 30827 (possible on tmpfs) are written as the last time the format holds,
// with one Warning for the save, so the file loads back.
TEST_F(SnapshotWriterTest, TimesBeyondTheFormatAreWrittenAsItsLastTime) {
    const FileTime late =
        FileTime::FromValue(Time(30827, 12, 31, 23, 59, 59).Value() + kFileTimeUnitsPerSecond);
    Left().AddEntryRow(0, Entry("/d/late", 3, 1, kAttrNormal, late));
    Left().AddEntryRow(1, Entry("/d/later", 3, 1, kAttrNormal, FileTime::FromValue(UINT64_MAX)));
    const std::string file = tree.Path("s.qsn");
    ASSERT_EQ(Save("/d/", file), SnapshotWriteResult::Written);
    ASSERT_EQ(app.errors.Reports().size(), 1u);
    EXPECT_EQ(app.errors.Reports()[0].severity, kSeverityWarning);
    EXPECT_NE(app.errors.Reports()[0].text.find("'/d/late'"), std::string::npos);
    app.pair.Directory(Side::Right) = file;
    EXPECT_TRUE(SnapshotFileLoader(true, nullptr).ReadSnapshot(app.job, app.pair, Side::Right, file));
    EXPECT_EQ(app.pair[Side::Right].entries.Size(), 2u);
}

TEST_F(SnapshotWriterTest, PathTooLongForAFieldIsRefusedBeforeTheFileIsTouched) {
    const std::string file = tree.File("old.qsn", "the previous snapshot");
    Left().AddEntryRow(0, Entry("/d/" + std::string(70000, 'x'), 3, 1, kAttrNormal, {}));
    EXPECT_EQ(Save("/d/", file), SnapshotWriteResult::Failed);
    ASSERT_EQ(app.errors.Reports().size(), 1u);
    EXPECT_EQ(app.errors.Reports()[0].severity, kSeverityWarning);
    EXPECT_NE(app.errors.Reports()[0].text.find("longer than 65535"), std::string::npos);
    EXPECT_EQ(ReadFile(file), "the previous snapshot");
}

class SnapshotRoundTripTest : public SnapshotWriterTest {
  protected:
    // Loads `file` as the right side with subdirectories included.
    bool LoadRight(const std::string& file) {
        app.settings.IncludeSubdirs = true;
        app.pair.Directory(Side::Right) = file;
        return SnapshotFileLoader(true, nullptr).ReadSnapshot(app.job, app.pair, Side::Right, file);
    }
    const FileEntry* Loaded(const std::string& path) {
        for (const EntryRef& ref : app.pair[Side::Right].entries)
            if (ref.Entry()->path == path) return ref.Entry();
        return nullptr;
    }
};

TEST_F(SnapshotRoundTripTest, EveryFieldOfEveryNameComesBackByteForByte) {
    const std::string base = tree.Root() + "odd \"base\"\n%/";
    const uint16_t offset = static_cast<uint16_t>(base.size());
    const std::vector<FileEntry> entries = {
        Entry(base + "plain.txt", offset, 0, kAttrNormal, FileTime{}),                      // 1601-01-01
        Entry(base + "with blanks .txt", offset, 0xFFFFFFFF, kAttrArchive | kAttrReadOnly,  // largest size
              Time(2100, 12, 31, 23, 59, 59)),
        Entry(base + "quote\"d", offset, 1, kAttrNormal, Time(1980, 1, 1, 0, 0, 0)),
        Entry(base + "new\nline\r\nand cr\r", offset, 2, kAttrHidden, Time(1999, 9, 9, 9, 9, 9)),
        Entry(base + "per%25cent%", offset, 3, kAttrNormal, Time(2024, 2, 29, 12, 0, 0)),
        Entry(base + "bad utf-8 \xff\xfe\x80", offset, 4, kAttrNormal, Time(2024, 2, 29, 12, 0, 1)),
        Entry(base + "?question", offset, 5, kAttrSystem, Time(2024, 2, 29, 12, 0, 2)),
        Entry(base + "sub dir", offset, 0, kAttrDirectory | kAttrSymlink, Time(2010, 6, 1, 0, 0, 0)),
        Entry(base + "sub dir/deep \"one\"", static_cast<uint16_t>(offset + 8), 6, kAttrNormal,
              Time(2010, 6, 1, 0, 0, 1)),
    };
    for (size_t i = 0; i < entries.size(); ++i) Left().AddEntryRow(i, entries[i]);
    ASSERT_TRUE(Left().SetMarked(1, true));  // written as S, not carried back

    const std::string file = tree.Path("round.qsn");
    ASSERT_EQ(Save(base, file), SnapshotWriteResult::Written);
    ASSERT_TRUE(LoadRight(file));
    ASSERT_EQ(app.pair[Side::Right].entries.Size(), entries.size());
    for (const FileEntry& written : entries) {
        const FileEntry* read = Loaded(written.path);
        ASSERT_NE(read, nullptr) << written.path;
        EXPECT_EQ(read->nameOffset, written.nameOffset) << written.path;
        EXPECT_EQ(read->size, written.size) << written.path;
        EXPECT_EQ(read->attributes, written.attributes) << written.path;
        EXPECT_EQ(read->time, written.time) << written.path;
    }
    EXPECT_EQ(app.pair[Side::Right].rootLength, base.size());
    EXPECT_EQ(app.pair.Directory(Side::Right), base + "-round.qsn");
    // Only the names that need it are escaped; every line is still one line.
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("\"?" + base.substr(0, base.size() - 13) + "odd %22base%22%0A%25/plain.txt\""),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(entries.size()) + 3);
}

TEST_F(SnapshotRoundTripTest, SnapshotOfALoadedSnapshotLoadsBack) {
    const std::string base = tree.Root() + "data/";
    Left().AddEntryRow(0, Entry(base + "a.txt", static_cast<uint16_t>(base.size()), 1, kAttrNormal, {}));
    const std::string first = tree.Path("first.qsn");
    ASSERT_EQ(Save(base, first), SnapshotWriteResult::Written);
    ASSERT_TRUE(LoadRight(first));
    ASSERT_EQ(app.pair.Directory(Side::Right), base + "-first.qsn");

    // The side now reads base + "-first.qsn"; its snapshot records the loaded base again.
    EXPECT_EQ(SnapshotBaseDirectory(app.pair, Side::Right), base);
    app.pair.Directory(Side::Left) = base;
    EXPECT_EQ(SnapshotBaseDirectory(app.pair, Side::Left), base);

    RowList& right = app.pair.List(Side::Right);
    for (const EntryRef& ref : app.pair[Side::Right].entries) right.AddEntryRow(right.Count(), *ref.Entry());
    const std::string second = tree.Path("second.qsn");
    ASSERT_EQ(
        WriteSnapshot(app.job, right, SnapshotBaseDirectory(app.pair, Side::Right), second, "quarto", "v"),
        SnapshotWriteResult::Written);
    app.pair[Side::Right].entries.Clear(kSortFilesFirst, kSortAscending);
    ASSERT_TRUE(LoadRight(second));
    EXPECT_NE(Loaded(base + "a.txt"), nullptr);
}

}  // namespace
}  // namespace quarto
