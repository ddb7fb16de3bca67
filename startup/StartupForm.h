// The startup page in the main window's second tab: every program that
// starts with Windows, one row each, ticked when it is switched off. The
// user ticks and clears boxes and writes them all with Apply, or hides,
// shows, deletes, adds and inspects single entries; every change goes
// through the page's startup manager.
#pragma once

#include "app/ListLayoutStore.h"
#include "forms/BaseSubForm.h"
#include "frames/LVFrame.h"
#include "startup/StartupManager.h"
#include "widgets/AlphaButton.h"
#include "widgets/WizardHeader.h"

#include <memory>

namespace cv {

class TStartupForm : public TBaseSubForm {
public:
    TStartupForm(IPageHost& host, const TPlatform& platform, const TFileInfoManager& fileInfo);
    ~TStartupForm() override;
    std::string ClassName() const override { return "TStartupForm"; }

    TAction HideAction{"HideAction"};
    TAction ShowAction{"ShowAction"};
    TAction DeleteAction{"DeleteAction"};
    TAction RefreshAction{"RefreshAction"};
    TAction ShowPropertiesAction{"ShowPropertiesAction"};
    TAction NewAction{"NewAction"};
    TAction ApplyAction{"ApplyAction"};
    TAction RestoreDeletedAction{"RestoreDeletedAction"};

    TPanel& Panel3;
    TglWizardHeader& glWizardHeader1;
    TPanel& Panel5;
    TPanel& Panel1;
    TFileLVFrame& StartupFrame;
    TPanel& Panel2;
    TLabel& Label1;
    std::vector<TAlphaButton*> ToolButtons;
    TMenu MainMenu1{false};

    // Null once the page has closed.
    TStartupManager* StartupManager() const { return FStartupManager.get(); }
    bool Modified() const { return FModified; }
    // The entry of the selected row, or null.
    TStartupItem* SelectedStartupItem() const;
    TStartupItem* ItemEntry(int index) const;

    void FillList();
    // Writes every row's mark; false when a row could not be written (its
    // error was shown).
    bool SaveChanges();
    void UpdateActions();
    void ShowTotal();
    void PageActivated(void* sender) override;
    void PageDeactivating() override;

private:
    void BuildHeader();
    // The selected entry's facts at the foot of the page, or the hint.
    void ShowEntryFacts(const TStartupItem* entry);
    // The row's Source text from its entry's state now.
    void ShowSource(int index);
    void BuildMenus();
    void FormShow();
    void FormClose();
    void LoadLayout();
    void SaveLayout();
    void SetModified(bool modified);
    void ItemStateChanged(int index);
    void ApplyActionExecute();
    void DeleteActionExecute();
    void HideActionExecute();
    void ShowActionExecute();
    // Hides (park) or shows the selected entry at once and marks its row.
    void MoveSelected(bool park);
    void ShowPropertiesActionExecute();
    void NewActionExecute();
    void RestoreDeletedActionExecute();

    IPageHost& FHost;
    const TPlatform& FPlatform;
    std::unique_ptr<TStartupManager> FStartupManager;
    TListLayoutStore FLayoutStore;
    bool FModified = false;
    bool FFirstShow = true;
    unsigned FListGeneration = 0; // counts the list's fills
};

} // namespace cv
