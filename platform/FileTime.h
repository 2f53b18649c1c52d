// Time stamps as Quarto keeps them: 100-nanosecond units since 1601-01-01 UTC, stored as two
// 32-bit halves, low half first, so that snapshot files and comparisons stay exact to the unit.
#pragma once

#include <cstdint>
#include <ctime>

namespace quarto {

struct FileTime {
    uint32_t low = 0;
    uint32_t high = 0;

    constexpr uint64_t Value() const { return (static_cast<uint64_t>(high) << 32) | low; }
    static constexpr FileTime FromValue(uint64_t v) {
        return FileTime{static_cast<uint32_t>(v), static_cast<uint32_t>(v >> 32)};
    }
    friend constexpr bool operator==(FileTime a, FileTime b) { return a.Value() == b.Value(); }
};

// Units between 1601-01-01 and 1970-01-01.
inline constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
inline constexpr uint64_t kFileTimeUnitsPerSecond = 10000000ULL;

// A POSIX time (seconds and nanoseconds since 1970, UTC). Times before 1601 clamp to 0, times
// past the last unit (in the year 60056) to the last unit.
FileTime FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);
// Whole seconds since 1970 and the nanoseconds within the second.
void FileTimeToUnix(FileTime t, int64_t& seconds, uint32_t& nanoseconds);

// A calendar date and time in UTC, as snapshot files write it.
struct CalendarTime {
    int year = 1601;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

CalendarTime CalendarFromFileTime(FileTime t);
// Fails (false) for fields out of range: month 1-12, a day that the month has, hour 0-23,
// minute and second 0-59, millisecond 0-999, year 1601-30827.
bool FileTimeFromCalendar(const CalendarTime& c, FileTime& out);

}  // namespace quarto
