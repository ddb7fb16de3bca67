// The virtual list: a list frame of ten thousand rows that keeps no texts,
// sorted by each column as the portable comparison orders the texts, and
// the uninstaller page's icon cycle reaching the rows on the screen first.
#include "UiHarness.h"
#include "UninstallerPageFixture.h"
#include "frames/LVFrame.h"
#include "listview/ColumnSort.h"
#include "platform/TextCase.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/Form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace cv::test {

namespace {

struct TRow {
    std::string Texts[3];
};

// Names in mixed case with runs of equal ones, sizes written as the locale
// writes them (some equal), dates in the locale's order and separator.
std::vector<TRow> MakeRows(int count, const TLocaleFormat& format) {
    static const char* const kWords[] = {"alpha",   "Beta", "gamma", "Delta",
                                         "epsilon", "Zeta", "eta",   "Theta"};
    std::vector<TRow> rows(static_cast<std::size_t>(count));
    unsigned seed = 7;
    const auto next = [&seed](unsigned below) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % below;
    };
    for (TRow& row : rows) {
        row.Texts[0] = std::string(kWords[next(8)]) + " " + std::to_string(next(400));
        const unsigned size = next(3000) * 7;
        char text[64];
        std::snprintf(text, sizeof text, "%u%c%03u KB", size / 1000, format.ThousandSeparator, size % 1000);
        row.Texts[1] = size >= 1000 ? text : std::to_string(size) + " KB";
        std::snprintf(text, sizeof text, "%u%c%u%c%u", 1 + next(12), format.DateSeparator, 1 + next(28),
                      format.DateSeparator, 1990 + next(30));
        row.Texts[2] = text;
    }
    return rows;
}

class VirtualListTest : public ::testing::Test {
protected:
    VirtualListTest()
        : Form("VirtualForm"), Frame(Form.Make<TFileLVFrame>(&Form, "Frame", Win32.Platform, true)) {
        Form.SetBounds(30, 30, 500, 300);
        Frame.SetAlign(TAlign::alClient);
        Form.Show();
        InitFrame(Frame);
        Frame.ListView.SetColumns({{"Name", 100}, {"Size", 80}, {"Date", 80}});
        Frame.ListView.OnItemText = [this](std::uintptr_t data, int column) {
            ++TextsAsked;
            return Rows.at(data).Texts[column];
        };
    }
    ~VirtualListTest() override { DoneFrame(Frame); }

    void Fill(int count) {
        Rows = MakeRows(count, Win32.Platform.Locale.Format());
        std::vector<TListView::TVirtualItem> items;
        for (int i = 0; i < count; ++i) {
            items.push_back({static_cast<std::uintptr_t>(i), -1});
        }
        Frame.ListView.SetVirtualItems(std::move(items));
    }
    std::vector<std::uintptr_t> Order() const {
        std::vector<std::uintptr_t> order;
        for (int i = 0; i < Frame.ListView.Count(); ++i) {
            order.push_back(Frame.ListView.ItemData(i));
        }
        return order;
    }

    TWin32Platform Win32;
    TForm Form;
    TFileLVFrame& Frame;
    std::vector<TRow> Rows;
    int TextsAsked = 0;
};

} // namespace

TEST_F(VirtualListTest, TenThousandRowsSortByEachColumnAsThePortableComparisonOrdersThem) {
    constexpr int kRows = 10000;
    Fill(kRows);
    const TSortFormat format = UserSortFormat(Win32.Platform.Locale);
    TListView& list = Frame.ListView;
    list.SetSelected(1234);
    const std::uintptr_t chosen = list.ItemData(1234);
    for (int column = 0; column < 3; ++column) {
        for (const bool ascending : {true, false}) {
            SCOPED_TRACE("column " + std::to_string(column) + (ascending ? " up" : " down"));
            // The portable comparison, from the order the list has now.
            std::vector<std::uintptr_t> expected = Order();
            std::stable_sort(expected.begin(), expected.end(), [&](std::uintptr_t a, std::uintptr_t b) {
                const int order = CompareColumnTexts(Rows[a].Texts[column], Rows[b].Texts[column], format);
                return (ascending ? order : -order) < 0;
            });
            TextsAsked = 0;
            Frame.SetSort(column, ascending);
            EXPECT_LE(TextsAsked, kRows + kRows / 10) << "each row's text read once, not at every comparison";
            ASSERT_EQ(Order(), expected);
            // The chosen row is still the one selected and focused, wherever it went.
            const int at = list.FindData(chosen);
            EXPECT_EQ(list.Selected(), at);
            EXPECT_TRUE(list.ItemSelected(at));
            EXPECT_EQ(SendMessageW(list.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED),
                      at);
        }
    }
}

