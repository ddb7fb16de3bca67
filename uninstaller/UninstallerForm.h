// The uninstaller page in the main window's first tab: every application
// of the inventory in one list, new ones in red, the selected one explained
// in the information panel, and the actions that work on the list. The
// icons and the bad-entry marks come from the icon worker after each build.
#pragma once

#include "forms/BaseSubForm.h"
#include "frames/LVFrame.h"
#include "inventory/UninstallManager.h"
#include "toolkit/WindowDispatcher.h"
#include "uninstaller/DrawIconThread.h"
#include "widgets/AlphaButton.h"
#include "widgets/Gradient.h"

#include <memory>

namespace cv {

class TUninstallerForm : public TBaseSubForm, private IIconListPage {
public:
    TUninstallerForm(IPageHost& host, const TPlatform& platform,
                     std::shared_ptr<TUninstallManager> inventory);
    ~TUninstallerForm() override;
    std::string ClassName() const override { return "TUninstallerForm"; }

    TAction UninstallAction{"UninstallAction"};
    TAction DeleteEntryAction{"DeleteEntryAction"};
    TAction FindBadEntryAction{"FindBadEntryAction"};
    TAction SearchAppAction{"SearchAppAction"};
    TAction RefreshAction{"RefreshAction"};
    TAction DetailsAction{"DetailsAction"};
    TAction SaveListAction{"SaveListAction"};
    TAction LoadListAction{"LoadListAction"};
    TAction RestoreDeletedAction{"RestoreDeletedAction"};

    TGradientPanel& Panel3;
    TPanel& Panel5;
    TPanel& Panel1;
    TImage& Image1;
    TLabel& TitleLabel;
    TShape& BorderShape;
    TLabel& LblUnisntallInfo;
    TLabel& InfoLabel;
    TPanel& Panel2;
    TAlphaButton& UninstallButton;
    TAlphaButton& DeleteEntryButton;
    TFileLVFrame& UninstListView;
    std::vector<TAlphaButton*> ToolButtons;

    TMenu MainMenu1{false};
    TMenuItem& View1;

    // Rebuilds the list from a fresh enumeration; nothing while an icon
    // cycle is under way.
    void FillList();
    void SyncUI() override;
    void ShowTotal() override;
    void CheckViewMenu();
    // The selected item's index, or -1.
    int SelectedListItem() const override;
    TUninstallItem* SelectedUninstallItem() const;
    // Takes an item out of the list and tells the icon worker; the caller
    // then deletes the entry from the inventory.
    void RemoveListItem(int index);
    // Deletes the selected entry from the registry, the inventory and the
    // list, and selects the item that followed it (none after the last).
    void DeleteSelectedEntry();
    // The same for an entry taken earlier, wherever its item stands now.
    // False, with the refusal shown, when the registry kept the key.
    bool DeleteUninstallEntry(TUninstallItem* entry);
    void PageActivated(void* sender) override;

    bool PageOpen() const { return FPageOpen; }
    bool CanRebuild() const { return FCanRebuild; }
    TDrawIconThread* IconThread() const { return FIconThread.get(); }
    // Null once the page has closed.
    TUninstallManager* Inventory() const { return FInventory.get(); }

    static constexpr int kCloseWait = 2000;
    // Posted to the page after its first show: the hint about new entries.
    static constexpr UINT kShowHint = WM_APP + 0x10;
    // True once the program is ending for its own uninstaller: the page
    // then keeps nothing when it goes.
    bool Ending() const { return FEnding; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The icon worker's view of the page.
    int ItemCount() const override;
    TUninstallItem* ItemEntry(int index) const override;
    int IndexOfEntry(const TUninstallItem* entry) const override;
    void VisibleItems(int& first, int& count) const override;
    void SetItemIcons(const std::vector<TItemIcon>& icons) override;
    void SelectFirstItem() override;
    void SetCanRebuild(bool canRebuild) override { FCanRebuild = canRebuild; }

    // Open, with its inventory: what every handler checks after a dialog.
    bool Alive() const;
    // The entry is still in the list of an open page, built no later than
    // when the caller took the entry (FListGeneration then).
    bool StillListed(const TUninstallItem* entry, unsigned generation) const;
    void ClearPanel();
    void ShowNewEntriesHint();
    void BuildToolBar();
    void BuildInfoPanel();
    void BuildMenus();
    void FormShow();
    void FormClose();
    void LoadViewSettings();
    void SaveViewSettings();
    void ViewActionExecute(TMenuItem& sender);
    void SearchAppActionHandler();
    void DetailsActionExecute();
    void SaveListActionExecute();
    void LoadListActionExecute();
    void UninstallActionHandler();
    void UninstallSelf(const TUninstallItem* entry);
    void DeleteEntryActionHandler();
    void FindBadEntryActionHandler();

    IPageHost& FHost;
    const TPlatform& FPlatform;
    std::shared_ptr<TUninstallManager> FInventory;
    TWindowDispatcher FDispatcher;
    TWorkerPtr<TDrawIconThread> FIconThread;
    bool FPageOpen = false;
    bool FCanRebuild = false;
    bool FFirstShow = true;
    bool FEnding = false;
    bool FClosed = false;
    unsigned FListGeneration = 0;                // counts the list's rebuilds
    const TUninstallItem* FPanelEntry = nullptr; // what the information panel describes
};

} // namespace cv
