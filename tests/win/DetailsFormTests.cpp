// App Info on the real page and the real registry: the facts, the links,
// the value grid and what Save writes. Links are opened through a shell
// that only records them.
#include "UninstallFlowFixture.h"

#include "contract/KeyValues.h"
#include "platform/Utf.h"
#include "uninstaller/DetailsForm.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class TRecordingShell : public TWin32Shell {
public:
    void Open(const std::string& target) override { Opened.push_back(target); }
    std::vector<std::string> Opened;
};

class DetailsFormTest : public UninstallFlowTest {
protected:
    void SetUp() override {
        UninstallFlowTest::SetUp();
        Keep = TApplication::Instance().ErrorBox;
        TApplication::Instance().ErrorBox = [this](const std::string& text) { Errors.push_back(text); };
    }
    void TearDown() override {
        UninstallFlowTest::TearDown();
        TApplication::Instance().ErrorBox = Keep;
    }
    const TPlatform& PagePlatform() override { return Recorded; }

    static TDetailsForm& Form(const TModalInfo& info) {
        return dynamic_cast<TDetailsForm&>(*TWindow::FromHandle(info.Handle));
    }
    // Opens App Info on the entry; the dialog is handed to the check, then closed.
    void WithDetails(const std::string& caption, std::function<void(TDetailsForm&)> check,
                     std::vector<TAnswer> inner = {}) {
        SelectAndFocus(caption);
        std::vector<TAnswer> answers{
            {"TDetailsForm", mrCancel, [&](TModalInfo& info) { check(Form(info)); }}};
        answers.insert(answers.begin() + 1, inner.begin(), inner.end());
        Script(answers);
        Page().DetailsAction.Execute();
        EXPECT_TRUE(Unexpected.empty());
    }
    TKeyValues Values(const std::string& name) {
        return KeyValues(Win32.Registry, kHKeyCurrentUser, std::string(kUninstallKey) + "\\" + name);
    }
    static std::vector<TValueRow> Rows(const TDetailsForm& form) { return form.ValueList.Rows(); }
    static void SetText(TDetailsForm& form, const std::string& name, const std::string& text) {
        for (std::size_t i = 0; i < form.ValueList.RowCount(); ++i) {
            if (form.ValueList.Row(i).first == name) {
                form.ValueList.SetCell(i, 1, text);
                return;
            }
        }
        ADD_FAILURE() << "no row " << name;
    }
    static std::size_t IndexOf(const TKeyValues& values, const std::string& name) {
        const auto it =
            std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == name; });
        return static_cast<std::size_t>(it - values.begin());
    }

    TRecordingShell Shell;
    TPlatform Recorded{Win32.Registry, Win32.Files, Shell, Win32.Processes, Win32.Locale, PumpWin32Messages};
    std::function<void(const std::string&)> Keep;
    std::vector<std::string> Errors;
};

} // namespace

