// The common controls: image lists, the status bar, the page control with
// its tab sheets, and the list view.
#pragma once

#include "toolkit/Control.h"

#include <commctrl.h>

#include <memory>

namespace cv {

class TImageList {
public:
    // A new list of images of that size, or (shared) a list someone else
    // owns, such as the shell's system image list, which is never destroyed.
    TImageList(int width, int height);
    TImageList(HIMAGELIST shared);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    HIMAGELIST Handle() const { return FHandle; }
    bool ShareImages() const { return FShared; }
    int Count() const;
    int AddIcon(HICON icon);
    // An icon of one image.
    TIcon GetIcon(int index) const;

private:
    HIMAGELIST FHandle;
    bool FShared;
};

struct TStatusPanel {
    int Width = 50;
    std::string Text;
};

class TStatusBar : public TWinControl {
public:
    TStatusBar(TWinControl* parent, std::string name, bool sizeGrip = true);
    void SetPanels(const std::vector<TStatusPanel>& panels);
    std::size_t PanelCount() const { return FPanels.size(); }
    const std::string& PanelText(std::size_t index) const { return FPanels.at(index).Text; }
    void SetPanelText(std::size_t index, const std::string& text);
    void CollectTexts(std::vector<std::string>& texts) const override;

protected:
    void BoundsChanged() override;

private:
    void ApplyParts();
    std::vector<TStatusPanel> FPanels;
};

class TPageControl;

class TTabSheet : public TWinControl {
public:
    TTabSheet(TPageControl& owner, std::string name, const std::string& caption);
    TPageControl& PageControl() const { return FOwner; }

private:
    TPageControl& FOwner;
};

class TPageControl : public TWinControl {
public:
    TPageControl(TWinControl* parent, std::string name);
    ~TPageControl() override;
    TTabSheet& AddPage(std::string name, const std::string& caption);
    std::size_t PageCount() const { return FPages.size(); }
    TTabSheet& Page(std::size_t index) const { return *FPages.at(index); }
    int ActivePageIndex() const;
    // Shows the page; the change events are the user's, not run here.
    void SetActivePageIndex(int index);
    // The user is leaving the active page: set allow to false to stay.
    std::function<void(bool& allow)> OnChanging;
    // The user has moved to another page.
    std::function<void()> OnChange;

protected:
    void BoundsChanged() override;
    bool ReflectedNotify(NMHDR& header, LRESULT& result) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlacePages();
    std::vector<std::unique_ptr<TTabSheet>> FPages;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

struct TListColumn {
    std::string Caption;
    int Width = 50;
};

// A list view, in one of two modes chosen when it is made. An ordinary
// list keeps its items' texts itself. A virtual list keeps no texts: only
// each item's data and image here, with the control holding nothing but the
// count, selection and focus; it asks OnItemText for a text whenever it
// draws one or is asked for it, so a list of many thousand items costs no
// copies of their texts and is filled in one step. A virtual list has no
// check boxes and no cut state.
class TListView : public TWinControl {
public:
    TListView(TWinControl* parent, std::string name, bool isVirtual = false);
    ~TListView() override;

    bool IsVirtual() const { return FVirtual; }
    // An item of a virtual list.
    struct TVirtualItem {
        std::uintptr_t Data = 0;
        int ImageIndex = -1;
    };
    // Virtual: every item at once, replacing those there were, with nothing selected.
    void SetVirtualItems(std::vector<TVirtualItem> items);
    // Virtual: an item's text in a column (0 the caption), from its data.
    std::function<std::string(std::uintptr_t data, int column)> OnItemText;

    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle style);
    void SetColumns(const std::vector<TListColumn>& columns);
    std::size_t ColumnCount() const { return FColumnCount; }
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    void SetRowSelect(bool rowSelect);
    // A check box in front of every item.
    void SetCheckBoxes(bool checkBoxes);
    void SetImageLists(const TImageList* large, const TImageList* small);

    // Redraw stays off from the first BeginUpdate to the last EndUpdate,
    // which lays an icon view out before drawing comes back on.
    void BeginUpdate();
    void EndUpdate();

    // An update for as long as the guard lives, however the scope is left.
    class TUpdateGuard {
    public:
        explicit TUpdateGuard(TListView& list) : FList(list) { FList.BeginUpdate(); }
        ~TUpdateGuard() { FList.EndUpdate(); }
        TUpdateGuard(const TUpdateGuard&) = delete;
        TUpdateGuard& operator=(const TUpdateGuard&) = delete;

