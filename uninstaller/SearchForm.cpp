#include "uninstaller/SearchForm.h"

namespace cv {

TSearchForm::TSearchForm()
    : Label2(Make<TLabel>(&Panel1, "Label2", "Application Name:")),
      TextToSearch(Make<TEdit>(&Panel1, "TextToSearch")),
      CancelButton(MakeButton("CancelButton", "&Cancel", L"BUTTON_CANCEL", 184, 104, 75, 25, mrCancel)) {
    SetClientSize(337, 142);
    glWizardHeader1.SetCommentsText("Enter part of an application name to search:");
    Label2.SetBounds(12, 76, 104, 13);
    TextToSearch.SetBounds(120, 72, 205, 21);
    OkButton.SetCaption("Search");
    OkButton.SetGlyphResource(L"BUTTON_SEARCH");
    OkButton.SetBounds(80, 104, 75, 25);
    // Enter searches while the text has the focus; Esc there leaves the
    // dialog open, as in every dialog with an edit field (Cancel closes it).
    TextToSearch.OnKeyDown = [this](WORD& key) {
        if (key == VK_RETURN) {
            key = 0;
            OkButton.Click();
        }
    };
}

std::optional<std::string> AskSearchText() {
    TSearchForm form;
    form.SetCaption("Search");
    if (form.ShowModal() != mrOk) {
        return std::nullopt;
    }
    return form.TextToSearch.Text();
}

} // namespace cv
