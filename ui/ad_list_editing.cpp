// Editing the advertisement list 超级列表框1: add a line from the entry
// boxes, delete, move up or down, clear. The add, delete and clear handlers
// leave the selection alone; a moved line keeps it. Nothing scrolls.
#include "ui/main_window.h"

#include <commctrl.h>

#include "ui/ad_list_view.h"
#include "ui/window_text.h"

namespace varnel::ui {

namespace {

// Row `from` and row `to` exchange their texts, and the selection goes with
// the line that was at `from`.
void ExchangeLines(AdListView& list, int from, int to) {
  const std::wstring a0 = list.CellText(from, 0);
  const std::wstring a1 = list.CellText(from, 1);
  const std::wstring b0 = list.CellText(to, 0);
  const std::wstring b1 = list.CellText(to, 1);
  list.SetCell(from, 0, b0);
  list.SetCell(from, 1, b1);
  list.SetCell(to, 0, a0);
  list.SetCell(to, 1, a1);
  list.SetSelection(to);
}

}  // namespace

void MainWindow::AddAdLine() {
  AdListView list(control(Ctl::AdList));
  HWND subtitleBox = control(Ctl::SubtitleBox);
  // Both texts as they are, unchecked; the display time stays in its box for
  // the next line.
  const int row = list.AppendRow();
  list.SetCell(row, 0, WindowText(control(Ctl::DurationBox)));
  list.SetCell(row, 1, WindowText(subtitleBox));
  SetWindowTextW(subtitleBox, L"");
  SetFocus(subtitleBox);
}

void MainWindow::DeleteAdLine() {
  AdListView list(control(Ctl::AdList));
  list.DeleteRow(list.Selection());
}

void MainWindow::MoveAdLineUp() {
  AdListView list(control(Ctl::AdList));
  const int selected = list.Selection();
  if (selected <= 0) return;
  ExchangeLines(list, selected, selected - 1);
}

void MainWindow::MoveAdLineDown() {
  AdListView list(control(Ctl::AdList));
  const int selected = list.Selection();
  if (selected < 0 || selected >= list.RowCount() - 1) return;
  ExchangeLines(list, selected, selected + 1);
}

void MainWindow::ClearAdList() { AdListView(control(Ctl::AdList)).DeleteAllRows(); }

LRESULT CALLBACK MainWindow::SubtitleBoxProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Claim Enter, which the window's keyboard interface would otherwise
      // take for itself; every other key keeps its usual meaning.
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      LRESULT code = DefSubclassProc(edit, message, wParam, lParam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        reinterpret_cast<MainWindow*>(self)->AddAdLine();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r' || wParam == L'\n') return 0;  // a one-line box takes no line break
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, SubtitleBoxProc, id);
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace varnel::ui
