// The real main window, driven by messages as a user's clicks and keys would
// drive it: texts set, buttons clicked, texts, states and rows read back.
#include <string>
#include <thread>

#include "main_window_fixture.h"
#include "subtitle/documents.h"
#include "ui/colour_picker.h"

namespace varnel::ui {
namespace {

std::wstring CompletionText(int count) {
  return L" 恭喜,处理完成!   共添加字幕: " + std::to_wstring(count) + L" 个";
}

TEST_F(MainWindowTest, StartUpState) {
  HWND window = window_.handle();
  EXPECT_EQ(WindowTextOf(window), L"Varnel 1.0    Varnel 工作室");
  EXPECT_EQ(GetFocus(), Control(Ctl::SubtitleBox));

  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.right - frame.left, 538);  // the tests run at 96 DPI
  EXPECT_EQ(frame.bottom - frame.top, 374);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_NEAR(frame.left - monitor.rcWork.left, monitor.rcWork.right - frame.right, 1);
  EXPECT_NEAR(frame.top - monitor.rcWork.top, monitor.rcWork.bottom - frame.bottom, 1);

  // The format list shows SRT; the style group is hidden and the about text shows.
  EXPECT_EQ(Text(Ctl::FormatList), L"SRT");
  EXPECT_FALSE(IsWindowVisible(Control(Ctl::StyleGroup)));
  EXPECT_TRUE(IsWindowVisible(Control(Ctl::AboutLabel)));
  const std::wstring about = Text(Ctl::AboutLabel);
  EXPECT_EQ(about.substr(0, 18), L"      Varnel1.0版\r\n");
  EXPECT_EQ(about.substr(about.size() - 18), L"添加字幕文件。再次点击，将结束添加。");
  EXPECT_EQ(std::count(about.begin(), about.end(), L'\n'), 12);

  // Extensions: the eight fixed ones and all drives ticked, the free ones empty.
  for (Ctl box : {Ctl::AllDrivesBox, Ctl::Ext1, Ctl::Ext2, Ctl::Ext3, Ctl::Ext4, Ctl::Ext5, Ctl::Ext6,
                  Ctl::Ext7, Ctl::Ext8}) {
    EXPECT_TRUE(Ticked(box)) << Utf8(SpecOf(box).name);
  }
  for (auto [check, box] : {std::pair{Ctl::Ext9, Ctl::ExtBox9}, std::pair{Ctl::Ext10, Ctl::ExtBox10},
                            std::pair{Ctl::Ext11, Ctl::ExtBox11}}) {
    EXPECT_FALSE(Ticked(check)) << Utf8(SpecOf(check).name);
    EXPECT_EQ(Text(box), L"");
  }
  EXPECT_EQ(Text(Ctl::Ext7), L"RMVB");

  // Shadow size disabled at "0"; the list empty with its two columns; the status blank.
  EXPECT_FALSE(IsWindowEnabled(Control(Ctl::ShadowSizeList)));
  EXPECT_EQ(Text(Ctl::ShadowSizeList), L"0");
  HWND list = Control(Ctl::AdList);
  EXPECT_EQ(ListView_GetItemCount(list), 0);
  EXPECT_EQ(ListView_GetSelectionMark(list), -1);
  wchar_t header[32];
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = header;
  column.cchTextMax = 32;
  ASSERT_TRUE(ListView_GetColumn(list, 0, &column));
  EXPECT_EQ(std::wstring(header), L"时长(秒)");
  EXPECT_EQ(column.cx, 60);
  ASSERT_TRUE(ListView_GetColumn(list, 1, &column));
  EXPECT_EQ(std::wstring(header), L"    字    幕");
  EXPECT_EQ(column.cx, 150);
  EXPECT_EQ(Text(Ctl::StatusLabel), L"");
  EXPECT_EQ(Text(Ctl::StartButton), L"开始工作");
  EXPECT_EQ(Text(Ctl::DurationBox), L"10");
  EXPECT_EQ(Text(Ctl::LeadInBox), L"10");

