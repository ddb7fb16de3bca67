#include "platform/StrCon.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

const TStringCollection& S = StrCon();

TEST(StrCon, SearchesHonourStartPositionsAndCase) {
    struct TCase {
        const char* Sub;
        const char* Text;
        bool IgnoreCase;
        std::size_t Start;
        std::size_t Expected;
    };
    const TCase cases[] = {
        {"b", "abcabc", false, 0, 2}, {"b", "abcabc", false, 1, 2}, {"b", "abcabc", false, 2, 2},
        {"b", "abcabc", false, 3, 5}, {"b", "abcabc", false, 6, 0}, {"b", "abcabc", false, 7, 0},
        {"B", "abcabc", false, 0, 0}, {"B", "abcabc", true, 0, 2},  {"", "abc", false, 0, 0},
        {"a", "", false, 0, 0},       {"abcd", "abc", false, 0, 0}, {"\xC3\xA9", "CAF\xC3\x89", true, 0, 4},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(S.PosFrom(c.Sub, c.Text, c.IgnoreCase, c.Start), c.Expected)
            << c.Sub << " in " << c.Text << " from " << c.Start;
    }
    EXPECT_EQ(S.LastPos("ab", "abcabc", false), 4u);
    EXPECT_EQ(S.LastPos("AB", "abcabc", true), 4u);
    EXPECT_EQ(S.LastPos("AB", "abcabc", false), 0u);
    EXPECT_EQ(S.LastPos("", "abc", false), 0u);
    EXPECT_EQ(S.LastPos("a", "", false), 0u);
    EXPECT_EQ(S.LastPos("aa", "aaa", false), 2u);
}

TEST(StrCon, CutsAtSeparators) {
    EXPECT_EQ(S.TextBefore(" ", "a b c", 0), "a");
    EXPECT_EQ(S.TextBeforeNth(" ", "a b c", 0), "a");
    EXPECT_EQ(S.TextBeforeNth(" ", "a b c", 1), "a");
    EXPECT_EQ(S.TextBeforeNth(" ", "a b c", 2), "a b");
    EXPECT_EQ(S.TextBeforeNth(" ", "a b c", 3), "a b c");
    EXPECT_EQ(S.TextBeforeNth(" ", "a b c", 5), "a b c");
    EXPECT_EQ(S.TextBeforeNth(", ", "a, b, c", 2), "a, b");
    EXPECT_EQ(S.TextAfter("=", "Name=Value=More", 0), "Value=More");
    EXPECT_EQ(S.TextAfter("=", "NoSeparator", 0), "");
    EXPECT_EQ(S.TextBefore("=", "NoSeparator", 0), "NoSeparator");
    EXPECT_EQ(S.TextAfter("=", "a=b=c", 3), "c");
    EXPECT_EQ(S.TextBeforeLast("\\", "C:\\App\\app.exe"), "C:\\App");
    EXPECT_EQ(S.TextBeforeLast("\\", "app.exe"), "app.exe");
    EXPECT_EQ(S.TextUpToChars("C:\\App\\app.exe,0", ","), "C:\\App\\app.exe");
    EXPECT_EQ(S.TextUpToChars("plain", ","), "plain");
    EXPECT_EQ(S.FirstChar(""), 0);
    EXPECT_EQ(S.FirstChar("."), '.');
}

TEST(StrCon, RemovesCollapsesAndComparesCollapsed) {
    EXPECT_EQ(S.RemoveChar("\"C:\\Program Files\\x.exe\"", '"'), "C:\\Program Files\\x.exe");
    EXPECT_EQ(S.RemoveChars("a,b;c", ",;"), "abc");
    EXPECT_EQ(S.CollapseChar("  c:\\my   files\\ ", ' '), "c:\\my files\\");
    EXPECT_EQ(S.CollapseChar("    ", ' '), "");
    EXPECT_EQ(S.CollapseChar("", ' '), "");
    EXPECT_TRUE(S.SameTextCollapsed("  c:\\my   files\\ ", "C:\\MY FILES\\", ' '));
    EXPECT_FALSE(S.SameTextCollapsed("  c:\\my   files\\ ", "C:\\MY FILES\\", 0));
    EXPECT_TRUE(S.SameTextCollapsed("C:\\Windows\\", "c:\\windows\\", 0));
    EXPECT_FALSE(S.SameTextCollapsed("C:\\Windows", "C:\\Windows\\", ' '));
}

TEST(StrCon, ReplaceAllNeverSearchesWhatItInserted) {
    struct TCase {
        const char* Find;
        const char* Replacement;
        const char* Text;
        const char* Expected;
    };
    const TCase cases[] = {
        {"\\\\", "\\", "a\\\\\\\\b", "a\\\\b"}, // four backslashes become two
        {"a", "aa", "aaa", "aaaaaa"},
        {"ab", "b", "aabb", "abb"},
        {"", "x", "text", "text"},
        {"x", "", "xaxbx", "ab"},
        {"long", "s", "", ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(S.ReplaceAll(c.Find, c.Replacement, c.Text), c.Expected) << c.Text;
    }
    // Long texts come back whole.
    const std::string big = std::string(100000, 'x') + "END";
    EXPECT_EQ(S.ReplaceAll("y", "z", "y" + big), "z" + big);
    EXPECT_EQ(S.IncludeBackslash("C:"), "C:\\");
    EXPECT_EQ(S.IncludeBackslash("C:\\"), "C:\\");
    EXPECT_EQ(S.IncludeBackslash(""), "");
}

TEST(StrCon, TruncateAndDefaultTexts) {
    EXPECT_EQ(TruncateText(std::string(40, 'a'), 40, 3, '.'), std::string(40, 'a'));
    EXPECT_EQ(TruncateText(std::string(41, 'a'), 40, 3, '.'), std::string(37, 'a') + "...");
    // Characters, not bytes: "é" is two bytes and stays whole.
    std::string accents;
    for (int i = 0; i < 41; ++i) {
        accents += "\xC3\xA9";
    }
    const std::string cut = TruncateText(accents, 40, 3, '.');
    EXPECT_EQ(cut.size(), 37u * 2 + 3);
    EXPECT_EQ(cut.substr(cut.size() - 4), "\xA9...");
    EXPECT_EQ(TruncateText("abc", 2, 5, '.'), "..");
    EXPECT_EQ(DefaultIfBlank("  \t\r\n", "none"), "none");
    EXPECT_EQ(DefaultIfBlank("", "none"), "none");
    EXPECT_EQ(DefaultIfBlank("  x ", "none"), "  x ");
}

} // namespace

} // namespace cv::test
