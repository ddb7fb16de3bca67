#include "uninstaller/DetailsForm.h"

#include "forms/DialogForms.h"
#include "platform/Errors.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"
#include "platform/Utils.h"
#include "toolkit/Application.h"
#include "uninstaller/DetailsText.h"

#include <algorithm>

namespace cv {

namespace {

constexpr int kRowHeight = 17;

} // namespace

TDetailsForm::TDetailsForm(const TPlatform& platform)
    : TForm("DetailsForm", nullptr, TBorderStyle::bsDialog), TopBand(Make<TPanel>(this, "TopBand")),
      Image1(Make<TImage>(&TopBand, "Image1")), LblInfo(Make<TLabel>(&TopBand, "LblInfo")),
      Details(Make<TGroupBox>(this, "Details", "Details")),
      lblPublisher(Make<TLabel>(&Details, "lblPublisher")), lblVersion(Make<TLabel>(&Details, "lblVersion")),
      lblHelpInfo(Make<TLinkLabel>(&Details, "lblHelpInfo")),
      lblAboutInfo(Make<TLinkLabel>(&Details, "lblAboutInfo")),
      lblUpdateInfo(Make<TLinkLabel>(&Details, "lblUpdateInfo")),
      lblTelephone(Make<TLabel>(&Details, "lblTelephone")), Label1(Make<TLabel>(this, "Label1")),
      ValueList(Make<TValueListEditor>(this, "ValueList")),
      Button1(Make<TAlphaButton>(this, "Button1", "&Save")),
      AlphaButton1(Make<TAlphaButton>(this, "AlphaButton1", "&Close")), FPlatform(platform) {
    SetCaption("Application Details");
    SetClientSize(377, 441);
    CenterOnMainForm = true;

    TopBand.SetBounds(0, 0, 377, 81);
    TopBand.SetBevelOuter(TBevelCut::bvNone);
    TopBand.SetColor(clWhite);
    Image1.SetBounds(172, 12, 32, 32);
    Image1.Center = true;
    LblInfo.AutoSize = false;
    LblInfo.Alignment = TAlignment::taCenter;
    LblInfo.ShowAccelChar = false;
    LblInfo.SetFont({"MS Sans Serif", 11, true, false, clWindowText});
    LblInfo.SetBounds(4, 54, 369, 16);

    Details.SetBounds(8, 88, 361, 122);
    const struct {
        const char* Caption;
        TControl* Value;
    } rows[] = {{"Publisher:", &lblPublisher},    {"Version:", &lblVersion},
                {"Help Info:", &lblHelpInfo},     {"About Info:", &lblAboutInfo},
                {"Update Info:", &lblUpdateInfo}, {"Telephone:", &lblTelephone}};
    int top = 18;
    for (const auto& row : rows) {
        auto& caption = Make<TLabel>(&Details, std::string("Caption") + row.Caption, row.Caption);
        caption.SetBounds(12, top, 72, 13);
        row.Value->SetBounds(90, top, 262, 13);
        top += kRowHeight;
    }
    for (TLabel* value : {&lblPublisher, &lblVersion, &lblTelephone}) {
        value->AutoSize = false;
        value->ShowAccelChar = false;
    }
    for (TLinkLabel* link : {&lblHelpInfo, &lblAboutInfo, &lblUpdateInfo}) {
        link->OnClick = [this, link] { GoToURLClick(*link); };
    }

    Label1.AutoSize = false;
    Label1.WordWrap = true;
    Label1.SetBounds(8, 216, 361, 40);
    Label1.SetCaption(
        "Here are all the values from registry, you may edit it freely, but BE CAREFUL! Recommend "
        "Only for advanced users. If you don't know what it is, leave it as is.");

    ValueList.SetBounds(2, 258, 373, 144);
    // The text column fits beside the vertical scroll bar: no row scrolls sideways.
    ValueList.SetTitles("Value Name", 171, "Value", 180);
    ValueList.SetRows({});

    Button1.SetBounds(108, 410, 75, 25);
    Button1.SetGlyphResource(L"BUTTON_SAVE");
    Button1.OnClick = [this] { SaveClick(); };
    AlphaButton1.SetBounds(194, 410, 75, 25);
    AlphaButton1.SetGlyphResource(L"BUTTON_CLOSE");
    AlphaButton1.OnClick = [this] { SetModalResult(mrCancel); };

    // Esc closes, also while a cell is edited; the edit is dropped.
    KeyPreview = true;
    OnKeyDown = [this](WORD& key) {
        if (key == VK_ESCAPE) {
            key = 0;
            if (ValueList.Editing()) {
                ValueList.EndEdit(false);
            }
            SetModalResult(mrCancel);
        }
    };
}

void TDetailsForm::LoadEntry(const TUninstallItem& entry, HICON icon) {
    FEntry = std::make_unique<TUninstallItem>(entry);
    Image1.SetIcon(icon);
    ShowFacts(entry);
    FLoaded = entry.ReadRows();
    ValueList.SetRows(GridRows(FLoaded));
}

void TDetailsForm::ShowFacts(const TUninstallItem& entry) {
    LblInfo.SetCaption(entry.DisplayName);
    lblPublisher.SetCaption(FactText(entry.Publisher));
    lblVersion.SetCaption(FactText(entry.DisplayVersion));
    lblHelpInfo.SetCaption(LinkText(entry.HelpLink));
    lblAboutInfo.SetCaption(LinkText(entry.URLInfoAbout));
    lblUpdateInfo.SetCaption(LinkText(entry.URLUpdateInfo));
    lblTelephone.SetCaption(FactText(entry.HelpTelephone));
}

void TDetailsForm::GoToURLClick(const TLinkLabel& label) {
    if (IsWebAddress(label.Caption())) {
        ShellOpen(FPlatform, label.Caption());
    }
}

void TDetailsForm::SaveClick() {
    if (!FEntry || WarnDialog("Are you sure you want to save the changes?") != mrYes) {
        return;
    }
    if (ValueList.Editing()) {
        ValueList.EndEdit(true); // the cell being typed in counts
    }
    try {
        FEntry->WriteRows(SavedRows(ValueList.Rows(), FLoaded));
        FLoaded = FEntry->ReadRows(); // what is saved now is what a later save starts from
        // The key as saved here is the one the list knows from now on: the
        // check before a delete is for changes made elsewhere.
        TRegistry reg(FPlatform.Registry, kKeyRead);
        reg.SetRootKey(FEntry->RootKey);
        reg.SetView(FEntry->View);
        if (reg.OpenKey(FEntry->KeyPath, false)) {
            FSavedStamp = ReadValuesStamp(reg);
        }
        ValueList.SetRows(GridRows(FLoaded));
        // The facts above follow what was saved.
        TUninstallItem saved = *FEntry;
        for (const auto& [field, fieldName] : {std::pair{&saved.DisplayName, "DisplayName"},
                                               {&saved.Publisher, "Publisher"},
                                               {&saved.DisplayVersion, "DisplayVersion"},
                                               {&saved.HelpLink, "HelpLink"},
                                               {&saved.URLInfoAbout, "URLInfoAbout"},
                                               {&saved.URLUpdateInfo, "URLUpdateInfo"},
                                               {&saved.HelpTelephone, "HelpTelephone"}}) {
            const std::string name = fieldName; // a lambda takes no structured binding
            const auto row = std::find_if(FLoaded.begin(), FLoaded.end(),
                                          [&](const TValueText& v) { return SameText(v.first, name); });
            *field = row != FLoaded.end() ? row->second : std::string();
        }
        ShowFacts(saved);
    } catch (const EClearvaneError&) {
        TApplication::Instance().HandleException(std::current_exception());
    }
}

std::optional<std::uint64_t> ShowDetails(const TPlatform& platform, const TUninstallItem& entry, HICON icon) {
    TDetailsForm form(platform);
    form.LoadEntry(entry, icon);
    form.ShowModal();
    return form.SavedStamp();
}

} // namespace cv