  // The style group's start-up values.
  EXPECT_EQ(Text(Ctl::FontNameBox), L"黑体");
  EXPECT_EQ(Text(Ctl::FontSizeBox), L"30");
  EXPECT_EQ(Text(Ctl::TransparencyBox), L"0");
  EXPECT_EQ(Text(Ctl::MarginTopBox), L"12");
  EXPECT_EQ(Text(Ctl::MarginBottomBox), L"1");
  const std::pair<Ctl, COLORREF> colours[] = {{Ctl::ColourPicker1, 255},
                                              {Ctl::ColourPicker2, 16711680},
                                              {Ctl::ColourPicker3, 0},
                                              {Ctl::ColourPicker4, 0}};
  for (auto [picker, colour] : colours) {
    EXPECT_EQ(SendMessageW(Control(picker), kGetColour, 0, 0), static_cast<LRESULT>(colour));
  }
  EXPECT_EQ(Text(Ctl::DisplayModeList), L"不透明");
  EXPECT_EQ(Text(Ctl::AlignmentList), L"中对齐");
  EXPECT_EQ(Text(Ctl::EncodingList), L"GB2312");

  Screenshot(L"startup.png");
}

TEST_F(MainWindowTest, DropDownItemsAndValues) {
  struct Case {
    Ctl list;
    int count;
    int index;               // an item to look at
    const wchar_t* text;
    LRESULT value;           // its item value
  } cases[] = {
      {Ctl::FormatList, 2, 1, L"SSA", 0},
      {Ctl::DisplayModeList, 2, 0, L"阴影", 0},
      {Ctl::DisplayModeList, 2, 1, L"不透明", 3},
      {Ctl::AlignmentList, 11, 4, L"置中", 8},
      {Ctl::AlignmentList, 11, 10, L"置中右对齐", 11},
      {Ctl::ShadowSizeList, 5, 4, L"4", 0},
      {Ctl::EncodingList, 19, 0, L"ANSI", 0},
      {Ctl::EncodingList, 19, 5, L"GB2312", 134},
      {Ctl::EncodingList, 19, 17, L"MAC", 77},
      {Ctl::EncodingList, 19, 18, L"BALTIC", 186},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.text));
    HWND list = Control(c.list);
    EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), c.count);
    wchar_t text[64] = {};
    SendMessageW(list, CB_GETLBTEXT, c.index, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), c.text);
    EXPECT_EQ(SendMessageW(list, CB_GETITEMDATA, c.index, 0), c.value);
  }
}

// Every control sits where the definition puts it, in the right parent.
TEST_F(MainWindowTest, ControlsAtTheirPlaces) {
  for (const ControlSpec& def : Definition()) {
    HWND control = Control(def.id);
    SCOPED_TRACE(Utf8(def.name));
    if (def.kind == Kind::CommonDialog) {
      EXPECT_EQ(control, nullptr);
      continue;
    }
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), (def.flags & kInGroup) ? Control(Ctl::StyleGroup) : window_.handle());
    const RECT place = PlaceOf(control);
    EXPECT_EQ(place.left, def.place.left);
    EXPECT_EQ(place.top, def.place.top);
    EXPECT_EQ(place.right - place.left, def.place.width);
    EXPECT_EQ(place.bottom - place.top, def.place.height);
  }
  // Spin buttons: 18 wide, as high as their box, against its right edge.
  const RECT spin = PlaceOf(window_.spinButtons(Ctl::DurationBox));
  EXPECT_EQ(spin.left, 311 + 25);
  EXPECT_EQ(spin.top, 40);
  EXPECT_EQ(spin.right - spin.left, 18);
  EXPECT_EQ(spin.bottom - spin.top, 20);
}

