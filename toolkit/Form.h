// Forms: top-level windows, modal dialogs and pages that live inside a
// tab sheet. A form owns the components its creation function makes, keeps
// the actions whose shortcuts form its accelerator table, dispatches its
// menus' commands, and can preview keys before its controls see them.
#pragma once

#include "toolkit/Action.h"
#include "toolkit/Application.h"
#include "toolkit/ComponentOwner.h"
#include "toolkit/Control.h"
#include "toolkit/Menu.h"

#include <memory>
#include <utility>

namespace cv {

enum TModalResultCode : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

enum class TBorderStyle { bsSizeable, bsDialog, bsSingle, bsNone };
enum class TCloseAction { caNone, caHide, caFree };

class TForm : public TWinControl, public TComponentOwner {
public:
    // A top-level form, or a page when a parent is given.
    explicit TForm(std::string name, TWinControl* parent = nullptr,
                   TBorderStyle border = TBorderStyle::bsSizeable);
    ~TForm() override;

    // The class the form is, as the modal responder sees it.
    virtual std::string ClassName() const { return "TForm"; }

    void SetClientSize(int width, int height);
    void SetBounds(int left, int top, int width, int height) override;
    // The narrowest the form may be, for the user and for SetBounds; 0 for no limit.
    void SetMinWidth(int width);
    // 0 normal, 1 minimised, 2 maximised.
    int WindowState() const;
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

    // The form's menu bar; popup menus run their own commands (TMenu::Popup).
    void SetMenu(TMenu* menu);
    TMenu* Menu() const { return FMenu; }

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
    std::vector<TAction*> FActions;
    HACCEL FAccelerators = nullptr;
    bool FAcceleratorsStale = false;
    HWND FLastFocus = nullptr;
    int FMinWidth = 0;
};

} // namespace cv
