#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <utility>

#include "ui/ad_list_view.h"
#include "ui/colour_picker.h"
#include "ui/spin_rule.h"
#include "ui/window_text.h"

namespace varnel::ui {

namespace {

constexpr wchar_t kWindowClass[] = L"VarnelMainWindow";
constexpr wchar_t kGroupClass[] = L"VarnelStyleGroup";

// Control IDs: the table index, and the spin buttons of a box beside it.
constexpr int kFirstControlId = 1000;
constexpr int kFirstSpinId = 2000;
int ControlId(Ctl id) { return kFirstControlId + static_cast<int>(id); }

// Room for the open list of a drop-down below its closed field, at 96 DPI.
constexpr int kDropDownListHeight = 200;

// Functions of newer Windows versions, looked up so that the program still
// starts where they are missing (and then lays out at the system DPI).
template <typename Function>
Function User32Function(const char* name) {
  FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

UINT DpiOf(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (getDpiForWindow) {
    if (UINT dpi = getDpiForWindow(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

void SetFaceName(LOGFONTW& font, std::wstring_view face) {
  const size_t length = face.copy(font.lfFaceName, LF_FACESIZE - 1);
  font.lfFaceName[length] = L'\0';
}

bool FontInstalled(std::wstring_view face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  SetFaceName(wanted, face);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        *reinterpret_cast<bool*>(found) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// The window's font: SimSun at 9 points, the font the 96-DPI layout is
// measured for (12-pixel ideographs, 6-pixel blanks and Latin letters, so
// that the blanks of 标签3 and 标签2 leave room for their boxes). Without
// SimSun, the system's message font at the same size.
LOGFONTW WindowFontAt(UINT dpi) {
  static const auto systemParametersInfoForDpi =
      User32Function<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
  LOGFONTW font{};
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  const bool ok = systemParametersInfoForDpi
                      ? systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)
                      : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  if (ok) font = metrics.lfMessageFont;
  static const bool haveSimSun = FontInstalled(L"SimSun");
  if (haveSimSun) SetFaceName(font, L"SimSun");
  font.lfHeight = -MulDiv(9, static_cast<int>(dpi), 72);
  font.lfWidth = 0;
  font.lfCharSet = DEFAULT_CHARSET;
  return font;
}

// `font`, made smaller where its lines are too high for `lines` lines to fit
// into `height` pixels.
HFONT FontFittingLines(LOGFONTW font, int lines, int height) {
  HDC screen = GetDC(nullptr);
  HFONT fitting = nullptr;
  for (;;) {
    fitting = CreateFontIndirectW(&font);
    HGDIOBJ old = SelectObject(screen, fitting);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    if (metrics.tmHeight * lines <= height || font.lfHeight >= -8) break;
    DeleteObject(fitting);
    ++font.lfHeight;
  }
  ReleaseDC(nullptr, screen);
  return fitting;
}

// Typed characters other than the digits and "-" are dropped; control
// characters (backspace, the paste shortcut) pass, so pasted text is not
// filtered.
LRESULT CALLBACK DigitFilterProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR) {
  if (message == WM_CHAR || message == WM_IME_CHAR) {
    const bool control = wParam < 0x20 || wParam == 0x7F;
    const bool allowed = (wParam >= L'0' && wParam <= L'9') || wParam == L'-';
    if (!control && !allowed) return 0;
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(edit, DigitFilterProc, id);
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

// 标签_显示 is given a new text for every entry of a walk. The static control
// would draw each text at once; here a new text only marks the label for
// drawing (once until it is drawn: marking is a round trip to the system
// too), and it is drawn with whatever text it then holds when paint messages
// are next handled. The walk's event pump handles them at screen rate, so the
// label always holds the latest text but is not drawn more often than the
// screen can show. The label's window procedure is replaced directly, its
// state kept in its user data: a subclass of the common controls would look
// up its own data with the system for every message.
struct StatusLabelState {
  WNDPROC staticProc = nullptr;
  bool waiting = false;  // marked for drawing, not yet drawn
};

LRESULT CALLBACK StatusLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<StatusLabelState*>(GetWindowLongPtrW(label, GWLP_USERDATA));
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT set = DefWindowProcW(label, message, wParam, lParam);
      if (set && !state->waiting) state->waiting = InvalidateRect(label, nullptr, TRUE) != FALSE;
      return set;
    }
    case WM_PAINT:
      state->waiting = false;
      break;
    case WM_NCDESTROY: {
      const WNDPROC staticProc = state->staticProc;
      SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(staticProc));
      SetWindowLongPtrW(label, GWLP_USERDATA, 0);
      delete state;
      return CallWindowProcW(staticProc, label, message, wParam, lParam);
    }
  }
  return CallWindowProcW(state->staticProc, label, message, wParam, lParam);
}

void TakeOverStatusLabel(HWND label) {
  auto* state = new StatusLabelState;
  SetWindowLongPtrW(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  state->staticProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StatusLabelProc)));
}

// 分组框1: a container with an etched frame and no caption. Its controls'
// notifications go on to the main window, which handles them all.
LRESULT CALLBACK GroupProc(HWND group, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetParent(group), message, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(group, &paint);
      RECT area;
      GetClientRect(group, &area);
      DrawEdge(dc, &area, EDGE_ETCHED, BF_RECT);
      EndPaint(group, &paint);
      return 0;
    }
  }
  return DefWindowProcW(group, message, wParam, lParam);
}

