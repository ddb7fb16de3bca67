#include "uninstaller/BadEntriesForm.h"

namespace cv {

namespace {

TIcon ResourceIcon(const wchar_t* name, int size) {
    return TIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, 0)));
}

} // namespace

TBadEntriesForm::TBadEntriesForm()
    : TForm("BadEntriesForm", nullptr, TBorderStyle::bsDialog), Image1(Make<TImage>(this, "Image1")),
      Label1(Make<TLabel>(this, "Label1")), ListView(Make<TListView>(this, "ListView")),
      Button1(Make<TButton>(this, "Button1", "&Yes")), Button2(Make<TButton>(this, "Button2", "&No")) {
    SetCaption("Bad entries found");
    SetClientSize(346, 223);
    CenterOnMainForm = true;

    Image1.SetBounds(12, 12, 32, 32);
    Image1.SetIcon(LoadIcon(nullptr, IDI_EXCLAMATION));
    Label1.AutoSize = false;
    Label1.WordWrap = true;
    Label1.SetBounds(56, 12, 278, 44);
    Label1.SetCaption("        Clearvane has found following bad registry entries,would like to delete them "
                      "all?(You can also delete them seperatly later.)");

    for (auto [list, size] : {std::pair{&ImageList1, 32}, std::pair{&ImageList2, 16}}) {
        if (const TIcon icon = ResourceIcon(L"Z_RUBBISH", size)) {
            list->AddIcon(icon.Get());
        }
    }
    ListView.SetBounds(12, 64, 322, 114);
    ListView.SetViewStyle(TViewStyle::vsList);
    ListView.SetImageLists(&ImageList1, &ImageList2);

    Button1.SetBounds(92, 188, 75, 25);
    Button1.ModalResult = mrYes;
    Button2.SetBounds(180, 188, 75, 25);
    Button2.ModalResult = mrNo;

    // Esc cancels; Enter answers with the button that has the focus.
    KeyPreview = true;
    OnKeyDown = [this](WORD& key) {
        if (key == VK_ESCAPE) {
            key = 0;
            SetModalResult(mrCancel);
        } else if (key == VK_RETURN) {
            key = 0;
            (Button2.Focused() ? Button2 : Button1).Click();
        }
    };
}

int ShowBadEntries(const TUninstallManager& inventory) {
    TBadEntriesForm form;
    for (const auto& [name, entry] : inventory.AutofixItems()) {
        form.ListView.AddItem(entry->DisplayName, {}, 0);
    }
    return form.ShowModal();
}

} // namespace cv
