#include "toolkit/Menu.h"

#include "platform/win32/Win32Text.h"

#include <algorithm>

namespace cv {

namespace {

UINT NextCommand() {
    static UINT next = 0x1000;
    return next++;
}

} // namespace

TMenuItem::TMenuItem(std::string caption) : FCaption(std::move(caption)), FCommand(NextCommand()) {}

void TMenuItem::Changed() {
    for (TMenuItem* item = this; item != nullptr; item = item->FParent) {
        if (item->FMenu != nullptr) {
            item->FMenu->Rebuild();
            return;
        }
    }
}

void TMenuItem::SetCaption(const std::string& caption) {
    FCaption = caption;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
    FEnabled = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible) {
    FVisible = visible;
    Changed();
}

void TMenuItem::SetChecked(bool checked) {
    FChecked = checked;
    if (checked && FGroupIndex > 0 && FParent != nullptr) {
        for (auto& sibling : FParent->FItems) {
            if (sibling.get() != this && sibling->FGroupIndex == FGroupIndex) {
                sibling->FChecked = false;
            }
        }
    }
    Changed();
}

void TMenuItem::SetRadio(int groupIndex) {
    FGroupIndex = groupIndex;
    Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
    FDefault = isDefault;
    Changed();
}

TMenuItem& TMenuItem::Add(const std::string& caption) {
    return Insert(FItems.size(), caption);
}

TMenuItem& TMenuItem::Insert(std::size_t index, const std::string& caption) {
    const auto at = FItems.begin() + static_cast<std::ptrdiff_t>(std::min(index, FItems.size()));
    TMenuItem& item = **FItems.insert(at, std::make_unique<TMenuItem>(caption));
    item.FParent = this;
    Changed();
    return item;
}

void TMenuItem::Click() {
    if (!FEnabled) {
        return;
    }
    if (FGroupIndex > 0) {
        SetChecked(true);
    }
    if (Action() != nullptr) {
        Action()->Execute();
    } else if (OnClickSender) {
        OnClickSender(*this);
    } else if (OnClick) {
        OnClick();
    }
}

void TMenuItem::ActionChanged(const TAction& action) {
    FCaption = action.Caption();
    FShortCutText = ShortCutToText(action.ShortCut());
    FEnabled = action.Enabled();
    FVisible = action.Visible();
    FChecked = action.Checked();
    Changed();
}

TMenuItem* TMenuItem::Find(UINT command) {
    if (FCommand == command) {
        return this;
    }
    for (auto& item : FItems) {
        if (TMenuItem* found = item->Find(command)) {
            return found;
        }
    }
    return nullptr;
}

TMenu::TMenu(bool popup) : FPopup(popup) {
    FRoot.FMenu = this;
    Rebuild();
}

TMenu::~TMenu() {
    if (FWindow != nullptr && IsWindow(FWindow) && GetMenu(FWindow) == FHandle) {
        SetMenu(FWindow, nullptr);
    }
    if (FHandle != nullptr) {
        DestroyMenu(FHandle);
    }
}

HMENU TMenu::Build(TMenuItem& parent, bool popup) {
    HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
    for (auto& item : parent.FItems) {
        if (!item->FVisible) {
            continue; // left out of the Windows menu; its place among the items stays
        }
        if (item->FCaption == "-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text = toWide(item->FCaption);
        if (!item->FShortCutText.empty()) {
            text += L"\t" + toWide(item->FShortCutText);
        }
        UINT flags =
            MF_STRING | (item->FEnabled ? MF_ENABLED : MF_GRAYED) | (item->FChecked ? MF_CHECKED : 0);
        if (!item->FItems.empty()) {
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Build(*item, true)), text.c_str());
            continue;
        }
        AppendMenuW(menu, flags, item->FCommand, text.c_str());
        if (item->FGroupIndex > 0) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_RADIOCHECK;
            SetMenuItemInfoW(menu, item->FCommand, FALSE, &info);
        }
        if (item->FDefault) {
            SetMenuDefaultItem(menu, item->FCommand, FALSE);
        }
    }
    return menu;
}

void TMenu::Rebuild() {
    HMENU old = FHandle;
    FHandle = Build(FRoot, FPopup);
    if (FWindow != nullptr && IsWindow(FWindow)) {
        SetMenu(FWindow, FHandle);
        DrawMenuBar(FWindow);
    }
    if (old != nullptr) {
        DestroyMenu(old);
    }
}

void TMenu::AttachTo(HWND window) {
    FWindow = window;
    SetMenu(window, FHandle);
    DrawMenuBar(window);
}

void TMenu::Popup(HWND owner, int x, int y) {
    const UINT command =
        static_cast<UINT>(TrackPopupMenu(FHandle, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    if (command != 0) {
        DispatchCommand(command);
    }
}

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FRoot.Find(command);
    if (item == nullptr || item == &FRoot) {
        return false;
    }
    item->Click();
    return true;
}

} // namespace cv
