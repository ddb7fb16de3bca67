// Forms: top-level windows, modal dialogs and pages that live inside a
// tab sheet. A form owns the components its creation function makes, keeps
// the actions whose shortcuts form its accelerator table, dispatches its
// menus' commands, and can preview keys before its controls see them.
#pragma once

#include "toolkit/Action.h"
#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Menu.h"

#include <memory>
#include <utility>

namespace cv {

enum TModalResultCode : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

enum class TBorderStyle { bsSizeable, bsDialog, bsSingle, bsNone };
enum class TCloseAction { caNone, caHide, caFree };

class TForm : public TWinControl {
public:
    // A top-level form, or a page when a parent is given.
    explicit TForm(std::string name, TWinControl* parent = nullptr,
                   TBorderStyle border = TBorderStyle::bsSizeable);
    ~TForm() override;

    // The class the form is, as the modal responder sees it.
    virtual std::string ClassName() const { return "TForm"; }

    // Makes a component the form owns; it lives as long as the form.
    template <class T, class... A> T& Make(A&&... args) {
        auto component = std::make_unique<T>(std::forward<A>(args)...);
        T& made = *component;
        FComponents.push_back(std::move(component));
        return made;
    }

    void SetClientSize(int width, int height);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    // Turns a form into a borderless page of the parent (or back).
    void SetParentPage(TWinControl* parent);
    void CenterOn(HWND other);

    void Show();
    void Hide();
    void BringToFront();
    // Asks the form to close: a modal form ends with mrCancel unless it has
    // a result; the main form ends the program.
    void Close();
    int ShowModal();
    bool Modal() const { return FModal; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int result) { FModalResult = result; }

    bool KeyPreview = false;
    // Shown centred on the main form (or the screen without one).
    bool CenterOnMainForm = false;
    std::function<void()> OnShow;
    std::function<void(TCloseAction& action)> OnClose;
    std::function<void(bool& canClose)> OnCloseQuery;

    // The form's menu bar, and popup menus whose commands it receives.
    void SetMenu(TMenu* menu);
    TMenu* Menu() const { return FMenu; }
    void AddPopupMenu(TMenu& menu) { FPopups.push_back(&menu); }
    // Shows a popup menu at a screen point; its item's click runs.
    void Popup(TMenu& menu, int x, int y);

    // Actions whose shortcuts the form's accelerator table holds.
    void AddAction(TAction& action);
    HACCEL Accelerators();
    // The key preview: true when the form took the key.
    bool PreviewKey(WORD& key);

    TModalInfo ModalInfo() const;

    // The program's main form, on which dialogs centre.
    static TForm* MainForm;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Called on every show, before OnShow.
    virtual void DoShow() {}

private:
    static DWORD StyleOf(TBorderStyle border, bool child);
    void FocusFirst();

    TBorderStyle FBorderStyle;
    bool FModal = false;
    int FModalResult = mrNone;
    TMenu* FMenu = nullptr;
    std::vector<TMenu*> FPopups;
    std::vector<TAction*> FActions;
    HACCEL FAccelerators = nullptr;
    bool FAcceleratorsStale = false;
    HWND FLastFocus = nullptr;
    std::vector<std::unique_ptr<TControl>> FComponents;
};

} // namespace cv