TEST_F(VirtualListTest, TextsImagesAndDeletesWorkAsInAnOrdinaryList) {
    Fill(50);
    TListView& list = Frame.ListView;
    ASSERT_EQ(list.Count(), 50);
    EXPECT_EQ(list.ItemText(7, 1), Rows[7].Texts[1]);
    // What the control itself shows comes from the rows too.
    wchar_t shown[128] = {};
    LVITEMW item = {};
    item.iSubItem = 2;
    item.pszText = shown;
    item.cchTextMax = 128;
    SendMessageW(list.Handle(), LVM_GETITEMTEXTW, 7, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(toUtf8(shown), Rows[7].Texts[2]);

    list.SetItemImage(3, 2);
    EXPECT_EQ(list.ItemImage(3), 2);
    list.SetSelected(10);
    list.DeleteItem(4);
    EXPECT_EQ(list.Count(), 49);
    EXPECT_EQ(SendMessageW(list.Handle(), LVM_GETITEMCOUNT, 0, 0), 49);
    EXPECT_EQ(list.ItemData(4), 5u) << "the rows below moved up";
    EXPECT_EQ(list.ItemImage(3), 2);
    EXPECT_EQ(list.Selected(), 9) << "the selection stays with its row";
    EXPECT_EQ(list.FindData(10), 9);
    EXPECT_EQ(list.FindData(4), -1);

    // Typing in the list goes to the first row whose name begins with what was typed.
    // A letter that the selected row's name does not begin with, so staying put is a failure.
    const std::string before = list.ItemText(list.Selected(), 0);
    std::string name;
    for (int i = 0; i < list.Count() && (name.empty() || name[0] == before[0]); ++i) {
        name = list.ItemText(i, 0);
    }
    ASSERT_FALSE(name.empty() || name[0] == before[0]);
    list.SetFocus();
    PostChar(list.Handle(), static_cast<wchar_t>(name[0]));
    Pump(50);
    const int typed = list.Selected();
    ASSERT_GE(typed, 0) << "typing chose nothing";
    EXPECT_EQ(list.ItemText(typed, 0).substr(0, 1), name.substr(0, 1));

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Selected(), -1);
}

// An icon view lays its rows out only when told to: rows filled in, with or
// without an update around them, filled in again, or filled in a report view
// that then turns into this one, each get a place of their own.
TEST_F(VirtualListTest, RowsFilledInAnIconViewEachHaveAPlace) {
    TListView& list = Frame.ListView;
    enum class TWay { Plain, InUpdate, ThenViewChanged };
    for (const TViewStyle style : {TViewStyle::vsIcon, TViewStyle::vsSmallIcon, TViewStyle::vsList}) {
        for (const TWay way : {TWay::Plain, TWay::InUpdate, TWay::ThenViewChanged}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(style)) + " filled in way " +
                         std::to_string(static_cast<int>(way)));
            for (const int count : {12, 9}) {
                list.SetViewStyle(way == TWay::ThenViewChanged ? TViewStyle::vsReport : style);
                if (way == TWay::InUpdate) {
                    const TListView::TUpdateGuard update(list);
                    Fill(count);
                } else {
                    Fill(count);
                }
                Pump(30);
                list.SetViewStyle(style);
                Pump(30);
                EXPECT_EQ(OverlappingRows(list.Handle()), "") << count << " rows";
            }
        }
    }
}

// A delete moves the rows below it up, or, at the foot of the list, the rows
// above it down: what the screen shows afterwards is what the list holds, so
// a click picks the row it lands on.
TEST_F(VirtualListTest, AfterADeleteTheScreenShowsWhatTheListHolds) {
    Fill(200);
    TListView& list = Frame.ListView;
    const struct {
        const char* Name;
        int FromEnd; // the row deleted, counted from the last
        bool AtFoot; // scrolled to the foot of the list first
    } cases[] = {
        {"the last row, at the foot", 0, true},
        {"a row above the last, at the foot", 3, true},
        {"a row near the top", -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        list.SetSelected(c.AtFoot ? list.Count() - 1 : 0);
        Pump(100);
        const int index = c.FromEnd >= 0 ? list.Count() - 1 - c.FromEnd : 2;
        list.DeleteItem(index);
        Pump(150);
        RECT screen;
        GetClientRect(list.Handle(), &screen);
        MapWindowPoints(list.Handle(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
        const TImage32 shown = GrabScreen(screen);
        RedrawWindow(list.Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(100);
        EXPECT_TRUE(shown.Pixels == GrabScreen(screen).Pixels) << "the list shows rows it no longer holds";
    }
}

TEST_F(UninstallerPageTest, TheRowsOnTheScreenGetTheirIconsBeforeTheRowsFurtherDown) {
    constexpr int kRows = 2000;
    for (int i = 0; i < kRows; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "cv-row-%04d", i);
        // Gone: each row costs looks at the disk, and turns the rubbish icon.
        MakeApp(kHKeyCurrentUser, name, "C:\\cv-gone\\" + std::string(name) + "\\uninst.exe");
    }
    Open(false);
    TListView& list = List();
    ASSERT_EQ(list.Count(), kRows);
    // Down to the bottom before the cycle takes its first rows.
    SendMessageW(list.Handle(), LVM_ENSUREVISIBLE, kRows - 1, FALSE);
    const int firstShown = list.TopIndex();
    ASSERT_GT(firstShown, kRows / 2);
    const int rubbish = Page().Inventory()->RubbishIconIndex;
    // The message after which each row had its icon.
    std::vector<int> when(kRows, -1);
    int handled = 0;
    const ULONGLONG start = GetTickCount64();
    while (!Page().CanRebuild() && GetTickCount64() - start < 60000) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++handled;
        for (int i = 0; i < kRows; ++i) {
            if (when[static_cast<std::size_t>(i)] < 0 && list.ItemImage(i) == rubbish) {
                when[static_cast<std::size_t>(i)] = handled;
            }
        }
    }
    ASSERT_TRUE(Page().CanRebuild());
    ASSERT_EQ(std::count(when.begin(), when.end(), -1), 0);
    const int shownDone = *std::max_element(when.begin() + firstShown, when.end());
    const auto middle = std::minmax_element(when.begin() + kRows / 4, when.begin() + kRows / 2);
    EXPECT_LE(shownDone, *middle.first) << "a row further down had its icon before a row on the screen";
    EXPECT_LT(*middle.first, *middle.second) << "the icons came in more than one batch";
}

} // namespace cv::test
