// The real main window for tests, driven by messages as a user's clicks and
// keys would drive it, with a host that keeps every run inside the test's own
// folder, and a way to answer the system dialogs the window opens.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/window_messages_win.h"
#include "screenshot.h"
#include "temp_folder.h"
#include "ui/ad_list_view.h"
#include "ui/main_window.h"

namespace varnel::ui {

using testing::SaveScreenshot;
using testing::ScreenshotFolder;
using testing::TempFolder;
using testing::Utf8;

// The system's host, kept inside the test's own folder: the drives are never
// listed, and a folder or file outside the folder fails the test.
class GuardedHost : public BatchHost {
 public:
  explicit GuardedHost(std::wstring root) : root_(std::move(root)) {}

  std::unique_ptr<FolderListing> ListFolder(const NativeText& folder) override {
    if (!Inside(folder)) return nullptr;
    return system_.ListFolder(folder);
  }
  bool WriteWholeFile(const NativeText& path, std::string_view bytes) override {
    return Inside(path) && system_.WriteWholeFile(path, bytes);
  }
  std::vector<NativeText> ListFixedDrives() override {
    ADD_FAILURE() << "a test walked the drives";
    return {};
  }
  void ProcessPendingEvents() override {
    ++pumps;
    if (beforePump) beforePump(pumps);
    system_.ProcessPendingEvents();
  }

  int pumps = 0;
  std::function<void(int pump)> beforePump;

 private:
  bool Inside(const NativeText& path) {
    if (path.compare(0, root_.size(), root_) == 0) return true;
    ADD_FAILURE() << "outside the test's folder: " << Utf8(path);
    return false;
  }
  std::wstring root_;
  SystemHost system_;
};

constexpr UINT kSentinel = WM_APP + 77;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.openAddress = [this](const std::wstring& address) { openedAddresses_.push_back(address); };
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr)));
    window_.Show(SW_SHOWNORMAL);
    SetForegroundWindow(window_.handle());
    Settle();
  }

  void TearDown() override {
    if (window_.handle()) DestroyWindow(window_.handle());
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND Control(Ctl id) const { return window_.control(id); }
  std::wstring Text(Ctl id) const { return WindowTextOf(Control(id)); }
  static std::wstring WindowTextOf(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
  }
  void SetText(Ctl id, const std::wstring& text) { SetWindowTextW(Control(id), text.c_str()); }
  bool Ticked(Ctl id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetTicked(Ctl id, bool ticked) {
    SendMessageW(Control(id), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void Click(Ctl id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
  void Type(Ctl id, std::wstring_view keys) {
    for (wchar_t key : keys) SendMessageW(Control(id), WM_CHAR, key, 1);
  }
  int CurrentItem(Ctl id) const { return static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0)); }

  void AddRow(const std::wstring& seconds, const std::wstring& text) {
    HWND list = Control(Ctl::AdList);
    LVITEMW item{};
    item.iItem = ListView_GetItemCount(list);
    const int row = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, row, 0, const_cast<wchar_t*>(seconds.c_str()));
    ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(text.c_str()));
  }

  // A run over the test's folder, holding `movies` movies, with one line.
  void PrepareRunOverMovies(int movies) {
    for (int i = 0; i < movies; ++i) folder_.AddFile(L"movie" + std::to_wstring(i) + L".avi");
    AddRow(L"5", L"A");
    SetText(Ctl::FolderBox, folder_.root());
    SetTicked(Ctl::AllDrivesBox, false);
  }

  // Dispatches, through the program's own dispatch, everything posted so far.
  void Pump() {
    PostMessageW(nullptr, kSentinel, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (message.message == kSentinel && !message.hwnd) return;
      DispatchWindowMessage(message);
    }
    PostQuitMessage(static_cast<int>(message.wParam));  // for the test to see
  }
  // Gives the window time to be drawn. Waiting for messages, rather than
  // sleeping, is what lets Wine bring what was drawn onto the screen. The
  // queue is emptied to the end: the system makes its paint messages only
  // when nothing else waits, so a posted sentinel would always come first.
  void Settle(DWORD milliseconds = 300) {
    const DWORD start = GetTickCount();
    do {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(message.wParam));  // for the test to see
          return;
        }
        DispatchWindowMessage(message);
      }
      MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, 0);
    } while (GetTickCount() - start < milliseconds);
  }
  static bool QuitRequested() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
  }

  // Left-button click inside a control, at a point of its client area.
  static void ClickAt(HWND control, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(control, WM_LBUTTONUP, 0, at);
  }
  void Spin(Ctl box, bool up) {
    HWND spin = window_.spinButtons(box);
    RECT area;
    GetClientRect(spin, &area);
    ClickAt(spin, area.right / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
  }

  void Screenshot(const wchar_t* name) {
    Settle();
    const std::wstring path = ScreenshotFolder() + L"\\" + name;
    EXPECT_TRUE(SaveScreenshot(window_.handle(), path)) << Utf8(path);
  }

  // A control's place in its parent's client area.
  static RECT PlaceOf(HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
  }

  // A key pressed and released in `control`, through the program's own
  // dispatch of messages.
  void PressKey(HWND control, UINT key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  // The advertisement list, one "seconds:text" per row, rows joined by "|".
  std::wstring Rows() const {
    const AdListView list(Control(Ctl::AdList));
    std::wstring rows;
    for (int row = 0; row < list.RowCount(); ++row) {
      if (row > 0) rows += L"|";
      rows += list.CellText(row, 0) + L":" + list.CellText(row, 1);
    }
    return rows;
  }
  int Selection() const { return AdListView(Control(Ctl::AdList)).Selection(); }

  // A user's choice of item `index` in a drop-down list: with the arrow keys
  // while the list is closed, or in the opened list, confirmed with Enter.
  enum class ChooseBy { ArrowKeys, OpenList };
  void ChooseItem(Ctl id, int index, ChooseBy by) {
    HWND list = Control(id);
    SetFocus(list);
    if (by == ChooseBy::OpenList) {
      SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
      Pump();
    }
    const int current = CurrentItem(id);
    for (int i = current; i < index; ++i) PressKey(list, VK_DOWN);
    for (int i = current; i > index; --i) PressKey(list, VK_UP);
    if (by == ChooseBy::OpenList) PressKey(list, VK_RETURN);
  }

  TempFolder folder_;
  GuardedHost host_{folder_.root()};
  MainWindow window_{host_};
  std::vector<std::wstring> openedAddresses_;
};

// Runs `open`, which shows a modal system dialog on this thread, and answers
// the dialog with `act` once it is up and drawn, as a user who sees it
// appear: `act` runs on this thread inside the dialog's message loop and
// answers by messages (select, post a click on OK or Cancel). A dialog that
// never appears, or is still open five seconds after `act`, fails the test
// (the second one is cancelled, so that the test goes on).
void AnswerDialog(const std::function<void()>& open, const std::function<void(HWND dialog)>& act);

// Inside `act`: lets the dialog handle what is waiting and draw itself.
void WaitInDialog(DWORD milliseconds);

// The first visible child of `dialog` of the window class `className` whose
// text is `text` (any text when null).
HWND FindChild(HWND dialog, const wchar_t* className, const wchar_t* text = nullptr);

}  // namespace varnel::ui
