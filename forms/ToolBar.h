// The white tool bar at the top of a page: image buttons with their picture
// above their caption, side by side, each bound to its action.
#pragma once

#include "toolkit/ComponentOwner.h"
#include "toolkit/StdControls.h"
#include "widgets/AlphaButton.h"

#include <vector>

namespace cv {

struct TToolButtonDef {
    const char* Name;
    TAction& Action;
    const wchar_t* Glyph;
    int Width = 52;
};

// Makes the buttons in the panel, which is sized to hold them at 8, 6.
std::vector<TAlphaButton*> MakeToolBar(TComponentOwner& owner, TPanel& panel,
                                       const std::vector<TToolButtonDef>& buttons);

} // namespace cv
