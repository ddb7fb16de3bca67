// Hints as tooltips, driven with the real mouse pointer: the pointer rests on
// a control and the tooltip the user would read is looked for on the screen.
#include "UiHarness.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Action.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"
#include "widgets/AlphaButton.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

namespace cv::test {

namespace {

const char* const kLongHint = "Searches every uninstall entry of this computer and of every user profile for "
                              "programs whose folders are gone, and lists them so that they can be removed";

class TTipForm : public TForm {
public:
    TTipForm() : TForm("TipForm") {
        SetCaption("Tips");
        SetBounds(40, 40, 420, 320);
        Refresh.SetCaption("&Refresh");
        Refresh.SetHint("Read the list again");
        Button.SetBounds(10, 10, 100, 40);
        Button.SetAction(&Refresh);
        Plain.SetBounds(10, 60, 120, 40);
        Plain.Hint = "A panel says what it is for";
        Combo.SetBounds(10, 110, 160, 200);
        Combo.Hint = "Type a name or pick one";
        Quiet.SetBounds(200, 10, 120, 40);
        Long.SetBounds(200, 60, 120, 40);
        Long.Hint = kLongHint;
        Show();
        Pump(100);
    }

    TAction Refresh{"Refresh"};
    TAlphaButton& Button = Make<TAlphaButton>(this, "RefreshButton");
    TPanel& Plain = Make<TPanel>(this, "Plain");
    TComboBox& Combo = Make<TComboBox>(this, "Combo", true);
    TPanel& Quiet = Make<TPanel>(this, "Quiet"); // no hint
    TPanel& Long = Make<TPanel>(this, "Long");
};

struct TShownTip {
    std::wstring Text;
    int Width = 0;
};

// The tooltip windows of this thread: the program's.
std::vector<HWND> Tooltips() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, L"tooltips_class32") == 0) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::optional<TShownTip> ShownTip() {
    for (HWND tip : Tooltips()) {
        if (IsWindowVisible(tip)) {
            std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(tip)) + 1, L'\0');
            text.resize(
                static_cast<std::size_t>(GetWindowTextW(tip, text.data(), static_cast<int>(text.size()))));
            RECT r;
            GetWindowRect(tip, &r);
            return TShownTip{text, static_cast<int>(r.right - r.left)};
        }
    }
    return std::nullopt;
}

int ToolCount() {
    int count = 0;
    for (HWND tip : Tooltips()) {
        count += static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    }
    return count;
}

// Pumps until the tip shown is the one wanted (none, for nullopt) or the time is up.
std::optional<TShownTip> WaitForTip(const std::optional<std::wstring>& wanted, unsigned milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        Pump(20);
        std::optional<TShownTip> shown = ShownTip();
        const bool match = wanted ? shown && shown->Text == *wanted : !shown;
        if (match || GetTickCount64() >= end) {
            return shown;
        }
    }
}

// Whether any tip shows while the pointer rests for a while.
std::optional<TShownTip> AnyTipWithin(unsigned milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        Pump(20);
        if (auto shown = ShownTip()) {
            return shown;
        }
    }
    return std::nullopt;
}

// Moves the pointer and waits until it stays there. Wine under X moves the
// real pointer only when it thinks the pointer is elsewhere, and the X
// pointer's late reports of where an earlier move took it can put Wine's
// idea of it back for a moment (a real mouse move over whatever lies there)
// or for good. A step aside first makes every attempt a real move.
void MovePointer(POINT screen) {
    const auto there = [&] {
        POINT at;
        GetCursorPos(&at);
        return at.x == screen.x && at.y == screen.y;
    };
    for (int attempt = 0; attempt < 10; ++attempt) {
        SetCursorPos(screen.x + 1, screen.y);
        SetCursorPos(screen.x, screen.y);
        // Longer than Wine goes on trusting its own idea of the pointer (0.1 s).
        bool stayed = true;
        for (int i = 0; i < 10 && stayed; ++i) {
            Pump(20);
            stayed = there();
        }
        if (stayed) {
            return;
        }
    }
    FAIL() << "the pointer does not stay at " << screen.x << ", " << screen.y;
}

