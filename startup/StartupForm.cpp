#include "startup/StartupForm.h"

#include "forms/DeletedEntriesForm.h"
#include "forms/DialogForms.h"
#include "forms/FormUtils.h"
#include "forms/ToolBar.h"
#include "platform/Errors.h"
#include "platform/Utils.h"
#include "startup/NewStartupForm.h"
#include "startup/StartupText.h"

namespace cv {

namespace {

const char* const kHint = "Hint: Here are the applications runs automatically at startup, select the "
                          "applications you won't let it run at startup and click Apply.";

// The list before any layout was kept: widths of the three columns, sorted
// by name.
TListLayout DesignLayout() {
    TListLayout layout;
    layout.Widths = {160, 240, 270};
    layout.ViewStyle = static_cast<int>(TViewStyle::vsReport);
    return layout;
}

} // namespace

TStartupForm::TStartupForm(IPageHost& host, const TPlatform& platform, const TFileInfoManager& fileInfo)
    : TBaseSubForm("StartupForm"), Panel3(Make<TPanel>(this, "Panel3")),
      glWizardHeader1(Make<TglWizardHeader>(&Panel3, "glWizardHeader1")),
      Panel5(Make<TPanel>(&Panel3, "Panel5")), Panel1(Make<TPanel>(this, "Panel1")),
      StartupFrame(Make<TFileLVFrame>(&Panel1, "StartupFrame", platform)),
      Panel2(Make<TPanel>(&Panel1, "Panel2")), Label1(Make<TLabel>(&Panel2, "Label1", kHint)), FHost(host),
      FPlatform(platform), FStartupManager(std::make_unique<TStartupManager>(platform, fileInfo)),
      FLayoutStore(platform) {
    const struct {
        TAction& Action;
        const char* Caption;
        const char* Hint;
        TShortCut ShortCut;
        void (TStartupForm::*Handler)();
    } actions[] = {
        {HideAction, "&Hide", "Switch the selected entry off now", {}, &TStartupForm::HideActionExecute},
        {ShowAction, "&Show", "Switch the selected entry on now", {}, &TStartupForm::ShowActionExecute},
        {DeleteAction,
         "Delete",
         "Delete the selected entry",
         {VK_DELETE},
         &TStartupForm::DeleteActionExecute},
        {RefreshAction, "Refresh", "Read the entries again", {VK_F5}, &TStartupForm::FillList},
        {ShowPropertiesAction,
         "Properties",
         "Show the Properties of the selected entry's file",
         {VK_RETURN, false, false, true},
         &TStartupForm::ShowPropertiesActionExecute},
        {NewAction,
         "New",
         "Add a program that starts with Windows",
         {'N', true},
         &TStartupForm::NewActionExecute},
        {ApplyAction,
         "Apply",
         "Switch off the ticked entries and on the clear ones",
         {'S', true},
         &TStartupForm::ApplyActionExecute},
        {RestoreDeletedAction,
         "Restore Deleted Entries...",
         "Put back entries Clearvane deleted",
         {},
         &TStartupForm::RestoreDeletedActionExecute},
    };
    for (const auto& a : actions) {
        a.Action.SetCaption(a.Caption);
        a.Action.SetHint(a.Hint);
        a.Action.SetShortCut(a.ShortCut);
        // No action of the page runs once it has closed.
        a.Action.OnExecute = [this, handler = a.Handler] {
            if (FStartupManager) {
                (this->*handler)();
            }
        };
        AddAction(a.Action);
    }

    BuildHeader();
    Panel1.SetBevelOuter(TBevelCut::bvNone);
    Panel1.SetAlign(TAlign::alClient);
    Panel2.SetColor(clInfoBk);
    Panel2.SetSize(Panel2.Width(), 41);
    Panel2.SetAlign(TAlign::alBottom);
    Label1.AutoSize = false;
    Label1.WordWrap = true;
    Label1.SetBounds(8, 6, 600, 30);
    Panel2.OnResize = [this] { Label1.SetSize(Panel2.ClientWidth() - 16, Label1.Height()); };

    StartupFrame.SetAlign(TAlign::alClient);
    TListView& list = StartupFrame.ListView;
    list.SetColumns({{"Descriptoin", 160}, {"Command", 240}, {"Source", 270}});
    list.SetRowSelect(true);
    list.SetCheckBoxes(true);
    list.OnItemStateChanged = [this](int index) { ItemStateChanged(index); };
    list.OnSelectItem = [this](int, bool) { UpdateActions(); };
    list.OnEnter = [this] { UpdateActions(); };
    list.OnExit = [this] { UpdateActions(); };
    BuildMenus();

    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction&) { FormClose(); };

