#include "platform/FileTime.h"

namespace quarto {
namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

FileTime FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds) {
    const int64_t epochSeconds = static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond);
    if (seconds < -epochSeconds) return FileTime{};
    // Some file systems (tmpfs) keep times past the year 60056, which 64 bits of units do not
    // reach; they would wrap round to an arbitrary time instead of standing at the end.
    constexpr int64_t kLastSecond = static_cast<int64_t>(UINT64_MAX / kFileTimeUnitsPerSecond) - 1;
    if (seconds > kLastSecond - epochSeconds) return FileTime::FromValue(UINT64_MAX);
    const uint64_t units =
        static_cast<uint64_t>(seconds + epochSeconds) * kFileTimeUnitsPerSecond + nanoseconds / 100;
    return FileTime::FromValue(units);
}

void FileTimeToUnix(FileTime t, int64_t& seconds, uint32_t& nanoseconds) {
    const uint64_t v = t.Value();
    seconds = static_cast<int64_t>(v / kFileTimeUnitsPerSecond) -
              static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond);
    nanoseconds = static_cast<uint32_t>(v % kFileTimeUnitsPerSecond) * 100;
}

CalendarTime CalendarFromFileTime(FileTime t) {
    int64_t seconds = 0;
    uint32_t nanoseconds = 0;
    FileTimeToUnix(t, seconds, nanoseconds);
    int64_t days = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    CalendarTime c;
    CivilFromDays(days, c.year, c.month, c.day);
    c.hour = static_cast<int>(rest / 3600);
    c.minute = static_cast<int>(rest % 3600 / 60);
    c.second = static_cast<int>(rest % 60);
    c.millisecond = static_cast<int>(nanoseconds / 1000000);
    return c;
}

bool FileTimeFromCalendar(const CalendarTime& c, FileTime& out) {
    if (c.year < 1601 || c.year > 30827 || c.month < 1 || c.month > 12) return false;
    if (c.day < 1 || c.day > DaysInMonth(c.year, c.month)) return false;
    if (c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59)
        return false;
    if (c.millisecond < 0 || c.millisecond > 999) return false;
    const int64_t days = DaysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day));
    const int64_t seconds = days * kSecondsPerDay + c.hour * 3600 + c.minute * 60 + c.second;
    out = FileTimeFromUnix(seconds, static_cast<uint32_t>(c.millisecond) * 1000000u);
    return true;
}

}  // namespace quarto
