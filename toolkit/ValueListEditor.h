// A two-column grid of names and texts, both editable in place, whose names
// stay unique (compared without regard to letter case). Rows can be added
// (Ins) and deleted (Ctrl+Del); the grid always keeps at least one row.
#pragma once

#include "toolkit/ComCtrls.h"
#include "toolkit/StdControls.h"

#include <utility>

namespace cv {

class TCellEditor;

using TValueRow = std::pair<std::string, std::string>;

class TValueListEditor : public TListView {
public:
    TValueListEditor(TWinControl* parent, std::string name);
    ~TValueListEditor() override;

    void SetTitles(const std::string& name, int nameWidth, const std::string& text, int textWidth);
    std::size_t RowCount() const { return FRows.size(); }
    const TValueRow& Row(std::size_t index) const { return FRows.at(index); }
    const std::vector<TValueRow>& Rows() const { return FRows; }
    // The rows, or one empty row for none.
    void SetRows(const std::vector<TValueRow>& rows);
    void InsertRow(std::size_t index, const TValueRow& row);
    void DeleteRow(std::size_t index);
    // Sets a cell (column 0 the name, 1 the text). A name another row has
    // already is refused with an error and the cell keeps its old text.
    void SetCell(std::size_t row, int column, const std::string& text);

    // The in-place editor over a cell; committing goes through SetCell.
    void EditCell(std::size_t row, int column);
    bool Editing() const;
    void EndEdit(bool commit);
    TEdit& Editor() const;

protected:
    bool ReflectedNotify(NMHDR& header, LRESULT& result) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static std::string FormatName(const std::string& name);
    void ShowRows();
    std::vector<TValueRow> FRows;
    std::unique_ptr<TCellEditor> FEditor;
    std::size_t FEditRow = 0;
    int FEditColumn = -1;
};

} // namespace cv