// The style group lies in front of the about text, and the boxes with spin
// buttons in front of the labels that frame them.
TEST_F(MainWindowTest, OverlappingControls) {
  auto topmostAt = [this](Ctl over) {
    const RECT place = PlaceOf(Control(over));
    POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    return ChildWindowFromPointEx(window_.handle(), centre, CWP_SKIPINVISIBLE);
  };
  EXPECT_EQ(topmostAt(Ctl::DurationBox), Control(Ctl::DurationBox));
  EXPECT_EQ(topmostAt(Ctl::LeadInBox), Control(Ctl::LeadInBox));
  EXPECT_EQ(topmostAt(Ctl::AboutLabel), Control(Ctl::AboutLabel));
  window_.ShowStyleGroup(true);
  EXPECT_EQ(topmostAt(Ctl::AboutLabel), Control(Ctl::StyleGroup));
  Screenshot(L"style-group.png");
  window_.ShowStyleGroup(false);
  EXPECT_EQ(topmostAt(Ctl::AboutLabel), Control(Ctl::AboutLabel));
}

TEST_F(MainWindowTest, SpinButtonsWrapAround) {
  window_.ShowStyleGroup(true);
  struct Case {
    Ctl box;
    const wchar_t* before;
    bool up;
    const wchar_t* after;
  } cases[] = {
      {Ctl::DurationBox, L"100", true, L"0"},
      {Ctl::DurationBox, L"0", false, L"100"},
      {Ctl::DurationBox, L"abc", true, L"1"},
      {Ctl::DurationBox, L"abc", false, L"100"},
      {Ctl::DurationBox, L"150", true, L"0"},
      {Ctl::DurationBox, L"150", false, L"100"},
      {Ctl::DurationBox, L"10", true, L"11"},
      {Ctl::LeadInBox, L" 7 s", false, L"6"},
      {Ctl::LeadInBox, L"-1", true, L"0"},
      {Ctl::LeadInBox, L"99999999999", true, L"0"},
      {Ctl::FontSizeBox, L"30", true, L"31"},
      {Ctl::MarginLeftBox, L"99", true, L"100"},  // past its two-character limit
      {Ctl::MarginLeftBox, L"100", true, L"0"},
      {Ctl::MarginBottomBox, L"1", false, L"0"},
      {Ctl::TransparencyBox, L"0", false, L"100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(SpecOf(c.box).name) + " " + Utf8(c.before) + (c.up ? " up" : " down"));
    SetFocus(Control(Ctl::SubtitleBox));
    SetText(c.box, c.before);
    Spin(c.box, c.up);
    EXPECT_EQ(Text(c.box), c.after);
    // The whole new text selected, and the box has the focus.
    DWORD start = 0, end = 0;
    SendMessageW(Control(c.box), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, wcslen(c.after));
    EXPECT_EQ(GetFocus(), Control(c.box));
  }
}

TEST_F(MainWindowTest, SpinButtonsActOnlyOnAVisibleEnabledBox) {
  Spin(Ctl::FontSizeBox, true);  // its group is hidden
  EXPECT_EQ(Text(Ctl::FontSizeBox), L"30");
  EnableWindow(Control(Ctl::DurationBox), FALSE);
  Spin(Ctl::DurationBox, true);
  EXPECT_EQ(Text(Ctl::DurationBox), L"10");
}

TEST_F(MainWindowTest, LeadInBoxTakesOnlyDigitsAndMinus) {
  SetText(Ctl::LeadInBox, L"");
  Type(Ctl::LeadInBox, L"1a2");
  EXPECT_EQ(Text(Ctl::LeadInBox), L"12");
  Type(Ctl::LeadInBox, L"\b-x");  // backspace passes
  EXPECT_EQ(Text(Ctl::LeadInBox), L"1-");
  // Pasted text is not filtered.
  SetText(Ctl::LeadInBox, L"");
  ASSERT_TRUE(OpenClipboard(window_.handle()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(L"x9"));
  memcpy(GlobalLock(memory), L"x9", sizeof(L"x9"));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(Control(Ctl::LeadInBox), WM_PASTE, 0, 0);
  EXPECT_EQ(Text(Ctl::LeadInBox), L"x9");
  // Other boxes take any character.
  Type(Ctl::SubtitleBox, L"a1-");
  EXPECT_EQ(Text(Ctl::SubtitleBox), L"a1-");
}

TEST_F(MainWindowTest, TypingLimitsAndReadOnlyBoxes) {
  auto typeAtEnd = [this](Ctl box, std::wstring_view keys) {
    SendMessageW(Control(box), EM_SETSEL, 0x7FFF, 0x7FFF);
    Type(box, keys);
  };
  typeAtEnd(Ctl::DurationBox, L"56");
  EXPECT_EQ(Text(Ctl::DurationBox), L"105");
  typeAtEnd(Ctl::ExtBox9, L"ABCDEF");
  EXPECT_EQ(Text(Ctl::ExtBox9), L"ABCDE");
  // The limit holds for typing only.
  SetText(Ctl::DurationBox, L"12345");
  EXPECT_EQ(Text(Ctl::DurationBox), L"12345");

  for (Ctl box : {Ctl::FontNameBox, Ctl::FontSizeBox, Ctl::MarginLeftBox, Ctl::MarginRightBox,
                  Ctl::MarginTopBox, Ctl::MarginBottomBox, Ctl::TransparencyBox}) {
    SCOPED_TRACE(Utf8(SpecOf(box).name));
    const std::wstring before = Text(box);
    typeAtEnd(box, L"7x");
    EXPECT_EQ(Text(box), before);
  }
}

TEST_F(MainWindowTest, HyperlinkOpensTheHomePage) {
  ClickAt(Control(Ctl::HomePageLink), 8, 6);
  Pump();
  ASSERT_EQ(openedAddresses_.size(), 1u);
  EXPECT_EQ(openedAddresses_[0], kHomePageAddress);
}

// Escape with the focus in any control asks the window to close at once.
class EscapeTest : public MainWindowTest, public ::testing::WithParamInterface<Ctl> {};

TEST_P(EscapeTest, ClosesTheWindow) {
  HWND focus = Control(GetParam());
  SetFocus(focus);
  ASSERT_EQ(GetFocus(), focus);
  PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  Pump();
  EXPECT_EQ(window_.handle(), nullptr);
  EXPECT_TRUE(QuitRequested());
}

INSTANTIATE_TEST_SUITE_P(AnyControl, EscapeTest,
                         ::testing::Values(Ctl::SubtitleBox, Ctl::FolderBox, Ctl::LeadInBox, Ctl::AdList,
                                           Ctl::StartButton, Ctl::AllDrivesBox, Ctl::FormatList,
                                           Ctl::HomePageLink),
                         [](const ::testing::TestParamInfo<Ctl>& info) {
                           return "ControlNumber" + std::to_string(static_cast<int>(info.param));
                         });

// The lines' texts go into the document in code page 936; the movies are
// found and stamped whatever characters their names hold.
TEST_F(MainWindowTest, RunOverAFolder) {
  folder_.AddFile(L"Film.avi");
  folder_.AddFile(L"影片.wmv");
  folder_.AddFile(L"영화\U0001F3AC.avi");
  folder_.AddFile(L"notes.txt");
  folder_.AddFile(L"sub\\clip.MP4");
  AddRow(L"5", L"欢迎观看本站电影");
  AddRow(L"3", L"更多精彩");
  SetText(Ctl::FolderBox, folder_.root());
  SetTicked(Ctl::AllDrivesBox, false);

  Click(Ctl::StartButton);

  const AdLine rows[] = {{"5", "\xBB\xB6\xD3\xAD\xB9\xDB\xBF\xB4\xB1\xBE\xD5\xBE\xB5\xE7\xD3\xB0"},
                         {"3", "\xB8\xFC\xB6\xE0\xBE\xAB\xB2\xCA"}};
  const std::string document = BuildSrtDocument("10", rows);
  EXPECT_EQ(folder_.Snapshot(), "Film.SRT = " + document + "\nFilm.avi = \nnotes.txt = \nsub\\\nsub\\clip.MP4 = \n" +
                                    "sub\\clip.SRT = " + document + "\n" + Utf8(L"影片.SRT") + " = " + document +
                                    "\n" + Utf8(L"影片.wmv") + " = \n" + Utf8(L"영화\U0001F3AC.SRT") + " = " +
                                    document + "\n" + Utf8(L"영화\U0001F3AC.avi") + " = \n");
  EXPECT_EQ(Text(Ctl::StatusLabel), CompletionText(4));
  EXPECT_EQ(Text(Ctl::StartButton), L"结束工作");
  EXPECT_EQ(window_.runState().filesWritten, 4);
  Screenshot(L"after-run.png");

  // The next click only stops: nothing written, the same count shown again.
  folder_.AddFile(L"Later.avi");
  Click(Ctl::StartButton);
  EXPECT_FALSE(folder_.Exists(L"Later.SRT"));
  EXPECT_EQ(Text(Ctl::StartButton), L"开始工作");
  EXPECT_EQ(Text(Ctl::StatusLabel), CompletionText(4));
}

TEST_F(MainWindowTest, SsaRunReadsTheStyleGroup) {
  folder_.AddFile(L"Film.avi");
  AddRow(L"5", L"A");
  SetText(Ctl::FolderBox, folder_.root());
  SetTicked(Ctl::AllDrivesBox, false);
  SendMessageW(Control(Ctl::FormatList), CB_SETCURSEL, 1, 0);
  SendMessageW(Control(Ctl::AlignmentList), CB_SETCURSEL, 10, 0);
  SendMessageW(Control(Ctl::ColourPicker1), kSetColour, 16777215, 0);
  SetText(Ctl::MarginLeftBox, L" 10");

  Click(Ctl::StartButton);

  const std::string document = folder_.Read(L"Film.SSA");
  EXPECT_NE(document.find("Style: New Style,\xBA\xDA\xCC\xE5,30,16777215,16711680,0,0,0,0,3,0,2,11, 10,10,12,0,134"),
            std::string::npos)
      << document;
}

TEST_F(MainWindowTest, StopClickHandledInsideTheWalk) {
  folder_.AddFile(L"sub\\deeper.avi");
  PrepareRunOverMovies(8);
  // The user clicks again while the third entry is being looked at.
  host_.beforePump = [this](int pump) {
    if (pump == 3) PostMessageW(Control(Ctl::StartButton), BM_CLICK, 0, 0);
  };

  Click(Ctl::StartButton);

  int written = 0;
  for (int i = 0; i < 8; ++i) written += folder_.Exists(L"movie" + std::to_wstring(i) + L".SRT");
  // The entry in hand is finished; nothing after it, and no subfolder.
  EXPECT_GE(written, 1);
  EXPECT_LE(written, 3);
  EXPECT_FALSE(folder_.Exists(L"sub\\deeper.SRT"));
  EXPECT_EQ(host_.pumps, 3);
  EXPECT_EQ(window_.runState().runFlag, 0);
  EXPECT_EQ(Text(Ctl::StartButton), L"开始工作");
  EXPECT_EQ(Text(Ctl::StatusLabel), CompletionText(written));
}

// The status label takes the text of every entry, but is drawn at screen
// rate (about every 16 ms), not for every entry; the completion text is
// drawn before the click returns.
LRESULT CALLBACK CountLabelDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR data) {
  auto* counted = reinterpret_cast<std::pair<HWND, int>*>(data);
  // The label asks its parent for its colours each time it is drawn.
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == counted->first) ++counted->second;
  return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(MainWindowTest, StatusLabelTakesEveryTextButIsDrawnAtScreenRate) {
  constexpr int kMovies = 300;
  PrepareRunOverMovies(kMovies);
  Settle();
  HWND label = Control(Ctl::StatusLabel);
  std::pair<HWND, int> drawn{label, 0};
  ASSERT_TRUE(SetWindowSubclass(window_.handle(), CountLabelDrawing, 1, reinterpret_cast<DWORD_PTR>(&drawn)));
  // Before each entry, the label holds the text of the entry before it.
  std::vector<std::wstring> seen;
  host_.beforePump = [&](int) { seen.push_back(WindowTextOf(label)); };

  const ULONGLONG start = GetTickCount64();
  Click(Ctl::StartButton);
  const ULONGLONG elapsed = GetTickCount64() - start;
  RemoveWindowSubclass(window_.handle(), CountLabelDrawing, 1);

  ASSERT_EQ(window_.runState().filesWritten, kMovies);
  ASSERT_GE(seen.size(), static_cast<size_t>(kMovies));
  for (size_t i = 2; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]) << "before entry " << i;
  // Once when the walk starts and at most once per 16 ms after, once more
  // for the completion text; twice that for a label drawn in two steps.
  EXPECT_GE(drawn.second, 1);
  EXPECT_LE(drawn.second, 2 * static_cast<int>(elapsed / 16 + 2)) << elapsed << " ms";
  EXPECT_EQ(Text(Ctl::StatusLabel), CompletionText(kMovies));
  EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE)) << "the completion text waits to be drawn";
}

