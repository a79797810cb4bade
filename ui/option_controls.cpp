// The option controls that follow one another, and the two boxes filled from
// system dialogs: the folder box and the SSA font box.
#include "ui/main_window.h"
#include "ui/system_dialogs.h"
#include "ui/window_text.h"

namespace varnel::ui {

namespace {

constexpr wchar_t kFolderDialogTitle[] = L"请选择您存放电影的文件夹";

// The free-text extension boxes and the check boxes they tick.
struct ExtensionPair {
  Ctl box;
  Ctl check;
};
constexpr ExtensionPair kExtensionPairs[] = {
    {Ctl::ExtBox9, Ctl::Ext9}, {Ctl::ExtBox10, Ctl::Ext10}, {Ctl::ExtBox11, Ctl::Ext11}};

// 组合框2's item "不透明" (opaque; item 0 is "阴影", shadow), and the item
// 组合框5 shows with each mode.
constexpr int kOpaqueMode = 1;
constexpr int kShadowSizeWhenOpaque = 0;
constexpr int kShadowSizeWithShadow = 1;

constexpr int kSrtItem = 0;
constexpr int kSsaItem = 1;

}  // namespace

HWND MainWindow::DialogOwner() const {
  // The window the user is working in; the main window when this thread has
  // no active window, so that a dialog is never left without an owner that
  // it keeps from taking input.
  HWND active = GetActiveWindow();
  return active ? active : window_;
}

void MainWindow::ChooseMovieFolder() {
  const std::optional<std::wstring> folder = BrowseForFolder(DialogOwner(), kFolderDialogTitle);
  // A cancel, or an item that is no folder of the file system, keeps the
  // folder box and the all-drives box as they were.
  if (!folder || !window_) return;
  SetWindowTextW(control(Ctl::FolderBox), WithTrailingSeparator(*folder).c_str());
  SendMessageW(control(Ctl::AllDrivesBox), BM_SETCHECK, BST_UNCHECKED, 0);
}

void MainWindow::ChooseFontName() {
  if (!ChooseFontFor(DialogOwner(), fontDialog_) || !window_) return;
  SetWindowTextW(control(Ctl::FontNameBox), fontDialog_.faceName.c_str());
}

void MainWindow::SyncExtensionTick(Ctl box) {
  for (const ExtensionPair& pair : kExtensionPairs) {
    if (pair.box != box) continue;
    const bool hasText = GetWindowTextLengthW(control(box)) > 0;
    SendMessageW(control(pair.check), BM_SETCHECK, hasText ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void MainWindow::ApplyDisplayMode() {
  HWND shadowSize = control(Ctl::ShadowSizeList);
  const bool opaque = CurrentItem(Ctl::DisplayModeList) == kOpaqueMode;
  EnableWindow(shadowSize, !opaque);
  SendMessageW(shadowSize, CB_SETCURSEL, opaque ? kShadowSizeWhenOpaque : kShadowSizeWithShadow, 0);
}

void MainWindow::ApplySubtitleType() {
  if (CurrentItem(Ctl::FormatList) == kSrtItem) ShowStyleGroup(false);
  if (CurrentItem(Ctl::FormatList) == kSsaItem) ShowStyleGroup(true);
}

}  // namespace varnel::ui
