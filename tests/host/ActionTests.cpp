#include "toolkit/Action.h"

#include <gtest/gtest.h>

#include <memory>

namespace cv::test {

namespace {

class TRecorder : public TActionClient {
public:
    void ActionChanged(const TAction& action) override {
        Seen.push_back(action.Caption() + (action.Enabled() ? "" : " (off)") +
                       (action.Checked() ? " [x]" : ""));
    }
    std::vector<std::string> Seen;
};

TEST(Actions, ShortcutTexts) {
    struct TCase {
        TShortCut ShortCut;
        const char* Text;
    };
    const TCase cases[] = {
        {{'F', true, false, false}, "Ctrl+F"},
        {{0x2E}, "Del"},
        {{0x70}, "F1"},
        {{0x74}, "F5"},
        {{'A', true, true, false}, "Shift+Ctrl+A"},
        {{'X', false, false, true}, "Alt+X"},
        {{0x0D}, "Enter"},
        {{0}, ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
    }
}

TEST(Actions, EveryBoundClientFollowsEveryChange) {
    TAction action("RefreshAction");
    action.SetCaption("&Refresh");
    TRecorder menuItem;
    TRecorder button;
    menuItem.SetAction(&action);
    button.SetAction(&action);
    action.SetEnabled(false);
    action.SetEnabled(false); // no change, no notice
    EXPECT_EQ(menuItem.Seen, (std::vector<std::string>{"&Refresh", "&Refresh (off)"}));
    EXPECT_EQ(button.Seen, menuItem.Seen);

    int runs = 0;
    action.OnExecute = [&] { ++runs; };
    EXPECT_FALSE(action.Execute());
    action.SetEnabled(true);
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(runs, 1);

    button.SetAction(nullptr);
    const std::size_t told = button.Seen.size();
    action.SetCaption("Again");
    EXPECT_EQ(button.Seen.size(), told);
    EXPECT_EQ(menuItem.Seen.back(), "Again");
}

TEST(Actions, GroupsKeepOneChecked) {
    std::vector<TAction*> group;
    TAction large("Large"), small("Small"), report("Report"), other("Other");
    for (TAction* a : {&large, &small, &report}) {
        a->SetGroup(1, &group);
    }
    other.SetGroup(2, &group);
    other.SetChecked(true);
    large.SetChecked(true);
    report.SetChecked(true);
    EXPECT_FALSE(large.Checked());
    EXPECT_FALSE(small.Checked());
    EXPECT_TRUE(report.Checked());
    EXPECT_TRUE(other.Checked()); // another group
}

TEST(Actions, EitherSideMayGoFirst) {
    auto action = std::make_unique<TAction>("A");
    auto client = std::make_unique<TRecorder>();
    client->SetAction(action.get());
    action.reset();
    EXPECT_EQ(client->Action(), nullptr);
    action = std::make_unique<TAction>("B");
    client->SetAction(action.get());
    client.reset();
    action->SetCaption("still fine"); // nobody left to tell
}

TEST(Actions, TheAcceleratorLetterOfACaption) {
    const std::vector<std::pair<std::string, char>> cases = {
        {"&Yes", 'Y'},
        {"&no", 'N'},
        {"Clear &It!", 'I'},
        {"Tom && &Jerry", 'J'},
        {"Tom && Jerry", '\0'},
        {"Trailing &", '\0'},
        {"", '\0'},
        {"&1st", '1'},
        {"&\xC3\xA9t\xC3\xA9", '\0'},
        {"Plain", '\0'},
        {"&&&Save", 'S'},
    };
    for (const auto& [caption, letter] : cases) {
        EXPECT_EQ(AcceleratorChar(caption), letter) << caption;
    }
}

} // namespace

} // namespace cv::test
