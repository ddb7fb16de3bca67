// The message dialogs and the about box, driven through the real modal loop
// with posted keys, or answered by the responder.
#include "UiHarness.h"
#include "forms/AboutForm.h"
#include "forms/DialogForms.h"
#include "platform/win32/Win32Platform.h"

#include "platform/PathText.h"
#include "platform/win32/Win32Text.h"
#include "resources/Version.h"
#include "toolkit/FileDialogs.h"

#include <dlgs.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace cv::test {

namespace {

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogBeep = [this](unsigned type) { Beeps.push_back(type); };
    }
    void TearDown() override {
        DialogBeep = [](unsigned type) { MessageBeep(type); };
    }
    std::vector<unsigned> Beeps;
};

// Posts the keystrokes to the dialog as soon as it is up, then lets the
// real loop run; records what the dialog showed.
TModalResponder Keys(std::function<void(HWND)> press, TModalInfo* seen = nullptr) {
    return [press, seen](TModalInfo& info) {
        if (seen != nullptr) {
            *seen = info;
        }
        press(info.Handle);
        return kRunModalLoop;
    };
}

} // namespace

TEST_F(DialogTest, EscGivesCancelAndYesAndNoLettersGiveTheirResults) {
    struct Case {
        const char* Name;
        std::function<void(HWND)> Press;
        int Expected;
    };
    const std::vector<Case> cases = {
        {"Esc", [](HWND w) { PostKey(FocusOr(w), VK_ESCAPE); }, mrCancel},
        {"Y typed", [](HWND w) { PostChar(FocusOr(w), L'y'); }, mrYes},
        {"N typed", [](HWND w) { PostChar(FocusOr(w), L'n'); }, mrNo},
        {"Alt+Y", [](HWND w) { PostChar(FocusOr(w), L'Y', true); }, mrYes},
        {"Alt+N", [](HWND w) { PostChar(FocusOr(w), L'n', true); }, mrNo},
        // Enter has no binding: the dialog is still there for the N after it.
        {"Enter then N",
         [](HWND w) {
             PostKey(FocusOr(w), VK_RETURN);
             PostChar(FocusOr(w), L'n');
         },
         mrNo},
        // A letter that is no button's does nothing either.
        {"Q then Esc",
         [](HWND w) {
             PostChar(FocusOr(w), L'q');
             PostKey(FocusOr(w), VK_ESCAPE);
         },
         mrCancel},
    };
    for (const Case& c : cases) {
        TResponderScope scope(Keys(c.Press));
        EXPECT_EQ(WarnDialog("Delete the entry?"), c.Expected) << "WarnDialog, " << c.Name;
        EXPECT_EQ(ConfirmDialog("Uninstall it?"), c.Expected) << "ConfirmDialog, " << c.Name;
    }
}

TEST_F(DialogTest, EscClosesTheInfoDialogAndItsWindowIsGone) {
    HWND shown = nullptr;
    TResponderScope scope(Keys([&](HWND w) {
        shown = w;
        PostKey(FocusOr(w), VK_ESCAPE);
    }));
    InfoDialog("Done", "Finished.", false);
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(IsWindow(shown));
}

TEST_F(DialogTest, EscInAnEditFieldLeavesTheDialogOpen) {
    TConfirmForm form;
    auto& edit = form.Make<TEdit>(&form.Panel1, "Edit1");
    edit.SetBounds(40, 50, 200, 21);
    HWND focus = nullptr;
    TResponderScope scope(Keys([&](HWND w) {
        focus = GetFocus();
        PostKey(FocusOr(w), VK_ESCAPE);
        PostChar(FocusOr(w), L'n', true);
    }));
    EXPECT_EQ(form.ShowModal(), mrNo);
    EXPECT_EQ(focus, edit.Handle());
}

TEST_F(DialogTest, ButtonsNeverTakeTheFocusSoTheFormHearsTheKeys) {
    HWND focus = nullptr;
    HWND form = nullptr;
    TResponderScope scope(Keys([&](HWND w) {
        form = w;
        focus = GetFocus();
        PostKey(FocusOr(w), VK_ESCAPE);
    }));
    ConfirmDialog("Go on?");
    EXPECT_EQ(focus, form);
}

TEST_F(DialogTest, TheThreeDialogsAreCaptionedClearvaneAndBeep) {
    std::vector<std::string> captions;
    std::vector<std::string> classes;
    TResponderScope scope([&](TModalInfo& info) {
        captions.push_back(info.Caption);
        classes.push_back(info.ClassName);
        return mrOk;
    });
    InfoDialog("Note", "Text", true);
    InfoDialog("Note", "Text", false);
    WarnDialog("Careful");
    ConfirmDialog("Sure?");
    EXPECT_EQ(captions, (std::vector<std::string>(4, "Clearvane")));
    EXPECT_EQ(classes, (std::vector<std::string>{"TWaitDialogForm", "TWaitDialogForm", "TWarnDialogForm",
                                                 "TConfirmForm"}));
    // Information sound, the default sound (also without the flag), exclamation, question.
    EXPECT_EQ(Beeps, (std::vector<unsigned>{MB_ICONASTERISK, 0, MB_ICONEXCLAMATION, MB_ICONQUESTION}));
}

