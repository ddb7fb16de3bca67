// The user-interface core under what users do without thinking: closing
// while a list is read or a question is open, opening a menu while icons
// arrive, keys whose actions fail, and messages longer than one line.
#include "UninstallerPageFixture.h"

#include "forms/DialogForms.h"
#include "framework/XWBaseThread.h"
#include "platform/win32/Win32Handles.h"
#include "toolkit/Graphics.h"
#include "toolkit/WindowDispatcher.h"
#include "widgets/AlphaButton.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace cv::test {

namespace {

// Replaces the error box for the scope of a test.
class TErrorBoxScope {
public:
    TErrorBoxScope() : FSaved(TApplication::Instance().ErrorBox) {
        TApplication::Instance().ErrorBox = [this](const std::string& message) { Shown.push_back(message); };
    }
    ~TErrorBoxScope() { TApplication::Instance().ErrorBox = FSaved; }
    TErrorBoxScope(const TErrorBoxScope&) = delete;
    TErrorBoxScope& operator=(const TErrorBoxScope&) = delete;
    std::vector<std::string> Shown;

private:
    std::function<void(const std::string&)> FSaved;
};

struct TNotAStdException {};

} // namespace

// Whatever a handler throws, on whichever road the message came, ends in
// the error box and the loop goes on.
TEST(UiCore, AFailingActionEndsInTheErrorBoxOnEveryRoad) {
    enum class TRoad { AltLetter, Accelerator, Menu };
    const struct {
        const char* Name;
        TRoad Road;
        bool StdError;
    } cases[] = {
        {"Alt+letter, std::exception", TRoad::AltLetter, true},
        {"Alt+letter, anything else", TRoad::AltLetter, false},
        {"accelerator, std::exception", TRoad::Accelerator, true},
        {"accelerator, anything else", TRoad::Accelerator, false},
        {"menu, std::exception", TRoad::Menu, true},
        {"menu, anything else", TRoad::Menu, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TErrorBoxScope errors;
        TForm form("ThrowingForm");
        form.SetClientSize(300, 120);
        TAction boom("BoomAction");
        boom.SetCaption("&Boom");
        boom.SetShortCut({VK_F9});
        int runs = 0;
        boom.OnExecute = [&] {
            ++runs;
            if (c.StdError) {
                throw std::runtime_error("Failed to write 'Boom'");
            }
            throw TNotAStdException{};
        };
        form.AddAction(boom);
        auto& button = form.Make<TAlphaButton>(&form, "BoomButton");
        button.SetBounds(10, 10, 90, 28);
        button.SetAction(&boom);
        TMenu menu(false);
        TMenuItem& file = menu.Items().Add("&File");
        TMenuItem& item = file.Add({});
        item.SetAction(&boom);
        form.SetMenu(&menu);
        form.Show();
        Pump(20);
        switch (c.Road) {
        case TRoad::AltLetter:
            PostChar(form.Handle(), L'b', true);
            break;
        case TRoad::Accelerator:
            PostKey(form.Handle(), VK_F9);
            break;
        case TRoad::Menu:
            PostMessageW(form.Handle(), WM_COMMAND, item.Command(), 0);
            break;
        }
        Pump(50);
        EXPECT_EQ(runs, 1);
        ASSERT_EQ(errors.Shown.size(), 1u);
        EXPECT_EQ(errors.Shown[0], c.StdError ? "Failed to write 'Boom'" : "An unknown error occurred.");
        // The loop goes on: the next message is handled as usual.
        PostMessageW(form.Handle(), WM_COMMAND, item.Command(), 0);
        Pump(50);
        EXPECT_EQ(runs, 2);
        form.SetMenu(nullptr);
    }
}

namespace {

// A worker whose one step calls the user-interface thread and ends the job.
class TCallingWorker : public TXWBaseThread {
public:
    using TXWBaseThread::TXWBaseThread;
    std::atomic<int> Calls{0};
    std::atomic<bool> Calling{false};

protected:
    void DoWork() override {
        Calling = true;
        SafeSynchronize([this] { ++Calls; });
        StopWork();
    }
};

// Counts a private message posted to it.
class TProbeWindow : public TWindow {
public:
    static constexpr UINT kPing = WM_APP + 0x55;
    TProbeWindow() {
        TCreateParams params;
        params.Style = 0;
        params.Parent = HWND_MESSAGE;
        params.Left = params.Top = params.Width = params.Height = 0;
        CreateHandle(params);
    }
    int Pings = 0;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPing) {
            ++Pings;
            return 0;
        }
        return TWindow::WndProc(message, wParam, lParam);
    }
};

} // namespace

