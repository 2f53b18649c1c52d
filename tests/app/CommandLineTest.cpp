// The command line applied to the settings record and the run's options.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "app/SettingsStore.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

struct CommandLineCase {
    std::vector<std::string> words;                      // after the program name
    std::function<void(Settings&, RunOptions&)> expect;  // applied to the starting state
    const char* messages = "";
};

// The starting state: stored values that each option visibly changes.
Settings StartingSettings() {
    Settings settings;
    settings.FilterMode = 0;
    settings.LeftDir = "/old/left/";
    settings.RightDir = "/old/right/";
    settings.ExcludeMasks = "*.bak";
    settings.IncludeHidSys = false;
    settings.AttributeMask = 0x21;
    settings.ExcludeUniqueLeft = true;
    return settings;
}

struct Applied {
    Settings settings;
    RunOptions run;
    std::string messages;
    int commandFilesBegun = 0;
    bool generatingWhenBegun = false;
};

Applied Apply(std::vector<std::string> words, const std::function<void(Settings&)>& reset = {}) {
    Applied applied{StartingSettings(), {}, {}, 0, false};
    words.insert(words.begin(), "quarto");
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* errors = open_memstream(&buffer, &size);
    ApplyCommandLine(words, {applied.settings, applied.run,
                             [&] {
                                 if (reset) reset(applied.settings);
                             },
                             [&] {
                                 ++applied.commandFilesBegun;
                                 applied.generatingWhenBegun = applied.run.generating;
                             },
                             errors});
    std::fclose(errors);
    applied.messages.assign(buffer, size);
    std::free(buffer);
    return applied;
}

const std::string kCwd = CurrentDirectory() == "/" ? "" : CurrentDirectory();

const CommandLineCase kCases[] = {
    {{"-lq"}, [](Settings& s, RunOptions& r) { s.FilterMode = kViewAll, r.quiet = true; }},
    {{"-a"}, [](Settings& s, RunOptions&) { s.FilterMode = kViewSimilar; }},
    {{"-N"}, [](Settings& s, RunOptions&) { s.FilterMode = kViewIdentical; }},
    {{"-u"}, [](Settings& s, RunOptions&) { s.FilterMode = kViewUnique; }},
    {{"-M"}, [](Settings& s, RunOptions&) { s.FilterMode = kViewModified; }},
    {{"-d"}, [](Settings& s, RunOptions&) { s.FilterMode = kViewDifferent; }},
    // A lone -e at the end is still applied, with an empty argument.
    // Each message is counted: an unattended report stops on it.
    {{"-e"},
     [](Settings& s, RunOptions& r) { s.ExcludeMasks.clear(), r.optionErrors = 1; },
     "quarto: option requires an argument -- e\n"},
    // z is illegal and the q after it in the same word is dropped.
    {{"-zq"}, [](Settings&, RunOptions& r) { r.optionErrors = 1; }, "quarto: illegal option -- z\n"},
    {{"-c", "-q"},
     [](Settings&, RunOptions& r) { r.batchSnapshot[0] = true, r.quiet = true, r.optionErrors = 1; },
     "quarto: option requires an argument -- c\n"},
    {{"-c", "/tmp/x.qsn"},
     [](Settings&, RunOptions& r) { r.batchSnapshot[0] = true, r.batchSnapshotName = "/tmp/x.qsn"; }},
    {{"-cL=a.qsn"},
     [](Settings&, RunOptions& r) { r.batchSnapshot[0] = true, r.batchSnapshotName = "a.qsn"; }},
    {{"-cr=b.qsn"},
     [](Settings&, RunOptions& r) { r.batchSnapshot[1] = true, r.batchSnapshotName = "b.qsn"; }},
    {{"-cQ=file"}, [](Settings&, RunOptions&) {}},  // another letter before "=": ignored
    {{"-P", "Q=file"}, [](Settings&, RunOptions&) {}},
    {{"-pL=a.qsn"},
     [](Settings&, RunOptions& r) {
         r.savedDirectories[0] = "/old/left/", r.snapshotNames[0] = "a.qsn", r.menuLoadRefreshOff[0] = true;
     }},
    {{"-pR="}, [](Settings&, RunOptions& r) { r.savedDirectories[1] = "/old/right/"; }},  // no file: no flag
    {{"-XL=off"}, [](Settings& s, RunOptions&) { s.ExcludeUniqueLeft = false; }},
    {{"-XLxOFF"}, [](Settings& s, RunOptions&) { s.ExcludeUniqueLeft = false; }},
    {{"-XLOFF"}, [](Settings&, RunOptions&) {}},  // OFF must start at the third character
    {{"-xr"}, [](Settings& s, RunOptions&) { s.ExcludeUniqueRight = true; }},
    {{"-b"},
     [](Settings& s, RunOptions& r) { s.LeftDir.clear(), s.RightDir.clear(), r.directoriesNotSaved = true; }},
    {{"-b", "/a"},
     [](Settings& s, RunOptions& r) { s.LeftDir = "/a/", s.RightDir.clear(), r.directoriesNotSaved = true; }},
    {{"/a", "/b/", "/c/*.*"}, [](Settings& s, RunOptions&) { s.LeftDir = "/a/", s.RightDir = "/c/"; }},
    {{"--", "-l", "/x"}, [](Settings& s, RunOptions&) { s.LeftDir = kCwd + "/-l/", s.RightDir = "/x/"; }},
    {{"/L"}, [](Settings& s, RunOptions&) { s.LeftDir = "/L/"; }},
    {{"-e", "*.tmp,*.o", "-I*.c"},
     [](Settings& s, RunOptions&) { s.ExcludeMasks = "*.tmp,*.o", s.IncludeMasks = "*.c"; }},
    {{"-o"}, [](Settings& s, RunOptions&) { s.AttributeMask = 0x27; }},
    {{"-r", "-W"}, [](Settings& s, RunOptions&) { s.IncludeSubdirs = true, s.IncludeNetworkDrives = true; }},
    {{"-f", "name", "-t", "x", "-1"}, [](Settings&, RunOptions&) {}},  // accepted, no effect
    {{"-g", "out.cmd"}, [](Settings&, RunOptions& r) { r.generating = true, r.commandFileName = "out.cmd"; }},
};

