// The icon worker against a page that deletes, reorders and closes while a
// cycle runs. The test's thread plays the user-interface thread and serves
// the worker's calls from a queue; run natively, under ASan and under TSan.
#include "uninstaller/DrawIconThread.h"

#include "GatedFiles.h"
#include "platform/Registry.h"
#include "platform/substitute/SubstitutePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>

namespace cv::test {

namespace {

// A list that shows entries, as the page's list view does.
class TFakePage : public IIconListPage {
public:
    std::vector<TUninstallItem*> Items;
    std::map<const TUninstallItem*, std::vector<int>> Icons; // every icon each entry was given
    std::map<const TUninstallItem*, int> Batch;              // the hand-over that brought its icon
    int Batches = 0;
    int FirstVisible = 0;
    int VisibleCount = 10;
    int Selects = 0;
    bool FirstHadIconAtSelect = false;
    const TUninstallItem* ChosenEntry = nullptr; // the selection follows its entry, as in the list
    int Syncs = 0;
    int Totals = 0;
    bool CanRebuild = true;

    int ItemCount() const override { return static_cast<int>(Items.size()); }
    TUninstallItem* ItemEntry(int index) const override { return Items.at(static_cast<std::size_t>(index)); }
    int IndexOfEntry(const TUninstallItem* entry) const override {
        const auto it = std::find(Items.begin(), Items.end(), entry);
        return it == Items.end() ? -1 : static_cast<int>(it - Items.begin());
    }
    void VisibleItems(int& first, int& count) const override {
        first = FirstVisible;
        count = VisibleCount;
    }
    void SetItemIcons(const std::vector<TItemIcon>& icons) override {
        ++Batches;
        for (const TItemIcon& icon : icons) {
            const TUninstallItem* entry = Items.at(static_cast<std::size_t>(icon.Index));
            Icons[entry].push_back(icon.Image);
            Batch.emplace(entry, Batches);
        }
    }
    void SelectFirstItem() override {
        ChosenEntry = Items.empty() ? nullptr : Items.front();
        if (++Selects == 1) {
            FirstHadIconAtSelect = !Items.empty() && Icons.count(Items.front()) != 0;
        }
        ++Syncs; // a selection brings the panel up to date
    }
    int SelectedListItem() const override { return ChosenEntry == nullptr ? -1 : IndexOfEntry(ChosenEntry); }
    void SyncUI() override { ++Syncs; }
    void ShowTotal() override { ++Totals; }
    void SetCanRebuild(bool canRebuild) override { CanRebuild = canRebuild; }
};

class DrawIconThreadTest : public ::testing::Test {
public:
    static constexpr int kEntries = 60;

    DrawIconThreadTest() {
        Sub.Files.AddFolder("C:\\Apps\\Empty");
        Populate();
    }

    // The same entries afresh: deletions of an earlier run are undone.
    void Populate() {
        TRegistry reg(Sub.Registry);
        reg.SetRootKey(kHKeyCurrentUser);
        reg.DeleteKey(kUninstallKey);
        for (int i = 0; i < kEntries; ++i) {
            const std::string name = "App " + std::to_string(100 + i);
            EXPECT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\" + name, true));
            reg.WriteString("DisplayName", name);
            switch (i % 3) {
            case 0: { // its own icon, a different one for every entry
                const std::string exe = "C:\\Apps\\" + name + "\\run.exe";
                Sub.Files.AddFile(exe, "MZ");
                Sub.Shell.SetFileIcon(exe, 1000 + i);
                reg.WriteString("UninstallString", "\"" + exe + "\" /uninstall");
                break;
            }
            case 1: // its files are gone
                reg.WriteString("UninstallString", "C:\\Gone\\" + name + "\\u.exe");
                break;
            default: // still there, but nothing to take an icon from
                reg.WriteString("UninstallString", "C:\\Gone\\u.exe");
                reg.WriteString("InstallLocation", "C:\\Apps\\Empty");
                break;
            }
            reg.CloseKey();
        }
        EXPECT_TRUE(reg.OpenKey(std::string(kUninstallKey) + "\\Hidden update", true));
        reg.WriteString("DisplayName", "Hidden update");
        reg.WriteString("UninstallString", "C:\\Gone\\x.exe");
        reg.WriteInteger("NoRemove", 1);
    }

