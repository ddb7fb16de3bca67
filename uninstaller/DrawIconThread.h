// The uninstaller page's icon worker. A list build shows every application
// with the generic icon at once; one work cycle of this worker then finds
// the bad entries and gives the items their real icons, top to bottom, one
// item per step, selects the first item as soon as its icon is in place,
// and finally has the page show the result and allow the next build.
//
// The page may delete entries while a cycle runs. The worker never reads a
// live entry: on the user-interface thread it takes copies, on its own
// thread it looks at the disk with the copies, and back on the
// user-interface thread it applies the results to the entries still there.
// The page reports every item it removes and every reordering, so the walk
// down the list neither skips nor repeats an item.
#pragma once

#include "framework/XWBaseThread.h"
#include "inventory/UninstallManager.h"

#include <memory>
#include <optional>
#include <unordered_set>

namespace cv {

// What the worker asks of the page; every call comes on the user-interface thread.
class IIconListPage {
public:
    virtual ~IIconListPage() = default;
    virtual int ItemCount() const = 0;
    // The entry an item shows (the list only points to it).
    virtual TUninstallItem* ItemEntry(int index) const = 0;
    // The item's index, or -1 when no item shows the entry.
    virtual int IndexOfEntry(const TUninstallItem* entry) const = 0;
    virtual void SetItemIcon(int index, int imageIndex) = 0;
    virtual void SelectFirstItem() = 0;
    virtual void SyncUI() = 0;
    virtual void ShowTotal() = 0;
    virtual void SetCanRebuild(bool canRebuild) = 0;
};

class TDrawIconThread : public TXWBaseThread {
public:
    // The worker shares the inventory, so it stays alive while a step that
    // outlasted the page's wait still runs.
    TDrawIconThread(IDispatcher& dispatcher, IIconListPage& page,
                    std::shared_ptr<TUninstallManager> inventory);

    // User-interface thread: the page removed the item that showed the
    // entry (which may be freed already).
    void ItemRemoved(int index, const TUninstallItem* entry);
    // User-interface thread: the items changed places.
    void ItemsReordered();
    // User-interface thread: the index of the next item to visit.
    int NextIndex() const { return FNextIndex; }

protected:
    void BeginWork() override;
    void DoWork() override;
    void EndWork() override;
    void DoHandleException(const std::string& message) override;

private:
    // User-interface thread: puts the last step's icon on its item, then
    // takes a copy of the next item's entry; false when none is left.
    bool ApplyAndTakeNext();
    void ApplyIcon();

    IIconListPage& FPage;
    std::shared_ptr<TUninstallManager> FInventory;

    // Touched on the user-interface thread only.
    int FNextIndex = 0;
    std::unordered_set<const TUninstallItem*> FVisited;
    const TUninstallItem* FCurrent = nullptr; // the entry being looked at; null once removed
    int FCurrentIndex = -1;
    bool FFirstStep = true;

    // Handed over through the synchronised calls, which order the two threads.
    std::optional<TUninstallItem> FCopy;
    int FImage = -1;
    bool FHasImage = false;
};

} // namespace cv
