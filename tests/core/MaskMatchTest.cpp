// Name masks: the one-pass matching rule, how a list splits into masks, and the length limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/SideScan.h"

namespace quarto {
namespace {

struct MaskCase {
    const char* list;
    const char* name;  // a tested name: a directory's ends with '/'
    bool matches;
    const char* pins;
};

const MaskCase kMaskCases[] = {
    {"*.c,*.h", "a.c", true, "first mask of two"},
    {"*.c,*.h", "b.H", true, "second mask, case folded"},
    {"*.c,*.h", "c.cpp", false, "the name may not run on past the mask"},
    {"*.c *.h", "a.c", false, "a blank does not separate: one mask that needs a blank in the name"},
    {"*.c *.h", "x.c y.h", true, "... which a name with that blank matches"},
    {" *.c ,\t*.h", "a.h", true, "blanks before a mask are skipped"},
    {"*.c ", "a.c", false, "a blank at the end belongs to the mask"},
    {"Temp", "Temp", true, "a bare word is a file name"},
    {"Temp", "Temp/", false, "... and never a directory's tested name"},
    {"Temp/", "Temp/", true, "a trailing '/' matches the directory"},
    {"Temp/", "Temp", false, "... and no file"},
    {"temp", "TEMP", true, "letters compare without regard to case"},
    {"*.*", "Makefile", true, "star-dot-star also takes names without a dot"},
    {"*.*", "a.b.c", true, "... and with several"},
    {"*.*", "sub/", true, "... and directories"},
    {"*.*", ".profile", true, "... and names that start with a dot"},
    {"x, *.* ,y", "a b", true, "... wherever it stands in the list"},
    {"*a.txt", "banana.txt", false, "the star stops at the first 'a'; no backtracking"},
    {"*a.txt", "bxa.txt", true, "... which works when that first 'a' is the right one"},
    {"a*b", "a", true, "a star left over when the name is used up passes with its target"},
    {"a*b", "ab", true, "the star's target consumed"},
    {"a*b", "axxb", true, "the star runs to its target"},
    {"a*b", "axxbc", false, "the name may not outlast the mask"},
    {"a?", "a", true, "a '?' left over matches nothing and is passed over"},
    {"a?", "ab", true, "'?' takes one character"},
    {"a?", "abc", false, "... and only one"},
    {"?", "a", true, "a lone '?'"},
    {"a*", "a", true, "a trailing star matches nothing"},
    {"a*", "abc/", true, "... or everything, a directory's '/' included"},
    {"*", "x", true, "the lone star"},
    {"*", "d/", true, "... takes directories too"},
    {"*.c", "src/", false, "star and extension never match a directory"},
    {"*.c", "c/", false, "... even one that ends in the extension's letter"},
    {"\"my file.txt\"", "my file.txt", true, "quotes group a name and match nothing themselves"},
    {"\"*.txt\"", "a.txt", true, "quotes around a pattern"},
    {"abc", "ab", false, "a literal left over fails"},
    {"ab", "abc", false, "a name left over fails"},
    {",,, ,", "a", false, "a list of nothing but separators holds no mask"},
    {"", "a", false, "an empty list matches nothing"},
    {"*.TXT", "\xC3\x84.txt", true, "bytes above ASCII compare as they are"},
    {"\xC3\x84*", "\xC3\xA4.txt", false, "... and are not case folded"},
};

TEST(MatchMaskList, FollowsTheOnePassRule) {
    for (const MaskCase& c : kMaskCases)
        EXPECT_EQ(MatchMaskList(c.name, c.list), c.matches)
            << "list '" << c.list << "' name '" << c.name << "': " << c.pins;
}

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> masks;
    std::string mask;
    while (NextMask(list, mask)) masks.push_back(mask);
    return masks;
}

TEST(NextMask, SplitsOnCommasOnly) {
    EXPECT_EQ(SplitList("*.c,*.h"), (std::vector<std::string>{"*.c", "*.h"}));
    EXPECT_EQ(SplitList("  a b ,\t, c\t"), (std::vector<std::string>{"a b ", "c\t"}));
    EXPECT_EQ(SplitList(",,a,,"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(SplitList(" \t, ").empty());
}

TEST(NextMask, AdvancesTheCursorPastTheComma) {
    std::string_view cursor = "one,two";
    std::string mask;
    ASSERT_TRUE(NextMask(cursor, mask));
    EXPECT_EQ(mask, "one");
    EXPECT_EQ(cursor, "two");
    ASSERT_TRUE(NextMask(cursor, mask));
    EXPECT_EQ(cursor, "");
    EXPECT_FALSE(NextMask(cursor, mask));
}

TEST(MaskLength, AListIsReadToItsLimitOfCharacters) {
    // 255 blanks + "*.cc" is 259 characters: all of it counts.
    const std::string at259 = std::string(255, ' ') + "*.cc";
    ASSERT_EQ(at259.size(), kMaxMaskLength);
    EXPECT_TRUE(MatchMaskList("a.cc", at259));
    EXPECT_FALSE(MatchMaskList("a.c", at259));
    // One blank more: the last character falls off and the mask reads "*.c".
    const std::string at260 = std::string(256, ' ') + "*.cc";
    EXPECT_FALSE(MatchMaskList("a.cc", at260));
    EXPECT_TRUE(MatchMaskList("a.c", at260));
}

TEST(MaskLength, AMaskIsCutAtItsLimitAndTheListGoesOn) {
    const std::string name259(259, 'n');
    EXPECT_TRUE(MatchMaskList(name259, name259));
    // A 260-character mask compares its first 259 characters.
    const std::string mask260(260, 'n');
    EXPECT_TRUE(MatchMaskList(name259, mask260));
    EXPECT_FALSE(MatchMaskList(name259 + "n", mask260));

    // Splitting drops the excess up to the comma and goes on with the next mask.
    std::string_view cursor;
    const std::string list = std::string(300, 'x') + ",next";
    cursor = list;
    std::string mask;
    ASSERT_TRUE(NextMask(cursor, mask));
    EXPECT_EQ(mask.size(), kMaxMaskLength);
    ASSERT_TRUE(NextMask(cursor, mask));
    EXPECT_EQ(mask, "next");
}

}  // namespace
}  // namespace quarto
