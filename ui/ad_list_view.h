// The advertisement list 超级列表框1 as the rest of the window uses it: rows
// of two cells (display time, text), at most one selected row. Each operation
// is one or two messages to the list view and owns nothing.
#pragma once

#include <windows.h>

#include <string>

namespace varnel::ui {

class AdListView {
 public:
  explicit AdListView(HWND list) : list_(list) {}

  int RowCount() const;
  // Appends an empty row at the end, not selected and not scrolled to;
  // returns its index (-1 when the list view refused it).
  int AppendRow();
  // No effect for a row that does not exist.
  void SetCell(int row, int column, const std::wstring& text);
  // The empty text for a row that does not exist; any length.
  std::wstring CellText(int row, int column) const;
  // No effect for an index that names no row.
  void DeleteRow(int row);
  void DeleteAllRows();
  // The selected row, -1 when none is.
  int Selection() const;
  // Selects and focuses `row` alone, without scrolling; -1 selects none.
  void SetSelection(int row);

 private:
  HWND list_;
};

}  // namespace varnel::ui
