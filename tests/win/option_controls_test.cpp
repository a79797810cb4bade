// The option controls in the real window: the free-text extension boxes and
// their ticks, the two drop-down lists that govern other controls, and the
// folder and font dialogs, opened, answered and checked afterwards.
#include "main_window_fixture.h"

#include <dlgs.h>
#include <shlobj.h>

#include <string>

namespace varnel::ui {
namespace {

constexpr wchar_t kFolderDialogTitle[] = L"请选择您存放电影的文件夹";

class OptionControlsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    // The shell's dialogs want COM on the thread, as the program has it.
    com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    MainWindowTest::SetUp();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    if (SUCCEEDED(com_)) CoUninitialize();
  }

  // The style group covers the about text when the window shows what lies
  // at the about text's centre.
  bool AboutTextCovered() {
    const RECT place = PlaceOf(Control(Ctl::AboutLabel));
    const POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    return ChildWindowFromPointEx(window_.handle(), centre, CWP_SKIPINVISIBLE) == Control(Ctl::StyleGroup);
  }

  static void SelectInDialog(HWND dialog, int comboId, int index) {
    HWND combo = GetDlgItem(dialog, comboId);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }
  static std::wstring ItemText(HWND dialog, int comboId, int index) {
    HWND combo = GetDlgItem(dialog, comboId);
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
  }

  // Selects a folder in the folder dialog's tree, by its path or, when
  // `path` is null, by its item list. Wine's dialog now and then misses the
  // first request made right after it opened: asked again, it takes it.
  static bool SelectInFolderDialog(HWND dialog, const wchar_t* path, PCIDLIST_ABSOLUTE item = nullptr) {
    HWND tree = FindChild(dialog, L"SysTreeView32");
    for (int attempt = 0; attempt < 20; ++attempt) {
      SendMessageW(dialog, BFFM_SETSELECTIONW, path != nullptr,
                   path ? reinterpret_cast<LPARAM>(path) : reinterpret_cast<LPARAM>(item));
      // The tree starts with its root, the desktop, selected.
      if (TreeView_GetParent(tree, TreeView_GetSelection(tree))) return true;
      WaitInDialog(50);
    }
    return false;
  }

  HRESULT com_ = E_FAIL;
};

TEST_F(OptionControlsTest, FreeTextBoxTicksItsExtension) {
  const std::pair<Ctl, Ctl> pairs[] = {
      {Ctl::ExtBox9, Ctl::Ext9}, {Ctl::ExtBox10, Ctl::Ext10}, {Ctl::ExtBox11, Ctl::Ext11}};
  for (auto [box, check] : pairs) {
    SCOPED_TRACE(Utf8(SpecOf(box).name));
    Type(box, L"m");
    EXPECT_TRUE(Ticked(check));
    Type(box, L"\b");
    EXPECT_FALSE(Ticked(check));
    Type(box, L"mkv");
    EXPECT_TRUE(Ticked(check));
    Click(check);  // the user unticks it by hand
    EXPECT_FALSE(Ticked(check));
    EXPECT_EQ(Text(box), L"mkv");
    Type(box, L"2");  // the next keystroke ticks it again
    EXPECT_TRUE(Ticked(check));
    SetText(box, L"");  // so does any change of the text, also by the program
    EXPECT_FALSE(Ticked(check));
  }
  // Each box ticks its own check box only.
  Type(Ctl::ExtBox10, L"ts");
  EXPECT_FALSE(Ticked(Ctl::Ext9));
  EXPECT_TRUE(Ticked(Ctl::Ext10));
  EXPECT_FALSE(Ticked(Ctl::Ext11));
}

