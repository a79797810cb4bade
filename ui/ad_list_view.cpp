#include "ui/ad_list_view.h"

#include <commctrl.h>

namespace varnel::ui {

int AdListView::RowCount() const { return ListView_GetItemCount(list_); }

int AdListView::AppendRow() {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = RowCount();
  item.pszText = const_cast<wchar_t*>(L"");
  return ListView_InsertItem(list_, &item);
}

void AdListView::SetCell(int row, int column, const std::wstring& text) {
  if (row < 0 || row >= RowCount()) return;
  ListView_SetItemText(list_, row, column, const_cast<wchar_t*>(text.c_str()));
}

std::wstring AdListView::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount()) return {};
  // The list view copies what fits and says how much it copied: a text that
  // fills the buffer may have been cut, so ask again with a larger one.
  std::wstring text(256, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto length =
        static_cast<int>(SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (length < static_cast<int>(text.size()) - 1) {
      text.resize(length > 0 ? static_cast<size_t>(length) : 0);
      return text;
    }
    text.assign(text.size() * 2, L'\0');
  }
}

void AdListView::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  ListView_DeleteItem(list_, row);
}

void AdListView::DeleteAllRows() { ListView_DeleteAllItems(list_); }

int AdListView::Selection() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

void AdListView::SetSelection(int row) {
  constexpr UINT kMarks = LVIS_SELECTED | LVIS_FOCUSED;
  const int top = ListView_GetTopIndex(list_);
  ListView_SetItemState(list_, -1, 0, kMarks);  // every row
  if (row >= 0 && row < RowCount()) {
    ListView_SetItemState(list_, row, kMarks, kMarks);
    // The list's own current row, which its keyboard moves start from.
    ListView_SetSelectionMark(list_, row);
  }
  // Some list views (Wine's) scroll to the row that gets the focus; the rows
  // stay where they were.
  const int scrolled = ListView_GetTopIndex(list_) - top;
  if (scrolled != 0) {
    RECT first{};
    ListView_GetItemRect(list_, 0, &first, LVIR_BOUNDS);
    ListView_Scroll(list_, 0, -scrolled * (first.bottom - first.top));
  }
}

}  // namespace varnel::ui
