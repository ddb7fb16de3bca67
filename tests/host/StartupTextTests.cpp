#include "startup/StartupText.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(StartupText, TheTotalNamesWhatTheReadPassedOver) {
    const std::string run = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    const struct {
        std::size_t Count;
        std::vector<std::string> Skipped;
        const char* Text;
    } cases[] = {
        {0, {}, "Total 0 applications run at startup"},
        {12, {}, "Total 12 applications run at startup"},
        {3,
         {run + "Number"},
         "Total 3 applications run at startup; skipped \"HKLM\\...\\Run\\Number\": it holds no command"},
        {3,
         {run + "A", "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run_Hidden\\B"},
         "Total 3 applications run at startup; skipped 2 values that hold no command: \"HKLM\\...\\Run\\A\", "
         "\"HKCU\\...\\Run_Hidden\\B\""},
        // A path of another shape is named whole.
        {1,
         {"Other\\Key\\C"},
         "Total 1 applications run at startup; skipped \"Other\\Key\\C\": it holds no command"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartupTotalText(c.Count, c.Skipped), c.Text);
    }
}

// The dialog stores the chosen index as the store: each choice must name
// the store of its number.
TEST(StartupText, EveryStoreHasItsSourceAndItsChoiceInOrder) {
    const struct {
        TRunFrom Store;
        const char* Source;
        const char* Choice;
    } stores[] = {
        {TRunFrom::rfAllUsersFolder, "All Users Startup Folder", "All Users Startup Folder"},
        {TRunFrom::rfCurrentUserFolder, "Current User Startup Folder", "Current User Startup Folder"},
        {TRunFrom::rfAllUsersKey, "All Users Key", "All Users Registry Key"},
        {TRunFrom::rfCurrentUserKey, "Current User Key", "Current User Registry Key"},
    };
    ASSERT_EQ(RunFromChoices().size(), std::size(stores));
    for (const auto& s : stores) {
        EXPECT_EQ(SourceText(s.Store), s.Source);
        EXPECT_EQ(RunFromChoices()[static_cast<std::size_t>(s.Store)], s.Choice);
    }
    EXPECT_EQ(SourceText(static_cast<TRunFrom>(255)), "");
}

} // namespace

} // namespace cv::test