    // What the page's list build does: the applications, generic icons, no files looked at.
    void Build() {
        Populate();
        Inventory->SetCheckFiles(false);
        Inventory->Refresh();
        Page.Items.clear();
        for (const auto& pair : Inventory->Items) {
            if (pair.second->IsUninstallable()) {
                Page.Items.push_back(pair.second.get());
            }
        }
        Worker = MakeWorker<TDrawIconThread>(Dispatcher, Page, Inventory, HandOverMs);
        Page.CanRebuild = false;
        Worker->StartWork();
    }

    // Serves the worker until its cycle ends, doing something after every call served.
    template <class F> bool RunCycle(F afterEachCall) {
        int served = 0;
        for (int i = 0; i < 20000 && !Page.CanRebuild; ++i) {
            Dispatcher.ProcessPending();
            afterEachCall(served++);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return Page.CanRebuild;
    }

    // What a deletion on the page does: the item leaves the list, the worker
    // hears of it, the inventory deletes and frees the entry.
    void Remove(int index) {
        TUninstallItem* entry = Page.Items.at(static_cast<std::size_t>(index));
        Page.Items.erase(Page.Items.begin() + index);
        Worker->ItemRemoved(index, entry);
        Removed.push_back(entry);
        Inventory->DeleteEntry(entry);
    }

    TSubstitutePlatform Sub;
    TFileInfoManager Info{Sub.Platform};
    std::shared_ptr<TUninstallManager> Inventory = std::make_shared<TUninstallManager>(Sub.Platform, Info);
    TQueueDispatcher Dispatcher;
    TFakePage Page;
    TWorkerPtr<TDrawIconThread> Worker;
    std::vector<const TUninstallItem*> Removed;
    // Every result handed over at once: the most hand-overs, for the most interleaving.
    int HandOverMs = 0;
};

} // namespace

TEST_F(DrawIconThreadTest, EveryItemGetsItsOwnIconOnceWhateverThePageDoesMeanwhile) {
    struct TCase {
        const char* Name;
        // Runs on the "user-interface thread" after the n-th call served.
        std::function<void(DrawIconThreadTest&, int n)> Act;
    };
    unsigned seed = 12345;
    auto random = [&seed](int below) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(below));
    };
    const TCase cases[] = {
        {"nothing", [](DrawIconThreadTest&, int) {}},
        {"deletes anywhere",
         [&](DrawIconThreadTest& t, int n) {
             if (n % 2 == 0 && !t.Page.Items.empty()) {
                 t.Remove(random(t.Page.ItemCount()));
             }
         }},
        {"deletes the item being looked at",
         [](DrawIconThreadTest& t, int n) {
             const int at = t.Worker->NextIndex() - 1;
             if (n % 3 == 1 && at >= 0 && at < t.Page.ItemCount()) {
                 t.Remove(at);
             }
         }},
        {"deletes just above the next item",
         [](DrawIconThreadTest& t, int n) {
             const int at = t.Worker->NextIndex() - 2;
             if (n % 3 == 2 && at >= 0 && at < t.Page.ItemCount()) {
                 t.Remove(at);
             }
         }},
        {"deletes from the top",
         [](DrawIconThreadTest& t, int n) {
             if (n % 4 == 0 && !t.Page.Items.empty()) {
                 t.Remove(0);
             }
         }},
        {"sorts the other way twice",
         [](DrawIconThreadTest& t, int n) {
             if (n == 10 || n == 25) {
                 std::reverse(t.Page.Items.begin(), t.Page.Items.end());
                 t.Worker->ItemsReordered();
             }
         }},
        {"sorts and deletes",
         [&](DrawIconThreadTest& t, int n) {
             if (n == 15) {
                 std::reverse(t.Page.Items.begin(), t.Page.Items.end());
                 t.Worker->ItemsReordered();
             } else if (n % 5 == 0 && !t.Page.Items.empty()) {
                 t.Remove(random(t.Page.ItemCount()));
             }
         }},
    };
    for (const int handOver : {0, TDrawIconThread::kHandOverMs})
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(c.Name) + ", hand-over every " + std::to_string(handOver) + " ms");
            HandOverMs = handOver;
            Page = TFakePage();
            Removed.clear();
            Build();
            ASSERT_TRUE(RunCycle([&](int n) { c.Act(*this, n); }));

            int bad = 0;
            for (const TUninstallItem* entry : Page.Items) {
                SCOPED_TRACE(entry->DisplayName);
                const auto icons = Page.Icons[entry];
                ASSERT_EQ(icons.size(), 1u) << "visited once, not skipped, not repeated";
                EXPECT_EQ(icons[0], Inventory->GetIconIndex(*entry));
                bad += entry->Bad ? 1 : 0;
                EXPECT_EQ(entry->Bad, icons[0] == Inventory->RubbishIconIndex);
            }
            for (const TUninstallItem* gone : Removed) {
                EXPECT_LE(Page.Icons[gone].size(), 1u);
            }
            EXPECT_EQ(Inventory->BadCount, bad);
            EXPECT_EQ(Inventory->BadItems.size(), static_cast<std::size_t>(bad));
            for (const auto& [name, entry] : Inventory->BadItems) {
                EXPECT_NE(std::find(Page.Items.begin(), Page.Items.end(), entry), Page.Items.end()) << name;
            }
            EXPECT_EQ(Page.Selects, 1);
            // Even when a sort or a delete put a row at the top whose turn had not come.
            EXPECT_TRUE(Page.FirstHadIconAtSelect) << "the first item is selected once its icon is set";
            EXPECT_GE(Page.Syncs, 1) << "the end brings the page up to date";
            EXPECT_EQ(Page.Totals, 1);
            EXPECT_TRUE(Worker->StopWorkAndWait(2000));
        }
}

