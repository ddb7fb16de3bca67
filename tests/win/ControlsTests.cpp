// The toolkit's controls and the program's own widgets on a real display.
#include "UiHarness.h"
#include "forms/FormUtils.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/FileDialogs.h"
#include "toolkit/Form.h"
#include "toolkit/Menu.h"
#include "toolkit/StdControls.h"
#include "toolkit/Timer.h"
#include "toolkit/ValueListEditor.h"
#include "widgets/AlphaButton.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace cv::test {

namespace {

class TTestForm : public TForm {
public:
    TTestForm() : TForm("TestForm") {
        SetCaption("Controls");
        SetBounds(40, 40, 420, 320);
        Show();
    }
};

// A 3-pixel glyph row: transparent, half transparent red, opaque green.
void ThreePixelGlyph(TAlphaGlyph& glyph) {
    glyph.Assign(3, 1, {0x00FFFFFFu, 0x80FF0000u, 0xFF00FF00u});
}

} // namespace

TEST(Controls, AnActionDisabledDisablesItsMenuItemAndButtonTogether) {
    TTestForm form;
    TAction action("Refresh");
    action.SetCaption("&Refresh");
    int runs = 0;
    action.OnExecute = [&] { ++runs; };
    TMenu menu(false);
    TMenuItem& item = menu.Items().Add("&File").Add("x");
    item.SetAction(&action);
    form.SetMenu(&menu);
    auto& button = form.Make<TAlphaButton>(&form, "RefreshButton");
    button.SetBounds(10, 10, 80, 30);
    button.SetAction(&action);
    EXPECT_EQ(button.Caption(), "&Refresh");

    action.SetEnabled(false);
    EXPECT_FALSE(item.Enabled());
    EXPECT_FALSE(button.Enabled());
    EXPECT_FALSE(IsWindowEnabled(button.Handle()));
    EXPECT_EQ(button.State(), TAlphaButtonState::bsDisabled);
    HMENU file = GetSubMenu(menu.Handle(), 0);
    EXPECT_NE(GetMenuState(file, item.Command(), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_FALSE(form.DialogChar(L'r')); // the letter of a disabled button clicks nothing
    EXPECT_EQ(runs, 0);

    action.SetEnabled(true);
    EXPECT_TRUE(button.Enabled());
    EXPECT_EQ(GetMenuState(GetSubMenu(menu.Handle(), 0), item.Command(), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_TRUE(form.DialogChar(L'R'));
    EXPECT_EQ(runs, 1);
    button.SetVisible(false);
    EXPECT_FALSE(form.DialogChar(L'r')); // hidden
    EXPECT_EQ(runs, 1);
    form.SetMenu(nullptr);
}

TEST(Controls, AShortcutOfAnActionRunsItThroughTheFormsAcceleratorTable) {
    TTestForm form;
    TAction refresh("Refresh");
    refresh.SetShortCut({VK_F5});
    TAction find("Find");
    find.SetShortCut({'F', true});
    int refreshes = 0;
    int finds = 0;
    refresh.OnExecute = [&] { ++refreshes; };
    find.OnExecute = [&] { ++finds; };
    form.AddAction(refresh);
    form.AddAction(find);
    SetFocus(form.Handle());
    PostKey(form.Handle(), VK_F5);
    Pump(50);
    EXPECT_EQ(refreshes, 1);
    refresh.SetEnabled(false);
    PostKey(form.Handle(), VK_F5);
    Pump(50);
    EXPECT_EQ(refreshes, 1);
    // A changed shortcut is in the table the next time a key comes.
    refresh.SetEnabled(true);
    refresh.SetShortCut({VK_F6});
    PostKey(form.Handle(), VK_F6);
    Pump(50);
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(finds, 0); // F without Ctrl is not Ctrl+F
}

TEST(Controls, AGlyphBlendsOverTheBackgroundPixelByPixelAndTurnsGreyWhenDisabled) {
    TTestForm form;
    auto& panel = form.Make<TPanel>(&form, "Back");
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(RgbColor(0, 0, 255)); // blue behind the button
    panel.SetBounds(0, 0, 200, 100);
    auto& button =
        panel.Parent() ? form.Make<TAlphaButton>(&panel, "B") : form.Make<TAlphaButton>(&form, "B");
    ThreePixelGlyph(button.Glyph());
    button.SetBounds(10, 10, 9, 9); // the glyph lands at 3, 4
    const TImage32 up = PrintClient(button.Handle());
    EXPECT_EQ(up.At(3, 4), 0x0000FFu);                                       // alpha 0: the panel shows
    EXPECT_EQ(up.At(4, 4), BlendPixel(0x80FF0000u, 0xFF0000FFu) & 0xFFFFFF); // half and half
    EXPECT_EQ(up.At(5, 4), 0x00FF00u);                                       // alpha 255: the glyph
    button.SetEnabled(false);
    const TImage32 disabled = PrintClient(button.Handle());
    EXPECT_EQ(disabled.At(5, 4), GreyPixel(0xFF00FF00u) & 0xFFFFFF);
    EXPECT_EQ(disabled.At(3, 4), 0x0000FFu);
}

TEST(Controls, PressingMovingOutAndReleasingOutsideGivesNoClick) {
    TTestForm form;
    auto& button = form.Make<TAlphaButton>(&form, "B", "Go");
    button.SetBounds(20, 20, 80, 40);
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    const POINT inside = {40, 20};
    const POINT outside = {200, 20}; // in the button's client coordinates, right of it
    auto send = [&](UINT message, POINT at) {
        SendMessageW(button.Handle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                     MAKELPARAM(at.x, at.y));
    };
    send(WM_LBUTTONDOWN, inside);
    EXPECT_EQ(button.State(), TAlphaButtonState::bsDown);
    EXPECT_NE(GetFocus(), button.Handle());
    send(WM_MOUSEMOVE, outside);
    EXPECT_EQ(button.State(), TAlphaButtonState::bsUp);
    send(WM_LBUTTONUP, outside);
    EXPECT_EQ(clicks, 0);

    send(WM_LBUTTONDOWN, inside);
    EXPECT_EQ(button.State(), TAlphaButtonState::bsDown);
    send(WM_MOUSEMOVE, outside);
    EXPECT_EQ(button.State(), TAlphaButtonState::bsUp);
    send(WM_MOUSEMOVE, inside);
    EXPECT_EQ(button.State(), TAlphaButtonState::bsDown);
    send(WM_LBUTTONUP, inside);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button.State(), TAlphaButtonState::bsUp);
}

TEST(Controls, ThePageControlAsksBeforeLeavingAPageAndShowsTheChosenSheet) {
    TTestForm form;
    auto& pages = form.Make<TPageControl>(&form, "Pages");
    pages.SetAlign(TAlign::alClient);
    TTabSheet& first = pages.AddPage("Sheet1", "Uninstaller");
    TTabSheet& second = pages.AddPage("Sheet2", "Startup");
    std::vector<std::string> events;
    bool allow = false;
    pages.OnChanging = [&](bool& ok) {
        events.push_back("changing from " + std::to_string(pages.ActivePageIndex()));
        ok = allow;
    };
    pages.OnChange = [&] { events.push_back("change to " + std::to_string(pages.ActivePageIndex())); };
    EXPECT_TRUE(IsWindowVisible(first.Handle()));
    ClickTab(pages.Handle(), 1);
    EXPECT_EQ(pages.ActivePageIndex(), 0); // refused
    EXPECT_TRUE(IsWindowVisible(first.Handle()));
    allow = true;
    ClickTab(pages.Handle(), 1);
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(second.Handle()));
    EXPECT_FALSE(IsWindowVisible(first.Handle()));
    EXPECT_EQ(events, (std::vector<std::string>{"changing from 0", "changing from 0", "change to 1"}));
    // The sheets fill the page control's display area.
    EXPECT_GT(second.Width(), pages.Width() - 20);
}

TEST(Controls, TheValueGridKeepsNamesUniqueAndAlwaysOneRow) {
    TTestForm form;
    auto& grid = form.Make<TValueListEditor>(&form, "ValueList");
    grid.SetBounds(5, 5, 380, 200);
    EXPECT_EQ(grid.RowCount(), 1u);
    grid.SetRows({{"DisplayName", "Editor"}, {"Publisher", "Maker"}});
    EXPECT_EQ(grid.Count(), 2);
    EXPECT_EQ(grid.ItemText(1, 1), "Maker");
    EXPECT_THROW(grid.SetCell(1, 0, "displayname"), std::runtime_error); // same name in other letter case
    EXPECT_EQ(grid.Row(1).first, "Publisher");
    grid.SetCell(1, 0, "PUBLISHER"); // its own name in other case is fine
    EXPECT_EQ(grid.ItemText(1, 0), "PUBLISHER");
    EXPECT_THROW(grid.InsertRow(0, {"Publisher", "x"}), std::runtime_error);

    // Editing in place: the editor over a cell, committed with Enter.
    grid.EditCell(0, 1);
    ASSERT_TRUE(grid.Editing());
    grid.Editor().SetText("Editor 2");
    PostKey(grid.Editor().Handle(), VK_RETURN);
    Pump(50);
    EXPECT_FALSE(grid.Editing());
    EXPECT_EQ(grid.Row(0).second, "Editor 2");
    EXPECT_EQ(grid.ItemText(0, 1), "Editor 2");
    // Esc drops the edit.
    grid.EditCell(0, 0);
    grid.Editor().SetText("Changed");
    SendMessageW(grid.Editor().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(grid.Row(0).first, "DisplayName");

    // Ins adds a row below the selection; deleting every row leaves one empty one.
    grid.SetSelected(0);
    SendMessageW(grid.Handle(), WM_KEYDOWN, VK_INSERT, 0);
    EXPECT_EQ(grid.RowCount(), 3u);
    EXPECT_EQ(grid.Row(1), (TValueRow{"", ""}));
    grid.EndEdit(false);
    grid.DeleteRow(0);
    grid.DeleteRow(0);
    grid.DeleteRow(0);
    EXPECT_EQ(grid.RowCount(), 1u);
    EXPECT_EQ(grid.Count(), 1);
}

TEST(Controls, TheListViewSortsSelectsAndTellsWhatChanged) {
    TTestForm form;
    auto& list = form.Make<TListView>(&form, "List");
    list.SetBounds(5, 5, 380, 200);
    list.SetViewStyle(TViewStyle::vsReport);
    list.SetColumns({{"Name", 150}, {"Size", 80}});
    for (const auto& [name, size] : std::vector<std::pair<std::string, std::string>>{
             {"Beta", "10"}, {"alpha", "9"}, {"Gamma \xC3\xA9", "100"}}) {
        list.AddItem(name, {size}, -1, name.size());
    }
    std::vector<std::pair<int, bool>> selections;
    list.OnSelectItem = [&](int index, bool selected) { selections.emplace_back(index, selected); };
    std::vector<int> sizes;
    for (int i = 0; i < list.Count(); ++i) {
        sizes.push_back(std::stoi(list.ItemText(i, 1)));
    }
    list.Sort([&](int a, int b) {
        return sizes[static_cast<std::size_t>(a)] - sizes[static_cast<std::size_t>(b)];
    });
    EXPECT_EQ(list.ItemText(0), "alpha");
    EXPECT_EQ(list.ItemText(2), "Gamma \xC3\xA9");
    EXPECT_EQ(list.ItemData(2), std::string("Gamma \xC3\xA9").size());
    list.SetSelected(1);
    EXPECT_EQ(list.Selected(), 1);
    list.SetSelected(-1);
    EXPECT_EQ(list.Selected(), -1);
    EXPECT_EQ(selections, (std::vector<std::pair<int, bool>>{{1, true}, {1, false}}));
    EXPECT_EQ(list.FindData(4), 1); // "Beta"
    list.DeleteItem(0);
    EXPECT_EQ(list.Count(), 2);
}

TEST(Controls, RadioGroupEditComboTimerAndDialogs) {
    TTestForm form;
    auto& group = form.Make<TRadioGroup>(&form, "RunFrom", "Run from");
    group.SetBounds(5, 5, 200, 80);
    group.SetItems({"Startup folder", "Run key"});
    int changes = 0;
    group.OnChange = [&] { ++changes; };
    group.SetItemIndex(0);
    SendMessageW(group.Button(1)->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(SendMessageW(group.Button(0)->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // The arrow keys move the choice with the focus, round the ends.
    for (const auto& [key, index] : {std::pair{VK_DOWN, 0}, std::pair{VK_DOWN, 1}, std::pair{VK_UP, 0}}) {
        PostKey(FocusOr(group.Button(static_cast<std::size_t>(group.ItemIndex()))->Handle()), key);
        Pump(30);
        EXPECT_EQ(group.ItemIndex(), index);
        EXPECT_EQ(GetFocus(), group.Button(static_cast<std::size_t>(index))->Handle());
    }

    auto& edit = form.Make<TEdit>(&form, "Name");
    std::string typed;
    edit.OnChange = [&] { typed = edit.Text(); };
    edit.SetText("Caf\xC3\xA9");
    EXPECT_EQ(typed, "Caf\xC3\xA9");

    auto& combo = form.Make<TComboBox>(&form, "Where");
    combo.SetItems({"HKLM", "HKCU"});
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), "HKCU");

    TTimer timer(20);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    Pump(200);
    EXPECT_GE(ticks, 2);
    timer.SetEnabled(false);
    const int stopped = ticks;
    Pump(100);
    EXPECT_EQ(ticks, stopped);

    TSaveDialog save;
    save.Filter = "Registry files (*.reg)|*.reg";
    save.FileName = "backup.reg";
    std::string offered;
    {
        TResponderScope scope([&](TModalInfo& info) {
            offered = info.ClassName + ":" + info.Value;
            info.Value = "C:\\backup\\uninstall.reg";
            return 1;
        });
        EXPECT_TRUE(save.Execute());
    }
    EXPECT_EQ(offered, "TSaveDialog:backup.reg");
    EXPECT_EQ(save.FileName, "C:\\backup\\uninstall.reg");
    EXPECT_EQ(FilterList("A|*.a|B|*.b"), std::wstring(L"A\0*.a\0B\0*.b\0\0", 13));
}

namespace {

class TPage : public TForm {
public:
    static int Made;
    explicit TPage(const std::string& name) : TForm(name) { ++Made; }
};
int TPage::Made = 0;

} // namespace

TEST(Controls, APageFormIsMadeOnceAndFillsItsSheet) {
    TTestForm form;
    auto& pages = form.Make<TPageControl>(&form, "Pages");
    pages.SetAlign(TAlign::alClient);
    TTabSheet& sheet = pages.AddPage("Sheet1", "Uninstaller");
    std::unique_ptr<TPage> page;
    auto make = [] { return std::make_unique<TPage>("UninstallerForm"); };
    ShowPageForm(page, sheet, make);
    TPage* first = page.get();
    ShowPageForm(page, sheet, make);
    EXPECT_EQ(page.get(), first);
    EXPECT_EQ(TPage::Made, 1);
    EXPECT_EQ(GetParent(page->Handle()), sheet.Handle());
    EXPECT_EQ(page->Width(), sheet.ClientWidth());
    EXPECT_EQ(page->Height(), sheet.ClientHeight());
    EXPECT_EQ(GetWindowLongPtrW(page->Handle(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_TRUE(IsWindowVisible(page->Handle()));
    page.reset();
}

TEST(Controls, CopyMenuItemCopiesCaptionHandlerTagAndVisibilityOnly) {
    TMenu source(true);
    TMenuItem& from = source.Items().Add("&Report");
    int clicks = 0;
    from.OnClick = [&] { ++clicks; };
    from.Tag = 3;
    from.SetVisible(false);
    from.SetChecked(true);
    from.SetEnabled(false);
    TMenu target(true);
    TMenuItem& to = target.Items().Add("x");
    CopyMenuItem(from, to);
    EXPECT_EQ(to.Caption(), "&Report");
    EXPECT_EQ(to.Tag, 3);
    EXPECT_FALSE(to.Visible());
    EXPECT_FALSE(to.Checked());
    EXPECT_TRUE(to.Enabled());
    to.Click();
    EXPECT_EQ(clicks, 1);
}

} // namespace cv::test