// Waiting for a worker serves the worker's calls and nothing else: a
// message posted before the wait is handled only after it.
TEST(UiCore, AWaitForAWorkerServesItsCallsAndNothingElse) {
    TWindowDispatcher dispatcher;
    TProbeWindow probe;
    auto worker = MakeWorker<TCallingWorker>(dispatcher);
    ASSERT_TRUE(worker->WaitForIdle(kWaitForever));
    PostMessageW(probe.Handle(), TProbeWindow::kPing, 0, 0);
    worker->StartWork();
    for (int i = 0; i < 500 && !worker->Calling; ++i) {
        Sleep(10); // nothing is served meanwhile: the worker's call waits
    }
    ASSERT_TRUE(worker->Calling);
    EXPECT_TRUE(worker->StopWorkAndWait(5000));
    EXPECT_EQ(worker->Calls, 1) << "the worker's call was served during the wait";
    EXPECT_EQ(probe.Pings, 0) << "nothing else ran inside the wait";
    Pump(20);
    EXPECT_EQ(probe.Pings, 1);
}

// The program ended while a question was open, and the quit message was
// taken by a loop that is not ours (a list view tracking the mouse takes
// whatever it finds): the question still ends (found by the random-input
// test: every window hidden and the program running on).
TEST(UiCore, AQuestionEndsWithTheProgramEvenWhenAnotherLoopTookTheQuit) {
    DialogBeep = [](unsigned) {};
    static bool ended = false;
    static bool watchdog = false;
    ended = false;
    watchdog = false;
    // While the question runs: the program ends, and the quit message goes.
    const UINT_PTR end = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        TApplication::Instance().Terminate();
        MSG quit;
        ended = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    });
    // A question still up after three seconds is answered, so the test fails rather than hangs.
    const UINT_PTR guard = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        watchdog = true;
        if (HWND dialog = FindTopWindow(L"Clearvane"); dialog != nullptr) {
            PostKey(FocusOr(dialog), VK_ESCAPE);
        }
    });
    int answer = -1;
    {
        TResponderScope scope([](TModalInfo&) { return kRunModalLoop; });
        answer = ConfirmDialog("Go on?");
    }
    KillTimer(nullptr, end);
    KillTimer(nullptr, guard);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(watchdog) << "the question outlived the program's end";
    EXPECT_NE(answer, mrYes);
    // A question asked afterwards runs as any other.
    TResponderScope scope([](TModalInfo&) { return static_cast<int>(mrYes); });
    EXPECT_EQ(ConfirmDialog("Again?"), mrYes);
}

// The program ended while a menu was open, and the quit message was taken
// by a loop not ours: the main loop still ends, the menu let go (found by
// the random-input test: the main window hidden, the program running on).
TEST(UiCore, TheMainLoopEndsWhenAMenuHoldsOnAfterTheEnd) {
    static TForm* owner = nullptr;
    static TMenu* menu = nullptr;
    static bool ended = false;
    static bool watchdog = false;
    TForm form("MenuOwner");
    form.SetBounds(100, 100, 300, 200);
    form.Show();
    TMenu popup(true);
    popup.Items().Add("One");
    popup.Items().Add("Two");
    owner = &form;
    menu = &popup;
    ended = false;
    watchdog = false;
    // In the loop: the menu opens, and while it is open the program ends and its quit message goes.
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR inner, DWORD) {
            KillTimer(nullptr, inner);
            TApplication::Instance().Terminate();
            MSG quit;
            ended = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        });
        menu->Popup(owner->Handle(), 150, 150);
    });
    // A loop still running after five seconds is ended, so the test fails rather than hangs.
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        watchdog = true;
        EndMenu();
        PostQuitMessage(0);
    });
    TApplication::Instance().Run();
    KillTimer(nullptr, guard);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // the one said again, for the tests after
    EXPECT_TRUE(ended);
    EXPECT_FALSE(watchdog) << "the main loop outlived the program's end";
    form.Hide();
}

// Command ids come back when their items die, so a long run never reaches
// the accelerators' ids.
TEST(UiCore, MenuCommandIdsStayBelowTheAcceleratorsHoweverManyItemsComeAndGo) {
    for (int round = 0; round < 200; ++round) {
        TMenu menu(true);
        for (int i = 0; i < 400; ++i) {
            const UINT id = menu.Items().Add("item").Command();
            ASSERT_GE(id, TMenuItem::kFirstCommand);
            ASSERT_LE(id, TMenuItem::kLastCommand);
        }
    }
}