TEST_F(DrawIconThreadTest, TheRowsOnTheScreenGetTheirIconsBeforeTheRest) {
    struct TCase {
        const char* Name;
        int First; // the rows on the screen: the first one
        int Count; // and how many
        int ScrollAt = -1;
        int ScrollTo = 0;
    };
    const TCase cases[] = {
        {"the top rows shown", 0, 10},
        {"the middle shown", 25, 10},
        {"the bottom shown", 52, 8},
        {"scrolled to the middle early in the cycle", 0, 5, 3, 40},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Page = TFakePage();
        Page.FirstVisible = c.First;
        Page.VisibleCount = c.Count;
        Build();
        std::vector<const TUninstallItem*> shown(Page.Items.begin() + c.First,
                                                 Page.Items.begin() + c.First + c.Count);
        // Rows the walk down the list had not reached when the view moved.
        int fromRow = 0;
        ASSERT_TRUE(RunCycle([&](int n) {
            if (n == c.ScrollAt) {
                Page.FirstVisible = c.ScrollTo;
                shown.assign(Page.Items.begin() + c.ScrollTo, Page.Items.begin() + c.ScrollTo + c.Count);
                fromRow = std::max(Worker->NextIndex(), c.First + c.Count); // past what was taken
            }
        }));
        if (c.ScrollAt >= 0) {
            ASSERT_LT(fromRow, c.ScrollTo) << "the walk was past the rows scrolled to";
        }
        int lastShown = 0;
        for (const TUninstallItem* entry : shown) {
            ASSERT_EQ(Page.Batch.count(entry), 1u) << entry->DisplayName;
            lastShown = std::max(lastShown, Page.Batch[entry]);
        }
        for (int i = fromRow; i < Page.ItemCount(); ++i) {
            const TUninstallItem* entry = Page.Items[static_cast<std::size_t>(i)];
            if (std::find(shown.begin(), shown.end(), entry) == shown.end()) {
                EXPECT_GE(Page.Batch[entry], lastShown) << entry->DisplayName << " came before a row shown";
            }
        }
        EXPECT_TRUE(Worker->StopWorkAndWait(2000));
    }
}

