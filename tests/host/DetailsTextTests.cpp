#include "uninstaller/DetailsText.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(DetailsText, FactsAndLinksAsTheDialogShowsThem) {
    struct TCase {
        std::string Field;
        std::string Fact;
        std::string Link;
        bool Opened;
    };
    const TCase cases[] = {
        {"", "[Not recorded]", "[Not recorded]", false},
        {"   ", "[Not recorded]", "[Not recorded]", false},
        {" Maker ", " Maker ", " Maker ", false}, // shown as it is, not trimmed
        {"http://host/page", "http://host/page", "http://host/page", true},
        {"http://host//page", "http://host//page", "http://host/page", true},
        {"https://host///a//b", "https://host///a//b", "https://host/a/b", true},
        {"HTTP://Host//x", "HTTP://Host//x", "HTTP://Host/x", true},
        {"HtTpS://host", "HtTpS://host", "HtTpS://host", true},
        {"www.host.example//x", "www.host.example//x", "www.host.example/x", false},
        {"httpd.exe", "httpd.exe", "httpd.exe", false},
        {"http:/host", "http:/host", "http:/host", false},
        {"file://C:/x", "file://C:/x", "file://C:/x", false},
        {"\\\\server\\share", "\\\\server\\share", "\\\\server\\share", false},
        {"http://a//b?u=http://c//d#x//y", "http://a//b?u=http://c//d#x//y", "http://a/b?u=http://c//d#x//y",
         true},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FactText(c.Field), c.Fact) << c.Field;
        EXPECT_EQ(LinkText(c.Field), c.Link) << c.Field;
        EXPECT_EQ(IsWebAddress(LinkText(c.Field)), c.Opened) << c.Field;
    }
}

TEST(DetailsText, TheGridShowsTheLastValueFirstAndSavesWhatItShows) {
    const std::vector<TGridRow> values{{"A", "1"}, {"B=x", "y"}, {"C", ""}, {"", "default"}};
    const std::vector<TGridRow> rows = GridRows(values);
    EXPECT_EQ(rows, (std::vector<TGridRow>{{"", "default"}, {"C", ""}, {"B=x", "y"}, {"A", "1"}}));
    EXPECT_EQ(SavedRows(rows, values), rows);

    // A key without values shows one empty row, which saves as nothing;
    // an empty default value the key had is kept.
    EXPECT_TRUE(SavedRows({{"", ""}}, {}).empty());
    EXPECT_EQ(SavedRows({{"", ""}, {"A", "1"}}, {{"", ""}, {"A", "1"}}),
              (std::vector<TGridRow>{{"", ""}, {"A", "1"}}));
    EXPECT_EQ(SavedRows({{"", "typed"}}, {}), (std::vector<TGridRow>{{"", "typed"}}));
}

} // namespace

} // namespace cv::test
