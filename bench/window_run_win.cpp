// varnel-bench-window: one whole run through the main window, timed from the
// Start click to the completion text (`make bench`, under Wine).
//
//   varnel-bench-window FOLDER SECONDS:TEXT...
//
// Creates the real main window and shows it, fills its controls by messages
// as a user would (one advertisement row per SECONDS:TEXT, the folder, the
// all-drives box unticked, the rest as the window starts), posts a click on
// Start and dispatches messages until the status label shows the completion
// text. Prints "written: N, microseconds: T". The host refuses the drive list
// and every path outside FOLDER, so a mistake in the bench cannot stamp
// anything else.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "batch/batch_job.h"
#include "platform/host.h"
#include "platform/window_messages_win.h"
#include "ui/main_window.h"

namespace {

using varnel::ui::Ctl;

class FolderOnlyHost : public varnel::BatchHost {
 public:
  explicit FolderOnlyHost(std::wstring root) : root_(std::move(root)) {}

  std::unique_ptr<varnel::FolderListing> ListFolder(const varnel::NativeText& folder) override {
    if (!Inside(folder)) return nullptr;
    return system_.ListFolder(folder);
  }
  bool WriteWholeFile(const varnel::NativeText& path, std::string_view bytes) override {
    return Inside(path) && system_.WriteWholeFile(path, bytes);
  }
  std::vector<varnel::NativeText> ListFixedDrives() override {
    refused = true;
    return {};
  }
  void ProcessPendingEvents() override { system_.ProcessPendingEvents(); }

  bool refused = false;

 private:
  bool Inside(const varnel::NativeText& path) {
    if (path.compare(0, root_.size(), root_) == 0) return true;
    refused = true;
    return false;
  }
  std::wstring root_;
  varnel::SystemHost system_;
};

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Dispatches what waits, through the program's own dispatch, for about
// `milliseconds`: the window gets drawn as it would be before a user clicks.
void Settle(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) varnel::DispatchWindowMessage(message);
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, 0);
  } while (GetTickCount() - start < milliseconds);
}

int Fail(const char* why) {
  std::fprintf(stderr, "varnel-bench-window: %s\n", why);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Fail("usage: varnel-bench-window FOLDER SECONDS:TEXT...");
  std::wstring folder = argv[1];
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  FolderOnlyHost host(folder);
  varnel::ui::MainWindow window(host);
  if (!window.Create(GetModuleHandleW(nullptr))) return Fail("cannot create the window");
  window.Show(SW_SHOWNORMAL);
  SetForegroundWindow(window.handle());
  Settle(300);

  HWND list = window.control(Ctl::AdList);
  for (int i = 2; i < argc; ++i) {
    const std::wstring line = argv[i];
    const size_t colon = line.find(L':');
    if (colon == std::wstring::npos) return Fail("a line is SECONDS:TEXT");
    std::wstring seconds = line.substr(0, colon), text = line.substr(colon + 1);
    LVITEMW item{};
    item.iItem = ListView_GetItemCount(list);
    const int row = ListView_InsertItem(list, &item);
    ListView_SetItemText(list, row, 0, seconds.data());
    ListView_SetItemText(list, row, 1, text.data());
  }
  SetWindowTextW(window.control(Ctl::FolderBox), folder.c_str());
  HWND allDrives = window.control(Ctl::AllDrivesBox);
  SendMessageW(allDrives, BM_SETCHECK, BST_UNCHECKED, 0);
  if (TextOf(window.control(Ctl::FolderBox)) != folder ||
      SendMessageW(allDrives, BM_GETCHECK, 0, 0) != BST_UNCHECKED) {
    return Fail("the folder box or the all-drives box did not take its value");
  }
  Settle(100);

  HWND status = window.control(Ctl::StatusLabel);
  // The completion text up to its count.
  std::wstring done = varnel::CompletionText(0);
  done.resize(done.find(L'0'));
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  PostMessageW(window.control(Ctl::StartButton), BM_CLICK, 0, 0);
  while (TextOf(status).compare(0, done.size(), done) != 0) {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return Fail("the message loop ended before the completion text");
    varnel::DispatchWindowMessage(message);
  }
  QueryPerformanceCounter(&end);
  const long long micros = (end.QuadPart - start.QuadPart) * 1000000LL / frequency.QuadPart;

  if (host.refused) return Fail("the run reached for the drives or outside its folder");
  if (TextOf(status) != varnel::CompletionText(window.runState().filesWritten)) {
    return Fail("the completion text does not match the count written");
  }
  std::printf("written: %d, microseconds: %lld\n", static_cast<int>(window.runState().filesWritten), micros);
  DestroyWindow(window.handle());
  return 0;
}
