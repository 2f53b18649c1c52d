// The settings store over the real per-user INI file in a temporary XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include "app/FontText.h"
#include "app/SettingsStore.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

TEST(SettingsFileTest, WritesLandUnderTheirNamesReloadAndResetEmptiesTheFile) {
    test::TempTree tree;
    test::ScopedEnv config("XDG_CONFIG_HOME", tree.Path("config"));
    const std::string path = tree.Path("config/Brightvale/Quarto.conf");
    HeadlessSystemColors colors;
    LogFont font = DecodeFont("-13,0,0,0,700,1,0,0,0,3,2,1,34,Arial Narrow");
    {
        QSettingsProfileStore profile;
        SettingsStore store(profile, colors);
        Settings settings;
        store.LoadSettings(settings);
        store.Write(settings, &Settings::FilterMode, int{kViewUnique});
        store.Write(settings, &Settings::FntLeftFiles, font);
        store.Write(settings, &Settings::ClrBytesDiffFilesTextBk, ColorRef{0x00C0FF});
        settings.RightDir = "/data/b/";
        store.SaveCountersAndDirectories(settings, false);
        profile.WriteString(kDockStateSection, "State", "bars");
    }
    const std::string text = test::ReadFile(path);
    for (const char* line :
         {"[Settings]\n", "\nFilterMode=6019\n",
          "\nFntLeftFiles=\"-13,0,0,0,700,1,0,0,0,3,2,1,34,Arial Narrow\"\n",
          "\nClrBytesDiffFilesTextBk=49407\n", "\nUsageCounter=1\n", "\nRightDir=/data/b/\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;

    QSettingsProfileStore profile;
    SettingsStore store(profile, colors);
    Settings settings;
    store.LoadSettings(settings);
    EXPECT_EQ(settings.FilterMode, kViewUnique);
    EXPECT_EQ(settings.FntLeftFiles, font);
    EXPECT_EQ(settings.ClrBytesDiffFilesTextBk, 0x00C0FFu);
    EXPECT_EQ(settings.RightDir, "/data/b/");
    store.ResetSettings(settings);
    EXPECT_EQ(settings.FilterMode, kViewAll);
    EXPECT_EQ(test::ReadFile(path).find('='), std::string::npos) << test::ReadFile(path);
}

}  // namespace
}  // namespace quarto
