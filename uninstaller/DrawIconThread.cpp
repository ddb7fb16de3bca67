#include "uninstaller/DrawIconThread.h"

#include <algorithm>

namespace cv {

namespace {

// A take of rows aims at about this many hand-overs' worth of work, within bounds.
constexpr std::size_t kTakeAhead = 4;
constexpr std::size_t kMostTaken = 512;

} // namespace

TDrawIconThread::TDrawIconThread(IDispatcher& dispatcher, IIconListPage& page,
                                 std::shared_ptr<TUninstallManager> inventory, int handOverMs)
    : TXWBaseThread(dispatcher), FPage(page), FInventory(std::move(inventory)),
      FHandOverTime(std::chrono::milliseconds(handOverMs)) {}

void TDrawIconThread::ItemRemoved(int index, const TUninstallItem* entry) {
    if (index < FNextIndex) {
        --FNextIndex; // the items below moved up one place
    }
    FVisited.erase(entry);
    FPending.erase(entry); // its result, when it comes, is dropped
    FBad.erase(std::remove(FBad.begin(), FBad.end(), entry), FBad.end());
}

void TDrawIconThread::ItemsReordered() {
    // Walk again from the top; what was taken is passed over.
    FNextIndex = 0;
}

void TDrawIconThread::BeginWork() {
    TXWBaseThread::BeginWork();
    FInventory->SetCheckFiles(true);
    FLookup = FInventory->MakeIconLookup(); // this cycle's, on this thread alone
    FTasks.clear();
    FNextTask = 0;
    FResults.clear();
    std::vector<TTask> taken;
    SafeSynchronize([this, &taken] {
        FNextIndex = 0;
        FVisited.clear();
        FPending.clear();
        FBad.clear();
        FFirstSelected = false;
        // The rows on the screen first.
        int first = 0;
        int shown = 0;
        FPage.VisibleItems(first, shown);
        TakeRows(static_cast<std::size_t>(std::max(shown, 1)), taken);
    });
    FTasks = std::move(taken);
    FWanted = std::max<std::size_t>(FTasks.size(), 1);
    FLastHandOver = TClock::now();
    FBatchDone = 0;
}

void TDrawIconThread::DoWork() {
    if (FNextTask == FTasks.size()) {
        HandOver(TClock::now() - FLastHandOver >= FHandOverTime);
        if (FNextTask == FTasks.size()) {
            StopWork(); // every row taken has been looked at; EndWork hands the rest over
            return;
        }
    }
    TTask& task = FTasks[FNextTask++];
    const TIconLookup::TLook look = FLookup->Look(task.Copy);
    FResults.push_back({task.Entry, task.Index, look.Bad, look.Image});
    ++FBatchDone;
    if (TClock::now() - FLastHandOver >= FHandOverTime) {
        HandOver(true);
    }
}

void TDrawIconThread::HandOver(bool apply) {
    if (apply) {
        // The next takes hold a few hand-overs' worth of the rows done since the last.
        const std::size_t least = FHandOverTime.count() == 0 ? 1 : 8;
        FWanted = std::clamp(FBatchDone * kTakeAhead, least, kMostTaken);
        FBatchDone = 0;
    }
    const std::size_t left = FTasks.size() - FNextTask;
    const std::size_t wanted = left * 2 <= FWanted ? FWanted - left : 0;
    if (!apply && wanted == 0) {
        return;
    }
    std::vector<TResult> results;
    if (apply) {
        results.swap(FResults);
    }
    std::vector<TTask> taken;
    SafeSynchronize([this, &results, &taken, wanted] {
        ApplyResults(results);
        if (wanted > 0) {
            TakeRows(wanted, taken);
        }
    });
    if (apply) {
        FLastHandOver = TClock::now();
    }
    FTasks.erase(FTasks.begin(), FTasks.begin() + static_cast<std::ptrdiff_t>(FNextTask));
    FNextTask = 0;
    std::move(taken.begin(), taken.end(), std::back_inserter(FTasks));
}

void TDrawIconThread::EndWork() {
    TXWBaseThread::EndWork();
    std::vector<TResult> results;
    results.swap(FResults);
    SafeSynchronize([this, &results] {
        ApplyResults(results);
        SelectFirstItemOnceLookedAt(true);
        FPage.SyncUI();
        FPage.ShowTotal();
        FPage.SetCanRebuild(true);
    });
    FLookup.reset();
    FTasks.clear();
    StopWork();
}

void TDrawIconThread::DoHandleException(const std::string& message) {
    TXWBaseThread::DoHandleException(message);
    // The failed cycle is over: the list may be built again.
    FPage.ShowTotal();
    FPage.SetCanRebuild(true);
}

void TDrawIconThread::ApplyResults(const std::vector<TResult>& results) {
    std::vector<TItemIcon> icons;
    icons.reserve(results.size());
    bool badFound = false;
    bool chosenDone = false; // the chosen row has its icon now, and maybe its bad mark
    const int count = FPage.ItemCount();
    const int chosen = FFirstSelected ? FPage.SelectedListItem() : -1;
    for (const TResult& result : results) {
        if (FPending.erase(result.Entry) == 0) {
            continue; // its item went meanwhile
        }
        const int index = result.Index < count && FPage.ItemEntry(result.Index) == result.Entry
                              ? result.Index
                              : FPage.IndexOfEntry(result.Entry);
        if (index < 0) {
            continue;
        }
        icons.push_back({index, result.Image});
        chosenDone = chosenDone || index == chosen;
        if (result.Bad) {
            FBad.push_back(result.Entry);
            badFound = true;
        }
    }
    if (badFound) {
        FInventory->SetBadEntries(FBad);
    }
    if (icons.empty()) {
        return;
    }
    FPage.SetItemIcons(icons);
    if (!FFirstSelected) {
        SelectFirstItemOnceLookedAt(false);
    } else if (chosenDone) {
        // Only then do its panel's icon and Uninstall button change:
        // bringing the panel up to date for every batch that found a bad
        // entry took a sixth of the cycle at 10,000 entries.
        FPage.SyncUI();
    }
}

void TDrawIconThread::SelectFirstItemOnceLookedAt(bool atEnd) {
    if (FFirstSelected || FPage.ItemCount() == 0) {
        return;
    }
    // A row the user chose meanwhile stays chosen.
    if (FPage.SelectedListItem() >= 0) {
        FFirstSelected = true;
        return;
    }
    // After a sort the first row may be one whose turn has not come yet.
    const TUninstallItem* first = FPage.ItemEntry(0);
    if (atEnd || (FVisited.count(first) != 0 && FPending.count(first) == 0)) {
        FFirstSelected = true;
        FPage.SelectFirstItem();
    }
}

void TDrawIconThread::TakeRows(std::size_t wanted, std::vector<TTask>& tasks) {
    const int count = FPage.ItemCount();
    const auto take = [&](int index) {
        const TUninstallItem* entry = FPage.ItemEntry(index);
        if (entry != nullptr && FVisited.insert(entry).second) {
            tasks.push_back({entry, index, *entry});
            FPending.insert(entry);
        }
    };
    // Rows the user scrolled to come before the walk down the list.
    int first = 0;
    int shown = 0;
    FPage.VisibleItems(first, shown);
    for (int i = std::max(first, 0); i < std::min(first + shown, count) && tasks.size() < wanted; ++i) {
        take(i);
    }
    while (FNextIndex < count && tasks.size() < wanted) {
        take(FNextIndex++);
    }
}

} // namespace cv
