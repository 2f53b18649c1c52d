// Time stamps: the 1601 epoch, the calendar form snapshots write, and its validation.
#include <gtest/gtest.h>

#include "platform/FileTime.h"

namespace quarto {
namespace {

TEST(FileTime, UnixEpochAndBack) {
    EXPECT_EQ(FileTimeFromUnix(0, 0).Value(), kUnixEpochAsFileTime);
    const FileTime t = FileTimeFromUnix(857743509, 123456700);  // 1997-03-07 14:05:09.1234567
    int64_t s = 0;
    uint32_t ns = 0;
    FileTimeToUnix(t, s, ns);
    EXPECT_EQ(s, 857743509);
    EXPECT_EQ(ns, 123456700u);
    // tmpfs keeps times far past what 64 bits of units reach: they stand at the end, not wrap.
    EXPECT_EQ(FileTimeFromUnix(9000000000000000, 0).Value(), UINT64_MAX);
    EXPECT_EQ(FileTimeFromUnix(INT64_MAX, 999999999).Value(), UINT64_MAX);
    EXPECT_LT(FileTimeFromUnix(1800000000000, 0).Value(), UINT64_MAX);  // the year 57000 still fits
}

TEST(FileTime, CalendarRoundTripInUtc) {
    const CalendarTime c = CalendarFromFileTime(FileTimeFromUnix(857743509, 0));
    EXPECT_EQ(c.year, 1997);
    EXPECT_EQ(c.month, 3);
    EXPECT_EQ(c.day, 7);
    EXPECT_EQ(c.hour, 14);
    EXPECT_EQ(c.minute, 5);
    EXPECT_EQ(c.second, 9);
    FileTime back;
    ASSERT_TRUE(FileTimeFromCalendar(c, back));
    EXPECT_EQ(back.Value(), FileTimeFromUnix(857743509, 0).Value());
}

TEST(FileTime, CalendarRejectsImpossibleDates) {
    FileTime t;
    EXPECT_TRUE(FileTimeFromCalendar({2000, 2, 29, 0, 0, 0, 0}, t));   // leap day
    EXPECT_FALSE(FileTimeFromCalendar({1900, 2, 29, 0, 0, 0, 0}, t));  // 1900 is no leap year
    EXPECT_FALSE(FileTimeFromCalendar({2001, 2, 29, 0, 0, 0, 0}, t));
    EXPECT_FALSE(FileTimeFromCalendar({2001, 13, 1, 0, 0, 0, 0}, t));
    EXPECT_FALSE(FileTimeFromCalendar({2001, 1, 1, 24, 0, 0, 0}, t));
    EXPECT_FALSE(FileTimeFromCalendar({1600, 12, 31, 0, 0, 0, 0}, t));
    EXPECT_TRUE(FileTimeFromCalendar({1601, 1, 1, 0, 0, 0, 0}, t));
    EXPECT_EQ(t.Value(), 0u);
}

}  // namespace
}  // namespace quarto