// A change of an item updates the Windows menu in place: the handles of
// an open menu and its submenus stay the same.
TEST(UiCore, AMenuChangesInPlaceAndKeepsItsHandles) {
    TMenu menu(true);
    TMenuItem& first = menu.Items().Add("First");
    TMenuItem& view = menu.Items().Add("View");
    TMenuItem& large = view.Add("Large");
    TMenuItem& hidden = view.Add("Hidden");
    TMenuItem& list = view.Add("List");
    HMENU root = menu.Handle();
    HMENU sub = GetSubMenu(root, 1);
    ASSERT_NE(sub, nullptr);
    first.SetEnabled(false);
    first.SetCaption("Renamed");
    hidden.SetVisible(false);
    large.SetRadio(1);
    list.SetRadio(1);
    list.SetChecked(true);
    hidden.SetVisible(true);
    hidden.SetVisible(false);
    menu.Items().Insert(0, "Zeroth");
    EXPECT_EQ(menu.Handle(), root);
    EXPECT_EQ(GetSubMenu(root, 2), sub);
    EXPECT_TRUE(IsMenu(sub));
    EXPECT_EQ(GetMenuItemCount(root), 3);
    EXPECT_EQ(GetMenuItemCount(sub), 2);
    EXPECT_NE(GetMenuState(root, first.Command(), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(GetMenuState(sub, list.Command(), MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(sub, large.Command(), MF_BYCOMMAND) & MF_CHECKED, 0u);
    wchar_t text[32] = {};
    GetMenuStringW(root, 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Renamed");
}

// Each message dialog with its longest real message shows every line
// wholly inside the dialog, the caption above it and the buttons below.
TEST(UiCore, EveryMessageDialogShowsItsWholeMessage) {
    const std::string name(60, 'W');
    const struct {
        const char* Name;
        std::function<void()> Show;
        std::string Message;
    } cases[] = {
        {"Clear It!'s question",
         [&] {
             ConfirmDialog("Are you sure you want to delete the following entry:\r\n-\"" + name +
                           "\"\r\n from registry?");
         },
         "Are you sure you want to delete the following entry:\r\n-\"" + name + "\"\r\n from registry?"},
        {"the leftover question",
         [] {
             WarnDialog("Something is wrong with uninstalling process or you have canceled your "
                        "uninstalling,some registry items was not deleted,would you like to delete them?");
         },
         "Something is wrong with uninstalling process or you have canceled your uninstalling,some registry "
         "items was not deleted,would you like to delete them?"},
        {"the hint",
         [] {
             InfoDialog("Hint",
                        "Clearvane has detected that there are new installed applications since last run, "
                        "they are marked RED.",
                        false);
         },
         "Clearvane has detected that there are new installed applications since last run, they are "
         "marked RED."},
        {"the instruction",
         [] { InfoDialog("Instruction", "Close this dialog when uninstalling process is finished.", false); },
         "Close this dialog when uninstalling process is finished."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        bool seen = false;
        TResponderScope scope([&](TModalInfo& info) {
            auto* form = dynamic_cast<TBaseDialogForm*>(TWindow::FromHandle(info.Handle));
            if (form == nullptr) {
                ADD_FAILURE() << "not a message dialog";
                return static_cast<int>(mrCancel);
            }
            seen = true;
            const TglWizardHeader& header = form->glWizardHeader1;
            EXPECT_EQ(header.ShownComment(), c.Message) << "every line is shown";
            const RECT comment = header.CommentRect();
            const TWindowDC screen;
            const int captionHeight = MeasureText(screen.Get(), header.CaptionFont(), "Hy").cy;
            const SIZE text = MeasureText(screen.Get(), header.CommentFont(), header.ShownComment(),
                                          static_cast<int>(comment.right - comment.left));
            EXPECT_LE(text.cy, comment.bottom - comment.top) << "the text fits its rectangle";
            EXPECT_LE(text.cx, comment.right - comment.left);
            EXPECT_GE(comment.top, 8 + captionHeight) << "the caption never overlaps the text";
            EXPECT_LE(comment.bottom, header.Top() + header.Height()) << "inside the header";
            EXPECT_LE(header.Top() + header.Height(), form->ClientHeight()) << "inside the dialog";
            for (const TControl* control : form->Panel1.Controls()) {
                if (dynamic_cast<const TAlphaButton*>(control) != nullptr) {
                    EXPECT_GE(control->Top(), header.Top() + header.Height()) << "buttons below the text";
                    EXPECT_LE(control->Top() + control->Height(), form->ClientHeight());
                }
            }
            return static_cast<int>(mrNo);
        });
        c.Show();
        EXPECT_TRUE(seen);
    }
}

// The close arrives while Clear It!'s question is open: the page closes
// and lets go of its inventory, and the answer that follows deletes nothing.
TEST_F(UninstallerPageTest, AnAnswerAfterThePageClosedDeletesNothing) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    MakeApp(kHKeyCurrentUser, "Beta Gone", Gone());
    Open();
    for (int i = 0; i < List().Count(); ++i) {
        if (List().ItemText(i) == "Beta Gone") {
            List().SetSelected(i);
        }
    }
    OnDialog = [this](TModalInfo& info) {
        if (info.ClassName == "TConfirmForm") {
            SendMessageW(Main->Handle(), WM_CLOSE, 0, 0);
        }
    };
    TApplication::Instance().SetModalResponder([this](TModalInfo& info) {
        Dialogs.push_back(info);
        OnDialog(info);
        return static_cast<int>(mrYes);
    });
    Page().DeleteEntryAction.Execute();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Page().Inventory(), nullptr) << "the page closed under the question";
    TRegistry reg(Win32.Registry);
    reg.SetRootKey(kHKeyCurrentUser);
    EXPECT_TRUE(reg.KeyExists(std::string(kUninstallKey) + "\\Beta Gone"));
    // Nothing of the closed page runs any more.
    Page().FindBadEntryAction.Execute();
    Page().RefreshAction.Execute();
    EXPECT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Page().IconThread(), nullptr);
}

// F5 and the close come one after the other while the registry is being
// read: neither runs inside the other, nothing crashes, and the record of
// the run is written once.
TEST_F(UninstallerPageTest, RefreshAndCloseInEitherOrderNeverRunInsideEachOther) {
    for (int i = 0; i < 40; ++i) {
        MakeApp(kHKeyCurrentUser, "Demo App " + std::to_string(100 + i), i % 3 == 0 ? Gone() : Intact());
    }
    for (const bool refreshFirst : {true, false}) {
        SCOPED_TRACE(refreshFirst ? "F5, then the close" : "the close, then F5");
        Open();
        List().SetFocus();
        if (refreshFirst) {
            PostKey(List().Handle(), VK_F5);
            PostMessageW(Main->Handle(), WM_CLOSE, 0, 0);
        } else {
            PostMessageW(Main->Handle(), WM_CLOSE, 0, 0);
            PostKey(List().Handle(), VK_F5);
        }
        EXPECT_TRUE(Until([&] { return Page().Inventory() == nullptr; }));
        Pump(50);
        EXPECT_EQ(Page().IconThread(), nullptr);
        const std::string record = Record();
        EXPECT_NE(record.find("Demo App 100"), std::string::npos);
        EXPECT_NE(record.find("Demo App 139"), std::string::npos);
        // A second close writes nothing more.
        Win32.Files.RemoveFile(Scratch + "\\" + kNamesFile);
        Main->Close();
        EXPECT_EQ(Record(), "");
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        CloseMain();
    }
}

// The context menu is opened before the first icon arrives; the icon
// worker's selection then changes the actions under the open menu, which
// stays open and runs the command chosen in it.
TEST_F(UninstallerPageTest, AContextMenuOpenedBeforeTheFirstIconStaysOpenAndRunsItsCommand) {
    for (int i = 0; i < 12; ++i) {
        MakeApp(kHKeyCurrentUser, "Menu App " + std::to_string(10 + i), Intact());
    }
    Open(/*waitForCycle=*/false);
    TMenu& menu = Page().UninstListView.ContextMenu;
    static HMENU opened;
    static bool stillMenu;
    static bool chose;
    static TUninstallerForm* page;
    opened = menu.Handle();
    stillMenu = false;
    chose = false;
    page = &Page();
    ASSERT_FALSE(page->UninstallAction.Enabled()) << "nothing selected yet";
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (chose || !page->CanRebuild()) {
            return; // the worker's calls are still being served inside the menu's loop
        }
        chose = true;
        stillMenu = IsMenu(opened) != FALSE;
        HWND owner = page->UninstListView.Handle();
        for (int i = 0; i < 3; ++i) {
            PostKey(owner, VK_DOWN);
        }
        PostKey(owner, VK_RETURN);
    });
    RECT r;
    GetWindowRect(List().Handle(), &r);
    menu.Popup(Page().UninstListView.Handle(), r.left + 20, r.top + 20);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(chose) << "the cycle ended while the menu was open";
    EXPECT_TRUE(stillMenu) << "the open menu was never destroyed";
    EXPECT_TRUE(Page().UninstallAction.Enabled()) << "the worker's selection came through";
    // The third item is Autofix: with nothing bad it says so.
    ASSERT_FALSE(Dialogs.empty()) << "the command chosen in the menu ran";
    EXPECT_TRUE(HasText(Dialogs.back(), "No bad entries!Everything looks fine!"));
}