    InitFrame(StartupFrame);
    LoadLayout();
    SetPageMenu(&MainMenu1);
    UpdateActions();
    SetModified(false);
}

TStartupForm::~TStartupForm() {
    SetPageMenu(nullptr);
}

void TStartupForm::BuildHeader() {
    Panel3.SetBevelOuter(TBevelCut::bvNone);
    Panel3.SetSize(Panel3.Width(), 79);
    Panel3.SetAlign(TAlign::alTop);
    glWizardHeader1.SetAlign(TAlign::alClient);
    glWizardHeader1.BufferedDraw = true;
    glWizardHeader1.SetCaptions({" "});
    glWizardHeader1.SetComments({" "});
    glWizardHeader1.SetCaptionFont({"Arial", 24, true, false, clWindowText});
    glWizardHeader1.SetSymbolFont({"Wingdings", 35, true, false, clHighlightText});
    glWizardHeader1.SetSymbol("=");
    glWizardHeader1.Gradient().SetFromColor(clHighlight);
    glWizardHeader1.Gradient().SetToColor(clWindow);
    glWizardHeader1.Gradient().SetOrientation(TGradientDir::fgdHorizontal);
    glWizardHeader1.Gradient().SetActive(true);

    ToolButtons = MakeToolBar(*this, Panel5,
                              {
                                  {"AutoFixButton", NewAction, L"GLYPH_NEW"},
                                  // "Properties" is the one caption that needs more room.
                                  {"DetailsButton", ShowPropertiesAction, L"GLYPH_PROPERTIES", 60},
                                  {"ApplyButton", ApplyAction, L"GLYPH_APPLY"},
                                  {"RefreshButton", RefreshAction, L"GLYPH_REFRESH"},
                                  {"HelpButton", FHost.HelpAction(), L"GLYPH_HELP"},
                                  {"AlphaButton3", FHost.HomeAction(), L"GLYPH_HOME"},
                                  {"AlphaButton5", FHost.ExitProgramAction(), L"GLYPH_EXIT"},
                              });
}

void TStartupForm::BuildMenus() {
    TMenuItem& file = MainMenu1.Items().Add("&File");
    ActionItem(file, NewAction);
    ActionItem(file, RestoreDeletedAction);
    file.Add("-");
    ActionItem(file, FHost.ExitProgramAction());

    TMenuItem& action = MainMenu1.Items().Add("&Action");
    for (TAction* a : {&HideAction, &ShowAction, &DeleteAction}) {
        ActionItem(action, *a);
    }
    action.Add("-");
    ActionItem(action, ApplyAction);

    TMenuItem& view = MainMenu1.Items().Add("&View");
    ActionItem(view, RefreshAction);
    ActionItem(view, ShowPropertiesAction);

    AddHelpMenu(MainMenu1, FHost);

    // The list's own items come ahead of the frame's separator; its View
    // submenu is not offered here, Properties closes the menu.
    TMenuItem& context = StartupFrame.ContextMenu.Items();
    InsertActionItems(context, {&NewAction, &HideAction, &ShowAction, &DeleteAction});
    StartupFrame.ViewItem.SetVisible(false);
    context.Add({}).SetAction(&ShowPropertiesAction);
}

void TStartupForm::LoadLayout() {
    const TListLayout layout = FLayoutStore.Load(DesignLayout());
    TListView& list = StartupFrame.ListView;
    list.SetViewStyle(static_cast<TViewStyle>(layout.ViewStyle));
    for (std::size_t i = 0; i < layout.Widths.size() && i < list.ColumnCount(); ++i) {
        list.SetColumnWidth(static_cast<int>(i), layout.Widths[i]);
    }
    StartupFrame.SetSort(layout.SortColumn, layout.Ascending);
}

void TStartupForm::SaveLayout() {
    const TListView& list = StartupFrame.ListView;
    TListLayout layout;
    for (std::size_t i = 0; i < list.ColumnCount(); ++i) {
        layout.Widths.push_back(list.ColumnWidth(static_cast<int>(i)));
    }
    layout.SortColumn = std::max(StartupFrame.SortColumn(), 0);
    layout.Ascending = StartupFrame.SortAscending();
    layout.ViewStyle = static_cast<int>(list.ViewStyle());
    FLayoutStore.Save(layout);
}

