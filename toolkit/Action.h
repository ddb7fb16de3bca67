// Actions: the one source of truth for a command. Caption, hint, shortcut,
// enabled, visible and checked state live here, and every menu item and
// button bound to an action is told when any of them changes, so they never
// disagree. Portable: the Windows side only listens.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cv {

// A key with its modifiers, as the accelerator table holds it.
struct TShortCut {
    std::uint16_t Key = 0; // a virtual-key code; 0 for none
    bool Ctrl = false;
    bool Shift = false;
    bool Alt = false;
    bool operator==(const TShortCut&) const = default;
};

// "Ctrl+F", "Del", "F1", "Shift+Ctrl+A": the text menus show for a shortcut.
std::string ShortCutToText(const TShortCut& shortCut);

// The letter after a caption's single "&", in upper case ("&Yes" gives
// 'Y'; "&&" is a plain ampersand); 0 when there is none or it is no ASCII letter or digit.
char AcceleratorChar(const std::string& caption);

class TAction;

// Something that shows an action: a menu item, a button.
class TActionClient {
public:
    virtual ~TActionClient();
    virtual void ActionChanged(const TAction& action) = 0;
    TAction* Action() const { return FAction; }
    // Binds to an action (or to none); the client is told its state at once.
    void SetAction(TAction* action);

private:
    friend class TAction;
    TAction* FAction = nullptr;
};

class TAction {
public:
    explicit TAction(std::string name = {}) : Name(std::move(name)) {}
    ~TAction();
    TAction(const TAction&) = delete;
    TAction& operator=(const TAction&) = delete;

    const std::string Name;
    std::function<void()> OnExecute;

    const std::string& Caption() const { return FCaption; }
    const std::string& Hint() const { return FHint; }
    const TShortCut& ShortCut() const { return FShortCut; }
    bool Enabled() const { return FEnabled; }
    bool Visible() const { return FVisible; }
    bool Checked() const { return FChecked; }
    int GroupIndex() const { return FGroupIndex; }

    void SetCaption(const std::string& caption);
    void SetHint(const std::string& hint);
    void SetShortCut(const TShortCut& shortCut);
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    // Checking an action of a group (index above 0) unchecks the others of
    // its group among the actions it was grouped with.
    void SetChecked(bool checked);
    void SetGroup(int groupIndex, std::vector<TAction*>* group);

    // Runs the handler while the action is enabled; false when it did not run.
    bool Execute();

private:
    friend class TActionClient;
    void Changed();

    std::string FCaption;
    std::string FHint;
    TShortCut FShortCut;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    int FGroupIndex = 0;
    std::vector<TAction*>* FGroup = nullptr;
    std::vector<TActionClient*> FClients;
};

} // namespace cv
