// Main and popup menus over Win32 menus. The items are objects that keep
// their place even while hidden (a hidden item is only left out of the
// Windows menu), may be bound to an action, may form radio groups, and one
// of a menu's items may be its bold default.
//
// The Windows menu is built once: a change of an item (caption, state,
// visibility, a new sub-item) updates that item of the existing Windows
// menu in place, so a menu the user holds open is never destroyed under
// him. Command ids come from a pool below the forms' accelerator ids and
// go back to it when their item dies, so the two never meet.
#pragma once

#include "toolkit/Action.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cv {

class TMenu;

class TMenuItem : public TActionClient {
public:
    explicit TMenuItem(std::string caption = {});
    ~TMenuItem() override;
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    std::string Name;
    int Tag = 0;
    std::function<void()> OnClick;
    // A click handler that is told which item was clicked (one handler may
    // serve several items); it runs instead of OnClick when set.
    std::function<void(TMenuItem& sender)> OnClickSender;

    const std::string& Caption() const { return FCaption; }
    bool Enabled() const { return FEnabled; }
    bool Visible() const { return FVisible; }
    bool Checked() const { return FChecked; }
    void SetCaption(const std::string& caption);
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    // Checking a radio item unchecks the other items of its group.
    void SetChecked(bool checked);
    void SetRadio(int groupIndex);
    void SetDefault(bool isDefault);

    // Sub-items; an item with sub-items opens a submenu.
    TMenuItem& Add(const std::string& caption);
    // A new sub-item at the place (at the end when past it).
    TMenuItem& Insert(std::size_t index, const std::string& caption);
    std::size_t Count() const { return FItems.size(); }
    TMenuItem& operator[](std::size_t index) { return *FItems[index]; }

    // What a click does: the action, or the item's own handler; a radio item
    // checks itself.
    void Click();
    UINT Command() const { return FCommand; }

    void ActionChanged(const TAction& action) override;

    // The range menu command ids are taken from.
    static constexpr UINT kFirstCommand = 0x1000;
    static constexpr UINT kLastCommand = 0x9FFF;

private:
    friend class TMenu;
    // The Windows menu this item lives in, and its place there (only
    // visible items have one); null while the item is in no menu.
    HMENU ParentHandle() const;
    UINT Position() const;
    MENUITEMINFOW Info(std::wstring& text) const;
    // Inserts this item into the Windows menu, or brings it in line with the object.
    void Write(bool insert);
    // Brings this item of the Windows menu in line with the object.
    void Changed();
    void Place();
    void Unplace();
    void MenuBarChanged() const;
    void DestroyHandles();
    TMenuItem* Find(UINT command);

    std::string FCaption;
    std::string FShortCutText;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    bool FDefault = false;
    int FGroupIndex = 0; // above 0: a radio item of that group
    UINT FCommand;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item
    HMENU FHandle = nullptr; // the submenu, once the item has sub-items
    std::vector<std::unique_ptr<TMenuItem>> FItems;
};

class TMenu {
public:
    // A menu bar, or a popup menu.
    explicit TMenu(bool popup);
    ~TMenu();
    TMenu(const TMenu&) = delete;
    TMenu& operator=(const TMenu&) = delete;

    TMenuItem& Items() { return FRoot; }
    HMENU Handle() const { return FRoot.FHandle; }
    // Shows this menu bar on a window.
    void AttachTo(HWND window);
    // The item a WM_COMMAND names is clicked; false when it is none of ours.
    bool DispatchCommand(UINT command);
    // Shows this popup menu at a screen point; the chosen item's click runs.
    void Popup(HWND owner, int x, int y);
    HWND Window() const { return FWindow; }

private:
    bool FPopup;
    HWND FWindow = nullptr;
    TMenuItem FRoot;
};

// Copies caption, click handler, tag and visibility; nothing else.
void CopyMenuItem(const TMenuItem& source, TMenuItem& destination);

} // namespace cv
