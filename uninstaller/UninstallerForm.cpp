#include "uninstaller/UninstallerForm.h"

#include "app/Settings.h"
#include "forms/DeletedEntriesForm.h"
#include "forms/DialogForms.h"
#include "forms/FormUtils.h"
#include "forms/ToolBar.h"
#include "platform/Errors.h"
#include "platform/TextCase.h"
#include "toolkit/FileDialogs.h"
#include "uninstaller/BackupFiles.h"
#include "uninstaller/BadEntriesForm.h"
#include "uninstaller/DetailsForm.h"
#include "uninstaller/SearchForm.h"
#include "uninstaller/UninstallerText.h"

#include <unordered_set>

namespace cv {

namespace {

const TFont kTitleFont{"MS Sans Serif", 11, true, false, clWindowText};

// Tells the user why the entry's uninstaller did not start.
void ReportNotStarted(const TUninstallItem& entry, const TStartError& error) {
    InfoDialog("Error", NotStartedText(entry.UninstallString, error.Message), false);
}

} // namespace

TUninstallerForm::TUninstallerForm(IPageHost& host, const TPlatform& platform,
                                   std::shared_ptr<TUninstallManager> inventory)
    : TBaseSubForm("UninstallerForm"), Panel3(Make<TGradientPanel>(this, "Panel3")),
      Panel5(Make<TPanel>(&Panel3, "Panel5")), Panel1(Make<TPanel>(this, "Panel1")),
      Image1(Make<TImage>(&Panel1, "Image1")), TitleLabel(Make<TLabel>(&Panel1, "TitleLabel")),
      BorderShape(Make<TShape>(&Panel1, "BorderShape")),
      LblUnisntallInfo(Make<TLabel>(&Panel1, "LblUnisntallInfo", "Uninstall Information:")),
      InfoLabel(Make<TLabel>(&Panel1, "InfoLabel")), Panel2(Make<TPanel>(&Panel1, "Panel2")),
      UninstallButton(Make<TAlphaButton>(&Panel2, "UninstallButton")),
      DeleteEntryButton(Make<TAlphaButton>(&Panel2, "DeleteEntryButton")),
      UninstListView(Make<TFileLVFrame>(this, "UninstListView", platform, true)),
      View1(MainMenu1.Items().Add("&View")), FHost(host), FPlatform(platform),
      FInventory(std::move(inventory)) {
    const struct {
        TAction& Action;
        const char* Caption;
        const char* Hint;
        TShortCut ShortCut;
    } actions[] = {
        {UninstallAction, "Uninstall", "Uninstal the selected application", {VK_DELETE}},
        {DeleteEntryAction, "Clear It!", "Delete an registry entry", {VK_DELETE, true}},
        {FindBadEntryAction, "Autofix", "Find the entries whose files are gone and clear them", {}},
        {SearchAppAction, "Search", "Find an application by part of its name", {'F', true}},
        {RefreshAction, "Refresh", "Read the list again", {VK_F5}},
        {DetailsAction, "App Info", "Details and values of the selected application", {}},
        {SaveListAction, "Backup Uninstall Info", "Save the uninstall information to registry files", {}},
        {LoadListAction, "Restore Uninstall Info", "Load saved uninstall information back", {}},
        {RestoreDeletedAction, "Restore Deleted Entries...", "Put back entries Clearvane deleted", {}},
    };
    for (const auto& a : actions) {
        a.Action.SetCaption(a.Caption);
        a.Action.SetHint(a.Hint);
        a.Action.SetShortCut(a.ShortCut);
        AddAction(a.Action);
    }
    // Nothing is selected yet.
    for (TAction* action : {&UninstallAction, &DeleteEntryAction, &DetailsAction}) {
        action->SetEnabled(false);
    }
    // No action of the page runs once it has begun to close.
    const auto whileOpen = [this](void (TUninstallerForm::*handler)()) {
        return [this, handler] {
            if (Alive()) {
                (this->*handler)();
            }
        };
    };
    RefreshAction.OnExecute = whileOpen(&TUninstallerForm::FillList);
    UninstallAction.OnExecute = whileOpen(&TUninstallerForm::UninstallActionHandler);
    DeleteEntryAction.OnExecute = whileOpen(&TUninstallerForm::DeleteEntryActionHandler);
    FindBadEntryAction.OnExecute = whileOpen(&TUninstallerForm::FindBadEntryActionHandler);
    SearchAppAction.OnExecute = whileOpen(&TUninstallerForm::SearchAppActionHandler);
    DetailsAction.OnExecute = whileOpen(&TUninstallerForm::DetailsActionExecute);
    SaveListAction.OnExecute = whileOpen(&TUninstallerForm::SaveListActionExecute);
    LoadListAction.OnExecute = whileOpen(&TUninstallerForm::LoadListActionExecute);
    RestoreDeletedAction.OnExecute = [this] {
        // The list is read again when anything came back and the page still stands.
        if (Alive() && ShowDeletedEntries(FPlatform) && Alive()) {
            FillList();
        }
    };

    Panel3.SetBevelOuter(TBevelCut::bvNone);
    Panel3.SetSize(Panel3.Width(), 79);
    Panel3.SetAlign(TAlign::alTop);
    Panel3.Gradient.SetFromColor(clHighlight);
    Panel3.Gradient.SetToColor(clWindow);
    Panel3.Gradient.SetOrientation(TGradientDir::fgdVertical);
    Panel3.Gradient.SetActive(true);
    BuildToolBar();
    BuildInfoPanel();

    UninstListView.SetAlign(TAlign::alClient);
    TListView& list = UninstListView.ListView;
    list.SetColumns({{"Description", 100}, {"Uninstall String", 100}, {"Key", 100}});
    list.SetRowSelect(true);
    // The list holds only pointers to the entries; their texts are read as it draws them.
    list.OnItemText = [](std::uintptr_t data, int column) {
        const auto* entry = reinterpret_cast<const TUninstallItem*>(data);
        switch (column) {
        case 0:
            return entry->DisplayName;
        case 1:
            return entry->UninstallString;
        case 2:
            return entry->ShownKeyPath();
        default:
            return std::string();
        }
    };
    list.OnSelectItem = [this](int, bool) { SyncUI(); };
    list.OnEnter = [this] { SyncUI(); };
    list.OnExit = [this] { SyncUI(); };
    // Straight to the handler, whose own tests keep a bad entry from being uninstalled.
    list.OnDblClick = whileOpen(&TUninstallerForm::UninstallActionHandler);
    list.OnItemColor = [this](int index, COLORREF& text, COLORREF& back) {
        const TUninstallItem* entry = FPageOpen ? ItemEntry(index) : nullptr;
        if (entry != nullptr && entry->New) {
            back = RGB(255, 0, 0);
            text = RGB(255, 255, 255);
        }
    };
    // A view chosen in the list's context menu moves the View menu's check too.
    UninstListView.OnViewChanged = [this] { CheckViewMenu(); };
    UninstListView.OnSorted = [this] {
        if (FIconThread) {
            FIconThread->ItemsReordered();
        }
    };
    BuildMenus();

    OnResize = [this] { UninstListView.ListView.Arrange(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction&) { FormClose(); };

    // Creation proper.
    FInventory->SetCheckFiles(false);
    InitFrame(UninstListView);
    FPageOpen = true;
    FCanRebuild = true;
    SetPageMenu(&MainMenu1);
}

TUninstallerForm::~TUninstallerForm() {
    FIconThread.reset();
    // The list reads its texts from the entries: it lets go of them before they go.
    UninstListView.ListView.Clear();
    SetPageMenu(nullptr);
}

void TUninstallerForm::BuildToolBar() {
    ToolButtons = MakeToolBar(*this, Panel5,
                              {
                                  {"AutofixButton", FindBadEntryAction, L"GLYPH_AUTOFIX"},
                                  {"AppInfoButton", DetailsAction, L"GLYPH_APPINFO"},
                                  {"SearchButton", SearchAppAction, L"GLYPH_SEARCH"},
                                  {"RefreshButton", RefreshAction, L"GLYPH_REFRESH"},
                                  {"HelpButton", FHost.HelpAction(), L"GLYPH_HELP"},
                                  {"HomeButton", FHost.HomeAction(), L"GLYPH_HOME"},
                                  {"ExitButton", FHost.ExitProgramAction(), L"GLYPH_EXIT"},
                              });
}

void TUninstallerForm::BuildInfoPanel() {
    Panel1.SetBevelOuter(TBevelCut::bvNone);
    Panel1.SetColor(clWindow);
    Panel1.SetSize(188, Panel1.Height());
    Panel1.SetAlign(TAlign::alRight);

    Image1.SetBounds(73, 14, 41, 41);
    Image1.Center = true;
    TitleLabel.SetFont(kTitleFont);
    TitleLabel.AutoSize = false;
    TitleLabel.WordWrap = true;
    TitleLabel.Alignment = TAlignment::taCenter;
    TitleLabel.ShowAccelChar = false;
    TitleLabel.SetBounds(8, 62, 172, 42);

    BorderShape.BrushColor = clWindow;
    BorderShape.PenColor = clGray;
    BorderShape.SetBounds(6, 108, 176, 170);
    BorderShape.SetVisible(false);
    LblUnisntallInfo.SetFont(kTitleFont);
    LblUnisntallInfo.SetBounds(14, 116, 160, 13);
    LblUnisntallInfo.SetVisible(false);
    InfoLabel.SetFont({"MS Sans Serif", 11, false, false, clNavy});
    InfoLabel.AutoSize = false;
    InfoLabel.WordWrap = true;
    InfoLabel.ShowAccelChar = false;
    InfoLabel.SetBounds(14, 136, 162, 136);

    Panel2.SetBevelOuter(TBevelCut::bvNone);
    Panel2.SetColor(clWindow);
    Panel2.SetSize(Panel2.Width(), 44);
    Panel2.SetAlign(TAlign::alBottom);
    UninstallButton.SetBounds(6, 8, 86, 28);
    UninstallButton.SetGlyphResource(L"BUTTON_UNINSTALL");
    UninstallButton.SetAction(&UninstallAction);
    DeleteEntryButton.SetBounds(96, 8, 86, 28);
    DeleteEntryButton.SetGlyphResource(L"BUTTON_CLEAR");
    DeleteEntryButton.SetAction(&DeleteEntryAction);
}

void TUninstallerForm::BuildMenus() {
    TMenuItem& file = MainMenu1.Items().Insert(0, "&File");
    ActionItem(file, SaveListAction);
    ActionItem(file, LoadListAction);
    ActionItem(file, RestoreDeletedAction);
    file.Add("-");
    ActionItem(file, FHost.ExitProgramAction());

    TMenuItem& action = MainMenu1.Items().Insert(1, "&Action");
    for (TAction* a : {&UninstallAction, &DeleteEntryAction, &FindBadEntryAction, &SearchAppAction}) {
        ActionItem(action, *a);
    }

    // The radio items' places equal the view styles; the second keeps the
    // place of small icons, which the menu does not offer.
    const std::pair<const char*, bool> styles[] = {
        {"Large Icons", true}, {"", false}, {"List", true}, {"Report", true}};
    for (int tag = 0; tag < 4; ++tag) {
        TMenuItem& item = View1.Add(styles[tag].first);
        item.Tag = tag;
        item.SetRadio(1);
        item.SetVisible(styles[tag].second);
        item.OnClickSender = [this](TMenuItem& sender) { ViewActionExecute(sender); };
    }
    View1.Add("-");
    ActionItem(View1, DetailsAction);
    ActionItem(View1, RefreshAction);

    AddHelpMenu(MainMenu1, FHost);

    // The list's own items come ahead of the frame's separator and View submenu.
    TMenuItem& context = UninstListView.ContextMenu.Items();
    InsertActionItems(
        context, {&UninstallAction, &DeleteEntryAction, &FindBadEntryAction, &DetailsAction, &RefreshAction});
    context[0].SetDefault(true);
}

void TUninstallerForm::FormShow() {
    if (!FFirstShow) {
        return;
    }
    LoadViewSettings();
    FFirstShow = false;
    FillList();
    if (FInventory && FInventory->HasNew) {
        // The page is shown while the main window is still being made: the
        // hint waits until that window is on screen with its red rows.
        PostMessageW(Handle(), kShowHint, 0, 0);
    }
}

LRESULT TUninstallerForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kShowHint) {
        ShowNewEntriesHint();
        return 0;
    }
    return TBaseSubForm::WndProc(message, wParam, lParam);
}

