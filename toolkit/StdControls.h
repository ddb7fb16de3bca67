// The plain controls forms are built from: panels, labels, pictures,
// bevels, shapes, edit fields, combo boxes, group boxes and radio groups.
#pragma once

#include "toolkit/Control.h"

#include <memory>

namespace cv {

enum class TAlignment { taLeftJustify, taCenter, taRightJustify };
enum class TBevelCut { bvNone, bvLowered, bvRaised };

// An own-class window with a colour, an optional raised or lowered edge and
// a centred caption; the usual parent of other controls.
class TPanel : public TWinControl {
public:
    TPanel(TWinControl* parent, std::string name);
    TBevelCut BevelOuter = TBevelCut::bvRaised;
    void SetBevelOuter(TBevelCut cut);

protected:
    void PaintSelf(const TPaintContext& context) override;
};

class TLabel : public TGraphicControl {
public:
    TLabel(TWinControl* parent, std::string name, const std::string& caption = {});
    TAlignment Alignment = TAlignment::taLeftJustify;
    bool WordWrap = false;
    bool AutoSize = true;
    bool Transparent = true;
    bool ShowAccelChar = true;
    void SetCaption(const std::string& caption) override;
    void Paint(const TPaintContext& context) override;
    // Sizes the label to its text (single line, or wrapped at its width).
    void AdjustSize();

protected:
    void FontChanged() override;
};

// A web address shown as a link: blue, underlined, the hand pointer over it,
// and OnClick on a click. Text too long for it ends in an ellipsis.
class TLinkLabel : public TWinControl {
public:
    TLinkLabel(TWinControl* parent, std::string name);
    void SetCaption(const std::string& caption) override;

protected:
    void PaintSelf(const TPaintContext& context) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A picture: an icon, or a 32-bit image with alpha blended over what lies below.
class TImage : public TGraphicControl {
public:
    TImage(TWinControl* parent, std::string name);
    bool Center = false;
    // The image takes a copy of the icon and frees it when done.
    void SetIcon(HICON icon);
    HICON Icon() const { return FIcon.Get(); }
    // A bitmap file, drawn unscaled from the top-left corner; false when it
    // cannot be loaded.
    bool LoadBitmapFile(const std::string& path);
    void Paint(const TPaintContext& context) override;

private:
    TIcon FIcon;
    TGdiObject<HBITMAP> FBitmap;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    TBevel(TWinControl* parent, std::string name);
    TBevelShape Shape = TBevelShape::bsBox;
    TBevelStyle Style = TBevelStyle::bsLowered;
    void Paint(const TPaintContext& context) override;
};

enum class TShapeType { stRectangle, stRoundRect, stEllipse };

class TShape : public TGraphicControl {
public:
    TShape(TWinControl* parent, std::string name);
    TShapeType Shape = TShapeType::stRectangle;
    TColor BrushColor = clWhite;
    TColor PenColor = clBlack;
    void Paint(const TPaintContext& context) override;
};

// A push button; one with a modal result ends its form's modal run with it.
class TButton : public TWinControl {
public:
    TButton(TWinControl* parent, std::string name, const std::string& caption = {});
    int ModalResult = 0;
    void Click() override;

protected:
    bool ReflectedCommand(WORD code) override;
};

class TEdit : public TWinControl {
public:
    TEdit(TWinControl* parent, std::string name);
    std::string Text() const { return TWindow::Text(); }
    void SetText(const std::string& text) { TWindow::SetText(text); }
    void SetReadOnly(bool readOnly);
    void SelectAll();
    std::function<void()> OnChange;
    void CollectTexts(std::vector<std::string>& texts) const override;

protected:
    bool ReflectedCommand(WORD code) override;
};

class TComboBox : public TWinControl {
public:
    // A drop-down list to choose from, or (editable) a field with a list.
    TComboBox(TWinControl* parent, std::string name, bool editable = false);
    void SetItems(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return FItems; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const { return TWindow::Text(); }
    std::function<void()> OnChange;

protected:
    bool ReflectedCommand(WORD code) override;

private:
    std::vector<std::string> FItems;
};

// A captioned etched frame around other controls.
class TGroupBox : public TWinControl {
public:
    TGroupBox(TWinControl* parent, std::string name, const std::string& caption = {});

protected:
    void PaintSelf(const TPaintContext& context) override;
};

class TRadioButton;

// A group box of radio buttons, one per item, of which at most one is chosen.
class TRadioGroup : public TGroupBox {
public:
    TRadioGroup(TWinControl* parent, std::string name, const std::string& caption = {});
    ~TRadioGroup() override;
    void SetItems(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);
    int Columns = 1;
    // The chosen item changed by the user.
    std::function<void()> OnChange;
    // The button of an item, for tests and focus.
    TWinControl* Button(std::size_t index) const;

protected:
    void BoundsChanged() override;

private:
    friend class TRadioButton;
    void ArrangeButtons();
    void ButtonClicked(TRadioButton* button);
    std::vector<std::string> FItems;
    std::vector<std::unique_ptr<TRadioButton>> FButtons;
    int FItemIndex = -1;
};

} // namespace cv