    private:
        TListView& FList;
    };

    void Clear();
    // Virtual: the texts are OnItemText's; caption and sub-items are not kept.
    int AddItem(const std::string& caption, const std::vector<std::string>& subItems = {},
                int imageIndex = -1, std::uintptr_t data = 0);
    void DeleteItem(int index);
    int Count() const;
    std::string ItemText(int index, int column = 0) const;
    std::uintptr_t ItemData(int index) const;
    void SetItemData(int index, std::uintptr_t data);
    void SetItemText(int index, int column, const std::string& text);
    bool ItemSelected(int index) const;
    bool ItemChecked(int index) const;
    void SetItemChecked(int index, bool checked);
    // The cut state: the item's icon drawn ghosted.
    bool ItemCut(int index) const;
    void SetItemCut(int index, bool cut);
    void SetMultiSelect(bool multiSelect);
    // Lines the icons up again in the icon views, with drawing off (at the
    // end of the update that is open, if one is).
    void Arrange();
    // The sort arrow on a column's header: 1 up, -1 down, 0 none (on the others too).
    void SetSortArrow(int column, int direction);
    int ItemImage(int index) const;
    void SetItemImage(int index, int imageIndex);
    // An icon of the item's image in the large image list; empty when there
    // is none.
    TIcon ItemLargeIcon(int index) const;
    // The item's top-left corner in the client area.
    POINT ItemPosition(int index) const;
    // The first item in view (0 in the icon views), and how many fit in view
    // (in the icon views: every item).
    int TopIndex() const;
    int CountPerPage() const;
    // Scrolls the contents by pixels (report and list views round to whole lines or columns).
    void Scroll(int dx, int dy);
    // The item whose data is that, or -1.
    int FindData(std::uintptr_t data) const;
    int Selected() const;
    // Selects and focuses the item (-1: none) and scrolls it into view.
    void SetSelected(int index);
    // Sorts the items by a comparison of their indexes at the time of the
    // call. The comparison may not read the list, whose items move while it
    // sorts: it compares what was taken from them beforehand. Selected and
    // focused items stay so wherever they move; a virtual list sorts in
    // memory, keeping equal items in their order.
    void Sort(const std::function<int(int, int)>& compare);

    // An item was selected or deselected (index -1: every item of a virtual list at once).
    std::function<void(int index, bool selected)> OnSelectItem;
    // Around every change of an item's states (its check mark, selection,
    // focus, cut state), by the user or the program: before it, while the
    // item still shows its old states, and after it (index -1 after a change
    // of every item at once).
    std::function<void(int index)> OnItemStateChanging;
    std::function<void(int index)> OnItemStateChanged;
    std::function<void(int column)> OnColumnClick;
    std::function<void()> OnDblClick;
    // Right click or the menu key, at a screen point.
    std::function<void(POINT at)> OnContextPopup;
    // The colours of an item; left alone for the default.
    std::function<void(int index, COLORREF& textColor, COLORREF& backColor)> OnItemColor;
    // The list gained or lost the keyboard focus.
    std::function<void()> OnEnter;
    std::function<void()> OnExit;

protected:
    bool ReflectedNotify(NMHDR& header, LRESULT& result) override;

private:
    bool ItemState(int index, UINT mask) const;
    void SetItemState(int index, UINT mask, UINT state);
    void SortVirtual(const std::function<int(int, int)>& compare);
    bool VirtualNotify(NMHDR& header, LRESULT& result);
    // The first item from start on (round to the top when wrap) whose
    // caption begins with the text, or is the text when whole; -1 if none.
    int FindCaption(const std::string& text, int start, bool wrap, bool whole) const;
    void RedrawItem(int index);
    // Large or small icons: the views whose rows have places of their own.
    bool IconView() const;
    TViewStyle FViewStyle = TViewStyle::vsIcon;
    std::size_t FColumnCount = 0;
    int FUpdating = 0;
    bool FVirtual = false;
    std::vector<TVirtualItem> FItems; // virtual: the items
    // While a virtual sort moves the selection with its items, the moves are not reported.
    bool FQuiet = false;
};

} // namespace cv
