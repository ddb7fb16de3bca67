// Sorting a list by a column: dates, then numbers, then text.
#include "listview/ColumnSort.h"

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

} // namespace cv::test