TEST(CommandLineTest, EachWordListGivesItsSettingsAndRunOptions) {
    for (const CommandLineCase& c : kCases) {
        const Applied applied = Apply(c.words);
        Settings expected = StartingSettings();
        RunOptions expectedRun;
        c.expect(expected, expectedRun);
        const std::string label = "words starting " + c.words[0];
        EXPECT_EQ(test::SettingsDifferences(applied.settings, expected), std::vector<std::string>()) << label;
        EXPECT_EQ(applied.settings.LeftDir, expected.LeftDir) << label;
        EXPECT_TRUE(applied.run == expectedRun) << label;
        EXPECT_EQ(applied.messages, c.messages) << label;
    }
}

TEST(CommandLineTest, GenerateBeginsTheCommandFileAtOnceWithTheFlagSet) {
    const Applied named = Apply({"-g", "out.cmd", "-q"});
    EXPECT_EQ(named.commandFilesBegun, 1);
    EXPECT_TRUE(named.generatingWhenBegun);
    const Applied unnamed = Apply({"-g"});
    EXPECT_EQ(unnamed.commandFilesBegun, 1);
    EXPECT_TRUE(unnamed.run.generating);
    EXPECT_EQ(unnamed.run.commandFileName, "");
}

// -Y resets the stored profile at its place in the scan: earlier options on the record are
// undone, per-run fields stay, later options apply on top.
TEST(CommandLineTest, ResetInTheMiddleUndoesEarlierSettingsOnly) {
    test::MemoryProfileStore profile;
    HeadlessSystemColors colors;
    SettingsStore store(profile, colors);
    profile.WriteInt(kSettingsSection, "FilterMode", kViewUnique);
    profile.WriteString(kSettingsSection, "LeftDir", "/stored/");
    const Applied applied = Apply({"-m", "-e", "x", "/a", "-XR", "-q", "-o", "-y", "-r", "/b"},
                                  [&](Settings& settings) { store.ResetSettings(settings); });
    EXPECT_EQ(profile.ValueCount(), 0u);
    EXPECT_EQ(applied.settings.FilterMode, kViewAll);
    EXPECT_EQ(applied.settings.ExcludeMasks, "");
    EXPECT_EQ(applied.settings.LeftDir, "");           // "/a" was undone
    EXPECT_EQ(applied.settings.RightDir, "/b/");       // the second plain word, after the reset
    EXPECT_EQ(applied.settings.AttributeMask, 0x27u);  // from IncludeHidSys's default
    EXPECT_TRUE(applied.settings.IncludeSubdirs);
    EXPECT_TRUE(applied.settings.ExcludeUniqueRight);  // per run: kept
    EXPECT_TRUE(applied.run.quiet);
}

TEST(CommandLineTest, DirectoriesAreNormalised) {
    const struct {
        const char* argument;
        const char* directory;
    } cases[] = {
        {"/data/*.*", "/data/"},
        {"/data", "/data/"},
        {"/data/", "/data/"},
        {"/data//sub///", "/data/sub/"},
        {"rel", "/home/u/work/rel/"},
        {"rel/*.txt", "/home/u/work/rel/"},
        {"./a/../b", "/home/u/work/b/"},
        {"../x", "/home/u/x/"},
        {"/", "/"},
        {"/*", "/"},
        {"/..", "/"},
        {"//server/share/", "//server/share/"},
        {"//server/share", "//server/share/"},  // left as given
        {"*", "/home/u/work/"},
        {"", "/home/u/work/"},  // nothing before the mask: here
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseDirectory(c.argument, "/home/u/work"), c.directory) << c.argument;
}

TEST(CommandLineTest, RelativeDirectoriesFollowTheCurrentDirectoryWhichStaysPut) {
    test::TempTree tree;
    test::ScopedCwd cwd(tree.Dir("work"));
    const std::string here = CurrentDirectory();
    const Applied applied = Apply({"sub/*.c", ".."});
    EXPECT_EQ(applied.settings.LeftDir, here + "/sub/");
    EXPECT_EQ(applied.settings.RightDir, here.substr(0, here.rfind('/')) + "/");
    EXPECT_EQ(CurrentDirectory(), here);
}

TEST(CommandLineTest, WholeWordOptionsAreTakenOutBeforeTheScanner) {
    const WholeWordOptions options = TakeWholeWordOptions({"quarto", "-l", "--report", "/a", "--reporting"});
    EXPECT_TRUE(options.report);
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.remaining, (std::vector<std::string>{"quarto", "-l", "/a", "--reporting"}));
    EXPECT_TRUE(TakeWholeWordOptions({"quarto", "/a", "--help"}).help);
    EXPECT_TRUE(TakeWholeWordOptions({"quarto", "--version"}).version);
}

}  // namespace
}  // namespace quarto
