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

TEST(StartupText, EveryStoreHasItsSourceAndItsChoiceInOrder) {
    const std::vector<std::string> sources = {"All Users Startup Folder", "Current User Startup Folder",
                                              "All Users Key", "Current User Key"};
    ASSERT_EQ(RunFromChoices().size(), sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(SourceText(static_cast<TRunFrom>(i)), sources[i]);
        // The choice at an index is the store of that number.
        EXPECT_EQ(RunFromChoices()[i].substr(0, 9), sources[i].substr(0, 9));
    }
    EXPECT_EQ(SourceText(static_cast<TRunFrom>(255)), "");
}

} // namespace

} // namespace cv::test
