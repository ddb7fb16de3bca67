// The user's regional settings as the program reads them: how dates, times
// and numbers are written, and how texts are ordered.
#pragma once

#include <cstdint>
#include <string>

namespace cv {

enum class TDateOrder { MDY, DMY, YMD };

struct TLocaleFormat {
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ThousandSeparator = ',';
    char DecimalSeparator = '.';
    TDateOrder DateOrder = TDateOrder::MDY;
};

// A moment on a calendar and a clock.
struct TCivilTime {
    int Year = 1601;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const TCivilTime&) const = default;
};

// The calendar of a FILETIME: 100-nanosecond ticks since 1 January 1601,
// with no time zone applied.
TCivilTime CivilTimeOf(std::uint64_t fileTime);
// A time given in seconds since 1970 (UTC) as a FILETIME.
std::uint64_t FileTimeOfUnixSeconds(std::int64_t seconds);

class ILocale {
public:
    virtual ~ILocale() = default;
    // Read afresh on each call: the user may change the settings while the program runs.
    virtual TLocaleFormat Format() const = 0;
    // The locale's case-sensitive comparison of two texts: below, at or above 0.
    virtual int CompareText(const std::string& a, const std::string& b) const = 0;
    // A FILETIME given in UTC as the user's clock showed it then, daylight
    // saving included.
    virtual TCivilTime LocalTimeOf(std::uint64_t utcFileTime) const = 0;
};

// A moment as the user's locale writes a date, with hours and minutes of
// the local clock.
std::string LocalDateTimeText(std::uint64_t utcFileTime, const ILocale& locale);

} // namespace cv
