// The stored text of a font setting: the exact format written, and the reading rules.
#include "app/FontText.h"

#include <gtest/gtest.h>

namespace quarto {
namespace {

LogFont Arial() {
    LogFont font;
    font.height = -13;
    font.weight = 700;
    font.italic = 1;
    font.charSet = 0;
    font.outPrecision = 3;
    font.clipPrecision = 2;
    font.quality = 1;
    font.pitchAndFamily = 34;
    font.faceName = "Arial Narrow";
    return font;
}

TEST(FontTextTest, WritesTheFourteenFieldsAndReadsThemBack) {
    EXPECT_EQ(EncodeFont(Arial()), "-13,0,0,0,700,1,0,0,0,3,2,1,34,Arial Narrow");
    EXPECT_EQ(DecodeFont(EncodeFont(Arial())), Arial());
    LogFont wide;
    wide.height = INT32_MIN;
    wide.escapement = INT32_MAX;
    wide.pitchAndFamily = 255;
    wide.faceName = "DejaVu Sans Mono";
    EXPECT_EQ(DecodeFont(EncodeFont(wide)), wide);
}

TEST(FontTextTest, ReadingRules) {
    const struct {
        const char* text;
        int32_t height;
        int32_t weight;
        uint8_t italic;
        uint8_t pitchAndFamily;
        const char* face;
    } cases[] = {
        {"", 0, 0, 0, 0, ""},  // empty: the list keeps its font
        {"-13,0,0,0,400,0,0,0,0,0,0,0,0,Times'New Roman", -13, 400, 0, 0, "Times"},  // apostrophe ends it
        {"-13,0,0,0,400,0,0,0,0,0,0,0,0,'Quoted", -13, 400, 0, 0, ""},  // nothing before it: no name
        {"12,0,0,0,400,300,0,0,0,0,0,0,-1,F", 12, 400, 44, 255, "F"},   // 8-bit fields keep the low 8 bits
        {"12,5,x,0,400", 12, 0, 0, 0, ""},                              // partial: the fields read so far
        {"12 ,0,0,0,400,0,0,0,0,0,0,0,0,F", 12, 0, 0, 0, ""},           // the comma must follow at once
        {" 12, 0,0,0,+400,1,0,0,0,0,0,0,0,F", 12, 400, 1, 0, "F"},      // leading blanks and signs, as %d
        {"1,0,0,0,4,0,0,0,0,0,0,0,7", 1, 4, 0, 7, ""},                  // no face name field
        {"1,0,0,0,4,0,0,0,0,0,0,0,7,A, b,c", 1, 4, 0, 7, "A, b,c"},     // the name runs to the end
    };
    for (const auto& c : cases) {
        const LogFont font = DecodeFont(c.text);
        EXPECT_EQ(font.height, c.height) << c.text;
        EXPECT_EQ(font.weight, c.weight) << c.text;
        EXPECT_EQ(font.italic, c.italic) << c.text;
        EXPECT_EQ(font.pitchAndFamily, c.pitchAndFamily) << c.text;
        EXPECT_EQ(font.faceName, c.face) << c.text;
    }
}

TEST(FontTextTest, FaceNameIsCutTo31Bytes) {
    const std::string prefix = "1,0,0,0,4,0,0,0,0,0,0,0,7,";
    EXPECT_EQ(DecodeFont(prefix + std::string(31, 'a')).faceName, std::string(31, 'a'));
    EXPECT_EQ(DecodeFont(prefix + std::string(32, 'a')).faceName, std::string(31, 'a'));
    // A cut never leaves half of a character: "é" is two bytes at bytes 30 and 31.
    EXPECT_EQ(DecodeFont(prefix + std::string(30, 'a') + "\xC3\xA9").faceName, std::string(30, 'a'));
}

}  // namespace
}  // namespace quarto
