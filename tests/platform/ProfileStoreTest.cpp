// The profile stores: the INI file kept by QSettings and the one in memory read values back
// the same way; the file keeps its sections and names.
#include "platform/ProfileStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/MemoryProfileStore.h"
#include "tests/support/TempTree.h"

namespace quarto {
namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ProfileStoreTest, ParsesStoredIntegers) {
    EXPECT_EQ(ParseProfileInt("6016"), 6016);
    EXPECT_EQ(ParseProfileInt("-1"), -1);
    EXPECT_EQ(ParseProfileInt("+7"), 7);
    EXPECT_EQ(ParseProfileInt("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseProfileInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseProfileInt("4294967295"), -1);  // an unsigned colour wraps
    EXPECT_EQ(ParseProfileInt("4294967296"), std::nullopt);
    EXPECT_EQ(ParseProfileInt("-2147483649"), std::nullopt);
    for (const char* bad : {"", "-", "12a", " 1", "0x10", "1.5"})
        EXPECT_EQ(ParseProfileInt(bad), std::nullopt) << bad;
}

TEST(ProfileStoreTest, DefaultPathFollowsXdgConfigHome) {
    test::TempTree tree;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", (tree.Root() + "cfg").c_str(), 1);
    EXPECT_EQ(DefaultProfilePath(), tree.Root() + "cfg/Brightvale/Quarto.conf");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultProfilePath(), "/home/someone/.config/Brightvale/Quarto.conf");
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

// The same behaviour from both stores.
class BothStoresTest : public ::testing::TestWithParam<bool> {
  protected:
    std::unique_ptr<ProfileStore> Open() {
        if (!GetParam()) {
            if (!memory) memory = std::make_unique<test::MemoryProfileStore>();
            return std::unique_ptr<ProfileStore>(new Borrowed(*memory));
        }
        return std::make_unique<QSettingsProfileStore>(path);
    }

    // Lets the test reopen the one memory store as if it were a file.
    struct Borrowed : ProfileStore {
        explicit Borrowed(ProfileStore& s) : store(s) {}
        int ReadInt(std::string_view a, std::string_view b, int d) const override {
            return store.ReadInt(a, b, d);
        }
        std::string ReadString(std::string_view a, std::string_view b, const std::string& d) const override {
            return store.ReadString(a, b, d);
        }
        bool WriteInt(std::string_view a, std::string_view b, int v) override {
            return store.WriteInt(a, b, v);
        }
        bool WriteString(std::string_view a, std::string_view b, const std::string& v) override {
            return store.WriteString(a, b, v);
        }
        bool RemoveAll() override { return store.RemoveAll(); }
        ProfileStore& store;
    };

    test::TempTree tree;
    std::string path = tree.Path("Brightvale/Quarto.conf");
    std::unique_ptr<test::MemoryProfileStore> memory;
};

TEST_P(BothStoresTest, ValuesSurviveAReopen) {
    const std::vector<std::string> texts = {"",
                                            "*.c,*.h",
                                            "\"quoted\", 'and' ;semi=colon #hash",
                                            " lead and trail ",
                                            "@ByteArray(x)",
                                            "line\nbreak",
                                            "/data/\xff\xfe not utf-8/",
                                            "-12,0,0,0,400,0,0,0,0,0,0,0,0,Times'x"};
    {
        auto store = Open();
        EXPECT_TRUE(store->WriteInt(kSettingsSection, "FilterMode", 6019));
        EXPECT_TRUE(store->WriteInt(kSettingsSection, "wp...left", -1));
        EXPECT_TRUE(store->WriteString(kSettingsSection, "Word", "123abc"));
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_TRUE(store->WriteString(kSettingsSection, "Text" + std::to_string(i), texts[i]));
    }
    auto store = Open();
    EXPECT_EQ(store->ReadInt(kSettingsSection, "FilterMode", 0), 6019);
    EXPECT_EQ(store->ReadInt(kSettingsSection, "wp...left", 5), -1);
    EXPECT_EQ(store->ReadInt(kSettingsSection, "Word", 5), 5);  // not a number: the default
    EXPECT_EQ(store->ReadInt(kSettingsSection, "Missing", 42), 42);
    EXPECT_EQ(store->ReadString(kSettingsSection, "Missing", "dflt"), "dflt");
    EXPECT_EQ(store->ReadString(kSettingsSection, "FilterMode", ""), "6019");
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(store->ReadString(kSettingsSection, "Text" + std::to_string(i), "?"), texts[i]) << i;
    EXPECT_EQ(store->ReadInt(kDockStateSection, "FilterMode", 1), 1);  // sections are apart
}

TEST_P(BothStoresTest, RemoveAllEmptiesEverySection) {
    auto store = Open();
    store->WriteInt(kSettingsSection, "UsageCounter", 3);
    store->WriteString(kDockStateSection, "State", "bars");
    EXPECT_TRUE(store->RemoveAll());
    auto reopened = Open();
    EXPECT_EQ(reopened->ReadInt(kSettingsSection, "UsageCounter", 0), 0);
    EXPECT_EQ(reopened->ReadString(kDockStateSection, "State", ""), "");
}

INSTANTIATE_TEST_SUITE_P(Stores, BothStoresTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "IniFile" : "Memory"; });

TEST(ProfileStoreTest, TheFileKeepsSectionsNamesAndNumbers) {
    test::TempTree tree;
    const std::string path = tree.Path("Brightvale/Quarto.conf");
    QSettingsProfileStore store(path);
    store.WriteInt(kSettingsSection, "ClrNewerFilesText", 0xFF0000);
    store.WriteString(kSettingsSection, "LeftDir", "/data/a/");
    store.WriteString(kDockStateSection, "State", "bars");
    const std::string text = ReadText(path);  // written at once, no close needed
    EXPECT_NE(text.find("[Settings]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nClrNewerFilesText=16711680\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nLeftDir=/data/a/\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Settings-DockState]\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace quarto