TEST_F(DetailsFormTest, FactsLinksAndValuesShowAsRecorded) {
    MakeEntry(kHKeyCurrentUser, "Tool",
              {{"DisplayName", "Tool"},
               {"UninstallString", Intact()},
               {"Publisher", "   "},
               {"HelpLink", "http://host.example//help//page"},
               {"URLInfoAbout", "www.host.example"},
               {"URLUpdateInfo", "HTTPS://host.example/update"}});
    MakeEntry(
        kHKeyCurrentUser, "Letters",
        {{"DisplayName", "Letters"}, {"UninstallString", Intact()}, {"A", "1"}, {"B", "2"}, {"C", "3"}});
    Open();
    EXPECT_TRUE(Page().DetailsAction.Enabled());
    WithDetails("Letters", [&](TDetailsForm& form) {
        const std::vector<TValueRow> rows = Rows(form);
        std::vector<TValueRow> letters;
        std::copy_if(rows.begin(), rows.end(), std::back_inserter(letters),
                     [](const TValueRow& row) { return row.first.size() == 1; });
        EXPECT_EQ(letters, (std::vector<TValueRow>{{"C", "3"}, {"B", "2"}, {"A", "1"}}));
    });
    WithDetails("Tool", [&](TDetailsForm& form) {
        EXPECT_EQ(form.LblInfo.Caption(), "Tool");
        EXPECT_EQ(form.lblPublisher.Caption(), "[Not recorded]");
        EXPECT_EQ(form.lblVersion.Caption(), "[Not recorded]");
        EXPECT_EQ(form.lblTelephone.Caption(), "[Not recorded]");
        EXPECT_EQ(form.lblHelpInfo.Caption(), "http://host.example/help/page");
        EXPECT_NE(form.Image1.Icon(), nullptr);
        // The values, the key's last first (Wine keeps a key's values in name order).
        std::vector<TValueRow> expected;
        for (const auto& [name, value] : Values("Tool")) {
            expected.insert(expected.begin(), {name, RegStringText(value.Data)});
        }
        EXPECT_EQ(Rows(form), expected);
        // A click on each link: only web addresses open, as shown.
        for (TLinkLabel* link : {&form.lblHelpInfo, &form.lblAboutInfo, &form.lblUpdateInfo}) {
            SendMessageW(link->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            SendMessageW(link->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        }
        EXPECT_EQ(Shell.Opened,
                  (std::vector<std::string>{"http://host.example/help/page", "HTTPS://host.example/update"}));
    });
}

TEST_F(DetailsFormTest, SaveKeepsWhatWasNotChangedByteForByteAndRefusesWhatWouldBeLost) {
    MakeEntry(kHKeyCurrentUser, "Kinds", {{"DisplayName", "Kinds"}, {"UninstallString", Intact()}});
    const std::string path = std::string(kUninstallKey) + "\\Kinds";
    {
        TRegistry reg(Win32.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        ASSERT_TRUE(reg.OpenKey(path, false));
        reg.WriteInteger("Size", 42);
        reg.WriteExpandString("Icon", "%ProgramFiles%\\Kinds\\k.exe");
        reg.WriteBinaryData("Blob", "\x01\x02\x00\xff", 4);
        reg.WriteRaw("Multi", {kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
        reg.WriteRaw("Big", {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
    }
    Open();
    const TKeyValues before = Values("Kinds");
    // Save with nothing changed: every value as it was.
    WithDetails("Kinds", [&](TDetailsForm& form) { form.Button1.Click(); }, {{"TWarnDialogForm", mrYes, {}}});
    EXPECT_EQ(Values("Kinds"), before);
    EXPECT_TRUE(Errors.empty());

    // Changes the text cannot carry: refused, nothing written, the dialog stays.
    const struct {
        std::string Name;
        std::string Text;
        std::string Error;
    } refusals[] = {
        {"Size", "forty", "The value \"Size\" is a 32-bit number: \"forty\" is not one. Nothing was saved."},
        {"Blob", "5",
         "The value \"Blob\" cannot be changed here: it holds neither text nor a 32-bit number. "
         "Nothing was saved."},
        {"Multi", "a",
         "The value \"Multi\" cannot be changed here: it holds neither text nor a 32-bit number. "
         "Nothing was saved."},
        {"Big", "1",
         "The value \"Big\" cannot be changed here: it holds neither text nor a 32-bit number. "
         "Nothing was saved."},
    };
    for (const auto& r : refusals) {
        Errors.clear();
        WithDetails("Kinds",
                    [&](TDetailsForm& form) {
                        for (std::size_t i = 0; i < form.ValueList.RowCount(); ++i) {
                            if (form.ValueList.Row(i).first == r.Name) {
                                form.ValueList.SetCell(i, 1, r.Text);
                            }
                        }
                        form.ValueList.SetCell(form.ValueList.RowCount() - 1, 1,
                                               "Renamed"); // DisplayName, written first
                        form.Button1.Click();
                        EXPECT_TRUE(IsWindowVisible(form.Handle()));
                    },
                    {{"TWarnDialogForm", mrYes, {}}});
        EXPECT_EQ(Errors, std::vector<std::string>{r.Error});
        EXPECT_EQ(Values("Kinds"), before) << r.Name;
    }

    // No to the warning writes nothing; a real change is written in place.
    Errors.clear();
    WithDetails("Kinds",
                [&](TDetailsForm& form) {
                    SetText(form, "DisplayName", "Kinds 2");
                    form.Button1.Click();
                    EXPECT_EQ(Values("Kinds"), before);
                    form.Button1.Click();
                    EXPECT_EQ(form.LblInfo.Caption(), "Kinds 2"); // the facts follow what was saved
                },
                {{"TWarnDialogForm", mrNo, {}}, {"TWarnDialogForm", mrYes, {}}});
    TKeyValues after = Values("Kinds");
    ASSERT_EQ(after.size(), before.size());
    const std::size_t name = IndexOf(after, "DisplayName");
    ASSERT_LT(name, after.size());
    EXPECT_EQ(after[name].second, (TRegRawValue{kRegSz, RegStringData("Kinds 2")}));
    after[name] = before[IndexOf(before, "DisplayName")];
    EXPECT_EQ(after, before); // everything else untouched
    EXPECT_TRUE(Errors.empty());
}

TEST_F(DetailsFormTest, EscInACellClosesWithoutSaving) {
    MakeEntry(kHKeyCurrentUser, "Esc", {{"DisplayName", "Esc"}, {"UninstallString", Intact()}});
    Open();
    const TKeyValues before = Values("Esc");
    SelectAndFocus("Esc");
    Script({{"TDetailsForm", kRunModalLoop, [&](TModalInfo& info) {
                 TDetailsForm& form = Form(info);
                 form.ValueList.EditCell(0, 1);
                 ASSERT_TRUE(form.ValueList.Editing());
                 form.ValueList.Editor().SetText("typed, never saved");
                 PostKey(form.ValueList.Editor().Handle(), VK_ESCAPE);
             }}});
    Page().DetailsAction.Execute();
    EXPECT_TRUE(Unexpected.empty());
    EXPECT_EQ(Values("Esc"), before);
    EXPECT_EQ(FindTopWindow(L"Application Details"), nullptr);
}

} // namespace cv::test