// Closing the window during a run stops the run after the entry in hand; the
// window is destroyed only once the run has unwound, and the program ends.
enum class CloseBy { EscapeKey, CloseButton };

class CloseDuringARunTest : public MainWindowTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(CloseDuringARunTest, StopsTheRunFirst) {
  folder_.AddFile(L"sub\\deeper.avi");
  PrepareRunOverMovies(8);
  host_.beforePump = [this](int pump) {
    if (pump != 3) return;
    if (GetParam() == CloseBy::EscapeKey) {
      PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    } else {
      PostMessageW(window_.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  };

  Click(Ctl::StartButton);

  EXPECT_EQ(window_.handle(), nullptr);
  EXPECT_TRUE(QuitRequested());
  EXPECT_EQ(host_.pumps, 3);
  int written = 0;
  for (int i = 0; i < 8; ++i) written += folder_.Exists(L"movie" + std::to_wstring(i) + L".SRT");
  EXPECT_LE(written, 3);
  EXPECT_FALSE(folder_.Exists(L"sub\\deeper.SRT"));
}

INSTANTIATE_TEST_SUITE_P(Either, CloseDuringARunTest, ::testing::Values(CloseBy::EscapeKey, CloseBy::CloseButton),
                         [](const ::testing::TestParamInfo<CloseBy>& info) {
                           return info.param == CloseBy::EscapeKey ? "EscapeKey" : "CloseButton";
                         });

TEST_F(MainWindowTest, NoLinesShowsATaskModalMessageBox) {
  std::wstring shownText;
  bool windowWasDisabled = false;
  std::thread user([&] {
    HWND box = nullptr;
    for (int i = 0; i < 500 && !box; ++i) {
      box = FindWindowW(L"#32770", L" 提示...");
      if (!box) Sleep(10);
    }
    if (!box) return;
    Sleep(100);
    shownText = WindowTextOf(GetDlgItem(box, 0xFFFF));
    windowWasDisabled = !IsWindowEnabled(window_.handle());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  SetText(Ctl::FolderBox, folder_.root());
  Click(Ctl::StartButton);
  user.join();
  EXPECT_EQ(shownText, L"没有可添加的字幕!");
  EXPECT_TRUE(windowWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(window_.handle()));
  EXPECT_EQ(Text(Ctl::StatusLabel), L"");
}

}  // namespace
}  // namespace varnel::ui