// The panel describes the chosen entry: it is brought up to date when the
// first row is selected, when the chosen entry's icon (and bad mark) comes,
// and at the end; not for every batch that found a bad entry.
TEST_F(DrawIconThreadTest, ThePanelIsBroughtUpToDateWhenTheChosenEntrysResultComes) {
    // Rows are in name order and every third from the second is bad (see Populate).
    constexpr int kGood = kEntries - 3;
    constexpr int kBad = kEntries - 2;
    const struct {
        const char* Name;
        int Choose;            // the row the user clicks once the first row is selected, or -1
        bool SortThen = false; // then sorts the list the other way
        int Syncs;
        bool BeforeFirstSelect = false; // chosen at once, before any result came
    } cases[] = {
        {"the first row stays chosen", -1, false, 2},
        {"a row found good further down is chosen", kGood, false, 3},
        {"a row found bad further down is chosen", kBad, false, 3},
        {"a row is chosen and the list sorted before its turn", kBad, true, 3},
        {"a row is chosen before the first row's turn", kBad, false, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Page = TFakePage();
        Build();
        const TUninstallItem* chosen = nullptr;
        bool sorted = false;
        ASSERT_TRUE(RunCycle([&](int) {
            if ((Page.Selects == 1 || c.BeforeFirstSelect) && c.Choose >= 0 && chosen == nullptr) {
                chosen = Page.Items[static_cast<std::size_t>(c.Choose)];
                EXPECT_EQ(Page.Icons.count(chosen), 0u) << "chosen before its turn";
                Page.ChosenEntry = chosen;
            } else if (chosen != nullptr && c.SortThen && !sorted) {
                EXPECT_EQ(Page.Icons.count(chosen), 0u) << "sorted before its turn";
                std::reverse(Page.Items.begin(), Page.Items.end());
                Worker->ItemsReordered();
                sorted = true;
            }
        }));
        ASSERT_GT(Inventory->BadCount, 1);
        EXPECT_EQ(Page.Syncs, c.Syncs);
        EXPECT_EQ(Page.Selects, c.BeforeFirstSelect ? 0 : 1) << "a row the user chose stays chosen";
        EXPECT_EQ(Page.ChosenEntry, chosen != nullptr ? chosen : Page.Items.front());
        EXPECT_TRUE(Worker->StopWorkAndWait(2000));
    }
}

TEST_F(DrawIconThreadTest, TheScanMarksEveryThirdEntryBadAndGivesTheKnownIcons) {
    Build();
    ASSERT_TRUE(RunCycle([](int) {}));
    ASSERT_EQ(Page.ItemCount(), kEntries);
    EXPECT_EQ(Inventory->BadCount, kEntries / 3);
    for (int i = 0; i < kEntries; ++i) {
        const TUninstallItem* entry = Page.Items[static_cast<std::size_t>(i)];
        const int expected = i % 3 == 0   ? 1000 + i
                             : i % 3 == 1 ? Inventory->RubbishIconIndex
                                          : Inventory->InstallIconIndex;
        EXPECT_EQ(Page.Icons[entry], std::vector<int>{expected}) << entry->DisplayName;
    }
}

TEST_F(DrawIconThreadTest, AnEmptyListEndsTheCycleAtOnceWithoutASelection) {
    Inventory->Clear();
    Worker = MakeWorker<TDrawIconThread>(Dispatcher, Page, Inventory);
    Page.CanRebuild = false;
    Worker->StartWork();
    ASSERT_TRUE(RunCycle([](int) {}));
    EXPECT_EQ(Page.Selects, 0);
    EXPECT_EQ(Page.Totals, 1);
    EXPECT_EQ(Inventory->BadCount, 0);
}

TEST_F(DrawIconThreadTest, DeletingEveryItemDuringTheScanLeavesNothingBad) {
    Build();
    // The first call served is the scan's copy; delete everything before its result comes back.
    ASSERT_TRUE(RunCycle([this](int n) {
        if (n == 0) {
            while (!Page.Items.empty()) {
                Remove(Page.ItemCount() - 1);
            }
        }
    }));
    EXPECT_EQ(Inventory->BadCount, 0);
    EXPECT_TRUE(Inventory->BadItems.empty());
    EXPECT_EQ(Inventory->AppCount, 0);
}

TEST_F(DrawIconThreadTest, AStepThatOutlastsTheCloseKeepsTheInventoryAliveUntilItEnds) {
    TGatedFiles gated(Sub.Files);
    const TPlatform slow{Sub.Registry, gated, Sub.Shell, Sub.Processes, Sub.Locale, {}};
    TFileInfoManager info(slow);
    Inventory = std::make_shared<TUninstallManager>(slow, info);
    Build();
    ASSERT_TRUE(RunCycle([&](int n) {
        if (n == 3) {
            gated.Closed = true; // the disk stops answering mid-cycle
        }
        if (n > 3 && gated.Waiting > 0) {
            Page.CanRebuild = true; // leave the loop: the page is closing
        }
    }));
    // The page's closing: stop, wait, give up, drop the inventory, end the worker.
    EXPECT_FALSE(Worker->StopWorkAndWait(50));
    const std::weak_ptr<TUninstallManager> watch = Inventory;
    Inventory.reset();
    EXPECT_FALSE(watch.expired()) << "the worker still holds it";
    Worker.reset(); // gives up after its wait and keeps the worker aside
    EXPECT_FALSE(watch.expired()) << "the kept-aside worker still holds it";
    gated.Closed = false;
    EXPECT_TRUE(JoinWorkers(5000));
    EXPECT_TRUE(watch.expired()) << "the worker let go when it was joined";
}

} // namespace cv::test
