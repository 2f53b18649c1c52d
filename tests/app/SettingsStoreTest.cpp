// The settings store over a profile in memory: defaults, derived fields, single-value writes,
// the exit save and the reset.
#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "tests/app/AppTestSupport.h"

namespace quarto {
namespace {

class FixedColors : public SystemColors {
  public:
    uint32_t GetSysColor(int index) const override { return base + static_cast<uint32_t>(index); }
    uint32_t base = 0x100;
};

// Every stored value's default as the store writes it (colours as 0x00BBGGRR numbers, the
// scheme without a display: window white, text black, highlight navy, highlight text white).
const std::map<std::string, std::string> kStoredDefaults = {
    {"UsageCounter", "0"},
    {"OperationsCounter", "0"},
    {"LeftDir", ""},
    {"RightDir", ""},
    {"FilterMode", "6016"},
    {"SortMode", "8289"},
    {"SortDirection", "0"},
    {"ClrSelectedDriveText", "16777215"},
    {"ClrSelectedDriveTextBk", "8388608"},
    {"ClrLeftDriveBk", "16777215"},
    {"ClrLeftDriveText", "0"},
    {"ClrLeftDriveTextBk", "16777215"},
    {"ClrRightDriveBk", "16777215"},
    {"ClrRightDriveText", "0"},
    {"ClrRightDriveTextBk", "16777215"},
    {"ClrSelectedFilesText", "16777215"},
    {"ClrSelectedFilesTextBk", "8388608"},
    {"ClrLeftFilesBk", "16777215"},
    {"ClrLeftFilesText", "0"},
    {"ClrLeftFilesTextBk", "16777215"},
    {"ClrRightFilesBk", "16777215"},
    {"ClrRightFilesText", "0"},
    {"ClrRightFilesTextBk", "16777215"},
    {"ClrNewerFilesText", "16711680"},
    {"ClrNewerFilesTextBk", "12632256"},
    {"ClrOlderFilesText", "0"},
    {"ClrOlderFilesTextBk", "16777215"},
    {"ClrLargerFilesText", "65280"},
    {"ClrLargerFilesTextBk", "12632256"},
    {"ClrSmallerFilesText", "0"},
    {"ClrSmallerFilesTextBk", "16777215"},
    {"ClrAttrsDiffFilesText", "8323072"},
    {"ClrAttrsDiffFilesTextBk", "16777215"},
    {"ClrBytesDiffFilesText", "32512"},
    {"ClrBytesDiffFilesTextBk", "16777215"},
    {"FntLeftFiles", "0,0,0,0,0,0,0,0,0,0,0,0,0,"},
    {"FntRightFiles", "0,0,0,0,0,0,0,0,0,0,0,0,0,"},
    {"CheckFileAttributes", "1"},
    {"CheckByteByByte", "0"},
    {"CheckDateTimes", "1"},
    {"CheckDirAttributes", "0"},
    {"CheckDirDateTimes", "0"},
    {"CheckFileSizes", "1"},
    {"CheckIgnoreCtrlZ", "0"},
    {"CheckIgnoreFatNtfs2Sec", "1"},
    {"ComparitorProgram", ""},
    {"ComparitorProgramOptions", ""},
    {"ComparitorProgram2", ""},
    {"ComparitorProgram2Options", ""},
    {"ConfirmCopy", "1"},
    {"ConfirmMove", "1"},
    {"ConfirmDelete", "1"},
    {"ConfirmEsc", "1"},
    {"ConfirmExit", "1"},
    {"EditorProgram", "xdg-open"},
    {"EditorProgramOptions", ""},
    {"IncludeMasks", "*.*"},
    {"ExcludeMasks", ""},
    {"IncludeList", ""},
    {"MarkAllOn", "0"},
    {"ClearAllOn", "0"},
    {"DisableAutoRefresh", "0"},
    {"IgnoreFileAttributes", "1"},
    {"MoveIsCopyDelete", "1"},
    {"CopyMoveZeroLengthFiles", "1"},
    {"ShowProgress", "1"},
    {"ShowProgressInterval", "50"},
    {"ShowActivity", "1"},
    {"ShowAllNetworkDrives", "0"},
    {"HilightIdentical", "0"},
    {"IndicateArchived", "0"},
    {"IncludeHidSys", "1"},
    {"UseDateTimeType", "2"},
    {"RunProgram", ""},
    {"RunProgramUseGenCmd", "0"},
    {"RunProgramOptions", ""},
    {"RunProgram2", ""},
    {"RunProgram2UseGenCmd", "0"},
    {"RunProgram2Options", ""},
    {"DisplayLogo", "1"},
    {"IncludeSubdirsAtStart", "0"},
    {"IncludeNetworkAtStart", "0"},
    {"ScanPausePerEntry", "1"},
};

class SettingsStoreTest : public ::testing::Test {
  protected:
    test::MemoryProfileStore profile;
    HeadlessSystemColors colors;
    SettingsStore store{profile, colors};
    Settings settings;
};

TEST_F(SettingsStoreTest, AFreshProfileGivesExactlyTheDefaults) {
    settings.IncludeSubdirs = true;  // derived fields are set from their sources
    store.LoadSettings(settings);
    test::MemoryProfileStore written;
    SettingsStore writer(written, colors);
    for (const SettingDescriptor& descriptor : SettingDescriptors())
        writer.WriteCurrent(settings, descriptor.name);
    EXPECT_EQ(written.ValueCount(), kStoredDefaults.size());
    for (const auto& [name, text] : kStoredDefaults)
        EXPECT_EQ(written.Raw(kSettingsSection, name).value_or("<missing>"), text) << name;
    EXPECT_FALSE(settings.IncludeSubdirs);
    EXPECT_FALSE(settings.IncludeNetworkDrives);
    EXPECT_EQ(settings.AttributeMask, 0x27u);
    // The record's own initial values agree with the stored defaults (engine tests rely on them).
    EXPECT_EQ(test::SettingsDifferences(Settings{}, settings), std::vector<std::string>{"AttributeMask"});
}

TEST_F(SettingsStoreTest, SystemColourDefaultsFollowThePaletteAtEachLoad) {
    FixedColors palette;
    SettingsStore paletteStore(profile, palette);
    paletteStore.LoadSettings(settings);
    EXPECT_EQ(settings.ClrLeftDriveBk, 0x100u + COLOR_WINDOW);
    EXPECT_EQ(settings.ClrSelectedFilesTextBk, 0x100u + COLOR_HIGHLIGHT);
    EXPECT_EQ(settings.ClrNewerFilesText, 0xFF0000u);  // a fixed default
    palette.base = 0x200;
    profile.WriteInt(kSettingsSection, "ClrLeftFilesText", 0x123456);
    paletteStore.LoadSettings(settings);
    EXPECT_EQ(settings.ClrLeftDriveBk, 0x200u + COLOR_WINDOW);
    EXPECT_EQ(settings.ClrLeftFilesText, 0x123456u);  // a stored colour wins
}

TEST_F(SettingsStoreTest, DerivedFieldsFollowTheirSourcesAtEachLoad) {
    profile.WriteInt(kSettingsSection, "IncludeSubdirsAtStart", 1);
    profile.WriteInt(kSettingsSection, "IncludeHidSys", 0);
    settings.AttributeMask = 0x27;
    store.LoadSettings(settings);
    EXPECT_TRUE(settings.IncludeSubdirs);
    EXPECT_FALSE(settings.IncludeNetworkDrives);
    EXPECT_EQ(settings.AttributeMask, 0x21u);
    settings.IncludeSubdirs = false;  // the command toggles it for the run
    settings.ExcludeUniqueLeft = true;
    store.LoadSettings(settings);
    EXPECT_TRUE(settings.IncludeSubdirs);
    EXPECT_TRUE(settings.ExcludeUniqueLeft);  // per run: loading leaves it
}

TEST_F(SettingsStoreTest, AWriteStoresOneValueAndUpdatesTheRecord) {
    EXPECT_TRUE(store.Write(settings, &Settings::FilterMode, int{kViewUnique}));
    EXPECT_EQ(settings.FilterMode, kViewUnique);
    EXPECT_EQ(profile.Raw(kSettingsSection, "FilterMode"), "6019");
    EXPECT_EQ(profile.WriteCount(), 1u);
    store.Write(settings, &Settings::ClrNewerFilesText, ColorRef{0x123456});
    EXPECT_EQ(profile.Raw(kSettingsSection, "ClrNewerFilesText"), "1193046");
    store.Write(settings, &Settings::IncludeHidSys, false);  // the attribute mask follows at once
    EXPECT_EQ(settings.AttributeMask & 0x6u, 0u);
    EXPECT_EQ(profile.Raw(kSettingsSection, "IncludeHidSys"), "0");
    EXPECT_FALSE(store.Write(settings, &Settings::IncludeSubdirs, true));  // derived: never stored
    EXPECT_EQ(profile.WriteCount(), 3u);
}

TEST_F(SettingsStoreTest, WriteIfChangedSkipsAnEqualValue) {
    store.LoadSettings(settings);
    EXPECT_FALSE(store.WriteIfChanged(settings, &Settings::IncludeMasks, std::string("*.*")));
    EXPECT_TRUE(store.WriteIfChanged(settings, &Settings::IncludeMasks, std::string("*.c")));
    EXPECT_EQ(profile.WriteCount(), 1u);
}

// A corrupt or out-of-range stored value takes its default: FilterMode=-7 used to empty every
// view, so trees that differ reported as identical.
TEST_F(SettingsStoreTest, EnumeratedAndRangedValuesOutsideTheirSetFallBackToTheirDefault) {
    const struct {
        const char* name;
        const char* stored;
        int Settings::*member;
        int loaded;
    } cases[] = {
        {"FilterMode", "-7", &Settings::FilterMode, kViewAll},
        {"FilterMode", "99", &Settings::FilterMode, kViewAll},
        {"FilterMode", "6021", &Settings::FilterMode, kViewDifferent},  // the last view
        {"SortMode", "8287", &Settings::SortMode, kSortFilesFirst},
        {"SortMode", "fast", &Settings::SortMode, kSortFilesFirst},  // unreadable
        {"SortDirection", "2", &Settings::SortDirection, kSortAscending},
        {"UseDateTimeType", "3", &Settings::UseDateTimeType, 2},
        {"MarkAllOn", "2", &Settings::MarkAllOn, 0},
        {"ClearAllOn", "3", &Settings::ClearAllOn, 0},
        {"ClearAllOn", "2", &Settings::ClearAllOn, 2},
        {"ShowProgressInterval", "10001", &Settings::ShowProgressInterval, 50},
        {"ShowProgressInterval", "0", &Settings::ShowProgressInterval, 0},
        {"ScanPausePerEntry", "1001", &Settings::ScanPausePerEntry, 1},
        {"ScanPausePerEntry", "1000", &Settings::ScanPausePerEntry, 1000},
    };
    for (const auto& c : cases) {
        profile.WriteString(kSettingsSection, c.name, c.stored);
        store.LoadSettings(settings);
        EXPECT_EQ(settings.*c.member, c.loaded) << c.name << "=" << c.stored;
        profile.RemoveAll();
    }
    store.Write(settings, &Settings::FilterMode, 99);
    EXPECT_EQ(profile.Raw(kSettingsSection, "FilterMode"), "6016");

    // Window layout values outside their limits read as missing.
    const std::tuple<const char*, int, int> layout[] = {
        {"LeftPaneWidth", -5, -1}, {"LeftPaneWidth", 32768, -1}, {"LeftPaneWidth", 300, 300},
        {"wp.showCmd", 12, -1},    {"wp...left", -200, -200},    {"StatsX", -1, 0},
    };
    for (const auto& [name, stored, read] : layout) {
        store.WriteLayout(name, stored);
        EXPECT_EQ(store.ReadLayout(name), read) << name << "=" << stored;
    }
}

TEST_F(SettingsStoreTest, AStoredSideDirectoryIsADirectory) {
    profile.WriteString(kSettingsSection, "LeftDir", "/data/left");
    profile.WriteString(kSettingsSection, "RightDir", "/data/right/");
    store.LoadSettings(settings);
    EXPECT_EQ(settings.LeftDir, "/data/left/");
    EXPECT_EQ(settings.RightDir, "/data/right/");
}

TEST_F(SettingsStoreTest, ExitSaveCountsEachCloseAndKeepsDirectoriesUnderB) {
    store.LoadSettings(settings);
    settings.LeftDir = "/a/";
    settings.OperationsCounter = 7;
    store.SaveCountersAndDirectories(settings, false);
    store.LoadSettings(settings);
    store.SaveCountersAndDirectories(settings, false);
    EXPECT_EQ(profile.Raw(kSettingsSection, "UsageCounter"), "2");
    EXPECT_EQ(profile.Raw(kSettingsSection, "OperationsCounter"), "7");
    EXPECT_EQ(profile.Raw(kSettingsSection, "LeftDir"), "/a/");
    settings.LeftDir.clear();  // -B empties the directories for the run
    store.SaveCountersAndDirectories(settings, true);
    EXPECT_EQ(profile.Raw(kSettingsSection, "LeftDir"), "/a/");
    EXPECT_EQ(profile.Raw(kSettingsSection, "UsageCounter"), "3");
}

TEST_F(SettingsStoreTest, ResetReturnsEveryValueAndLayoutValueToItsDefault) {
    store.Write(settings, &Settings::CheckByteByByte, true);
    store.WriteLayout("wp...left", 40);
    store.WriteLayout("StatsX", 300);
    profile.WriteString(kDockStateSection, "State", "bars");
    EXPECT_EQ(store.ReadLayout("wp...left"), 40);
    store.ResetSettings(settings);
    EXPECT_EQ(profile.ValueCount(), 0u);
    EXPECT_FALSE(settings.CheckByteByByte);
    EXPECT_EQ(store.ReadLayout("wp...left"), -1);
    EXPECT_EQ(store.ReadLayout("StatsX"), 0);
}

}  // namespace
}  // namespace quarto