POINT CentreOf(const TWinControl& control) {
    RECT r;
    GetWindowRect(control.Handle(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The longest a tip takes to come: the initial delay is half a second, and
// Wine under load is slow to pass the pointer's moves on.
constexpr unsigned kTipTime = 5000;
// How long a pointer rests on a control that must show nothing.
constexpr unsigned kRestTime = 1500;

class TooltipTest : public ::testing::Test {
protected:
    void SetUp() override { GetCursorPos(&FSaved); }
    void TearDown() override {
        SetCursorPos(FSaved.x + 1, FSaved.y);
        SetCursorPos(FSaved.x, FSaved.y);
        Pump(250);
    }

    // Over the form, away from every control: the form has no hint.
    void MoveAway() {
        RECT r;
        GetWindowRect(Form.Handle(), &r);
        MovePointer({r.right - 30, r.bottom - 30});
        EXPECT_FALSE(WaitForTip(std::nullopt, kTipTime)) << "the tip stays when the pointer has left";
    }

    TTipForm Form;

private:
    POINT FSaved = {0, 0};
};

// In order: the button's tip has shown once before its action's hint changes.
TEST_F(TooltipTest, TheHintOfTheControlUnderThePointerShowsAsItIsWhenTheTipComes) {
    struct TCase {
        const char* Name;
        TWinControl* Control;
        const char* Tip; // null: none
        const char* NewActionHint = nullptr;
    };
    const TCase cases[] = {
        {"an image button shows its action's hint", &Form.Button, "Read the list again"},
        {"a plain control shows its own", &Form.Plain, "A panel says what it is for"},
        {"the field of an editable combo box shows the box's", &Form.Combo, "Type a name or pick one"},
        {"a control without a hint shows none", &Form.Quiet, nullptr},
        {"a long hint shows whole, wrapped into a block", &Form.Long, kLongHint},
        {"the action's new hint", &Form.Button, "Read every entry again", "Read every entry again"},
        {"the action's hint taken away", &Form.Button, nullptr, ""},
        {"the action's hint back", &Form.Button, "Refresh", "Refresh"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        MoveAway();
        if (c.NewActionHint != nullptr) {
            Form.Refresh.SetHint(c.NewActionHint);
        }
        MovePointer(CentreOf(*c.Control));
        if (c.Tip == nullptr) {
            const auto shown = AnyTipWithin(kRestTime);
            EXPECT_FALSE(shown) << "a tip showed: " << toUtf8(shown->Text);
            continue;
        }
        const auto shown = WaitForTip(toWide(c.Tip), kTipTime);
        ASSERT_TRUE(shown) << "no tip showed";
        EXPECT_EQ(shown->Text, toWide(c.Tip));
        EXPECT_LE(shown->Width, 340) << "the tip runs across the screen";
    }
    MoveAway();
}

// A program that opens and closes a dialog all day must not pile up the
// tooltip's hold on windows long gone, the inner field of a combo box included,
// whether the objects go first or the windows under them do.
TEST(Tooltip, AFormThatGoesLeavesNoToolsBehind) {
    const struct {
        const char* Name;
        bool WindowFirst;
    } ways[] = {
        {"the form freed", false},
        {"the form's window destroyed, then the form freed", true},
    };
    const int before = ToolCount();
    for (const auto& way : ways) {
        SCOPED_TRACE(way.Name);
        for (int i = 0; i < 3; ++i) {
            TTipForm form;
            EXPECT_GT(ToolCount(), before);
            if (way.WindowFirst) {
                DestroyWindow(form.Handle());
                EXPECT_EQ(ToolCount(), before);
            }
        }
        EXPECT_EQ(ToolCount(), before);
    }
}

} // namespace

} // namespace cv::test