void TUninstallerForm::ShowNewEntriesHint() {
    if (!Alive()) {
        return;
    }
    // The window the hint speaks of is painted whole before the hint covers it.
    RedrawWindow(GetAncestor(Handle(), GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    InfoDialog("Hint",
               "Clearvane has detected that there are new installed applications since last run, they are "
               "marked RED.",
               false);
}

void TUninstallerForm::LoadViewSettings() {
    TListView& list = UninstListView.ListView;
    const TUninstallerView view = LoadUninstallerView(FPlatform, list.ColumnCount());
    UninstListView.ViewItem[static_cast<std::size_t>(ValidViewStyle(view.ViewStyle))].Click();
    CheckViewMenu();
    for (std::size_t i = 0; i < view.ColumnWidths.size(); ++i) {
        list.SetColumnWidth(static_cast<int>(i), view.ColumnWidths[i]);
    }
}

void TUninstallerForm::SaveViewSettings() {
    const TListView& list = UninstListView.ListView;
    TUninstallerView view;
    view.ViewStyle = static_cast<int>(list.ViewStyle());
    for (std::size_t i = 0; i < list.ColumnCount(); ++i) {
        view.ColumnWidths.push_back(list.ColumnWidth(static_cast<int>(i)));
    }
    SaveUninstallerView(FPlatform, view);
}

void TUninstallerForm::FillList() {
    if (!FCanRebuild || !FInventory) {
        return;
    }
    FInventory->SetCheckFiles(false);
    TListView& list = UninstListView.ListView;
    ++FListGeneration; // every entry taken before now is gone
    ClearPanel();
    {
        // Ending the update lays the rows of an icon view out: a virtual
        // list in an icon view has no places for its rows until then.
        const TListView::TUpdateGuard update(list);
        list.Clear();
        FInventory->Refresh();
        FInventory->LoadLastNames();
        FInventory->MarkNewEntries();
        std::vector<TListView::TVirtualItem> items;
        items.reserve(FInventory->Items.size());
        for (const auto& pair : FInventory->Items) {
            const TUninstallItem& entry = *pair.second;
            if (entry.IsUninstallable()) {
                items.push_back({reinterpret_cast<std::uintptr_t>(&entry), FInventory->GetIconIndex(entry)});
            }
        }
        list.SetVirtualItems(std::move(items));
    }
    // Only a list that was built waits for its icon cycle; after an error
    // a later Refresh may try again.
    FCanRebuild = false;
    UninstListView.Resort();
    // Painted now, before the icon worker starts; no other message runs here.
    UpdateWindow(list.Handle());
    // The worker of the last build is idle; a new one serves this build.
    IIconListPage& page = *this;
    FIconThread = MakeWorker<TDrawIconThread>(FDispatcher, page, FInventory);
    FIconThread->StartWork();
}

void TUninstallerForm::SyncUI() {
    if (!FPageOpen || !Showing()) {
        return;
    }
    CheckViewMenu();
    const int selected = SelectedListItem();
    for (TAction* action : {&UninstallAction, &DeleteEntryAction, &DetailsAction}) {
        action->SetEnabled(selected >= 0);
    }
    if (selected < 0) {
        return; // the panel keeps what it showed, unless that entry went (ClearPanel)
    }
    const TUninstallItem& entry = *ItemEntry(selected);
    FPanelEntry = &entry;
    if (const TIcon icon = UninstListView.ListView.ItemLargeIcon(selected)) {
        Image1.SetIcon(icon.Get());
    }
    TitleLabel.SetCaption(entry.DisplayName);
    const TAdvice advice = AdviceFor(entry);
    if (entry.Bad) {
        UninstallAction.SetEnabled(false);
    }
    TFont font = InfoLabel.Font();
    font.Color = advice.Warning ? clRed : clNavy;
    InfoLabel.SetFont(font);
    InfoLabel.SetCaption(advice.Text);
    BorderShape.SetVisible(true);
    LblUnisntallInfo.SetVisible(true);
}

void TUninstallerForm::ClearPanel() {
    FPanelEntry = nullptr;
    Image1.SetIcon(nullptr);
    TitleLabel.SetCaption("");
    InfoLabel.SetCaption("");
    BorderShape.SetVisible(false);
    LblUnisntallInfo.SetVisible(false);
}

bool TUninstallerForm::Alive() const {
    return FPageOpen && FInventory != nullptr;
}

void TUninstallerForm::CheckViewMenu() {
    const auto style = static_cast<std::size_t>(UninstListView.ListView.ViewStyle());
    View1[style].SetChecked(true);
    UninstListView.ViewItem[style].SetChecked(true);
}

void TUninstallerForm::ShowTotal() {
    if (FInventory) {
        FHost.ShowPageStatus(TotalText(FInventory->AppCount, FInventory->BadCount));
    }
}

int TUninstallerForm::SelectedListItem() const {
    return UninstListView.ListView.Selected();
}

TUninstallItem* TUninstallerForm::SelectedUninstallItem() const {
    const int selected = SelectedListItem();
    return selected >= 0 ? ItemEntry(selected) : nullptr;
}

void TUninstallerForm::RemoveListItem(int index) {
    const TUninstallItem* entry = ItemEntry(index);
    if (entry == FPanelEntry) {
        ClearPanel(); // never describe an entry that is gone
    }
    UninstListView.ListView.DeleteItem(index);
    if (FIconThread) {
        FIconThread->ItemRemoved(index, entry);
    }
}

void TUninstallerForm::DeleteSelectedEntry() {
    if (TUninstallItem* entry = SelectedUninstallItem(); entry != nullptr) {
        DeleteUninstallEntry(entry);
    }
}

bool TUninstallerForm::DeleteUninstallEntry(TUninstallItem* entry) {
    if (!Alive()) {
        return false;
    }
    // The key first: a key the registry keeps keeps its row and its entry.
    try {
        FInventory->DeleteEntryKey(*entry);
    } catch (const EClearvaneError&) {
        // Refused by the registry, or no copy could be kept: said, and the row stays.
        TApplication::Instance().HandleException(std::current_exception());
        return false;
    }
    TListView& list = UninstListView.ListView;
    // The item goes before its entry is freed, so nothing the list does
    // meanwhile can reach a freed entry.
    const int index = IndexOfEntry(entry);
    if (index >= 0) {
        RemoveListItem(index);
    }
    FInventory->ForgetEntry(entry); // its key went above
    list.SetSelected(index >= 0 && index < list.Count() ? index : -1);
    list.Arrange();
    SyncUI();
    return true;
}

void TUninstallerForm::UninstallActionHandler() {
    const int selected = SelectedListItem();
    if (selected < 0 || !UninstListView.ListView.Focused() || !UninstallAction.Enabled()) {
        return;
    }
    // The entry itself, not the selection: the icon worker may move the
    // selection while the dialogs below are open.
    TUninstallItem* entry = ItemEntry(selected);
    const unsigned generation = FListGeneration;
    if (entry->DisplayName.find("Clearvane") != std::string::npos) {
        UninstallSelf(entry);
        return;
    }
    if (ConfirmDialog("Uninstall \"" + entry->DisplayName + "\"?") != mrYes ||
        !StillListed(entry, generation)) {
        return;
    }
    TStartError error;
    const std::unique_ptr<IProcess> uninstaller = FInventory->StartUninstaller(*entry, &error);
    if (!uninstaller) {
        ReportNotStarted(*entry, error);
        return; // nothing runs that the user could wait for
    }
    InfoDialog("Instruction", "Close this dialog when uninstalling process is finished.", false);
    if (!StillListed(entry, generation)) {
        return;
    }
    const bool keyLeft = FInventory->EntryExists(*entry);
    // An uninstaller still at work may yet be cancelled: its entry is not
    // asked about until it has finished.
    if (keyLeft && FInventory->UninstallerRuns(*uninstaller)) {
        InfoDialog("Info:", StillRunningText(entry->DisplayName), false);
        return;
    }
    // Only Yes deletes: Esc or No keeps the entry of an application that
    // may well still be installed.
    if (keyLeft &&
        WarnDialog("Something is wrong with uninstalling process or you have canceled your uninstalling,some "
                   "registry items was not deleted,would you like to delete them?") != mrYes) {
        return;
    }
    if (!StillListed(entry, generation) || !DeleteUninstallEntry(entry)) {
        return;
    }
    ShowTotal();
    SyncUI();
}

void TUninstallerForm::UninstallSelf(const TUninstallItem* entry) {
    const unsigned generation = FListGeneration;
    if (WarnDialog("Your are about to uninstall \"Clearvane\" itself. So it must be closed. Are you sure?") !=
            mrYes ||
        !StillListed(entry, generation)) {
        return;
    }
    TStartError error;
    if (!FInventory->RunUninstaller(*entry, &error)) {
        ReportNotStarted(*entry, error);
        return; // the program stays: nothing will remove it
    }
    // The uninstaller will remove this program's files: end now, keeping
    // neither the record of this run nor the page's view.
    FEnding = true;
    TApplication::Instance().Terminate();
}

void TUninstallerForm::DeleteEntryActionHandler() {
    // The entry asked about is the one deleted, even when the icon worker
    // moves the selection while the question is open.
    TUninstallItem* entry = SelectedUninstallItem();
    if (entry == nullptr) {
        return;
    }
    const unsigned generation = FListGeneration;
    if (ConfirmDialog("Are you sure you want to delete the following entry:\r\n-\"" + entry->DisplayName +
                      "\"\r\n from registry?") != mrYes ||
        !StillListed(entry, generation)) {
        return; // the page may have closed, or the entry gone, while the question was open
    }
    // The key as it is now, not as the list showed it.
    TFileCheck check = FInventory->MakeFileCheck();
    const auto recheck = FInventory->RecheckEntry(*entry, check);
    if (recheck == TUninstallManager::TRecheck::Changed ||
        recheck == TUninstallManager::TRecheck::FilesBack) {
        const std::vector<std::string> name{entry->DisplayName};
        InfoDialog("Info:",
                   recheck == TUninstallManager::TRecheck::Changed ? LeftAloneText(name, {})
                                                                   : LeftAloneText({}, name),
                   false);
        return;
    }
    if (DeleteUninstallEntry(entry)) {
        ShowTotal();
    }
}

void TUninstallerForm::DetailsActionExecute() {
    // The dialog works on a copy: the entry may go while it is open.
    const int selected = SelectedListItem();
    if (selected < 0) {
        return;
    }
    const TIcon icon = UninstListView.ListView.ItemLargeIcon(selected);
    const TUninstallItem shown = *ItemEntry(selected);
    const auto saved = ShowDetails(FPlatform, shown, icon.Get());
    if (!saved || !Alive()) {
        return;
    }
    // What the user saved is no change from elsewhere: Clear It! and
    // Autofix take the entry as it now is.
    for (auto& [name, item] : FInventory->Items) {
        if (item->RootKey == shown.RootKey && item->View == shown.View &&
            SameText(item->KeyPath, shown.KeyPath)) {
            item->ValuesStamp = *saved;
        }
    }
}

namespace {

constexpr const char* kBackupFilter = "Registry file(*.reg)|*.reg";

HWND DialogOwner() {
    return TForm::MainForm != nullptr && TForm::MainForm->HandleAllocated() ? TForm::MainForm->Handle()
                                                                            : nullptr;
}

} // namespace

void TUninstallerForm::SaveListActionExecute() {
    TSaveDialog dialog;
    dialog.Title = "Backup Uninstall Info";
    dialog.Filter = kBackupFilter;
    dialog.OverwritePrompt = false; // asked below, for every file of the backup
    if (!dialog.Execute(DialogOwner()) || !Alive()) {
        return;
    }
    const std::string base = BackupBaseName(dialog.FileName);
    if (BackupExists(FPlatform, base) &&
        (ConfirmDialog("\"" + base + "\" or the files beside it that belong to it exist already. " +
                       "Replace them?") != mrYes ||
         !Alive())) {
        return;
    }
    const std::string failure = SaveBackup(FPlatform, base);
    if (!Alive()) {
        return;
    }
    if (failure.empty()) {
        InfoDialog("Info", "Uninstall information saved.", true);
    } else {
        InfoDialog("Warning:", failure, false);
    }
}

void TUninstallerForm::LoadListActionExecute() {
    TOpenDialog dialog;
    dialog.Title = "Restore Uninstall Info";
    dialog.Filter = kBackupFilter;
    if (!dialog.Execute(DialogOwner()) || !Alive()) {
        return;
    }
    std::string failure;
    try {
        failure = RestoreBackup(FPlatform, dialog.FileName);
    } catch (const ERegistryError&) {
        TApplication::Instance().HandleException(std::current_exception());
        return;
    }
    if (!Alive()) {
        return;
    }
    if (!failure.empty()) {
        InfoDialog("Warning:", failure, false);
        return;
    }
    InfoDialog("Info", "Uninstall information restored.", true);
    if (Alive()) {
        FillList();
    }
}

void TUninstallerForm::FindBadEntryActionHandler() {
    if (FInventory->BadCount == 0) {
        InfoDialog("Info:", "No bad entries!Everything looks fine!", false);
        return;
    }
    const TUninstallItemRefs offered = FInventory->AutofixItems();
    if (offered.empty()) {
        InfoDialog("Info:",
                   "The bad entries left are parts of other products, which remove them themselves. "
                   "Autofix leaves them alone.",
                   false);
        return;
    }
    const unsigned generation = FListGeneration;
    if (ShowBadEntries(*FInventory) != mrYes || !Alive() || generation != FListGeneration) {
        return;
    }
    // Exactly the entries the dialog showed.
    std::unordered_set<const TUninstallItem*> chosen;
    for (const auto& pair : offered) {
        chosen.insert(pair.second);
    }
    TListView& list = UninstListView.ListView;
    // Keys the registry keeps stay listed; the others go all the same.
    std::string refused;
    bool forWantOfRights = false;
    std::vector<std::string> changed;
    std::vector<std::string> back;
    TFileCheck check = FInventory->MakeFileCheck();
    {
        const TListView::TUpdateGuard update(list);
        // From the last item up, so the places still to visit stay where they are.
        for (int i = list.Count() - 1; i >= 0; --i) {
            TUninstallItem* entry = ItemEntry(i);
            if (!entry->Bad || chosen.count(entry) == 0) {
                continue;
            }
            // Read again just before the delete: the application may have
            // been installed again meanwhile.
            const auto recheck = FInventory->RecheckEntry(*entry, check);
            if (recheck == TUninstallManager::TRecheck::Changed) {
                changed.insert(changed.begin(), entry->DisplayName);
                continue;
            }
            if (recheck == TUninstallManager::TRecheck::FilesBack) {
                back.insert(back.begin(), entry->DisplayName);
                continue;
            }
            try {
                FInventory->DeleteEntryKey(*entry);
            } catch (const EClearvaneError& error) {
                // Refused by the registry, or no copy could be kept: named with the others.
                forWantOfRights = forWantOfRights || dynamic_cast<const ERightsError*>(&error) != nullptr;
                refused = std::string(error.what()) + (refused.empty() ? "" : "\r\n") + refused;
                continue;
            }
            RemoveListItem(i);
            FInventory->ForgetEntry(entry);
        }
        ShowTotal();
        list.Arrange();
    }
    SyncUI();
    if (const std::string leftAlone = LeftAloneText(changed, back); !leftAlone.empty()) {
        InfoDialog("Info:", leftAlone, false);
        if (!Alive()) {
            return;
        }
    }
    if (forWantOfRights) {
        TApplication::Instance().HandleException(ERightsError(refused));
    } else if (!refused.empty()) {
        TApplication::Instance().HandleException(ERegistryError(refused));
    }
}

void TUninstallerForm::PageActivated(void* sender) {
    TBaseSubForm::PageActivated(sender);
    ShowTotal();
    SyncUI(); // a cycle that ended while another tab was showing could not
    // The page's keys work at once, not only after a click into the list.
    if (UninstListView.ListView.Showing()) {
        UninstListView.ListView.SetFocus();
    }
}

void TUninstallerForm::ViewActionExecute(TMenuItem& sender) {
    UninstListView.ViewAsClick(sender); // its OnViewChanged moves the check marks
}

void TUninstallerForm::SearchAppActionHandler() {
    const std::optional<std::string> text = AskSearchText();
    if (!text || !Alive()) {
        return;
    }
    TListView& list = UninstListView.ListView;
    for (int i = 0; i < list.Count(); ++i) {
        if (!CaptionMatches(list.ItemText(i), *text)) {
            continue;
        }
        list.SetSelected(i);
        list.SetFocus();
        // Bring the item up to the top of the view.
        list.Scroll(0, list.ItemPosition(i).y - 16);
        return;
    }
}

bool TUninstallerForm::StillListed(const TUninstallItem* entry, unsigned generation) const {
    // A rebuild frees every entry, and a new one may take an old address.
    return Alive() && generation == FListGeneration && IndexOfEntry(entry) >= 0;
}

void TUninstallerForm::FormClose() {
    if (FEnding || FClosed) {
        return;
    }
    FClosed = true;
    UninstListView.ListView.SetVisible(false);
    FPageOpen = false;
    if (FIconThread && !FIconThread->StopWorkAndWait(kCloseWait)) {
        // A step still runs: the worker is kept aside until it returns,
        // holding on to the inventory until then, and joined at the end.
        FreeWorker(FIconThread.release(), 0);
    }
    FIconThread.reset();
    if (FInventory) {
        try {
            FInventory->SaveNames();
        } catch (const std::exception& error) {
            TApplication::Instance().HandleException(error);
        }
        // The list only points to the entries, which go now.
        UninstListView.ListView.Clear();
        FInventory.reset();
    }
    DoneFrame(UninstListView);
    try {
        SaveViewSettings();
    } catch (const std::exception& error) {
        TApplication::Instance().HandleException(error);
    }
}

int TUninstallerForm::ItemCount() const {
    return UninstListView.ListView.Count();
}

TUninstallItem* TUninstallerForm::ItemEntry(int index) const {
    return reinterpret_cast<TUninstallItem*>(UninstListView.ListView.ItemData(index));
}

int TUninstallerForm::IndexOfEntry(const TUninstallItem* entry) const {
    return UninstListView.ListView.FindData(reinterpret_cast<std::uintptr_t>(entry));
}

void TUninstallerForm::VisibleItems(int& first, int& count) const {
    const TListView& list = UninstListView.ListView;
    first = list.TopIndex();
    count = list.CountPerPage() + 1; // the row cut off at the bottom too
}

void TUninstallerForm::SetItemIcons(const std::vector<TItemIcon>& icons) {
    // Each changed row is marked for drawing, and they are drawn together at
    // the next paint: switching the drawing off and on would draw the whole
    // list again for every batch.
    TListView& list = UninstListView.ListView;
    for (const TItemIcon& icon : icons) {
        list.SetItemImage(icon.Index, icon.Image);
    }
}

void TUninstallerForm::SelectFirstItem() {
    TListView& list = UninstListView.ListView;
    if (list.Count() == 0) {
        return;
    }
    // The list takes the focus only where the user can see it.
    if (list.Showing()) {
        list.SetFocus();
    }
    list.SetSelected(0);
}

} // namespace cv
