// The program's one window: built from its definition (window_definition.h),
// scaled to the monitor's DPI, and wired to its handlers: the Start button
// runs RunBatch, which reads the controls through the BatchWindow interface;
// the other handlers edit the advertisement list (ad_list_editing.cpp) and
// keep the option controls consistent (option_controls.cpp).
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "batch/batch_host.h"
#include "batch/batch_job.h"
#include "batch/batch_window.h"
#include "ui/system_dialogs.h"
#include "ui/window_definition.h"

namespace varnel::ui {

class MainWindow final : public BatchWindow {
 public:
  // `host` serves the runs started from the window; it must outlive it.
  explicit MainWindow(BatchHost& host);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and all its controls from the definition, centred on
  // the screen, and gives the focus to 编辑框_字幕. Not yet shown.
  bool Create(HINSTANCE instance);
  void Show(int showCommand);

  HWND handle() const { return window_; }
  // Null for 通用对话框1, which has no window.
  HWND control(Ctl id) const { return controls_[static_cast<size_t>(id)]; }
  // The spin buttons of a box that has them, else null.
  HWND spinButtons(Ctl box) const { return spins_[static_cast<size_t>(box)]; }
  const BatchState& runState() const { return job_.state(); }

  // Shows or hides 分组框1 with all its controls, over the about text.
  void ShowStyleGroup(bool shown);

  // Opens a web address for 超级链接框1; by default in the system's browser.
  std::function<void(const std::wstring& address)> openAddress;

  // BatchWindow: what a run reads from the window and shows in it.
  JobSettings ReadJobSettings() override;
  void SetStartButtonCaption(NativeView caption) override;
  void SetStatusText(NativeView text) override;
  void ShowMessageBox(NativeView text, unsigned style, NativeView title) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // 编辑框_字幕's own keys: Enter adds the line.
  static LRESULT CALLBACK SubtitleBoxProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleCommand(int id, int code);
  bool HandleNotify(const NMHDR& header, LRESULT& result);
  // Whether the notification `code` of a drop-down list means the user
  // chose an item.
  bool ItemChosen(Ctl list, int code);

  bool CreateControls();
  HWND CreateControl(const ControlSpec& def);
  void FillDropDown(HWND list, const ControlSpec& def);
  void LayOut();
  int Scale(int pixels) const { return MulDiv(pixels, static_cast<int>(dpi_), 96); }
  void ApplyFont();

  // Handlers bound to events of the window. They change controls only; a
  // run reads the controls when it starts.
  void FocusSubtitleBox();
  void StartOrStopRun();
  void Step(Ctl box, bool up);
  void RequestClose();

  // Editing the advertisement list (ad_list_editing.cpp).
  void AddAdLine();
  void DeleteAdLine();
  void MoveAdLineUp();
  void MoveAdLineDown();
  void ClearAdList();

  // Option controls and dialogs (option_controls.cpp).
  void ChooseMovieFolder();
  void ChooseFontName();
  void SyncExtensionTick(Ctl box);
  void ApplyDisplayMode();
  void ApplySubtitleType();
  HWND DialogOwner() const;

  SsaStyle ReadSsaStyle() const;
  bool Ticked(Ctl box) const;
  int CurrentItem(Ctl list) const;
  int ItemValue(Ctl list, int index) const;

  BatchJob job_;
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  std::array<HWND, kControlCount> spins_{};
  std::array<int, kControlCount> itemWhenOpened_{};  // drop-down lists: the item when last opened
  HWND focusToRestore_ = nullptr;
  FontChoice fontDialog_;  // 通用对话框1: the font chosen last
  HFONT font_ = nullptr;
  HFONT aboutFont_ = nullptr;
  UINT dpi_ = 96;
  int runDepth_ = 0;             // RunBatch calls under way, nested ones included
  bool closeRequested_ = false;  // closed during a run: destroyed once the run has unwound
};

}  // namespace varnel::ui
