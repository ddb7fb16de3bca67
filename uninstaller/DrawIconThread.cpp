#include "uninstaller/DrawIconThread.h"

namespace cv {

TDrawIconThread::TDrawIconThread(IDispatcher& dispatcher, IIconListPage& page,
                                 std::shared_ptr<TUninstallManager> inventory)
    : TXWBaseThread(dispatcher), FPage(page), FInventory(std::move(inventory)) {}

void TDrawIconThread::ItemRemoved(int index, const TUninstallItem* entry) {
    if (entry == FCurrent) {
        FCurrent = nullptr;
    } else if (index < FCurrentIndex) {
        --FCurrentIndex;
    }
    if (index < FNextIndex) {
        --FNextIndex; // the items below moved up one place
    }
    FVisited.erase(entry);
}

void TDrawIconThread::ItemsReordered() {
    // Walk again from the top; what was visited is passed over.
    FNextIndex = 0;
    FCurrentIndex = -1;
}

void TDrawIconThread::BeginWork() {
    TXWBaseThread::BeginWork();
    FInventory->SetCheckFiles(true);
    // The bad-entry scan, on copies of the applications.
    std::vector<std::pair<const TUninstallItem*, TUninstallItem>> copies;
    SafeSynchronize([this, &copies] {
        FNextIndex = 0;
        FVisited.clear();
        FCurrent = nullptr;
        FCurrentIndex = -1;
        FFirstStep = true;
        FHasImage = false;
        for (const auto& pair : FInventory->Items) {
            if (pair.second->IsUninstallable()) {
                copies.emplace_back(pair.second.get(), *pair.second);
            }
        }
    });
    std::vector<const TUninstallItem*> bad;
    TFileCheck check = FInventory->MakeFileCheck(); // this scan's, on this thread alone
    for (const auto& [entry, copy] : copies) {
        if (Terminated()) {
            return;
        }
        if (check.IsGone(copy)) {
            bad.push_back(entry);
        }
    }
    SafeSynchronize([this, &bad] { FInventory->SetBadEntries(bad); });
}

void TDrawIconThread::DoWork() {
    bool more = false;
    SafeSynchronize([this, &more] { more = ApplyAndTakeNext(); });
    if (!more) {
        StopWork();
        return;
    }
    FImage = FInventory->GetIconIndex(*FCopy);
    FHasImage = true;
}

void TDrawIconThread::EndWork() {
    TXWBaseThread::EndWork();
    SafeSynchronize([this] {
        ApplyIcon();
        FPage.SyncUI();
        FPage.ShowTotal();
        FPage.SetCanRebuild(true);
    });
    StopWork();
}

void TDrawIconThread::DoHandleException(const std::string& message) {
    TXWBaseThread::DoHandleException(message);
    // The failed cycle is over: the list may be built again.
    FPage.ShowTotal();
    FPage.SetCanRebuild(true);
}

void TDrawIconThread::ApplyIcon() {
    if (!FHasImage) {
        return;
    }
    FHasImage = false;
    if (FCurrent != nullptr) {
        if (FCurrentIndex < 0 || FCurrentIndex >= FPage.ItemCount() ||
            FPage.ItemEntry(FCurrentIndex) != FCurrent) {
            FCurrentIndex = FPage.IndexOfEntry(FCurrent);
        }
        if (FCurrentIndex >= 0) {
            FPage.SetItemIcon(FCurrentIndex, FImage);
        }
    }
    if (FFirstStep) {
        FFirstStep = false;
        FPage.SelectFirstItem();
    }
}

bool TDrawIconThread::ApplyAndTakeNext() {
    ApplyIcon();
    const int count = FPage.ItemCount();
    while (FNextIndex < count) {
        TUninstallItem* entry = FPage.ItemEntry(FNextIndex);
        if (entry != nullptr && FVisited.insert(entry).second) {
            FCurrent = entry;
            FCurrentIndex = FNextIndex++;
            FCopy.emplace(*entry);
            return true;
        }
        ++FNextIndex;
    }
    FCurrent = nullptr;
    FCurrentIndex = -1;
    return false;
}

} // namespace cv