TEST_F(OptionControlsTest, DisplayModeGovernsTheShadowSize) {
  window_.ShowStyleGroup(true);
  HWND shadowSize = Control(Ctl::ShadowSizeList);
  for (ChooseBy by : {ChooseBy::ArrowKeys, ChooseBy::OpenList}) {
    SCOPED_TRACE(by == ChooseBy::ArrowKeys ? "arrow keys" : "open list");
    ChooseItem(Ctl::DisplayModeList, 0, by);  // 阴影
    EXPECT_EQ(Text(Ctl::DisplayModeList), L"阴影");
    EXPECT_TRUE(IsWindowEnabled(shadowSize));
    EXPECT_EQ(Text(Ctl::ShadowSizeList), L"1");
    ChooseItem(Ctl::DisplayModeList, 1, by);  // 不透明
    EXPECT_FALSE(IsWindowEnabled(shadowSize));
    EXPECT_EQ(Text(Ctl::ShadowSizeList), L"0");
  }

  // Taking 阴影 again, though it is current, sets the size chosen since back to 1.
  ChooseItem(Ctl::DisplayModeList, 0, ChooseBy::OpenList);
  ChooseItem(Ctl::ShadowSizeList, 3, ChooseBy::OpenList);
  EXPECT_EQ(Text(Ctl::ShadowSizeList), L"3");
  ChooseItem(Ctl::DisplayModeList, 0, ChooseBy::OpenList);
  EXPECT_EQ(Text(Ctl::ShadowSizeList), L"1");

  // Moving through the open list and closing it with Escape: the shadow size
  // agrees with the item the list shows then, whether the list went back to
  // the item it opened on (Windows) or kept the one it was closed on (Wine).
  ChooseItem(Ctl::ShadowSizeList, 3, ChooseBy::OpenList);
  HWND displayMode = Control(Ctl::DisplayModeList);
  SetFocus(displayMode);
  SendMessageW(displayMode, CB_SHOWDROPDOWN, TRUE, 0);
  PressKey(displayMode, VK_DOWN);
  PressKey(displayMode, VK_ESCAPE);
  EXPECT_NE(window_.handle(), nullptr);  // Escape closed the list, not the window
  const bool opaque = CurrentItem(Ctl::DisplayModeList) == 1;
  EXPECT_EQ(IsWindowEnabled(shadowSize) != FALSE, !opaque);
  EXPECT_EQ(Text(Ctl::ShadowSizeList), opaque ? L"0" : L"3");

  // Setting the item from the program raises nothing.
  SendMessageW(displayMode, CB_SETCURSEL, opaque ? 0 : 1, 0);
  EXPECT_EQ(IsWindowEnabled(shadowSize) != FALSE, !opaque);
}

TEST_F(OptionControlsTest, SubtitleTypeShowsOrHidesTheStyleGroup) {
  for (ChooseBy by : {ChooseBy::ArrowKeys, ChooseBy::OpenList}) {
    SCOPED_TRACE(by == ChooseBy::ArrowKeys ? "arrow keys" : "open list");
    ChooseItem(Ctl::FormatList, 1, by);
    EXPECT_EQ(Text(Ctl::FormatList), L"SSA");
    EXPECT_TRUE(IsWindowVisible(Control(Ctl::StyleGroup)));
    EXPECT_TRUE(IsWindowVisible(Control(Ctl::FontNameBox)));
    EXPECT_TRUE(AboutTextCovered());
    ChooseItem(Ctl::FormatList, 0, by);
    EXPECT_FALSE(IsWindowVisible(Control(Ctl::StyleGroup)));
    EXPECT_FALSE(AboutTextCovered());
  }
  // Setting the item from the program raises nothing.
  SendMessageW(Control(Ctl::FormatList), CB_SETCURSEL, 1, 0);
  EXPECT_FALSE(IsWindowVisible(Control(Ctl::StyleGroup)));
  SendMessageW(Control(Ctl::FormatList), CB_SETCURSEL, 0, 0);

  // The style controls keep their values while hidden.
  ChooseItem(Ctl::FormatList, 1, ChooseBy::OpenList);
  ChooseItem(Ctl::AlignmentList, 10, ChooseBy::ArrowKeys);
  ChooseItem(Ctl::FormatList, 0, ChooseBy::OpenList);
  ChooseItem(Ctl::FormatList, 1, ChooseBy::OpenList);
  EXPECT_EQ(CurrentItem(Ctl::AlignmentList), 10);
  Screenshot(L"ssa-chosen.png");
}

TEST_F(OptionControlsTest, RunAfterChoosingSsaWritesSsaFiles) {
  folder_.AddFile(L"Film.avi");
  AddRow(L"5", L"A");
  SetText(Ctl::FolderBox, folder_.root());
  SetTicked(Ctl::AllDrivesBox, false);
  ChooseItem(Ctl::FormatList, 1, ChooseBy::OpenList);

  Click(Ctl::StartButton);

  EXPECT_FALSE(folder_.Exists(L"Film.SRT"));
  const std::string document = folder_.Read(L"Film.SSA");
  EXPECT_EQ(document.rfind("[Script Info]", 0), 0u) << document;
  EXPECT_NE(document.find("Dialogue: "), std::string::npos) << document;
}

