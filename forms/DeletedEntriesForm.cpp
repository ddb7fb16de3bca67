#include "forms/DeletedEntriesForm.h"

#include "forms/DialogForms.h"
#include "platform/Errors.h"
#include "toolkit/Application.h"

namespace cv {

TDeletedEntriesForm::TDeletedEntriesForm(const TPlatform& platform, std::string folder)
    : TForm("DeletedEntriesForm", nullptr, TBorderStyle::bsDialog), Label1(Make<TLabel>(this, "Label1")),
      ListView(Make<TListView>(this, "ListView")),
      RestoreButton(Make<TButton>(this, "RestoreButton", "&Restore")),
      CloseButton(Make<TButton>(this, "CloseButton", "&Close")), FPlatform(platform),
      FStore(platform, std::move(folder)) {
    SetCaption("Restore Deleted Entries");
    SetClientSize(640, 320);
    CenterOnMainForm = true;

    Label1.AutoSize = false;
    Label1.WordWrap = true;
    Label1.SetBounds(12, 10, 616, 30);

    ListView.SetBounds(12, 44, 616, 228);
    ListView.SetViewStyle(TViewStyle::vsReport);
    ListView.SetColumns({{"Deleted", 112}, {"Name", 170}, {"Where", 330}});
    ListView.SetRowSelect(true);
    ListView.SetMultiSelect(true);
    ListView.OnSelectItem = [this](int, bool) { SyncButtons(); };
    ListView.OnDblClick = [this] { RestoreChosen(); };

    RestoreButton.SetBounds(472, 284, 75, 25);
    RestoreButton.OnClick = [this] { RestoreChosen(); };
    CloseButton.SetBounds(553, 284, 75, 25);
    CloseButton.ModalResult = mrCancel;

    // Esc closes; Enter puts back the chosen rows, or closes from Close.
    KeyPreview = true;
    OnKeyDown = [this](WORD& key) {
        if (key == VK_ESCAPE || (key == VK_RETURN && CloseButton.Focused())) {
            key = 0;
            SetModalResult(mrCancel);
        } else if (key == VK_RETURN) {
            key = 0;
            RestoreChosen();
        }
    };
    Fill();
}

void TDeletedEntriesForm::Fill() {
    FEntries = FStore.List();
    TListView::TUpdateGuard update(ListView);
    ListView.Clear();
    for (std::size_t i = 0; i < FEntries.size(); ++i) {
        const TDeletedEntry& entry = FEntries[i];
        ListView.AddItem(DeletedTimeText(entry.Deleted, FPlatform.Locale), {entry.Name, ListedWhere(entry)},
                         -1, i);
    }
    Label1.SetCaption(FEntries.empty()
                          ? "Clearvane keeps a copy of every entry it deletes. There is none to put back."
                          : "Clearvane keeps a copy of every entry it deletes. Choose the ones to put back "
                            "where they were, newest first.");
    SyncButtons();
}

void TDeletedEntriesForm::SyncButtons() {
    bool chosen = false;
    for (int i = 0; i < ListView.Count() && !chosen; ++i) {
        chosen = ListView.ItemSelected(i);
    }
    RestoreButton.SetEnabled(chosen);
}

void TDeletedEntriesForm::RestoreChosen() {
    std::vector<TDeletedEntry> chosen;
    for (int i = 0; i < ListView.Count(); ++i) {
        const std::size_t at = ListView.ItemData(i);
        if (ListView.ItemSelected(i) && at < FEntries.size()) {
            chosen.push_back(FEntries[at]);
        }
    }
    // A startup entry comes back with Windows' record of it, chosen or not.
    for (const TDeletedEntry& companion : CompanionsOf(chosen, FEntries)) {
        chosen.push_back(companion);
    }
    if (chosen.empty()) {
        return;
    }
    std::string failures;
    for (const TDeletedEntry& entry : chosen) {
        try {
            if (FStore.Restore(entry, false) == TDeletedStore::TRestored::IsBack) {
                if (ConfirmDialog("\"" + entry.Name + "\" is in its place again (" + DeletedWhere(entry) +
                                  "). Replace it with the copy deleted on " +
                                  DeletedTimeText(entry.Deleted, FPlatform.Locale) + "?") != mrYes) {
                    continue;
                }
                FStore.Restore(entry, true);
            }
            FRestored = true;
        } catch (const ERightsError&) {
            // Offers to start again as administrator.
            TApplication::Instance().HandleException(std::current_exception());
            break;
        } catch (const EClearvaneError& error) {
            failures += std::string(error.what()) + "\r\n";
        }
    }
    Fill();
    // The Restore button, greyed now, had the focus: the keys go on working.
    if (ListView.Count() > 0) {
        ListView.SetFocus();
    } else {
        CloseButton.SetFocus();
    }
    if (!failures.empty()) {
        InfoDialog("Warning:", failures, false);
    }
}

bool ShowDeletedEntries(const TPlatform& platform) {
    TDeletedEntriesForm form(platform);
    form.ShowModal();
    return form.Restored();
}

} // namespace cv
