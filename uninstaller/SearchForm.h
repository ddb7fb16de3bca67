// The dialog that asks for part of an application's name.
#pragma once

#include "forms/DialogForms.h"

#include <optional>

namespace cv {

class TSearchForm : public TWaitDialogForm {
public:
    TSearchForm();
    std::string ClassName() const override { return "TSearchForm"; }

    TLabel& Label2;
    TEdit& TextToSearch;
    TAlphaButton& CancelButton;
};

// Shows the dialog; the text typed when it ended with Search, or nothing.
std::optional<std::string> AskSearchText();

} // namespace cv
