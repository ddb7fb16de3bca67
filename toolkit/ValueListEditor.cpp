#include "toolkit/ValueListEditor.h"

#include "platform/TextCase.h"
#include "platform/win32/Win32Text.h"
#include "toolkit/StdControls.h"

#include <stdexcept>

namespace cv {

class TCellEditor : public TEdit {
public:
    TCellEditor(TValueListEditor& grid) : TEdit(&grid, "CellEditor"), FGrid(grid) { SetVisible(false); }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_HASSETSEL;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                FGrid.EndEdit(wParam == VK_RETURN);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                return 0; // no beep
            }
            break;
        case WM_KILLFOCUS:
            if (FGrid.Editing()) {
                FGrid.EndEdit(true);
            }
            break;
        default:
            break;
        }
        return TEdit::WndProc(message, wParam, lParam);
    }

private:
    TValueListEditor& FGrid;
};

TValueListEditor::TValueListEditor(TWinControl* parent, std::string name)
    : TListView(parent, std::move(name)) {
    SetViewStyle(TViewStyle::vsReport);
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SetTitles("Name", 150, "Value", 200);
    FEditor = std::make_unique<TCellEditor>(*this);
    SetRows({});
}

TValueListEditor::~TValueListEditor() = default;

TEdit& TValueListEditor::Editor() const {
    return *FEditor;
}

void TValueListEditor::SetTitles(const std::string& name, int nameWidth, const std::string& text,
                                 int textWidth) {
    SetColumns({{name, nameWidth}, {text, textWidth}});
}

void TValueListEditor::ShowRows() {
    const int selected = Selected();
    {
        const TUpdateGuard update(*this);
        Clear();
        for (const TValueRow& row : FRows) {
            AddItem(row.first, {row.second});
        }
    }
    SetSelected(selected < Count() ? selected : Count() - 1);
}

void TValueListEditor::SetRows(const std::vector<TValueRow>& rows) {
    EndEdit(false);
    FRows = rows;
    if (FRows.empty()) {
        FRows.emplace_back();
    }
    ShowRows();
}

void TValueListEditor::InsertRow(std::size_t index, const TValueRow& row) {
    EndEdit(true);
    for (std::size_t i = 0; i < FRows.size(); ++i) {
        if (!row.first.empty() && SameText(FRows[i].first, row.first)) {
            throw std::runtime_error(FormatName(row.first));
        }
    }
    FRows.insert(FRows.begin() + static_cast<std::ptrdiff_t>(std::min(index, FRows.size())), row);
    ShowRows();
}

void TValueListEditor::DeleteRow(std::size_t index) {
    EndEdit(false);
    if (index >= FRows.size()) {
        return;
    }
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(index));
    if (FRows.empty()) {
        FRows.emplace_back();
    }
    ShowRows();
}

std::string TValueListEditor::FormatName(const std::string& name) {
    return "The name \"" + name + "\" is already in the list.";
}

void TValueListEditor::SetCell(std::size_t row, int column, const std::string& text) {
    if (row >= FRows.size()) {
        return;
    }
    if (column == 0) {
        for (std::size_t i = 0; i < FRows.size(); ++i) {
            if (i != row && !text.empty() && SameText(FRows[i].first, text)) {
                throw std::runtime_error(FormatName(text));
            }
        }
        FRows[row].first = text;
    } else {
        FRows[row].second = text;
    }
    SetItemText(static_cast<int>(row), column == 0 ? 0 : 1, text);
}

bool TValueListEditor::Editing() const {
    return FEditColumn >= 0;
}

void TValueListEditor::EditCell(std::size_t row, int column) {
    EndEdit(true);
    if (row >= FRows.size()) {
        return;
    }
    SetSelected(static_cast<int>(row));
    RECT cell = {};
    cell.top = column == 0 ? 0 : 1;
    cell.left = LVIR_LABEL;
    SendMessageW(Handle(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    if (column == 0) {
        // The first column's label rectangle is the column's own width.
        cell.right = cell.left + static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, 0, 0));
    }
    FEditRow = row;
    FEditColumn = column;
    FEditor->SetText(column == 0 ? FRows[row].first : FRows[row].second);
    FEditor->SetBounds(cell.left, cell.top - 1, cell.right - cell.left, cell.bottom - cell.top + 2);
    FEditor->SetVisible(true);
    SetWindowPos(FEditor->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    FEditor->SetFocus();
    FEditor->SelectAll();
}

void TValueListEditor::EndEdit(bool commit) {
    if (!Editing()) {
        return;
    }
    const int column = FEditColumn;
    FEditColumn = -1; // before anything else: hiding the editor moves the focus
    const std::string text = FEditor->Text();
    FEditor->SetVisible(false);
    if (GetFocus() == nullptr || GetFocus() == FEditor->Handle()) {
        ::SetFocus(Handle());
    }
    if (commit) {
        SetCell(FEditRow, column, text);
    }
}

bool TValueListEditor::ReflectedNotify(NMHDR& header, LRESULT& result) {
    if (header.code == NM_DBLCLK) {
        auto& activate = reinterpret_cast<NMITEMACTIVATE&>(header);
        if (activate.iItem >= 0) {
            EditCell(static_cast<std::size_t>(activate.iItem), activate.iSubItem > 0 ? 1 : 0);
        }
        return true;
    }
    return TListView::ReflectedNotify(header, result);
}

LRESULT TValueListEditor::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        const int row = Selected();
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        if (wParam == VK_INSERT) {
            const std::size_t at = row < 0 ? FRows.size() : static_cast<std::size_t>(row) + 1;
            InsertRow(at, {});
            EditCell(at, 0);
            return 0;
        }
        if (wParam == VK_DELETE && ctrl && row >= 0) {
            DeleteRow(static_cast<std::size_t>(row));
            return 0;
        }
        if ((wParam == VK_F2 || wParam == VK_RETURN) && row >= 0) {
            EditCell(static_cast<std::size_t>(row), GetKeyState(VK_SHIFT) < 0 ? 0 : 1);
            return 0;
        }
    }
    if (message == WM_GETDLGCODE) {
        return TListView::WndProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    }
    return TListView::WndProc(message, wParam, lParam);
}

} // namespace cv
