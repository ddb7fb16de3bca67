// Sorting a list by a column: dates, then numbers, then text.
#include "listview/ColumnSort.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace cv::test {

namespace {

int Sign(int v) {
    return v < 0 ? -1 : v > 0 ? 1 : 0;
}

} // namespace

TEST(ColumnSort, DatesThenNumbersThenText) {
    const TSortFormat us;
    struct Case {
        std::string A;
        std::string B;
        int Expected;
    };
    const std::vector<Case> cases = {
        {"9", "10", -1}, // numbers, not text
        {"10", "9", 1},
        {"1,024 KB", "980 KB", 1}, // thousands separator, unit after the blank
        {"2.5", "2.25", 1},
        {"-3", "2", -1},
        {"12/31/2003", "1/2/2004", -1},          // by date, not by text
        {"1/2/2004 9:05", "1/2/2004 10:00", -1}, // and time
        {"1/2/2004 11:00 PM", "1/2/2004 10:00", 1},
        {"12:00 AM", "1:00", -1},     // midnight
        {"2/30/2004", "1/1/2004", 1}, // no such day: compared as text
        {"1/1/99", "1/1/01", -1},     // two-digit years: 1999 before 2001
        {"Beta", "alpha", -1},        // text: the plain comparison here
        {"9", "Nine", -1},            // a number and a text: text
        {"", "", 0},
        {"10.0", "10", 0},
        {"1.2.3", "1.2.4", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareColumnTexts(c.A, c.B, us)), c.Expected) << c.A << " vs " << c.B;
    }
}

TEST(ColumnSort, TheLocalesSeparatorsAndDateOrderCount) {
    TSortFormat german;
    german.DateSeparator = '.';
    german.ThousandSeparator = '.';
    german.DecimalSeparator = ',';
    german.DateOrder = TDateOrder::DMY;
    german.CompareText = [](const std::string& a, const std::string& b) {
        return a.size() < b.size() ? -1 : 1;
    };
    double value = 0;
    ASSERT_TRUE(ParseDateTimeText("31.12.2003", german, value));
    EXPECT_EQ(value, 37986); // days since 30 December 1899
    EXPECT_LT(CompareColumnTexts("31.12.2003", "1.2.2004", german), 0);
    ASSERT_TRUE(ParseNumberText("1.024,5 KB", german, value));
    EXPECT_EQ(value, 1024.5);
    EXPECT_LT(CompareColumnTexts("zz", "aaa", german), 0); // the locale's comparison decides text
    EXPECT_FALSE(ParseDateTimeText("Version 1.0", german, value));
    EXPECT_FALSE(ParseNumberText("", german, value));
}

TEST(ColumnSort, AColumnOfDatesOrNumbersSortsByValue) {
    const TSortFormat us;
    auto sorted = [&](std::vector<std::string> texts) {
        std::stable_sort(texts.begin(), texts.end(), [&](const std::string& a, const std::string& b) {
            return CompareColumnTexts(a, b, us) < 0;
        });
        return texts;
    };
    EXPECT_EQ(sorted({"10", "9", "100", "2", "1,000"}),
              (std::vector<std::string>{"2", "9", "10", "100", "1,000"}));
    EXPECT_EQ(sorted({"1/2/2004", "12/31/2003", "3/1/2003 8:00", "3/1/2003"}),
              (std::vector<std::string>{"3/1/2003", "3/1/2003 8:00", "12/31/2003", "1/2/2004"}));
}

// The frames take the format from the platform's locale: each locale's
// numbers, dates and texts come out in the order its users read them.
TEST(ColumnSort, AColumnSortsTheWayThePlatformsLocaleWritesIt) {
    const TLocaleFormat german{'.', ':', '.', ',', TDateOrder::DMY};
    const TLocaleFormat iso{'/', ':', ',', '.', TDateOrder::YMD};
    struct Case {
        const char* Locale;
        TLocaleFormat Format;
        std::vector<std::string> Column;
        std::vector<std::string> Sorted;
    };
    const Case cases[] = {
        {"de",
         german,
         {"1.024,5 KB", "980 KB", "2,75 KB", "2,5 KB"},
         {"2,5 KB", "2,75 KB", "980 KB", "1.024,5 KB"}},
        {"de",
         german,
         {"1.2.2004", "31.12.2003 9:05", "3.1.2003", "31.12.2003 10:00"},
         {"3.1.2003", "31.12.2003 9:05", "31.12.2003 10:00", "1.2.2004"}},
        {"iso", iso, {"2004/1/2", "2003/12/31", "2003/2/1"}, {"2003/2/1", "2003/12/31", "2004/1/2"}},
        {"us", TLocaleFormat{}, {"1,024.5", "980", "2.75", "2.5"}, {"2.5", "2.75", "980", "1,024.5"}},
        // Texts by the locale's comparison, not by their bytes.
        {"us", TLocaleFormat{}, {"beta", "Beta", "Alpha", "alpha"}, {"alpha", "Alpha", "beta", "Beta"}},
    };
    for (const Case& c : cases) {
        TSubstitutePlatform sub;
        sub.Locale.SetFormat(c.Format);
        const TSortFormat format = UserSortFormat(sub.Platform.Locale);
        std::vector<std::string> column = c.Column;
        std::stable_sort(column.begin(), column.end(), [&](const std::string& a, const std::string& b) {
            return CompareColumnTexts(a, b, format) < 0;
        });
        EXPECT_EQ(column, c.Sorted) << c.Locale << ": " << c.Column.front();
    }
}

} // namespace cv::test