void TStartupForm::FormShow() {
    if (!FFirstShow) {
        return;
    }
    FFirstShow = false;
    SetModified(false);
    FillList();
}

void TStartupForm::FormClose() {
    if (!FStartupManager) {
        return;
    }
    // Marks not yet applied are dropped: closing the program writes nothing.
    try {
        SaveLayout();
    } catch (const std::exception& error) {
        TApplication::Instance().HandleException(error);
    }
    // The rows only point to the entries, which go now.
    StartupFrame.ListView.Clear();
    DoneFrame(StartupFrame);
    FStartupManager.reset();
}

TStartupItem* TStartupForm::ItemEntry(int index) const {
    return reinterpret_cast<TStartupItem*>(StartupFrame.ListView.ItemData(index));
}

TStartupItem* TStartupForm::SelectedStartupItem() const {
    const int selected = StartupFrame.ListView.Selected();
    return selected >= 0 ? ItemEntry(selected) : nullptr;
}

void TStartupForm::FillList() {
    if (!FStartupManager) {
        return;
    }
    TListView& list = StartupFrame.ListView;
    ++FListGeneration; // every entry taken before now is gone
    {
        const TListView::TUpdateGuard update(list);
        list.Clear(); // before the read frees the entries the rows point to
        for (const auto& item : FStartupManager->GetItems(true)) {
            const int index = list.AddItem(item->DisplayName, {item->Command, SourceText(*item)},
                                           FStartupManager->GetIconIndex(*item));
            if (!item->Enabled) {
                list.SetItemCut(index, true);
                list.SetItemChecked(index, true);
            }
            // Last: the marks set above are not the user's changes.
            list.SetItemData(index, reinterpret_cast<std::uintptr_t>(item.get()));
        }
    }
    StartupFrame.Resort();
    ShowTotal();
    UpdateActions(); // nothing is selected after a fill
}

void TStartupForm::ShowTotal() {
    if (FStartupManager) {
        FHost.ShowPageStatus(
            StartupTotalText(FStartupManager->GetItems(false).size(), FStartupManager->Skipped));
    }
}

void TStartupForm::SetModified(bool modified) {
    FModified = modified;
    ApplyAction.SetEnabled(modified);
}

void TStartupForm::ItemStateChanged(int index) {
    TListView& list = StartupFrame.ListView;
    if (index >= 0) {
        // A change of the mark is told by the entry's state, which always
        // agrees with the mark the row had: the list does not announce every
        // change of states beforehand (it clears a selection unasked).
        const bool mark = list.ItemChecked(index);
        TStartupItem* entry = ItemEntry(index);
        if (entry != nullptr && mark == entry->Enabled) {
            entry->Enabled = !mark;
            list.SetItemCut(index, mark); // a change of its own, which finds the mark unchanged
            SetModified(true);
        }
    }
    UpdateActions();
}

void TStartupForm::UpdateActions() {
    const int selected = StartupFrame.ListView.Selected();
    const TStartupItem* entry = selected >= 0 ? ItemEntry(selected) : nullptr;
    const bool checked = entry != nullptr && StartupFrame.ListView.ItemChecked(selected);
    DeleteAction.SetEnabled(entry != nullptr);
    // A program that was not found has no Properties to show.
    ShowPropertiesAction.SetEnabled(entry != nullptr && !entry->FilePath.empty());
    HideAction.SetEnabled(entry != nullptr && !checked);
    ShowAction.SetEnabled(entry != nullptr && checked);
    ShowEntryFacts(entry);
}

void TStartupForm::ShowEntryFacts(const TStartupItem* entry) {
    // The foot tells what the row cannot: when Windows switched the entry off.
    const std::string facts = entry != nullptr ? OffInWindowsText(*entry, FPlatform.Locale) : std::string();
    const std::string text = facts.empty() ? kHint : facts;
    if (Label1.Caption() != text) {
        Label1.SetCaption(text);
    }
}

void TStartupForm::ShowSource(int index) {
    if (const TStartupItem* entry = ItemEntry(index); entry != nullptr) {
        StartupFrame.ListView.SetItemText(index, 2, SourceText(*entry));
    }
}

