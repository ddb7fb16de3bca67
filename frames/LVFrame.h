// The list frame both pages show their lists in: the list view filling the
// frame, a menu of view styles that is the template of the context menu's
// View submenu, column sorting by a click on the header, and an operator
// that does the item work.
#pragma once

#include "frames/LVOperator.h"
#include "frames/MyFrame.h"
#include "listview/ColumnSort.h"
#include "toolkit/Menu.h"

namespace cv {

class TBaseLVFrame : public TMyFrame {
public:
    // Sorts the way the locale writes and orders the column texts; the locale
    // outlives the frame. A virtual list (see TListView) takes its texts
    // from its owner.
    TBaseLVFrame(TWinControl* parent, std::string name, const ILocale& locale, bool virtualList = false);
    ~TBaseLVFrame() override;

    // The view styles, never shown itself; radio items tagged 0 to 3.
    TMenu ViewAsMenu{true};
    TMenuItem& LargeIcons1;
    TMenuItem& SmallIcons1;
    TMenuItem& List1;
    TMenuItem& Details1;
    // The list's popup menu: a separator and "View", which Init fills.
    TMenu ContextMenu{true};
    TMenuItem& N2;
    TMenuItem& ViewItem;
    TListView& ListView;

    virtual int AddItem(const std::string& path);
    virtual void AddItems(const std::vector<std::string>& paths);
    virtual void DeleteItem(int index);
    virtual void DeleteSelected();
    virtual void LoadFromFile(const std::string& fileName, const std::string& section);
    virtual void SaveToFile(const std::string& fileName, const std::string& section);

    void Init() override;
    // A view-style item clicked: the list takes the item's tag as its style
    // and the item the check mark.
    void ViewAsClick(TMenuItem& sender);
    // Pops the context menu up at a point of the list's client area.
    void ContextPopupHandler(POINT at, bool& handled);
    // A click on a column header: ascending, or the other way on the same column.
    void ColumnClick(int column);
    // Sorts again by the column and direction the user chose last; nothing
    // when the user never sorted. Each item's text is read once, before
    // the items move.
    void Resort();
    // Sorts by the column in that direction, as a kept layout says.
    void SetSort(int column, bool ascending);
    int SortColumn() const { return FSortColumn; }
    // The items changed places.
    std::function<void()> OnSorted;
    // A view-style item (of the frame's menu or a copy of it) changed the list's view.
    std::function<void()> OnViewChanged;
    bool SortAscending() const { return FAscending; }

protected:
    std::unique_ptr<TLVOperator> Operator;

private:
    TSortFormat FSortFormat;
    int FSortColumn = -1;
    bool FAscending = true;
};

class TFileLVFrame : public TBaseLVFrame {
public:
    TFileLVFrame(TWinControl* parent, std::string name, const TPlatform& platform, bool virtualList = false);
    void Init() override;
    void Done() override;

private:
    const TPlatform& FPlatform;
};

} // namespace cv