// Typed extensions match in any case, with or without a leading "."; a box
// unticked by hand counts for nothing.
TEST_F(OptionControlsTest, RunWithTypedExtensions) {
  folder_.AddFile(L"Film.MKV");
  folder_.AddFile(L"clip.ts");
  folder_.AddFile(L"other.mov");
  AddRow(L"5", L"A");
  SetText(Ctl::FolderBox, folder_.root());
  SetTicked(Ctl::AllDrivesBox, false);
  Type(Ctl::ExtBox9, L"mkv");
  Type(Ctl::ExtBox10, L".Ts");
  Type(Ctl::ExtBox11, L"mov");
  Click(Ctl::Ext11);

  Click(Ctl::StartButton);

  EXPECT_TRUE(folder_.Exists(L"Film.SRT"));
  EXPECT_TRUE(folder_.Exists(L"clip.SRT"));
  EXPECT_FALSE(folder_.Exists(L"other.SRT"));
  EXPECT_EQ(window_.runState().filesWritten, 2);
}

// The folder dialog: what it shows, and what each way of closing it leaves
// in the folder box and the all-drives box. A confirmed folder gets exactly
// one "\"; a cancel, or an item with no folder of the file system behind
// it, changes nothing.
TEST_F(OptionControlsTest, FolderDialog) {
  std::wstring root = folder_.root();
  root.pop_back();  // as the system names a folder: without the "\"
  PIDLIST_ABSOLUTE computer = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);

  enum class Answer { Ok, ConfirmAnyway, Cancel };
  struct Case {
    const char* what;
    const wchar_t* path;  // selected by its path, else `computer`
    Answer answer;
    std::wstring folderBox;
    bool allDrives;
  } cases[] = {
      {"a folder", root.c_str(), Answer::Ok, folder_.root(), false},
      {"a drive root", L"C:\\", Answer::Ok, L"C:\\", false},
      {"the computer", nullptr, Answer::ConfirmAnyway, L"D:\\before\\", true},
      {"cancelled", root.c_str(), Answer::Cancel, L"D:\\before\\", true},
  };
  bool first = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetText(Ctl::FolderBox, L"D:\\before\\");
    SetTicked(Ctl::AllDrivesBox, true);
    HWND owner = nullptr;
    bool windowTookInput = true, titleShown = false, editField = false, selected = false;
    AnswerDialog([this] { Click(Ctl::Button1); },
                 [&](HWND dialog) {
                   owner = GetWindow(dialog, GW_OWNER);
                   windowTookInput = IsWindowEnabled(window_.handle());
                   titleShown = FindChild(dialog, L"Static", kFolderDialogTitle) != nullptr;
                   editField = FindChild(dialog, L"Edit") != nullptr;
                   selected = SelectInFolderDialog(dialog, c.path, computer);
                   if (first) {
                     WaitInDialog(300);
                     SaveScreenshot(dialog, ScreenshotFolder() + L"\\folder-dialog.png");
                   }
                   switch (c.answer) {
                     case Answer::Ok:
                       PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                       break;
                     case Answer::ConfirmAnyway:  // its OK button is greyed
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                       break;
                     case Answer::Cancel:
                       PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                       break;
                   }
                 });
    first = false;
    EXPECT_EQ(owner, window_.handle());
    EXPECT_FALSE(windowTookInput);
    EXPECT_TRUE(titleShown);
    EXPECT_TRUE(editField);
    EXPECT_TRUE(selected);
    EXPECT_EQ(Text(Ctl::FolderBox), c.folderBox);
    EXPECT_EQ(Ticked(Ctl::AllDrivesBox), c.allDrives);
    EXPECT_TRUE(IsWindowEnabled(window_.handle()));
    EXPECT_EQ(GetActiveWindow(), window_.handle());
  }
  CoTaskMemFree(computer);
}

