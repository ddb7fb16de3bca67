#include "toolkit/Menu.h"

#include "platform/win32/Win32Text.h"

#include <algorithm>
#include <set>

namespace cv {

namespace {

// Command ids in use; a dead item's id is free again.
class TCommandPool {
public:
    UINT Take() {
        if (!FFree.empty()) {
            const UINT id = *FFree.begin();
            FFree.erase(FFree.begin());
            return id;
        }
        if (FNext <= TMenuItem::kLastCommand) {
            return FNext++;
        }
        return 0; // every id is taken: the item shows but sends no command
    }
    void Give(UINT id) {
        if (id != 0) {
            FFree.insert(id);
        }
    }

private:
    UINT FNext = TMenuItem::kFirstCommand;
    std::set<UINT> FFree;
};

TCommandPool& Commands() {
    static TCommandPool pool;
    return pool;
}

} // namespace

TMenuItem::TMenuItem(std::string caption) : FCaption(std::move(caption)), FCommand(Commands().Take()) {}

TMenuItem::~TMenuItem() {
    Commands().Give(FCommand);
}

HMENU TMenuItem::ParentHandle() const {
    return FParent != nullptr ? FParent->FHandle : nullptr;
}

UINT TMenuItem::Position() const {
    UINT position = 0;
    for (const auto& sibling : FParent->FItems) {
        if (sibling.get() == this) {
            break;
        }
        if (sibling->FVisible) {
            ++position;
        }
    }
    return position;
}

MENUITEMINFOW TMenuItem::Info(std::wstring& text) const {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.wID = FCommand;
    info.hSubMenu = FHandle;
    if (FCaption == "-") {
        info.fType = MFT_SEPARATOR;
        info.fMask &= ~static_cast<UINT>(MIIM_STRING);
        return info;
    }
    text = toWide(FCaption);
    if (!FShortCutText.empty()) {
        text += L"\t" + toWide(FShortCutText);
    }
    info.fType = MFT_STRING | (FGroupIndex > 0 ? MFT_RADIOCHECK : 0);
    info.fState = (FEnabled ? MFS_ENABLED : MFS_GRAYED) | (FChecked ? MFS_CHECKED : MFS_UNCHECKED) |
                  (FDefault ? MFS_DEFAULT : 0);
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    return info;
}

void TMenuItem::MenuBarChanged() const {
    for (const TMenuItem* item = this; item != nullptr; item = item->FParent) {
        if (item->FMenu != nullptr) {
            if (HWND window = item->FMenu->Window(); window != nullptr && IsWindow(window)) {
                DrawMenuBar(window);
            }
            return;
        }
    }
}

void TMenuItem::Write(bool insert) {
    HMENU parent = ParentHandle();
    if (parent == nullptr || !FVisible) {
        return; // a hidden item has no place in the Windows menu
    }
    std::wstring text;
    const MENUITEMINFOW info = Info(text);
    if (insert) {
        InsertMenuItemW(parent, Position(), TRUE, &info);
    } else {
        SetMenuItemInfoW(parent, Position(), TRUE, &info);
        MenuBarChanged();
    }
}

void TMenuItem::Place() {
    Write(true);
}

void TMenuItem::Unplace() {
    HMENU parent = ParentHandle();
    if (parent != nullptr) {
        RemoveMenu(parent, Position(), MF_BYPOSITION); // a submenu stays with its item
    }
}

void TMenuItem::Changed() {
    Write(false);
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
    if (visible == FVisible) {
        return;
    }
    if (!visible) {
        Unplace();
        FVisible = false;
    } else {
        FVisible = true;
        Place();
    }
    MenuBarChanged();
}

void TMenuItem::SetChecked(bool checked) {
    FChecked = checked;
    if (checked && FGroupIndex > 0 && FParent != nullptr) {
        for (auto& sibling : FParent->FItems) {
            if (sibling.get() != this && sibling->FGroupIndex == FGroupIndex && sibling->FChecked) {
                sibling->FChecked = false;
                sibling->Changed();
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
    if (FHandle == nullptr) {
        // The first sub-item: this item opens a submenu from now on.
        FHandle = CreatePopupMenu();
        Changed();
    }
    const auto at = FItems.begin() + static_cast<std::ptrdiff_t>(std::min(index, FItems.size()));
    TMenuItem& item = **FItems.insert(at, std::make_unique<TMenuItem>(caption));
    item.FParent = this;
    item.Place();
    MenuBarChanged();
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
    const bool visible = action.Visible();
    FCaption = action.Caption();
    FShortCutText = ShortCutToText(action.ShortCut());
    FEnabled = action.Enabled();
    FChecked = action.Checked();
    if (visible != FVisible) {
        SetVisible(visible);
    }
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

void TMenuItem::DestroyHandles() {
    if (FHandle != nullptr) {
        // Detach the submenus first, so each handle is destroyed exactly once.
        while (GetMenuItemCount(FHandle) > 0) {
            RemoveMenu(FHandle, 0, MF_BYPOSITION);
        }
        DestroyMenu(FHandle);
        FHandle = nullptr;
    }
    for (auto& item : FItems) {
        item->DestroyHandles();
    }
}

TMenu::TMenu(bool popup) : FPopup(popup) {
    FRoot.FMenu = this;
    FRoot.FHandle = popup ? CreatePopupMenu() : CreateMenu();
}

TMenu::~TMenu() {
    if (FWindow != nullptr && IsWindow(FWindow) && GetMenu(FWindow) == FRoot.FHandle) {
        SetMenu(FWindow, nullptr);
    }
    FRoot.DestroyHandles();
}

void TMenu::AttachTo(HWND window) {
    FWindow = window;
    SetMenu(window, FRoot.FHandle);
    DrawMenuBar(window);
}

void TMenu::Popup(HWND owner, int x, int y) {
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(FRoot.FHandle, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
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

void CopyMenuItem(const TMenuItem& source, TMenuItem& destination) {
    destination.SetCaption(source.Caption());
    destination.OnClick = source.OnClick;
    destination.OnClickSender = source.OnClickSender;
    destination.Tag = source.Tag;
    destination.SetVisible(source.Visible());
}

} // namespace cv
