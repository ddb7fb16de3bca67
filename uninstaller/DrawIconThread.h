// The uninstaller page's icon worker. A list build shows every application
// with the generic icon at once; one work cycle of this worker then finds
// the bad entries and gives the items their real icons: the rows on the
// screen first, then the rest from the top down. It selects the first item
// once its icon is in place (unless the user has chosen a row by then), and
// finally has the page show the result and allow the next build.
//
// The page may delete entries while a cycle runs. The worker never reads a
// live entry: on the user-interface thread it takes copies of a few rows at
// a time, on its own thread it looks at the disk with the copies (each path
// and each icon file once a cycle), and back on the user-interface thread it
// applies the results to the entries still there, in batches: at most one
// batch every kHandOverMs, each drawn at the list's next paint. The page reports
// every item it removes and every reordering, so the walk down the list
// neither skips nor repeats an item.
#pragma once

#include "framework/XWBaseThread.h"
#include "inventory/UninstallManager.h"

#include <chrono>
#include <memory>
#include <optional>
#include <unordered_set>

namespace cv {

// An item's new image.
struct TItemIcon {
    int Index = -1;
    int Image = -1;
};

// What the worker asks of the page; every call comes on the user-interface thread.
class IIconListPage {
public:
    virtual ~IIconListPage() = default;
    virtual int ItemCount() const = 0;
    // The entry an item shows (the list only points to it).
    virtual TUninstallItem* ItemEntry(int index) const = 0;
    // The item's index, or -1 when no item shows the entry.
    virtual int IndexOfEntry(const TUninstallItem* entry) const = 0;
    // The items the user sees now: the first one and how many.
    virtual void VisibleItems(int& first, int& count) const = 0;
    // Gives the items their images; the rows are drawn again together at the next paint.
    virtual void SetItemIcons(const std::vector<TItemIcon>& icons) = 0;
    // Selects the first item, which brings the panel up to date as any
    // selection does.
    virtual void SelectFirstItem() = 0;
    // The item the user has chosen, or -1.
    virtual int SelectedListItem() const = 0;
    // Brings the panel that describes the chosen item up to date.
    virtual void SyncUI() = 0;
    virtual void ShowTotal() = 0;
    virtual void SetCanRebuild(bool canRebuild) = 0;
};

class TDrawIconThread : public TXWBaseThread {
public:
    // At most one batch of results reaches the page in this time.
    static constexpr int kHandOverMs = 30;

    // The worker shares the inventory, so it stays alive while a step that
    // outlasted the page's wait still runs. handOverMs stands for
    // kHandOverMs (0: every result at once, as tests want it).
    TDrawIconThread(IDispatcher& dispatcher, IIconListPage& page,
                    std::shared_ptr<TUninstallManager> inventory, int handOverMs = kHandOverMs);

    // User-interface thread: the page removed the item that showed the
    // entry (which may be freed already).
    void ItemRemoved(int index, const TUninstallItem* entry);
    // User-interface thread: the items changed places.
    void ItemsReordered();
    // User-interface thread: the index of the next item the walk down the list visits.
    int NextIndex() const { return FNextIndex; }

protected:
    void BeginWork() override;
    void DoWork() override;
    void EndWork() override;
    void DoHandleException(const std::string& message) override;

private:
    using TClock = std::chrono::steady_clock;
    // A row taken for a look, and what the look found.
    struct TTask {
        const TUninstallItem* Entry = nullptr;
        int Index = -1; // where it stood when taken
        TUninstallItem Copy;
    };
    struct TResult {
        const TUninstallItem* Entry = nullptr;
        int Index = -1;
        bool Bad = false;
        int Image = -1;
    };

    // Worker thread: one round trip to the user-interface thread that hands
    // the results over (when apply) and takes more rows when few are left.
    void HandOver(bool apply);
    // User-interface thread.
    void ApplyResults(const std::vector<TResult>& results);
    // Selects the first row once its result is in (at the end: in any case).
    void SelectFirstItemOnceLookedAt(bool atEnd);
    void TakeRows(std::size_t wanted, std::vector<TTask>& tasks);

    IIconListPage& FPage;
    std::shared_ptr<TUninstallManager> FInventory;
    const TClock::duration FHandOverTime;

    // Touched on the user-interface thread only.
    int FNextIndex = 0;
    std::unordered_set<const TUninstallItem*> FVisited;
    std::unordered_set<const TUninstallItem*> FPending; // taken, not yet applied
    std::vector<const TUninstallItem*> FBad;            // found bad so far
    bool FFirstSelected = false; // the cycle's first selection is settled: made, or the user's row kept

    // Touched on the worker thread only, and by the synchronised calls it makes.
    std::unique_ptr<TIconLookup> FLookup;
    std::vector<TTask> FTasks;
    std::size_t FNextTask = 0;
    std::vector<TResult> FResults;
    TClock::time_point FLastHandOver;
    TClock::time_point FBatchStart;
    std::size_t FBatchDone = 0;
    std::size_t FWanted = 0; // rows a take aims at: a few hand-overs' worth of work
};

} // namespace cv
