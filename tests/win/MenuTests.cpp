// Menus and buttons bound to actions, on real Windows menus under Wine.
#include "toolkit/Menu.h"
#include "toolkit/Window.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

class TForm : public TWindow {
public:
    TForm() {
        TCreateParams p;
        p.Caption = "Menus";
        p.Width = 300;
        p.Height = 200;
        CreateHandle(p);
    }
};

class TButton : public TWindow, public TActionClient {
public:
    explicit TButton(HWND parent) {
        TCreateParams p;
        p.ClassName = L"BUTTON";
        p.Style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
        p.Parent = parent;
        p.Width = 80;
        p.Height = 24;
        CreateHandle(p);
    }
    void ActionChanged(const TAction& action) override {
        SetText(action.Caption());
        EnableWindow(Handle(), action.Enabled());
        ShowWindow(Handle(), action.Visible() ? SW_SHOW : SW_HIDE);
    }

protected:
    bool ReflectedCommand(WORD code) override {
        if (code == BN_CLICKED && Action() != nullptr) {
            Action()->Execute();
        }
        return true;
    }
};

std::wstring ItemText(HMENU menu, UINT command) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, command, text, 128, MF_BYCOMMAND);
    return text;
}

TEST(Menus, AnActionKeepsItsMenuItemAndButtonInStep) {
    TForm form;
    TMenu menu(false);
    TMenuItem& file = menu.Items().Add("&File");
    TMenuItem& refresh = file.Add("");
    file.Add("E&xit");
    menu.AttachTo(form.Handle());
    TButton button(form.Handle());

    TAction action("RefreshAction");
    action.SetCaption("&Refresh");
    action.SetShortCut({0x74});
    int runs = 0;
    action.OnExecute = [&] { ++runs; };
    refresh.SetAction(&action);
    button.SetAction(&action);

    EXPECT_EQ(ItemText(menu.Handle(), refresh.Command()), L"&Refresh\tF5");
    EXPECT_EQ(button.Text(), "&Refresh");
    action.SetEnabled(false);
    EXPECT_NE(GetMenuState(menu.Handle(), refresh.Command(), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_FALSE(IsWindowEnabled(button.Handle()));
    EXPECT_TRUE(menu.DispatchCommand(refresh.Command()));
    EXPECT_EQ(runs, 0); // disabled: nothing runs
    action.SetEnabled(true);
    EXPECT_EQ(GetMenuState(menu.Handle(), refresh.Command(), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_TRUE(IsWindowEnabled(button.Handle()));
    menu.DispatchCommand(refresh.Command());
    SendMessageW(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(GetMenu(form.Handle()), menu.Handle());
}

TEST(Menus, RadioItemsKeepOneCheckAndHiddenItemsKeepTheirPlaces) {
    TMenu popup(true);
    TMenu& m = popup;
    TMenuItem& large = m.Items().Add("Lar&ge Icons");
    TMenuItem& small = m.Items().Add("S&mall Icons");
    TMenuItem& list = m.Items().Add("&List");
    TMenuItem& report = m.Items().Add("&Details");
    for (TMenuItem* item : {&large, &small, &list, &report}) {
        item->SetRadio(1);
    }
    report.SetChecked(true);
    small.Click();
    EXPECT_TRUE(small.Checked());
    EXPECT_FALSE(report.Checked());
    EXPECT_NE(GetMenuState(m.Handle(), small.Command(), MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(m.Handle(), report.Command(), MF_BYCOMMAND) & MF_CHECKED, 0u);
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(m.Handle(), small.Command(), FALSE, &info);
    EXPECT_NE(info.fType & MFT_RADIOCHECK, 0u);

    small.SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(m.Handle()), 3);
    EXPECT_EQ(&m.Items()[2], &list); // the item list keeps its order
    EXPECT_EQ(GetMenuItemID(m.Handle(), 1), list.Command());
    m.DispatchCommand(GetMenuItemID(m.Handle(), 1));
    EXPECT_TRUE(list.Checked());

    report.SetDefault(true);
    EXPECT_EQ(GetMenuDefaultItem(m.Handle(), FALSE, 0), report.Command());
}

} // namespace

} // namespace cv::test
