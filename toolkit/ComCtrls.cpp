#include "toolkit/ComCtrls.h"

#include "platform/win32/Win32Text.h"

#include <algorithm>

namespace cv {

namespace {

void InitCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES |
                                                      ICC_BAR_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

} // namespace

// ---- TImageList

TImageList::TImageList(int width, int height)
    : FHandle(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 8, 8)), FShared(false) {}

TImageList::TImageList(HIMAGELIST shared) : FHandle(shared), FShared(true) {}

TImageList::~TImageList() {
    if (!FShared && FHandle != nullptr) {
        ImageList_Destroy(FHandle);
    }
}

int TImageList::Count() const {
    return FHandle != nullptr ? ImageList_GetImageCount(FHandle) : 0;
}

int TImageList::AddIcon(HICON icon) {
    return FHandle != nullptr ? ImageList_ReplaceIcon(FHandle, -1, icon) : -1;
}

TIcon TImageList::GetIcon(int index) const {
    return TIcon(FHandle != nullptr ? ImageList_GetIcon(FHandle, index, ILD_NORMAL) : nullptr);
}

// ---- TStatusBar

TStatusBar::TStatusBar(TWinControl* parent, std::string name, bool sizeGrip)
    : TWinControl(parent, std::move(name)) {
    InitCommonControls();
    TCreateParams params;
    params.ClassName = STATUSCLASSNAMEW;
    params.Style = WS_CHILD | CCS_NORESIZE | CCS_NOPARENTALIGN | (sizeGrip ? SBARS_SIZEGRIP : 0);
    FBounds = {0, 0, 100, 19};
    CreateWindowed(params);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::SetPanels(const std::vector<TStatusPanel>& panels) {
    FPanels = panels;
    ApplyParts();
}

void TStatusBar::SetPanelText(std::size_t index, const std::string& text) {
    if (index >= FPanels.size()) {
        return;
    }
    FPanels[index].Text = text;
    SendMessageW(Handle(), SB_SETTEXTW, index, reinterpret_cast<LPARAM>(toWide(text).c_str()));
}

void TStatusBar::ApplyParts() {
    if (FPanels.empty()) {
        return;
    }
    // Every panel has its width; the last one takes what is left.
    std::vector<int> edges;
    int right = 0;
    for (std::size_t i = 0; i < FPanels.size(); ++i) {
        right += FPanels[i].Width;
        edges.push_back(i + 1 == FPanels.size() ? -1 : right);
    }
    SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (std::size_t i = 0; i < FPanels.size(); ++i) {
        SendMessageW(Handle(), SB_SETTEXTW, i, reinterpret_cast<LPARAM>(toWide(FPanels[i].Text).c_str()));
    }
}

void TStatusBar::BoundsChanged() {
    ApplyParts();
    // The bar is moved by its parent's alignment, not by itself: what it drew
    // at its old size (the size grip above all) is painted over whole.
    if (HandleAllocated()) {
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TStatusBar::CollectTexts(std::vector<std::string>& texts) const {
    for (const TStatusPanel& panel : FPanels) {
        texts.push_back(panel.Text);
    }
}

// ---- TPageControl

TTabSheet::TTabSheet(TPageControl& owner, std::string name, const std::string& caption)
    : TWinControl(&owner, std::move(name)), FOwner(owner) {
    FCaption = caption;
    FVisible = false;
    TCreateParams params;
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle = WS_EX_CONTROLPARENT;
    CreateWindowed(params);
}

TPageControl::TPageControl(TWinControl* parent, std::string name) : TWinControl(parent, std::move(name)) {
    InitCommonControls();
    TCreateParams params;
    params.ClassName = WC_TABCONTROLW;
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP;
    params.ExStyle = WS_EX_CONTROLPARENT;
    FBounds = {0, 0, 289, 193};
    CreateWindowed(params);
}

TPageControl::~TPageControl() {
    while (!FPages.empty()) {
        FPages.pop_back();
    }
}

TTabSheet& TPageControl::AddPage(std::string name, const std::string& caption) {
    FPages.push_back(std::make_unique<TTabSheet>(*this, std::move(name), caption));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    std::wstring text = toWide(caption);
    item.pszText = text.data();
    SendMessageW(Handle(), TCM_INSERTITEMW, FPages.size() - 1, reinterpret_cast<LPARAM>(&item));
    PlacePages();
    if (FPages.size() == 1) {
        SetActivePageIndex(0);
    }
    return *FPages.back();
}

int TPageControl::ActivePageIndex() const {
    return static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
}

void TPageControl::SetActivePageIndex(int index) {
    SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (std::size_t i = 0; i < FPages.size(); ++i) {
        if (static_cast<int>(i) != index) {
            FPages[i]->SetVisible(false);
        }
    }
    if (index >= 0 && index < static_cast<int>(FPages.size())) {
        FPages[static_cast<std::size_t>(index)]->SetVisible(true);
    }
}

void TPageControl::PlacePages() {
    RECT r = {0, 0, ClientWidth(), ClientHeight()};
    SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    for (auto& page : FPages) {
        page->SetBounds(r.left, r.top, std::max(0L, r.right - r.left), std::max(0L, r.bottom - r.top));
    }
}

void TPageControl::BoundsChanged() {
    PlacePages();
}

LRESULT TPageControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = TWinControl::WndProc(message, wParam, lParam);
    if (message == WM_SIZE) {
        PlacePages();
    }
    return result;
}

bool TPageControl::ReflectedNotify(NMHDR& header, LRESULT& result) {
    if (header.code == TCN_SELCHANGING) {
        bool allow = true;
        if (OnChanging) {
            OnChanging(allow);
        }
        result = allow ? FALSE : TRUE;
        return true;
    }
    if (header.code == TCN_SELCHANGE) {
        SetActivePageIndex(ActivePageIndex());
        if (OnChange) {
            OnChange();
        }
        result = 0;
        return true;
    }
    return false;
}

// ---- TListView

TListView::TListView(TWinControl* parent, std::string name, bool isVirtual)
    : TWinControl(parent, std::move(name)), FVirtual(isVirtual) {
    InitCommonControls();
    FColor = clWindow;
    TCreateParams params;
    params.ClassName = WC_LISTVIEWW;
    params.Style = WS_CHILD | WS_TABSTOP | LVS_ICON | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                   LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE | (isVirtual ? LVS_OWNERDATA : 0);
    params.ExStyle = WS_EX_CLIENTEDGE;
    FBounds = {0, 0, 250, 150};
    CreateWindowed(params);
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
}

TListView::~TListView() = default;

void TListView::SetViewStyle(TViewStyle style) {
    // The end of the update lays an icon view out, while drawing is still off.
    const TUpdateGuard update(*this);
    FViewStyle = style;
    static const DWORD kStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    LONG_PTR bits = GetWindowLongPtrW(Handle(), GWL_STYLE);
    bits = (bits & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | kStyles[static_cast<int>(style)];
    SetWindowLongPtrW(Handle(), GWL_STYLE, bits);
}

void TListView::SetColumns(const std::vector<TListColumn>& columns) {
    while (SendMessageW(Handle(), LVM_DELETECOLUMN, 0, 0)) {
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        std::wstring text = toWide(columns[i].Caption);
        column.pszText = text.data();
        column.cx = columns[i].Width;
        column.iSubItem = static_cast<int>(i);
        SendMessageW(Handle(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    FColumnCount = columns.size();
}

// Through the column itself: LVM_GETCOLUMNWIDTH and LVM_SETCOLUMNWIDTH mean
// other things outside the report view.
int TListView::ColumnWidth(int column) const {
    LVCOLUMNW item = {};
    item.mask = LVCF_WIDTH;
    SendMessageW(Handle(), LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
    return item.cx;
}

void TListView::SetColumnWidth(int column, int width) {
    LVCOLUMNW item = {};
    item.mask = LVCF_WIDTH;
    item.cx = width;
    SendMessageW(Handle(), LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
}

void TListView::SetRowSelect(bool rowSelect) {
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 rowSelect ? LVS_EX_FULLROWSELECT : 0);
}

void TListView::SetImageLists(const TImageList* large, const TImageList* small) {
    SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(large != nullptr ? large->Handle() : nullptr));
    SendMessageW(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(small != nullptr ? small->Handle() : nullptr));
}

void TListView::BeginUpdate() {
    if (FUpdating++ == 0) {
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    }
}

void TListView::EndUpdate() {
    if (FUpdating > 0 && --FUpdating == 0) {
        // An icon view lays its rows out when drawing comes back on, and
        // with drawing on, every row that moves is marked for drawing on
        // its own: seconds at 10,000 rows under Wine. Laid out now, while
        // drawing is off, no row moves then.
        if (IconView()) {
            SendMessageW(Handle(), LVM_ARRANGE, LVA_DEFAULT, 0);
        }
        SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TListView::Clear() {
    SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
    FItems.clear();
}

int TListView::AddItem(const std::string& caption, const std::vector<std::string>& subItems, int imageIndex,
                       std::uintptr_t data) {
    if (FVirtual) {
        FItems.push_back({data, imageIndex});
        SendMessageW(Handle(), LVM_SETITEMCOUNT, FItems.size(), LVSICF_NOSCROLL);
        return static_cast<int>(FItems.size()) - 1;
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = Count();
    std::wstring text = toWide(caption);
    item.pszText = text.data();
    item.iImage = imageIndex;
    item.lParam = static_cast<LPARAM>(data);
    const int index =
        static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (std::size_t i = 0; i < subItems.size() && index >= 0; ++i) {
        SetItemText(index, static_cast<int>(i + 1), subItems[i]);
    }
    return index;
}

void TListView::DeleteItem(int index) {
    // A virtual item stays until the control has let go of it: what the
    // control asks while it deletes still finds it.
    const bool deleted = SendMessageW(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != FALSE;
    if (FVirtual && deleted && index >= 0 && index < static_cast<int>(FItems.size())) {
        FItems.erase(FItems.begin() + index);
        // The control drew the moved rows while the item was still here, one
        // place off: every row is drawn again from what the list now holds.
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

int TListView::Count() const {
    if (FVirtual) {
        return static_cast<int>(FItems.size());
    }
    return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

std::string TListView::ItemText(int index, int column) const {
    if (FVirtual) {
        return index >= 0 && index < Count() && OnItemText
                   ? OnItemText(FItems[static_cast<std::size_t>(index)].Data, column)
                   : std::string();
    }
    std::wstring buffer(1024, L'\0');
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(SendMessageW(
            Handle(), LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size() || buffer.size() > (1u << 20)) {
            buffer.resize(length);
            return toUtf8(buffer);
        }
        buffer.resize(buffer.size() * 4);
    }
}

std::uintptr_t TListView::ItemData(int index) const {
    if (FVirtual) {
        return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].Data : 0;
    }
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<std::uintptr_t>(item.lParam);
}

void TListView::SetItemData(int index, std::uintptr_t data) {
    if (FVirtual) {
        if (index >= 0 && index < Count()) {
            FItems[static_cast<std::size_t>(index)].Data = data;
            RedrawItem(index);
        }
        return;
    }
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(data);
    SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TListView::SetItemText(int index, int column, const std::string& text) {
    if (FVirtual) {
        RedrawItem(index); // the text is OnItemText's
        return;
    }
    LVITEMW item = {};
    item.iSubItem = column;
    std::wstring wide = toWide(text);
    item.pszText = wide.data();
    SendMessageW(Handle(), LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void TListView::SetCheckBoxes(bool checkBoxes) {
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES,
                 checkBoxes ? LVS_EX_CHECKBOXES : 0);
}

bool TListView::ItemState(int index, UINT mask) const {
    return (SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask) & mask) != 0;
}

void TListView::SetItemState(int index, UINT mask, UINT state) {
    LVITEMW item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

bool TListView::ItemSelected(int index) const {
    return ItemState(index, LVIS_SELECTED);
}

bool TListView::ItemChecked(int index) const {
    // State image 2 is the ticked box, 1 the clear one.
    return (SendMessageW(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK) &
            LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void TListView::SetItemChecked(int index, bool checked) {
    SetItemState(index, LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1));
}

bool TListView::ItemCut(int index) const {
    return ItemState(index, LVIS_CUT);
}

void TListView::SetItemCut(int index, bool cut) {
    SetItemState(index, LVIS_CUT, cut ? LVIS_CUT : 0);
}

void TListView::SetMultiSelect(bool multiSelect) {
    LONG_PTR bits = GetWindowLongPtrW(Handle(), GWL_STYLE);
    bits = multiSelect ? bits & ~static_cast<LONG_PTR>(LVS_SINGLESEL) : bits | LVS_SINGLESEL;
    SetWindowLongPtrW(Handle(), GWL_STYLE, bits);
}

bool TListView::IconView() const {
    return FViewStyle == TViewStyle::vsIcon || FViewStyle == TViewStyle::vsSmallIcon;
}

void TListView::Arrange() {
    if (IconView()) {
        const TUpdateGuard update(*this); // its end lays the rows out
    }
}

void TListView::SetSortArrow(int column, int direction) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column && direction != 0) {
            item.fmt |= direction > 0 ? HDF_SORTUP : HDF_SORTDOWN;
        }
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

int TListView::ItemImage(int index) const {
    if (FVirtual) {
        return index >= 0 && index < Count() ? FItems[static_cast<std::size_t>(index)].ImageIndex : -1;
    }
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void TListView::SetItemImage(int index, int imageIndex) {
    if (FVirtual) {
        if (index >= 0 && index < Count()) {
            FItems[static_cast<std::size_t>(index)].ImageIndex = imageIndex;
            RedrawItem(index);
        }
        return;
    }
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = imageIndex;
    SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

TIcon TListView::ItemLargeIcon(int index) const {
    const auto large =
        reinterpret_cast<HIMAGELIST>(SendMessageW(Handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    const int image = ItemImage(index);
    return TIcon(large != nullptr && image >= 0 ? ImageList_GetIcon(large, image, ILD_NORMAL) : nullptr);
}

POINT TListView::ItemPosition(int index) const {
    POINT at = {0, 0};
    SendMessageW(Handle(), LVM_GETITEMPOSITION, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&at));
    return at;
}

int TListView::TopIndex() const {
    return static_cast<int>(SendMessageW(Handle(), LVM_GETTOPINDEX, 0, 0));
}

int TListView::CountPerPage() const {
    return static_cast<int>(SendMessageW(Handle(), LVM_GETCOUNTPERPAGE, 0, 0));
}

void TListView::Scroll(int dx, int dy) {
    SendMessageW(Handle(), LVM_SCROLL, static_cast<WPARAM>(dx), static_cast<LPARAM>(dy));
}

int TListView::FindData(std::uintptr_t data) const {
    if (FVirtual) {
        const auto it = std::find_if(FItems.begin(), FItems.end(),
                                     [data](const TVirtualItem& item) { return item.Data == data; });
        return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    }
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(data);
    return static_cast<int>(
        SendMessageW(Handle(), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

int TListView::Selected() const {
    return static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelected(int index) {
    SetItemState(-1, LVIS_SELECTED | LVIS_FOCUSED, 0);
    if (index >= 0) {
        SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
    }
}

void TListView::Sort(const std::function<int(int, int)>& compare) {
    if (FVirtual) {
        SortVirtual(compare);
        return;
    }
    // Each item carries its index of before the sort as its data while the
    // list sorts, and gets its own data back after: the list view hands the
    // comparison the items' data, never indexes it could be asked about in
    // the middle of moving them.
    const int count = Count();
    std::vector<std::uintptr_t> data(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        data[static_cast<std::size_t>(i)] = ItemData(i);
        SetItemData(i, static_cast<std::uintptr_t>(i));
    }
    auto callback = [](LPARAM a, LPARAM b, LPARAM self) -> int {
        return (*reinterpret_cast<const std::function<int(int, int)>*>(self))(static_cast<int>(a),
                                                                              static_cast<int>(b));
    };
    SendMessageW(Handle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&compare),
                 reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(callback)));
    for (int i = 0; i < count; ++i) {
        SetItemData(i, data[static_cast<std::size_t>(ItemData(i))]);
    }
}

bool TListView::ReflectedNotify(NMHDR& header, LRESULT& result) {
    if (FVirtual && VirtualNotify(header, result)) {
        return true;
    }
    switch (header.code) {
    case LVN_ITEMCHANGING: {
        auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (!FQuiet && (change.uChanged & LVIF_STATE) != 0 && change.iItem >= 0 && OnItemStateChanging) {
            OnItemStateChanging(change.iItem);
        }
        result = FALSE; // the change may go ahead
        return true;
    }
    case LVN_ITEMCHANGED: {
        auto& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (FQuiet) {
            return false;
        }
        if ((change.uChanged & LVIF_STATE) != 0 && OnItemStateChanged) {
            OnItemStateChanged(change.iItem);
        }
        if ((change.uChanged & LVIF_STATE) != 0 &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0 && change.iItem >= 0 &&
            OnSelectItem) {
            OnSelectItem(change.iItem, (change.uNewState & LVIS_SELECTED) != 0);
        }
        // A virtual list reports a change of every item at once as one of item -1.
        if (FVirtual && (change.uChanged & LVIF_STATE) != 0 && change.iItem < 0 && OnSelectItem) {
            OnSelectItem(-1, (change.uNewState & LVIS_SELECTED) != 0);
        }
        return false;
    }
    case LVN_COLUMNCLICK:
        if (OnColumnClick) {
            OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        }
        return false;
    case NM_SETFOCUS:
        if (OnEnter) {
            OnEnter();
        }
        return false;
    case NM_KILLFOCUS:
        if (OnExit) {
            OnExit();
        }
        return false;
    case NM_DBLCLK:
        if (OnDblClick) {
            OnDblClick();
        }
        return false;
    case NM_RCLICK:
        if (OnContextPopup) {
            POINT at;
            GetCursorPos(&at);
            OnContextPopup(at);
            result = TRUE;
            return true;
        }
        return false;
    case NM_CUSTOMDRAW: {
        auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
        if (!OnItemColor) {
            return false;
        }
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        }
        if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            OnItemColor(static_cast<int>(draw.nmcd.dwItemSpec), draw.clrText, draw.clrTextBk);
            result = CDRF_DODEFAULT;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace cv