// The closed field of a drop-down list is as high as its item height plus
// the frame the system draws around it; sets the item height so that the
// field is `height` pixels high.
void FitClosedDropDown(HWND list, int height) {
  int itemHeight = static_cast<int>(SendMessageW(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int attempt = 0; attempt < 2; ++attempt) {
    RECT closed;
    GetWindowRect(list, &closed);
    const int difference = height - (closed.bottom - closed.top);
    if (difference == 0 || itemHeight + difference < 1) return;
    itemHeight += difference;
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
  }
}

bool RegisterWindowClasses(HINSTANCE instance, WNDPROC mainWindowProc) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                      ICC_UPDOWN_CLASS | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  if (!RegisterColourPicker(instance)) return false;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);

  WNDCLASSEXW existing{};
  if (!GetClassInfoExW(instance, kGroupClass, &existing)) {
    windowClass.lpfnWndProc = GroupProc;
    windowClass.lpszClassName = kGroupClass;
    if (!RegisterClassExW(&windowClass)) return false;
  }
  if (!GetClassInfoExW(instance, kWindowClass, &existing)) {
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }
  return true;
}

}  // namespace

MainWindow::MainWindow(BatchHost& host)
    : openAddress([](const std::wstring& address) {
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      }),
      job_(*this, host) {}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
  if (aboutFont_) DeleteObject(aboutFont_);
}

bool MainWindow::Create(HINSTANCE instance) {
  if (!RegisterWindowClasses(instance, &MainWindow::WindowProc)) return false;
  const WindowSpec& def = MainWindowSpec();
  const std::wstring title(def.title);
  // Fixed frame: a title bar with the system menu and its close button, no
  // minimize or maximize button, not resizable.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  window_ = CreateWindowExW(0, kWindowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            def.width, def.height, nullptr, nullptr, instance, this);
  if (!window_) return false;

  dpi_ = DpiOf(window_);
  // Centred on the screen (the work area of the monitor the window is on).
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = Scale(def.width);
  const int height = Scale(def.height);
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);

  if (!CreateControls()) return false;
  ApplyFont();
  // The window's created event, once all its controls exist.
  FocusSubtitleBox();
  return true;
}

void MainWindow::Show(int showCommand) {
  ShowWindow(window_, showCommand);
  UpdateWindow(window_);
}

