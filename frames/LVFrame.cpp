#include "frames/LVFrame.h"

#include "toolkit/Menu.h"

namespace cv {

namespace {

TMenuItem& ViewStyleItem(TMenu& menu, const std::string& name, const std::string& caption, int tag,
                         bool visible) {
    TMenuItem& item = menu.Items().Add(caption);
    item.Name = name;
    item.Tag = tag;
    item.SetRadio(1);
    item.SetVisible(visible);
    return item;
}

TMenuItem& NamedItem(TMenu& menu, const std::string& name, const std::string& caption) {
    TMenuItem& item = menu.Items().Add(caption);
    item.Name = name;
    return item;
}

} // namespace

TBaseLVFrame::TBaseLVFrame(TWinControl* parent, std::string name, const ILocale& locale, bool virtualList)
    : TMyFrame(parent, std::move(name)),
      LargeIcons1(ViewStyleItem(ViewAsMenu, "LargeIcons1", "Large Icons", 0, true)),
      SmallIcons1(ViewStyleItem(ViewAsMenu, "SmallIcons1", "Small Icons", 1, false)),
      List1(ViewStyleItem(ViewAsMenu, "List1", "List", 2, true)),
      Details1(ViewStyleItem(ViewAsMenu, "Details1", "Report", 3, true)),
      N2(NamedItem(ContextMenu, "N2", "-")), ViewItem(NamedItem(ContextMenu, "ViewItem", "View")),
      ListView(Make<TListView>(this, "ListView", virtualList)), FSortFormat(UserSortFormat(locale)) {
    ListView.SetAlign(TAlign::alClient);
    ListView.SetViewStyle(TViewStyle::vsReport);
    ListView.OnColumnClick = [this](int column) { ColumnClick(column); };
    ListView.OnContextPopup = [this](POINT at) {
        ScreenToClient(ListView.Handle(), &at);
        bool handled = false;
        ContextPopupHandler(at, handled);
    };
}

TBaseLVFrame::~TBaseLVFrame() = default;

int TBaseLVFrame::AddItem(const std::string& path) {
    return Operator ? Operator->AddItem(path) : -1;
}

void TBaseLVFrame::AddItems(const std::vector<std::string>& paths) {
    if (Operator) {
        Operator->AddItems(paths);
    }
}

void TBaseLVFrame::DeleteItem(int index) {
    if (Operator) {
        Operator->DeleteItem(index);
    }
}

void TBaseLVFrame::DeleteSelected() {
    if (Operator) {
        Operator->DeleteSelected();
    }
}

void TBaseLVFrame::LoadFromFile(const std::string& fileName, const std::string& section) {
    if (Operator) {
        Operator->LoadFromFile(fileName, section);
    }
}

void TBaseLVFrame::SaveToFile(const std::string& fileName, const std::string& section) {
    if (Operator) {
        Operator->SaveToFile(fileName, section);
    }
}

void TBaseLVFrame::Init() {
    for (std::size_t i = 0; i < ViewAsMenu.Items().Count(); ++i) {
        TMenuItem& style = ViewAsMenu.Items()[i];
        style.OnClickSender = [this](TMenuItem& sender) { ViewAsClick(sender); };
        TMenuItem& copy = ViewItem.Add({});
        CopyMenuItem(style, copy);
        copy.SetRadio(1);
    }
    TMyFrame::Init();
}

void TBaseLVFrame::ViewAsClick(TMenuItem& sender) {
    ListView.SetViewStyle(static_cast<TViewStyle>(sender.Tag & 3));
    sender.SetChecked(true);
    if (OnViewChanged) {
        OnViewChanged();
    }
}

void TBaseLVFrame::ContextPopupHandler(POINT at, bool& handled) {
    ClientToScreen(ListView.Handle(), &at);
    ContextMenu.Popup(Handle(), at.x, at.y);
    handled = true;
}

void TBaseLVFrame::ColumnClick(int column) {
    FAscending = column == FSortColumn ? !FAscending : true;
    FSortColumn = column;
    Resort();
}

void TBaseLVFrame::SetSort(int column, bool ascending) {
    FSortColumn = column;
    FAscending = ascending;
    Resort();
}

void TBaseLVFrame::Resort() {
    if (FSortColumn < 0) {
        return;
    }
    std::vector<TSortKey> keys;
    keys.reserve(static_cast<std::size_t>(ListView.Count()));
    for (int i = 0; i < ListView.Count(); ++i) {
        keys.push_back(MakeSortKey(ListView.ItemText(i, FSortColumn), FSortFormat));
    }
    ListView.Sort([this, &keys](int a, int b) {
        const int order = CompareSortKeys(keys[static_cast<std::size_t>(a)],
                                          keys[static_cast<std::size_t>(b)], FSortFormat);
        return FAscending ? order : -order;
    });
    ListView.SetSortArrow(FSortColumn, FAscending ? 1 : -1);
    if (OnSorted) {
        OnSorted();
    }
}

TFileLVFrame::TFileLVFrame(TWinControl* parent, std::string name, const TPlatform& platform, bool virtualList)
    : TBaseLVFrame(parent, std::move(name), platform.Locale, virtualList), FPlatform(platform) {}

void TFileLVFrame::Init() {
    TBaseLVFrame::Init();
    Operator = std::make_unique<TFileLVOperator>(ListView, FPlatform);
}

void TFileLVFrame::Done() {
    Operator.reset();
    TBaseLVFrame::Done();
}

} // namespace cv