bool TStartupForm::SaveChanges() {
    TListView& list = StartupFrame.ListView;
    std::string failures;
    bool forWantOfRights = false;
    for (int i = 0; i < list.Count(); ++i) {
        TStartupItem* entry = ItemEntry(i);
        if (entry == nullptr) {
            continue;
        }
        entry->Enabled = !list.ItemChecked(i);
        // A row that cannot be written keeps its mark; the others are written all the same.
        try {
            entry->ApplyState();
        } catch (const EClearvaneError& error) {
            forWantOfRights = forWantOfRights || dynamic_cast<const ERightsError*>(&error) != nullptr;
            failures += (failures.empty() ? "" : "\r\n") + std::string(error.what());
        }
        ShowSource(i); // switched on in Windows too
    }
    UpdateActions();
    if (forWantOfRights) {
        TApplication::Instance().HandleException(ERightsError(failures));
    } else if (!failures.empty()) {
        TApplication::Instance().HandleException(EStartupError(failures));
    }
    return failures.empty();
}

void TStartupForm::ApplyActionExecute() {
    // Apply stays available while a row could not be written.
    SetModified(!SaveChanges());
}

void TStartupForm::DeleteActionExecute() {
    TStartupItem* entry = SelectedStartupItem();
    const unsigned generation = FListGeneration;
    if (entry == nullptr ||
        ConfirmDialog("Are you sure to delete the following entry: " + entry->DisplayName + "?") != mrYes) {
        return;
    }
    // A read while the question was open freed the entry, and a new one may
    // have its address: only the entry asked about is deleted.
    const int index = StartupFrame.ListView.FindData(reinterpret_cast<std::uintptr_t>(entry));
    if (!FStartupManager || generation != FListGeneration || index < 0) {
        return;
    }
    FStartupManager->DeleteStartupItem(*entry); // an entry that stays keeps its row; the error is shown
    StartupFrame.ListView.DeleteItem(index);
    UpdateActions();
}

void TStartupForm::HideActionExecute() {
    MoveSelected(true);
}

void TStartupForm::ShowActionExecute() {
    MoveSelected(false);
}

void TStartupForm::MoveSelected(bool park) {
    const int selected = StartupFrame.ListView.Selected();
    TStartupItem* entry = SelectedStartupItem();
    if (entry == nullptr) {
        return;
    }
    if (park) {
        FStartupManager->HideStartupItem(*entry);
    } else {
        FStartupManager->ShowStartupItem(*entry);
    }
    ShowSource(selected);
    // Through the check tracking: the entry's state and Apply follow the mark.
    StartupFrame.ListView.SetItemCut(selected, park);
    StartupFrame.ListView.SetItemChecked(selected, park);
    UpdateActions();
}

void TStartupForm::ShowPropertiesActionExecute() {
    if (const TStartupItem* entry = SelectedStartupItem(); entry != nullptr && !entry->FilePath.empty()) {
        ShowFileProperties(FPlatform, entry->FilePath);
    }
}

void TStartupForm::NewActionExecute() {
    TStartupItem holder(FPlatform);
    const TNewEntryCheck check = [this](const std::string& name, const std::string& command,
                                        TRunFrom runFrom) {
        if (FStartupManager) {
            FStartupManager->CheckNewStartupItem(name, command, runFrom);
        }
    };
    if (ShowNewStartupDialog(holder, check) != mrOk || !FStartupManager) {
        return;
    }
    FStartupManager->AddStartupItem(holder.DisplayName, holder.Command, holder.RunFrom);
    FillList();
}

void TStartupForm::PageActivated(void* sender) {
    TBaseSubForm::PageActivated(sender);
    // What changed in the stores while another tab showed shows now; the
    // list was read when the user left, so no mark of theirs is pending.
    if (!FModified) {
        FillList();
    }
    ShowTotal();
    UpdateActions();
    // The page's keys work at once, not only after a click into the list.
    if (StartupFrame.ListView.Showing()) {
        StartupFrame.ListView.SetFocus();
    }
}

void TStartupForm::PageDeactivating() {
    TBaseSubForm::PageDeactivating();
    if (!FStartupManager) {
        return;
    }
    if (FModified && ConfirmDialog("You have not saved your changes, would you like to save it?") == mrYes) {
        SaveChanges();
    }
    SetModified(false);
    FillList();
}

void TStartupForm::RestoreDeletedActionExecute() {
    // The list is read again when anything came back and the page still stands.
    if (ShowDeletedEntries(FPlatform) && FStartupManager) {
        FillList();
    }
}

} // namespace cv
