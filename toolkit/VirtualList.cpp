// The virtual mode of TListView: the items live here as data and image, the
// control asks for what it shows, and sorting happens in memory.
#include "toolkit/ComCtrls.h"

#include "platform/TextCase.h"
#include "platform/win32/Win32Text.h"

#include <algorithm>
#include <numeric>

namespace cv {

void TListView::SetVirtualItems(std::vector<TVirtualItem> items) {
    // An icon view gives its rows places only when it lays them out, which
    // the end of an update does; without one every row would lie at the top.
    const TUpdateGuard update(*this);
    // The old items go first, with their selection, so the control never
    // counts items that are not here.
    SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
    FItems = std::move(items);
    SendMessageW(Handle(), LVM_SETITEMCOUNT, FItems.size(), 0);
}

void TListView::RedrawItem(int index) {
    SendMessageW(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(index), static_cast<LPARAM>(index));
}

void TListView::SortVirtual(const std::function<int(int, int)>& compare) {
    const int count = Count();
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&compare](int a, int b) { return compare(a, b) < 0; });

    // The control keeps selection and focus by place: they move with their items.
    std::vector<char> selected(static_cast<std::size_t>(count), 0);
    for (int i = Selected(); i >= 0; i = static_cast<int>(SendMessageW(
                                         Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) {
        selected[static_cast<std::size_t>(i)] = 1;
    }
    const int focused =
        static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));

    std::vector<TVirtualItem> sorted;
    sorted.reserve(FItems.size());
    for (int from : order) {
        sorted.push_back(FItems[static_cast<std::size_t>(from)]);
    }
    FItems = std::move(sorted);

    FQuiet = true;
    SetItemState(-1, LVIS_SELECTED | LVIS_FOCUSED, 0);
    for (int i = 0; i < count; ++i) {
        const int from = order[static_cast<std::size_t>(i)];
        const UINT state = (selected[static_cast<std::size_t>(from)] != 0 ? LVIS_SELECTED : 0u) |
                           (from == focused ? LVIS_FOCUSED : 0u);
        if (state != 0) {
            SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, state);
        }
        if (from == focused) {
            SendMessageW(Handle(), LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(i));
        }
    }
    FQuiet = false;
    InvalidateRect(Handle(), nullptr, FALSE);
}

int TListView::FindCaption(const std::string& text, int start, bool wrap, bool whole) const {
    const int count = Count();
    if (count == 0) {
        return -1;
    }
    const std::string wanted = UpperText(text);
    start = std::clamp(start, 0, count);
    const int steps = wrap ? count : count - start;
    for (int step = 0; step < steps; ++step) {
        const int index = (start + step) % count;
        const std::string caption = UpperText(ItemText(index));
        if (whole ? caption == wanted : caption.compare(0, wanted.size(), wanted) == 0) {
            return index;
        }
    }
    return -1;
}

bool TListView::VirtualNotify(NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if (item.iItem < 0 || item.iItem >= Count()) {
            return true;
        }
        const TVirtualItem& shown = FItems[static_cast<std::size_t>(item.iItem)];
        if ((item.mask & LVIF_IMAGE) != 0) {
            item.iImage = shown.ImageIndex;
        }
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            const std::wstring text =
                toWide(OnItemText ? OnItemText(shown.Data, item.iSubItem) : std::string());
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            std::copy_n(text.data(), length, item.pszText);
            item.pszText[length] = L'\0';
        }
        result = 0;
        return true;
    }
    case LVN_ODFINDITEMW: {
        // Typing in the list: the item whose caption begins (or is) the text typed.
        const auto& find = reinterpret_cast<NMLVFINDITEMW&>(header);
        result = -1;
        if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) != 0 && find.lvfi.psz != nullptr) {
            result = FindCaption(toUtf8(find.lvfi.psz), find.iStart, (find.lvfi.flags & LVFI_WRAP) != 0,
                                 (find.lvfi.flags & LVFI_PARTIAL) == 0);
        }
        return true;
    }
    case LVN_ODSTATECHANGED:
        // A range of items changed states at once (a shift-click in a multiple selection).
        if (!FQuiet && OnItemStateChanged) {
            OnItemStateChanged(-1);
        }
        result = 0;
        return true;
    case LVN_ODCACHEHINT:
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace cv
