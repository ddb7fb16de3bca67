#include "listview/ColumnSort.h"

#include "platform/TextLines.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <utility>
#include <vector>

namespace cv {

namespace {

std::string Trim(const std::string& text) {
    return TrimChars(text, " ");
}

// Whole-text unsigned numbers separated by sep; false on anything else.
bool Fields(const std::string& text, char sep, std::vector<int>& out) {
    out.clear();
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = std::min(text.find(sep, at), text.size());
        const std::string part = text.substr(at, end - at);
        if (part.empty() || part.size() > 4 ||
            !std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
            return false;
        }
        out.push_back(std::atoi(part.c_str()));
        if (end == text.size()) {
            return true;
        }
        at = end + 1;
    }
}

// Days from 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool ParseDate(const std::string& text, const TLocaleFormat& format, double& days) {
    std::vector<int> f;
    if (!Fields(text, format.DateSeparator, f) || f.size() != 3) {
        return false;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    switch (format.DateOrder) {
    case TDateOrder::DMY:
        d = f[0], m = f[1], y = f[2];
        break;
    case TDateOrder::YMD:
        y = f[0], m = f[1], d = f[2];
        break;
    default:
        m = f[0], d = f[1], y = f[2];
        break;
    }
    if (y < 100) {
        y += y < 50 ? 2000 : 1900; // two-digit years
    }
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (m < 1 || m > 12 || d < 1 || d > kDays[m - 1] || (m == 2 && d == 29 && !leap)) {
        return false;
    }
    days = static_cast<double>(DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) -
                               DaysFromCivil(1899, 12, 30));
    return true;
}

bool ParseTime(std::string text, const TLocaleFormat& format, double& fraction) {
    int shift = -1; // -1: 24-hour clock
    auto upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    for (const auto& [suffix, hours] : {std::pair<const char*, int>{"AM", 0}, {"PM", 12}}) {
        const std::string s = suffix;
        if (upper.size() > s.size() && upper.compare(upper.size() - s.size(), s.size(), s) == 0) {
            shift = hours;
            text = Trim(text.substr(0, text.size() - s.size()));
        }
    }
    std::vector<int> f;
    if (!Fields(text, format.TimeSeparator, f) || f.size() < 2 || f.size() > 3) {
        return false;
    }
    int h = f[0];
    if (shift >= 0) {
        if (h < 1 || h > 12) {
            return false;
        }
        h = h % 12 + shift;
    }
    const int s = f.size() == 3 ? f[2] : 0;
    if (h > 23 || f[1] > 59 || s > 59) {
        return false;
    }
    fraction = (h * 3600 + f[1] * 60 + s) / 86400.0;
    return true;
}

bool ParsePlainNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

} // namespace

TSortFormat UserSortFormat(const ILocale& locale) {
    return {locale.Format(),
            [&locale](const std::string& a, const std::string& b) { return locale.CompareText(a, b); }};
}

bool ParseDateTimeText(const std::string& text, const TLocaleFormat& format, double& value) {
    const std::string trimmed = Trim(text);
    const bool hasDate = std::count(trimmed.begin(), trimmed.end(), format.DateSeparator) == 2;
    const bool hasTime = trimmed.find(format.TimeSeparator) != std::string::npos;
    if (!hasDate && !hasTime) {
        return false;
    }
    double days = 0;
    double fraction = 0;
    if (hasDate && hasTime) {
        const std::size_t blank = trimmed.find(' ');
        return blank != std::string::npos && ParseDate(trimmed.substr(0, blank), format, days) &&
               ParseTime(Trim(trimmed.substr(blank + 1)), format, fraction) &&
               ((value = days + fraction), true);
    }
    if (hasDate) {
        return ParseDate(trimmed, format, days) && ((value = days), true);
    }
    return ParseTime(trimmed, format, fraction) && ((value = fraction), true);
}

bool ParseNumberText(const std::string& text, const TLocaleFormat& format, double& value) {
    const std::string trimmed = Trim(text);
    const std::string token = trimmed.substr(0, trimmed.find(' '));
    if (ParsePlainNumber(token, value)) {
        return true;
    }
    std::string plain;
    for (char c : token) {
        if (c == format.ThousandSeparator) {
            continue;
        }
        plain.push_back(c == format.DecimalSeparator ? '.' : c);
    }
    return ParsePlainNumber(plain, value);
}

int CompareColumnTexts(const std::string& a, const std::string& b, const TSortFormat& format) {
    return CompareSortKeys(MakeSortKey(a, format), MakeSortKey(b, format), format);
}

TSortKey MakeSortKey(std::string text, const TSortFormat& format) {
    TSortKey key;
    key.IsDate = ParseDateTimeText(text, format, key.Date);
    key.IsNumber = ParseNumberText(text, format, key.Number);
    key.Text = std::move(text);
    return key;
}

int CompareSortKeys(const TSortKey& a, const TSortKey& b, const TSortFormat& format) {
    if (a.IsDate && b.IsDate) {
        return a.Date < b.Date ? -1 : a.Date > b.Date ? 1 : 0;
    }
    if (a.IsNumber && b.IsNumber) {
        return a.Number < b.Number ? -1 : a.Number > b.Number ? 1 : 0;
    }
    if (format.CompareText) {
        return format.CompareText(a.Text, b.Text);
    }
    return a.Text.compare(b.Text) < 0 ? -1 : a.Text == b.Text ? 0 : 1;
}

} // namespace cv
