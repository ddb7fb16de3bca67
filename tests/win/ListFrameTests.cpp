// The list frame and its operator on real list views, and the worker
// thread served by the message loop.
#include "UiHarness.h"
#include "frames/LVFrame.h"
#include "framework/XWBaseThread.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Form.h"
#include "toolkit/WindowDispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace cv::test {

namespace {

class ListFrameTest : public ::testing::Test {
protected:
    ListFrameTest() : Form("FrameForm"), Frame(Form.Make<TFileLVFrame>(&Form, "Frame", Win32.Platform)) {
        Form.SetBounds(30, 30, 500, 300);
        Frame.SetAlign(TAlign::alClient);
        Form.Show();
        InitFrame(Frame);
    }
    ~ListFrameTest() override {
        DoneFrame(Frame);
        Win32.Files.RemoveFile(IniPath);
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (int i = 0; i < Frame.ListView.Count(); ++i) {
            captions.push_back(Frame.ListView.ItemText(i));
        }
        return captions;
    }
    static std::string ExePath() {
        std::wstring path(32768, L'\0');
        path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
        return toUtf8(path);
    }
    void ClickHeader(int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(Frame.ListView.Handle(), LVM_GETHEADER, 0, 0));
        RECT r;
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(header, WM_LBUTTONUP, 0, at);
    }
    TWin32Platform Win32;
    TForm Form;
    TFileLVFrame& Frame;
    const std::string IniPath = Win32.Files.FullPathName("frame-test.ini");
};

} // namespace

TEST_F(ListFrameTest, TheViewSubmenuIsBuiltFromTheViewStylesAndKeepsOneCheck) {
    ASSERT_EQ(Frame.ViewItem.Count(), 4u);
    const std::vector<std::pair<std::string, bool>> expected = {
        {"Large Icons", true}, {"Small Icons", false}, {"List", true}, {"Report", true}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Frame.ViewItem[i].Caption(), expected[i].first);
        EXPECT_EQ(Frame.ViewItem[i].Visible(), expected[i].second);
        EXPECT_EQ(Frame.ViewItem[i].Tag, static_cast<int>(i));
    }
    // The hidden entry is left out of the Windows menu but keeps its place.
    HMENU view = GetSubMenu(Frame.ContextMenu.Handle(), 1);
    EXPECT_EQ(GetMenuItemCount(view), 3);

    Frame.ViewItem[2].Click();
    EXPECT_EQ(Frame.ListView.ViewStyle(), TViewStyle::vsList);
    EXPECT_EQ((std::vector<bool>{Frame.ViewItem[0].Checked(), Frame.ViewItem[2].Checked(),
                                 Frame.ViewItem[3].Checked()}),
              (std::vector<bool>{false, true, false}));
    Frame.ViewItem[3].Click();
    EXPECT_EQ(Frame.ListView.ViewStyle(), TViewStyle::vsReport);
    EXPECT_FALSE(Frame.ViewItem[2].Checked());
    EXPECT_TRUE(Frame.ViewItem[3].Checked());
    // A page's own item may be the sender: only its tag and check mark count.
    TMenu pageMenu(true);
    TMenuItem& own = pageMenu.Items().Add("&Large Icons");
    own.Tag = 0;
    Frame.ViewAsClick(own);
    EXPECT_EQ(Frame.ListView.ViewStyle(), TViewStyle::vsIcon);
    EXPECT_TRUE(own.Checked());
}

TEST_F(ListFrameTest, AColumnHeaderClickedTwiceSortsAscendingThenDescending) {
    Frame.ListView.SetColumns({{"Name", 100}, {"Size", 60}, {"Installed", 100}});
    const std::vector<std::vector<std::string>> rows = {
        {"Beta", "10", "1/2/2004"}, {"alpha", "9", "12/31/2003"}, {"Gamma", "100", "3/1/2003"}};
    for (const auto& row : rows) {
        Frame.ListView.AddItem(row[0], {row[1], row[2]});
    }
    ClickHeader(1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"alpha", "Beta", "Gamma"})); // 9, 10, 100
    EXPECT_TRUE(Frame.SortAscending());
    ClickHeader(1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Gamma", "Beta", "alpha"}));
    EXPECT_FALSE(Frame.SortAscending());
    ClickHeader(2); // another column starts ascending
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Gamma", "alpha", "Beta"})); // by date
    EXPECT_EQ(Frame.SortColumn(), 2);
}

