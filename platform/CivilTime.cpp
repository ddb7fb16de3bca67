#include "platform/Locale.h"

#include <string>

namespace cv {

TCivilTime CivilTimeOf(std::uint64_t fileTime) {
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsPerDay = 86'400;
    // Days from 1 January 1601 to the civil epoch 1 March 0000, so the
    // leap day falls at the end of each counted year.
    constexpr std::int64_t kDaysFrom0000March = 584'694;
    const std::uint64_t seconds = fileTime / kTicksPerSecond;
    const auto inDay = static_cast<std::int64_t>(seconds % kSecondsPerDay);
    const std::int64_t days = static_cast<std::int64_t>(seconds / kSecondsPerDay) + kDaysFrom0000March;
    // Howard Hinnant's civil_from_days, for days since 1 March 0000.
    const std::int64_t era = days / 146'097;
    const std::int64_t dayOfEra = days - era * 146'097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    TCivilTime time;
    time.Day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    time.Month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    time.Year = static_cast<int>(yearOfEra + era * 400 + (time.Month <= 2 ? 1 : 0));
    time.Hour = static_cast<int>(inDay / 3'600);
    time.Minute = static_cast<int>(inDay / 60 % 60);
    time.Second = static_cast<int>(inDay % 60);
    return time;
}

std::string LocalDateTimeText(std::uint64_t utcFileTime, const ILocale& locale) {
    const TLocaleFormat format = locale.Format();
    const TCivilTime t = locale.LocalTimeOf(utcFileTime);
    const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    const std::string year = std::to_string(t.Year);
    const std::string sep(1, format.DateSeparator);
    std::string date;
    switch (format.DateOrder) {
    case TDateOrder::DMY:
        date = two(t.Day) + sep + two(t.Month) + sep + year;
        break;
    case TDateOrder::YMD:
        date = year + sep + two(t.Month) + sep + two(t.Day);
        break;
    case TDateOrder::MDY:
        date = two(t.Month) + sep + two(t.Day) + sep + year;
        break;
    }
    return date + " " + two(t.Hour) + format.TimeSeparator + two(t.Minute);
}

std::uint64_t FileTimeOfUnixSeconds(std::int64_t seconds) {
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    return static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970) * 10'000'000u;
}

} // namespace cv
