// How a list sorts by a column's texts: two texts that both read as a date
// (and time) compare as such, else two that both read as numbers compare as
// numbers, else they compare as text, each the way the user's locale writes
// and orders them.
#pragma once

#include "platform/Locale.h"

#include <functional>
#include <string>

namespace cv {

struct TSortFormat : TLocaleFormat {
    // Below, at or above 0; empty: byte order.
    std::function<int(const std::string&, const std::string&)> CompareText;
};

// The locale's formats and comparison; the locale must outlive the result.
TSortFormat UserSortFormat(const ILocale& locale);

// A date with an optional time ("12/31/2003 10:15", "10:15:30 PM") as days
// since 30 December 1899 with the time as the fraction; false unless the
// text holds the date separator twice or the time separator, and parses.
bool ParseDateTimeText(const std::string& text, const TLocaleFormat& format, double& value);
// The part before the first blank as a number, also with thousands
// separators and the locale's decimal separator ("1,024.5 KB").
bool ParseNumberText(const std::string& text, const TLocaleFormat& format, double& value);
// Below, at or above 0 as a sorts before, with or after b (ascending).
int CompareColumnTexts(const std::string& a, const std::string& b, const TSortFormat& format);

// A column text read once for sorting: what it reads as, kept beside it, so
// a sort of many rows parses each text once, not at every comparison.
struct TSortKey {
    std::string Text;
    bool IsDate = false;
    bool IsNumber = false;
    double Date = 0;
    double Number = 0;
};
TSortKey MakeSortKey(std::string text, const TSortFormat& format);
// The order CompareColumnTexts gives the keys' texts.
int CompareSortKeys(const TSortKey& a, const TSortKey& b, const TSortFormat& format);

} // namespace cv