// The main window closes while the list's context menu is open: the menu
// goes with it instead of floating on over nothing.
TEST_F(UninstallerPageTest, ClosingTheWindowEndsAnOpenMenu) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    Open();
    static HWND main;
    static int ticks;
    static bool forced;
    main = Main->Handle();
    ticks = 0;
    forced = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        ++ticks;
        if (ticks == 2) {
            PostMessageW(main, WM_CLOSE, 0, 0); // as the close box does while the menu is open
        } else if (ticks == 60 && !forced) {
            forced = true; // the menu outlived its window for three seconds
            EndMenu();
        }
    });
    RECT r;
    GetWindowRect(List().Handle(), &r);
    Page().UninstListView.ContextMenu.Popup(Page().UninstListView.Handle(), r.left + 20, r.top + 20);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(forced) << "the menu stayed open after its window closed";
    EXPECT_EQ(Page().Inventory(), nullptr) << "the page closed";
}

// Alt and a letter while the focus sits in a page that is hidden (as after
// a change of tabs) reaches the menu and the program goes on; the system's
// dialog manager would search for the letter's control for ever.
TEST_F(UninstallerPageTest, AltAndALetterWithTheFocusInAHiddenPageComesBack) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    Open();
    List().SetFocus();
    Page().Hide();
    ASSERT_EQ(GetFocus(), List().Handle()) << "the focus stays where it was";
    // A watchdog: a loop that never ends fails the test instead of hanging the run.
    std::atomic<bool> done{false};
    std::thread watchdog([&done] {
        for (int i = 0; i < 100 && !done; ++i) {
            Sleep(50);
        }
        if (!done) {
            std::fprintf(stderr, "Alt+letter in a hidden page never came back\n");
            ExitProcess(3);
        }
    });
    // Letters of no menu and no button: nothing takes them, and the search
    // for their control is what must end.
    const UINT_PTR closer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    for (const wchar_t letter : {L'z', L'q', L'j'}) {
        PostChar(List().Handle(), letter, true);
        Pump(50);
    }
    KillTimer(nullptr, closer);
    done = true;
    watchdog.join();
    Page().Show();
}

