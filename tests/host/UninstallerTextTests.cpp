#include "uninstaller/UninstallerText.h"

#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

namespace cv::test {

TEST(UninstallerText, SearchFindsTheTextAnywhereInAnyLetterCase) {
    struct TCase {
        const char* Caption;
        const char* Text;
        bool Matches;
    };
    const TCase cases[] = {
        {"Mozilla Firefox (x64 en-US)", "firefox", true},
        {"Mozilla Firefox (x64 en-US)", "X64 EN", true},
        {"Mozilla Firefox (x64 en-US)", "mozilla", true},
        {"Mozilla Firefox", "Firefox ESR", false},
        {"Mozilla Firefox", "", false},
        {"", "a", false},
        {"Überwachung 2.0", "überwachung", true},
        {"7-Zip 23.01", "zip 23.01", true},
        {"Path\\With\\Back", "with\\back", true},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(CaptionMatches(c.Caption, c.Text), c.Matches) << c.Caption << " / " << c.Text;
    }
}

TEST(UninstallerText, AdviceNamesTheEntryAndWarnsOnlyForABadOne) {
    TSubstitutePlatform sub;
    TUninstallItem entry(sub.Platform);
    entry.DisplayName = "Demo \"Quoted\" App";
    const TAdvice good = AdviceFor(entry);
    EXPECT_FALSE(good.Warning);
    EXPECT_EQ(good.Text, "    This application \"Demo \"Quoted\" App\" can be safely uninstalled.Press below "
                         "\"Uninstall\" button to perform.");
    entry.Bad = true;
    const TAdvice bad = AdviceFor(entry);
    EXPECT_TRUE(bad.Warning);
    EXPECT_EQ(bad.Text,
              "    This application: \"Demo \"Quoted\" App\" has possibly been destroied and can't be "
              "uninstalled correctly.But you still can delete the entry from registry.");
}

TEST(UninstallerText, TotalsAndStoredViewStyles) {
    EXPECT_EQ(TotalText(0, 0), "Total 0 applications,0 bad entries");
    EXPECT_EQ(TotalText(10000, 37), "Total 10000 applications,37 bad entries");
    const std::pair<int, int> styles[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 0}, {-1, 0}, {1 << 30, 0}};
    for (const auto& [stored, used] : styles) {
        EXPECT_EQ(ValidViewStyle(stored), used) << stored;
    }
}

} // namespace cv::test