TEST_F(DialogTest, AMessageOfSeveralLinesShowsEveryLineAndALongLineWraps) {
    TModalInfo seen;
    std::string comment;
    int commentHeight = 0;
    int lineHeight = 0;
    TResponderScope scope([&](TModalInfo& info) {
        seen = info;
        auto* form = dynamic_cast<TBaseDialogForm*>(TWindow::FromHandle(info.Handle));
        comment = form->glWizardHeader1.ShownComment();
        const RECT r = form->glWizardHeader1.CommentRect();
        commentHeight = r.bottom - r.top;
        HDC dc = GetDC(nullptr);
        lineHeight = MeasureText(dc, form->glWizardHeader1.CommentFont(), "Hy").cy;
        ReleaseDC(nullptr, dc);
        return mrNo;
    });
    // Every line, whatever its line end.
    WarnDialog("First line\r\nSecond line\nThird");
    EXPECT_EQ(comment, "First line\r\nSecond line\r\nThird");
    EXPECT_NE(std::find(seen.Texts.begin(), seen.Texts.end(), comment), seen.Texts.end());
    EXPECT_EQ(commentHeight, 3 * lineHeight);

    ConfirmDialog(
        "Are you sure you want to uninstall this application with a rather long name and everything "
        "that it left behind?");
    EXPECT_GE(commentHeight, 2 * lineHeight);
}

TEST_F(DialogTest, TheWarningFormKeepsItsMessageAndItsOwnNames) {
    TWarnDialogForm form;
    form.SetMessageText("One\nTwo");
    EXPECT_EQ(form.MessageText(), "One\nTwo");
    EXPECT_EQ(form.glWizardHeader1.Comments(), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(form.Text(), "Clearvane");
    EXPECT_EQ(form.WarnDialogForm.Caption(), "&No");
    EXPECT_EQ(form.ClientHeight(), 135);
    EXPECT_EQ(form.glWizardHeader1.Height(), 81);
    EXPECT_EQ(form.glWizardHeader1.ShownCaption(), "Warning:");
}

TEST_F(DialogTest, TheAboutBoxShowsItsVersionAndItsLogoRestsThenFadesIn) {
    TWin32Platform platform;
    std::string versionWhenAsked;
    std::vector<int> levels;
    {
        TResponderScope scope([&](TModalInfo& info) {
            auto* about = dynamic_cast<TAboutForm*>(TWindow::FromHandle(info.Handle));
            versionWhenAsked = about->lblVersion.Caption();
            // Watch the logo for a while, then close with the button's letter.
            for (int i = 0; i < 6; ++i) {
                Pump(110);
                levels.push_back(about->AlphaLevel);
            }
            PostChar(FocusOr(info.Handle), L'o');
            return kRunModalLoop;
        });
        ShowAbout(platform.Platform);
    }
    EXPECT_EQ(levels.front(), 0) << "the logo rests a moment before it fades in";
    EXPECT_EQ(versionWhenAsked, "Version " CLEARVANE_VERSION_TEXT);
    ASSERT_FALSE(levels.empty());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        EXPECT_EQ(levels[i] % 15, 0);
        if (i > 0) {
            EXPECT_GE(levels[i], levels[i - 1]) << "fading in";
        }
    }
    EXPECT_GT(levels.back(), 0);

    // A second box starts from a transparent logo again.
    TAboutForm second(platform.Platform);
    EXPECT_EQ(second.AlphaLevel, 0);
    EXPECT_TRUE(second.lblVersion.Caption().empty());
}

// The system's file dialog, loaded when first wanted: the name typed into it
// and OK come back as the chosen file; Cancel chooses none.
TEST_F(DialogTest, TheSystemFileDialogGivesTheNameTypedOrNoneOnCancel) {
    ASSERT_FALSE(TApplication::Instance().HasModalResponder());
    struct TCase {
        const char* Name;
        bool Ok;
    };
    const TCase cases[] = {{"chosen.reg", true}, {"left.reg", false}};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSaveDialog dialog;
        dialog.Title = "Where the test's file goes";
        dialog.Filter = "Registry files|*.reg";
        dialog.DefaultExt = "reg";
        dialog.InitialDir = toUtf8(temp);
        dialog.OverwritePrompt = false;
        dialog.FileName = "before";
        // Answered from another thread once the dialog is up; a dialog that
        // stays up after the answer is cancelled, so the test cannot hang.
        std::atomic<bool> done{false};
        std::atomic<bool> nameSet{!c.Ok};
        std::thread answer([&] {
            HWND found = nullptr;
            for (int waited = 0; waited < 15000 && !done && found == nullptr; waited += 50) {
                found = FindWindowW(L"#32770", L"Where the test's file goes");
                if (found != nullptr && !IsWindowVisible(found)) {
                    found = nullptr;
                }
                Sleep(50);
            }
            if (found == nullptr) {
                return;
            }
            if (c.Ok) {
                const std::wstring name = toWide(c.Name);
                for (const int field : {cmb13, edt1}) {
                    wchar_t shown[MAX_PATH] = {};
                    if (SetDlgItemTextW(found, field, name.c_str()) &&
                        GetDlgItemTextW(found, field, shown, MAX_PATH) > 0 && name == shown) {
                        nameSet = true;
                        break;
                    }
                }
            }
            PostMessageW(found, WM_COMMAND, c.Ok && nameSet ? IDOK : IDCANCEL, 0);
            for (int waited = 0; waited < 5000 && !done; waited += 50) {
                Sleep(50);
            }
            if (!done) {
                PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
            }
        });
        bool chosen = false;
        EXPECT_NO_THROW(chosen = dialog.Execute());
        done = true;
        answer.join();
        EXPECT_TRUE(nameSet) << "no field of the dialog took the name";
        EXPECT_EQ(chosen, c.Ok);
        if (c.Ok) {
            EXPECT_EQ(ExtractFileName(dialog.FileName), c.Name);
            EXPECT_EQ(ExtractFilePath(dialog.FileName), IncludeTrailingBackslash(toUtf8(temp)));
        } else {
            EXPECT_EQ(dialog.FileName, "before");
        }
    }
}

} // namespace cv::test