// Long enough for the sort to move items across each other many times.
TEST_F(ListFrameTest, ALongListSortsWholeAndKeepsEachItemsData) {
    Frame.ListView.SetColumns({{"Name", 100}, {"Source", 100}});
    const std::vector<std::string> names = {"Quick Zip Agent",
                                            "Sky Weather Tray",
                                            "Pixel Paint Launcher",
                                            "Sky Weather Updater",
                                            "Tidy Notes",
                                            "Tune Box",
                                            "Tidy Notes Sync",
                                            "Tune Box Helper",
                                            "alpha",
                                            "Zeta",
                                            "beta",
                                            "Eta"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        Frame.ListView.AddItem(names[i], {std::to_string(i)}, -1, 1000 + i);
    }
    std::vector<std::string> sorted = names;
    const auto lower = [](std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    };
    std::sort(sorted.begin(), sorted.end(),
              [&](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
    Frame.SetSort(0, true);
    EXPECT_EQ(Captions(), sorted);
    Frame.SetSort(0, false);
    EXPECT_EQ(Captions(), std::vector<std::string>(sorted.rbegin(), sorted.rend()));
    for (int i = 0; i < Frame.ListView.Count(); ++i) {
        const std::size_t was = std::stoul(Frame.ListView.ItemText(i, 1));
        EXPECT_EQ(Frame.ListView.ItemData(i), 1000 + was) << names[was];
    }
}

TEST_F(ListFrameTest, TheOperatorKeepsItemsInASectionAndDeletesOnlyWhatIsSelected) {
    Frame.ListView.SetColumns({{"Name", 200}});
    const std::string exe = ExePath();
    const int first = Frame.AddItem(exe);
    ASSERT_EQ(first, 0);
    EXPECT_GT(Frame.ListView.ItemImage(0), 0); // an icon of the shell's list
    Frame.ListView.SetItemText(0, 0, "Tests");
    Frame.AddItems({exe, "C:\\missing\\gone.exe"});
    Frame.ListView.SetItemText(1, 0, "Tests again");
    Frame.SaveToFile(IniPath, "Files");
    std::string text;
    Win32.Files.ReadFile(IniPath, &text);
    EXPECT_EQ(text,
              "[Files]\r\nFiles0=" + exe + "\r\nFiles0Caption=Tests\r\nFiles1=" + exe +
                  "\r\nFiles1Caption=Tests again\r\nFiles2=C:\\missing\\gone.exe\r\nFiles2Caption=\r\n");

    // Nothing selected: nothing goes.
    Frame.DeleteSelected();
    EXPECT_EQ(Frame.ListView.Count(), 3);
    Frame.ListView.SetMultiSelect(true);
    for (int i : {0, 2}) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        SendMessageW(Frame.ListView.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }
    Frame.DeleteSelected();
    EXPECT_EQ(Captions(), std::vector<std::string>{"Tests again"});

    // Loading adds what the section holds, in its order; an odd key out makes an item without caption.
    Win32.Files.WriteFile(IniPath, "[Files]\r\nA=" + exe + "\r\nB=First\r\nC=" + exe +
                                       "\r\nD=Second\r\nE=" + exe + "\r\n[Other]\r\nX=1\r\n");
    Frame.LoadFromFile(IniPath, "Files");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Tests again", "First", "Second", ""}));
    Frame.LoadFromFile(Win32.Files.FullPathName("no-such.ini"), "Files");
    EXPECT_EQ(Frame.ListView.Count(), 4);

    // An empty list leaves its section erased.
    while (Frame.ListView.Count() > 0) {
        Frame.DeleteItem(0);
    }
    Frame.SaveToFile(IniPath, "Files");
    Win32.Files.ReadFile(IniPath, &text);
    EXPECT_EQ(text, "[Other]\r\nX=1\r\n");
}

TEST(Frames, InitAndDoneWalkTheFramesAFrameOwns) {
    std::vector<std::string> events;
    class TProbeFrame : public TMyFrame {
    public:
        TProbeFrame(TWinControl* parent, std::string name, std::vector<std::string>& events)
            : TMyFrame(parent, name), FEvents(events), FName(std::move(name)) {}
        void BeforeInit() override { FEvents.push_back("before init " + FName); }
        void Init() override { FEvents.push_back("init " + FName); }
        void Done() override { FEvents.push_back("done " + FName); }
        void AfterDone() override { FEvents.push_back("after done " + FName); }

    private:
        std::vector<std::string>& FEvents;
        std::string FName;
    };
    TForm form("Host");
    auto& outer = form.Make<TProbeFrame>(&form, "outer", events);
    outer.Make<TProbeFrame>(&outer, "inner", events);
    InitFrame(outer);
    DoneFrame(outer);
    EXPECT_EQ(events,
              (std::vector<std::string>{"before init outer", "before init inner", "init inner", "init outer",
                                        "done outer", "done inner", "after done inner", "after done outer"}));
}

TEST(Frames, AWorkersCallsAreServedByTheMessageLoopWhileTheUserInterfaceWaits) {
    class TCounter : public TXWBaseThread {
    public:
        using TXWBaseThread::TXWBaseThread;
        DWORD UiThread = GetCurrentThreadId();
        std::atomic<int> OnUi{0};
        std::atomic<int> Steps{0};

    protected:
        void DoWork() override {
            SafeSynchronize([this] { OnUi += GetCurrentThreadId() == UiThread ? 1 : 0; });
            if (++Steps == 3) {
                throw std::runtime_error("Invalid data type for 'EstimatedSize'");
            }
        }
    };
    TWindowDispatcher dispatcher;
    std::vector<std::string> errors;
    auto oldBox = TApplication::Instance().ErrorBox;
    TApplication::Instance().ErrorBox = [&](const std::string& message) { errors.push_back(message); };
    {
        auto worker = MakeWorker<TCounter>(dispatcher);
        worker->StartWork();
        for (int i = 0; i < 500 && !(worker->Idle() && !errors.empty()); ++i) {
            Pump(10); // the message loop serves the worker's calls
        }
        EXPECT_EQ(worker->OnUi, 3);
        EXPECT_EQ(errors, std::vector<std::string>{"Invalid data type for 'EstimatedSize'"});
    }
    TApplication::Instance().ErrorBox = oldBox;
}

} // namespace cv::test