// The hint about new applications comes over the main window on screen.
TEST_F(UninstallerPageTest, TheHintAppearsOverTheVisibleMainWindow) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    WriteRecord("Someone Else\r\n");
    bool hinted = false;
    bool mainVisible = false;
    OnDialog = [&](TModalInfo& info) {
        if (HasText(info, "Hint")) {
            hinted = true;
            mainVisible = IsWindowVisible(Main->Handle()) != FALSE;
        }
    };
    Open();
    EXPECT_TRUE(Until([&] { return hinted; }));
    EXPECT_TRUE(mainVisible);
}

// A view chosen in the list's context menu moves the View menu's check mark.
TEST_F(UninstallerPageTest, TheViewMenuFollowsAViewChosenInTheContextMenu) {
    MakeApp(kHKeyCurrentUser, "Alpha Demo", Intact());
    Open();
    for (const std::size_t style : {std::size_t{2}, std::size_t{0}, std::size_t{3}}) {
        SCOPED_TRACE(style);
        Page().UninstListView.ViewItem[style].Click();
        EXPECT_EQ(static_cast<std::size_t>(List().ViewStyle()), style);
        EXPECT_TRUE(Page().View1[style].Checked());
        const UINT state = GetMenuState(GetSubMenu(Page().MainMenu1.Handle(), 2),
                                        Page().View1[style].Command(), MF_BYCOMMAND);
        EXPECT_NE(state & MF_CHECKED, 0u);
    }
}

} // namespace cv::test