// The road of a first use: a folder chosen in the dialog, then Start walks
// that folder, not the drives.
TEST_F(OptionControlsTest, RunWalksTheChosenFolder) {
  folder_.AddFile(L"Film.avi");
  std::wstring root = folder_.root();
  root.pop_back();
  AnswerDialog([this] { Click(Ctl::Button1); },
               [&](HWND dialog) {
                 EXPECT_TRUE(SelectInFolderDialog(dialog, root.c_str()));
                 PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
               });
  SetText(Ctl::SubtitleBox, L"A");
  Click(Ctl::Button5);

  Click(Ctl::StartButton);

  EXPECT_TRUE(folder_.Exists(L"Film.SRT"));
  EXPECT_EQ(window_.runState().filesWritten, 1);
}

// The font dialog: its effects section shows; a confirmed face goes into the
// font box exactly, and the next opening starts from the chosen font; a
// cancel changes nothing.
TEST_F(OptionControlsTest, FontDialog) {
  ChooseItem(Ctl::FormatList, 1, ChooseBy::OpenList);
  std::wstring face, style, size;
  bool effectsShown = false, windowTookInput = true;
  HWND owner = nullptr;
  AnswerDialog([this] { Click(Ctl::Button3); },
               [&](HWND dialog) {
                 owner = GetWindow(dialog, GW_OWNER);
                 windowTookInput = IsWindowEnabled(window_.handle());
                 effectsShown = IsWindowVisible(GetDlgItem(dialog, chx1)) &&
                                IsWindowVisible(GetDlgItem(dialog, chx2)) &&
                                IsWindowVisible(GetDlgItem(dialog, cmb4));
                 // The last face of the list that is no vertical font.
                 const int faces = static_cast<int>(SendDlgItemMessageW(dialog, cmb1, CB_GETCOUNT, 0, 0));
                 int chosen = faces - 1;
                 while (chosen > 0 && ItemText(dialog, cmb1, chosen).starts_with(L"@")) --chosen;
                 face = ItemText(dialog, cmb1, chosen);
                 SelectInDialog(dialog, cmb1, chosen);
                 SelectInDialog(dialog, cmb2, 2);  // regular, italic, bold, bold italic
                 style = ItemText(dialog, cmb2, 2);
                 const int sixteen = static_cast<int>(
                     SendDlgItemMessageW(dialog, cmb3, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(L"16")));
                 SelectInDialog(dialog, cmb3, sixteen);
                 size = ItemText(dialog, cmb3, sixteen);
                 SendDlgItemMessageW(dialog, chx1, BM_SETCHECK, BST_CHECKED, 0);
                 SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(chx1, BN_CLICKED),
                              reinterpret_cast<LPARAM>(GetDlgItem(dialog, chx1)));
                 WaitInDialog(300);
                 SaveScreenshot(dialog, ScreenshotFolder() + L"\\font-dialog.png");
                 PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
               });
  EXPECT_EQ(owner, window_.handle());
  EXPECT_FALSE(windowTookInput);
  EXPECT_TRUE(effectsShown);
  ASSERT_FALSE(face.empty());
  EXPECT_EQ(size, L"16");
  EXPECT_EQ(Text(Ctl::FontNameBox), face);
  EXPECT_EQ(GetActiveWindow(), window_.handle());

  // Opened again: preset with that face, style, size and effect. Another face
  // taken there and then cancelled leaves the box alone.
  std::wstring facePreset, stylePreset, sizePreset;
  bool strikeOutPreset = false;
  AnswerDialog([this] { Click(Ctl::Button3); },
               [&](HWND dialog) {
                 facePreset = MainWindowTest::WindowTextOf(GetDlgItem(dialog, cmb1));
                 stylePreset = MainWindowTest::WindowTextOf(GetDlgItem(dialog, cmb2));
                 sizePreset = MainWindowTest::WindowTextOf(GetDlgItem(dialog, cmb3));
                 strikeOutPreset = SendDlgItemMessageW(dialog, chx1, BM_GETCHECK, 0, 0) == BST_CHECKED;
                 SelectInDialog(dialog, cmb1, 0);
                 PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
               });
  EXPECT_EQ(facePreset, face);
  EXPECT_EQ(stylePreset, style);
  EXPECT_EQ(sizePreset, L"16");
  EXPECT_TRUE(strikeOutPreset);
  EXPECT_EQ(Text(Ctl::FontNameBox), face);
}

}  // namespace
}  // namespace varnel::ui
