// The uninstaller page with its dialogs answered from a script, and the
// checks the flows share.
#pragma once

#include "UninstallerPageFixture.h"

#include <deque>

namespace cv::test {

// One expected modal form and the answer to it.
struct TAnswer {
    std::string ClassName;
    int Result;
    std::function<void(TModalInfo&)> Before; // runs before the answer is given
};

class UninstallFlowTest : public UninstallerPageTest {
protected:
    // Answers the next modal forms in order; anything else is recorded and cancelled.
    void Script(std::vector<TAnswer> answers) {
        Answers.assign(answers.begin(), answers.end());
        TApplication::Instance().SetModalResponder([this](TModalInfo& info) {
            Dialogs.push_back(info);
            if (Answers.empty()) {
                Unexpected.push_back(info.ClassName);
                return static_cast<int>(mrCancel);
            }
            TAnswer answer = Answers.front();
            Answers.pop_front();
            EXPECT_EQ(info.ClassName, answer.ClassName);
            if (answer.Before) {
                answer.Before(info);
            }
            return answer.Result;
        });
    }

    std::string Marker(const std::string& name) const { return Scratch + "\\" + name + ".done"; }
    bool KeyThere(HKey root, const std::string& name) {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(root);
        return reg.KeyExists(std::string(kUninstallKey) + "\\" + name);
    }
    // Without handling messages, so a pending icon cycle stays where it is.
    void SelectAndFocus(const std::string& caption, bool pump = true) {
        for (int i = 0; i < List().Count(); ++i) {
            if (List().ItemText(i) == caption) {
                List().SetSelected(i);
            }
        }
        List().SetFocus();
        if (pump) {
            Pump(20);
        }
        ASSERT_EQ(List().ItemText(List().Selected()), caption);
    }
    int BadItems() const {
        int bad = 0;
        for (int i = 0; i < List().Count(); ++i) {
            bad += Entry(i)->Bad ? 1 : 0;
        }
        return bad;
    }
    // The list, the inventory and the status text tell the same story.
    void ExpectInStep() {
        const TUninstallManager& inventory = *Page().Inventory();
        EXPECT_EQ(inventory.AppCount, List().Count());
        EXPECT_EQ(inventory.BadCount, BadItems());
        EXPECT_EQ(StatusText(), "Total " + std::to_string(List().Count()) + " applications," +
                                    std::to_string(BadItems()) + " bad entries");
        for (int i = 0; i < List().Count(); ++i) {
            EXPECT_EQ(List().ItemImage(i) == inventory.RubbishIconIndex, Entry(i)->Bad) << List().ItemText(i);
        }
    }

    std::deque<TAnswer> Answers;
    std::vector<std::string> Unexpected;
};

} // namespace cv::test