bool MainWindow::CreateControls() {
  // The group first, so that its controls have their parent.
  controls_[static_cast<size_t>(Ctl::StyleGroup)] = CreateControl(SpecOf(Ctl::StyleGroup));
  for (const ControlSpec& def : Definition()) {
    if (def.id == Ctl::StyleGroup || def.kind == Kind::CommonDialog) continue;
    HWND control = CreateControl(def);
    if (!control) return false;
    controls_[static_cast<size_t>(def.id)] = control;
  }
  // Children are stacked in creation order, the first on top; the labels that
  // frame a box, and the about text under 分组框1, go to the back.
  for (const ControlSpec& def : Definition()) {
    if (def.flags & kBehindOthers) {
      SetWindowPos(control(def.id), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  // The group comes after the controls above it in the tab order.
  SetWindowPos(control(Ctl::StyleGroup), control(Ctl::FormatList), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  LayOut();
  return true;
}

HWND MainWindow::CreateControl(const ControlSpec& def) {
  HWND parent = (def.flags & kInGroup) ? control(Ctl::StyleGroup) : window_;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (!(def.flags & kHidden)) style |= WS_VISIBLE;
  if (def.flags & kDisabled) style |= WS_DISABLED;
  DWORD exStyle = 0;
  const wchar_t* windowClass = nullptr;
  std::wstring text(def.text);

  switch (def.kind) {
    case Kind::Label:
      windowClass = WC_STATICW;
      style |= SS_NOPREFIX | ((def.flags & kWordWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP | SS_CENTERIMAGE);
      if (def.flags & kShallowEdge) exStyle |= WS_EX_STATICEDGE;
      break;
    case Kind::Edit:
      windowClass = WC_EDITW;
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      if (def.flags & kCentredText) style |= ES_CENTER;
      if (def.flags & kReadOnly) style |= ES_READONLY;
      exStyle |= (def.flags & kShallowEdge) ? WS_EX_STATICEDGE : WS_EX_CLIENTEDGE;
      break;
    case Kind::Button:
      windowClass = WC_BUTTONW;
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case Kind::CheckBox:
      windowClass = WC_BUTTONW;
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case Kind::DropDown:
      windowClass = WC_COMBOBOXW;
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case Kind::ListView:
      windowClass = WC_LISTVIEWW;
      style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case Kind::ColourPicker:
      windowClass = kColourPickerClass;
      style |= WS_TABSTOP;
      break;
    case Kind::Group:
      windowClass = kGroupClass;
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
    case Kind::Hyperlink:
      windowClass = WC_LINK;
      style |= WS_TABSTOP;
      text = L"<a href=\"" + std::wstring(kHomePageAddress) + L"\">" + text + L"</a>";
      break;
    case Kind::CommonDialog:
      return nullptr;
  }

  const Placement& at = def.place;
  HWND control = CreateWindowExW(exStyle, windowClass, text.c_str(), style, at.left, at.top, at.width,
                                 at.height, parent, reinterpret_cast<HMENU>(INT_PTR{ControlId(def.id)}),
                                 instance, nullptr);
  if (!control) return nullptr;

  switch (def.kind) {
    case Kind::Label:
      if (def.id == Ctl::StatusLabel) TakeOverStatusLabel(control);
      break;
    case Kind::Edit:
      // The limit holds for typing only; the program may put in longer texts.
      SendMessageW(control, EM_SETLIMITTEXT, def.typingLimit, 0);
      if (def.flags & kCentredText) SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
      if (def.flags & kDigitFilter) SetWindowSubclass(control, DigitFilterProc, 1, 0);
      if (def.id == Ctl::SubtitleBox) {
        SetWindowSubclass(control, SubtitleBoxProc, 1, reinterpret_cast<DWORD_PTR>(this));
      }
      break;
    case Kind::CheckBox:
      SendMessageW(control, BM_SETCHECK, (def.flags & kChecked) ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Kind::DropDown:
      FillDropDown(control, def);
      break;
    case Kind::ListView: {
      ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
      ListView_SetTextColor(control, RGB(0, 0, 0));
      ListView_SetTextBkColor(control, RGB(255, 255, 255));
      ListView_SetBkColor(control, RGB(255, 255, 255));
      int index = 0;
      for (const ListColumn& column : kAdListColumns) {
        std::wstring header(column.header);
        LVCOLUMNW lvColumn{};
        lvColumn.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        lvColumn.fmt = LVCFMT_LEFT;
        lvColumn.cx = column.width;
        lvColumn.pszText = header.data();
        ListView_InsertColumn(control, index++, &lvColumn);
      }
      break;
    }
    case Kind::ColourPicker:
      SendMessageW(control, kSetColour, def.colour, 0);
      break;
    default:
      break;
  }

  if (def.flags & kSpinButtons) {
    DWORD spinStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (def.flags & kDisabled) spinStyle |= WS_DISABLED;
    HWND spin = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, spinStyle, at.left + at.width, at.top, kSpinWidth,
                                at.height, parent,
                                reinterpret_cast<HMENU>(INT_PTR{kFirstSpinId + static_cast<int>(def.id)}),
                                instance, nullptr);
    if (!spin) return nullptr;
    SendMessageW(spin, UDM_SETRANGE32, kSpinLowest, kSpinHighest);
    spins_[static_cast<size_t>(def.id)] = spin;
  }
  return control;
}

void MainWindow::FillDropDown(HWND list, const ControlSpec& def) {
  for (const StyleItem& item : def.items) {
    std::wstring text = WideFromUtf8(item.text);
    LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (def.itemValues && index >= 0) SendMessageW(list, CB_SETITEMDATA, index, item.value);
  }
  SendMessageW(list, CB_SETCURSEL, def.currentItem, 0);
}

void MainWindow::LayOut() {
  for (const ControlSpec& def : Definition()) {
    HWND control = this->control(def.id);
    if (!control) continue;
    const Placement& at = def.place;
    int height = Scale(at.height);
    // A drop-down list's window reaches down over its open list.
    const int windowHeight = def.kind == Kind::DropDown ? height + Scale(kDropDownListHeight) : height;
    SetWindowPos(control, nullptr, Scale(at.left), Scale(at.top), Scale(at.width), windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (def.kind == Kind::DropDown) FitClosedDropDown(control, height);
    if (HWND spin = spinButtons(def.id)) {
      SetWindowPos(spin, nullptr, Scale(at.left + at.width), Scale(at.top), Scale(kSpinWidth),
                   Scale(at.height), SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  HWND list = control(Ctl::AdList);
  for (int i = 0; i < static_cast<int>(std::size(kAdListColumns)); ++i) {
    ListView_SetColumnWidth(list, i, Scale(kAdListColumns[i].width));
  }
}

void MainWindow::ApplyFont() {
  HFONT oldFont = font_;
  HFONT oldAboutFont = aboutFont_;
  const LOGFONTW font = WindowFontAt(dpi_);
  font_ = CreateFontIndirectW(&font);
  // The about text shows all its lines, in a smaller size where the font's
  // lines are high.
  HWND about = control(Ctl::AboutLabel);
  RECT area;
  GetClientRect(about, &area);
  const std::wstring_view text = SpecOf(Ctl::AboutLabel).text;
  const int lines = static_cast<int>(std::count(text.begin(), text.end(), L'\n')) + 1;
  aboutFont_ = FontFittingLines(font, lines, area.bottom - area.top);
  for (HWND control : controls_) {
    if (control) {
      HFONT chosen = control == about ? aboutFont_ : font_;
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(chosen), TRUE);
    }
  }
  if (oldFont) DeleteObject(oldFont);
  if (oldAboutFont) DeleteObject(oldAboutFont);
  LayOut();  // drop-down fields follow the new font's height otherwise
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HandleCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (HandleNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_ACTIVATE:
      // Keep the control that had the focus when the window is left, and give
      // it the focus again when the window comes back.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) focusToRestore_ = focus;
      } else if (focusToRestore_ && IsWindow(focusToRestore_)) {
        SetFocus(focusToRestore_);
        return 0;
      }
      break;
    case WM_CLOSE:
      RequestClose();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyFont();
      return 0;
    }
    case WM_DESTROY:
      // Closing the window ends the program.
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND window = window_;
      window_ = nullptr;
      controls_.fill(nullptr);
      spins_.fill(nullptr);
      focusToRestore_ = nullptr;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return DefWindowProcW(window, message, wParam, lParam);
    }
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

bool MainWindow::HandleCommand(int id, int code) {
  // Escape, through the window's keyboard interface.
  if (id == IDCANCEL) {
    RequestClose();
    return true;
  }
  enum class Event { Clicked, TextChanged, ItemChosen };
  struct Binding {
    Ctl control;
    Event event;
    void (*handler)(MainWindow& window, Ctl source);
  };
  static constexpr Binding kBindings[] = {
      {Ctl::Button5, Event::Clicked, [](MainWindow& w, Ctl) { w.AddAdLine(); }},
      {Ctl::Button2, Event::Clicked, [](MainWindow& w, Ctl) { w.DeleteAdLine(); }},
      {Ctl::MoveUpButton, Event::Clicked, [](MainWindow& w, Ctl) { w.MoveAdLineUp(); }},
      {Ctl::MoveDownButton, Event::Clicked, [](MainWindow& w, Ctl) { w.MoveAdLineDown(); }},
      {Ctl::Button6, Event::Clicked, [](MainWindow& w, Ctl) { w.ClearAdList(); }},
      {Ctl::Button1, Event::Clicked, [](MainWindow& w, Ctl) { w.ChooseMovieFolder(); }},
      {Ctl::Button3, Event::Clicked, [](MainWindow& w, Ctl) { w.ChooseFontName(); }},
      {Ctl::ExtBox9, Event::TextChanged, [](MainWindow& w, Ctl box) { w.SyncExtensionTick(box); }},
      {Ctl::ExtBox10, Event::TextChanged, [](MainWindow& w, Ctl box) { w.SyncExtensionTick(box); }},
      {Ctl::ExtBox11, Event::TextChanged, [](MainWindow& w, Ctl box) { w.SyncExtensionTick(box); }},
      {Ctl::DisplayModeList, Event::ItemChosen, [](MainWindow& w, Ctl) { w.ApplyDisplayMode(); }},
      {Ctl::FormatList, Event::ItemChosen, [](MainWindow& w, Ctl) { w.ApplySubtitleType(); }},
      {Ctl::StartButton, Event::Clicked, [](MainWindow& w, Ctl) { w.StartOrStopRun(); }},
  };
  for (const Binding& binding : kBindings) {
    if (id != ControlId(binding.control)) continue;
    bool raised = false;
    switch (binding.event) {
      case Event::Clicked:
        raised = code == BN_CLICKED;
        break;
      case Event::TextChanged:
        raised = code == EN_CHANGE;
        break;
      case Event::ItemChosen:
        raised = ItemChosen(binding.control, code);
        break;
    }
    if (!raised) return false;
    binding.handler(*this, binding.control);
    return true;
  }
  return false;
}

bool MainWindow::ItemChosen(Ctl list, int code) {
  // The user ends a choice with an item taken by picking it in the open list
  // (also the item that was current already), or by stepping to it with the
  // keys or the wheel while the list is closed. Moving through the open list
  // is no choice yet. A list that closes on another item than it opened on
  // has one chosen however it was closed: some lists (Wine's) keep the item
  // that Escape closes them on.
  int& itemWhenOpened = itemWhenOpened_[static_cast<size_t>(list)];
  switch (code) {
    case CBN_DROPDOWN:
      itemWhenOpened = CurrentItem(list);
      return false;
    case CBN_SELENDOK:
      itemWhenOpened = CurrentItem(list);
      return true;
    case CBN_SELCHANGE:
      return !SendMessageW(control(list), CB_GETDROPPEDSTATE, 0, 0);
    case CBN_CLOSEUP:
      return CurrentItem(list) != std::exchange(itemWhenOpened, CurrentItem(list));
  }
  return false;
}

bool MainWindow::HandleNotify(const NMHDR& header, LRESULT& result) {
  const int id = static_cast<int>(header.idFrom);
  if (header.code == UDN_DELTAPOS && id >= kFirstSpinId && id < kFirstSpinId + kControlCount) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    Step(static_cast<Ctl>(id - kFirstSpinId), change.iDelta > 0);
    result = TRUE;  // the box holds the value, not the spin control
    return true;
  }
  if ((header.code == NM_CLICK || header.code == NM_RETURN) && id == ControlId(Ctl::HomePageLink)) {
    const auto& link = reinterpret_cast<const NMLINK&>(header);
    if (openAddress) openAddress(link.item.szUrl);
    return true;
  }
  return false;
}

void MainWindow::ShowStyleGroup(bool shown) {
  HWND group = control(Ctl::StyleGroup);
  ShowWindow(group, shown ? SW_SHOW : SW_HIDE);
  // Draw the group, or what it uncovered, anew at once: Wine otherwise leaves
  // parts of the about text standing in the group's place.
  RECT area;
  GetWindowRect(group, &area);
  MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(window_, &area, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void MainWindow::FocusSubtitleBox() {
  focusToRestore_ = control(Ctl::SubtitleBox);
  if (GetActiveWindow() == window_) SetFocus(focusToRestore_);
}

void MainWindow::StartOrStopRun() {
  ++runDepth_;
  job_.RunBatch();
  --runDepth_;
  // The status label's last text (the completion text) is drawn now, not
  // left to the next screen refresh.
  if (window_) UpdateWindow(control(Ctl::StatusLabel));
  // A close during the run waited for the run to unwind.
  if (runDepth_ == 0 && closeRequested_ && window_) DestroyWindow(window_);
}

void MainWindow::RequestClose() {
  if (runDepth_ > 0) {
    // The run is in the middle of using the window: stop it after the entry
    // in hand and destroy the window once it has unwound.
    closeRequested_ = true;
    job_.StopRun();
    ShowWindow(window_, SW_HIDE);
    return;
  }
  DestroyWindow(window_);
}

void MainWindow::Step(Ctl box, bool up) {
  HWND edit = control(box);
  if (!IsWindowEnabled(edit) || !IsWindowVisible(edit)) return;
  const int value = SpinStep(WindowText(edit), up, kSpinLowest, kSpinHighest);
  SetWindowTextW(edit, std::to_wstring(value).c_str());
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  SetFocus(edit);
}

bool MainWindow::Ticked(Ctl box) const {
  return SendMessageW(control(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int MainWindow::CurrentItem(Ctl list) const {
  return static_cast<int>(SendMessageW(control(list), CB_GETCURSEL, 0, 0));
}

int MainWindow::ItemValue(Ctl list, int index) const {
  const int count = static_cast<int>(SendMessageW(control(list), CB_GETCOUNT, 0, 0));
  if (index < 0 || index >= count) return -1;
  return static_cast<int>(SendMessageW(control(list), CB_GETITEMDATA, index, 0));
}

SsaStyle MainWindow::ReadSsaStyle() const {
  auto colour = [this](Ctl picker) {
    return static_cast<int32_t>(SendMessageW(control(picker), kGetColour, 0, 0));
  };
  auto ansiText = [this](Ctl box) { return AnsiFromWide(WindowText(control(box))); };
  SsaStyle style;
  style.Fontname = ansiText(Ctl::FontNameBox);
  style.Fontsize = ansiText(Ctl::FontSizeBox);
  style.PrimaryColour = colour(Ctl::ColourPicker1);
  style.SecondaryColour = colour(Ctl::ColourPicker2);
  style.TertiaryColour = colour(Ctl::ColourPicker3);
  style.BackColour = colour(Ctl::ColourPicker4);
  style.BorderStyle = ItemValue(Ctl::DisplayModeList, CurrentItem(Ctl::DisplayModeList));
  style.Outline = CurrentItem(Ctl::ShadowSizeList);
  style.Alignment = ItemValue(Ctl::AlignmentList, CurrentItem(Ctl::AlignmentList));
  style.MarginL = ansiText(Ctl::MarginLeftBox);
  style.MarginR = ansiText(Ctl::MarginRightBox);
  style.MarginV = ansiText(Ctl::MarginTopBox);
  style.AlphaLevel = ansiText(Ctl::TransparencyBox);
  style.Encoding = ItemValue(Ctl::EncodingList, CurrentItem(Ctl::EncodingList));
  return style;
}

JobSettings MainWindow::ReadJobSettings() {
  JobSettings settings;
  HWND list = control(Ctl::AdList);
  settings.adRowCount = AdListView(list).RowCount();
  if (settings.adRowCount < 1) return settings;

  static constexpr Ctl kExtensionBoxes[kExtensionSlots] = {
      Ctl::Ext1, Ctl::Ext2, Ctl::Ext3, Ctl::Ext4, Ctl::Ext5,  Ctl::Ext6,
      Ctl::Ext7, Ctl::Ext8, Ctl::Ext9, Ctl::Ext10, Ctl::Ext11};
  static constexpr Ctl kFreeTextBoxes[3] = {Ctl::ExtBox9, Ctl::ExtBox10, Ctl::ExtBox11};
  std::array<bool, kExtensionSlots> ticked{};
  std::array<NativeText, 3> freeText;
  for (int slot = 0; slot < kExtensionSlots; ++slot) {
    ticked[slot] = Ticked(kExtensionBoxes[slot]);
    const int freeIndex = slot - static_cast<int>(kFixedMovieExtensions.size());
    if (freeIndex >= 0 && ticked[slot]) freeText[freeIndex] = WindowText(control(kFreeTextBoxes[freeIndex]));
  }
  settings.extensionSlots = ExtensionSlotsFromTicks(ticked, freeText);

  settings.subtitleType = CurrentItem(Ctl::FormatList);
  if (settings.subtitleType == 0 || settings.subtitleType == 1) {
    if (settings.subtitleType == 1) settings.style = ReadSsaStyle();
    settings.leadInText = AnsiFromWide(WindowText(control(Ctl::LeadInBox)));
    // The texts of the document go into the system code page; paths stay wide.
    const AdListView lines(list);
    for (int row = 0; row < settings.adRowCount; ++row) {
      settings.rows.push_back({AnsiFromWide(lines.CellText(row, 0)), AnsiFromWide(lines.CellText(row, 1))});
    }
  }

  settings.folderText = WindowText(control(Ctl::FolderBox));
  if (!settings.folderText.empty()) settings.allDrives = Ticked(Ctl::AllDrivesBox);
  return settings;
}

void MainWindow::SetStartButtonCaption(NativeView caption) {
  SetWindowTextW(control(Ctl::StartButton), NativeText(caption).c_str());
}

void MainWindow::SetStatusText(NativeView text) {
  SetWindowTextW(control(Ctl::StatusLabel), NativeText(text).c_str());
}

void MainWindow::ShowMessageBox(NativeView text, unsigned style, NativeView title) {
  // Task-modal without an owner: every window of the program waits for it.
  MessageBoxW(nullptr, NativeText(text).c_str(), NativeText(title).c_str(), style | MB_TASKMODAL);
}

}  // namespace varnel::ui
