// Editing the advertisement list in the real window: the five buttons and
// Enter in the entry box, with the rows and the selection they leave.
#include <algorithm>
#include <string>

#include "main_window_fixture.h"

namespace varnel::ui {
namespace {

class AdListEditingTest : public MainWindowTest {
 protected:
  // Replaces the rows by "seconds:text|..." and selects `selected` by a
  // click on it, as the user would (-1: no click, no row selected).
  void StartWith(std::wstring_view rows, int selected) {
    HWND list = Control(Ctl::AdList);
    ListView_DeleteAllItems(list);
    while (!rows.empty()) {
      const size_t end = std::min(rows.find(L'|'), rows.size());
      const std::wstring_view row = rows.substr(0, end);
      const size_t colon = row.find(L':');
      AddRow(std::wstring(row.substr(0, colon)), std::wstring(row.substr(colon + 1)));
      rows.remove_prefix(std::min(end + 1, rows.size()));
    }
    if (selected >= 0) ClickRow(selected);
  }
  void ClickRow(int row) {
    HWND list = Control(Ctl::AdList);
    RECT place{};
    ListView_GetItemRect(list, row, &place, LVIR_LABEL);
    ClickAt(list, (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    Pump();
  }
  bool Focused(int row) const {
    return ListView_GetItemState(Control(Ctl::AdList), row, LVIS_FOCUSED) & LVIS_FOCUSED;
  }
};

constexpr wchar_t kABC[] = L"1:A|2:B|3:C";

TEST_F(AdListEditingTest, ButtonsFollowTheSelection) {
  struct Case {
    const wchar_t* rows;
    int selected;
    Ctl button;
    const wchar_t* rowsAfter;
    int selectedAfter;
  } cases[] = {
      {kABC, 1, Ctl::MoveUpButton, L"2:B|1:A|3:C", 0},
      {kABC, 1, Ctl::MoveDownButton, L"1:A|3:C|2:B", 2},
      {kABC, 0, Ctl::MoveUpButton, kABC, 0},
      {kABC, 2, Ctl::MoveDownButton, kABC, 2},
      {L"1:A", 0, Ctl::MoveUpButton, L"1:A", 0},
      {L"1:A", 0, Ctl::MoveDownButton, L"1:A", 0},
      {kABC, -1, Ctl::MoveUpButton, kABC, -1},
      {kABC, -1, Ctl::MoveDownButton, kABC, -1},
      {kABC, -1, Ctl::Button2, kABC, -1},
      {kABC, 1, Ctl::Button2, L"1:A|3:C", -1},
      {kABC, 2, Ctl::Button2, L"1:A|2:B", -1},
      {kABC, 0, Ctl::Button5, L"1:A|2:B|3:C|10:D", 0},  // adds from the entry boxes
      {kABC, 1, Ctl::Button6, L"", -1},
      {L"", -1, Ctl::Button6, L"", -1},
      {L"", -1, Ctl::Button2, L"", -1},
      {L"", -1, Ctl::MoveDownButton, L"", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.rows) + ", row " + std::to_string(c.selected) + " selected, " +
                 Utf8(SpecOf(c.button).name));
    StartWith(c.rows, c.selected);
    SetText(Ctl::SubtitleBox, L"D");
    Click(c.button);
    EXPECT_EQ(Rows(), c.rowsAfter);
    EXPECT_EQ(Selection(), c.selectedAfter);
    if (c.selectedAfter >= 0) {
      EXPECT_TRUE(Focused(c.selectedAfter));
    }
  }
}

// Both ways of adding take the two entry boxes as they are, empty the text
// box, keep the display time and put the focus back into the text box.
TEST_F(AdListEditingTest, AddByButtonOrEnter) {
  enum class AddBy { Button, EnterKey };
  for (AddBy by : {AddBy::Button, AddBy::EnterKey}) {
    SCOPED_TRACE(by == AddBy::Button ? "button" : "Enter");
    StartWith(L"", -1);
    const std::wstring longLine(700, L'长');  // longer than any buffer of a first try
    struct Line {
      const wchar_t* seconds;
      std::wstring text;
    } lines[] = {{L"10", L"A"}, {L"abc", L""}, {L"", L"欢迎观看"}, {L"3", longLine}};
    for (const Line& line : lines) {
      SetText(Ctl::DurationBox, line.seconds);
      SetText(Ctl::SubtitleBox, line.text);
      if (by == AddBy::Button) {
        Click(Ctl::Button5);
      } else {
        SetFocus(Control(Ctl::SubtitleBox));
        PressKey(Control(Ctl::SubtitleBox), VK_RETURN);
      }
      EXPECT_EQ(Text(Ctl::SubtitleBox), L"");
      EXPECT_EQ(Text(Ctl::DurationBox), line.seconds);
      EXPECT_EQ(GetFocus(), Control(Ctl::SubtitleBox));
    }
    EXPECT_EQ(Rows(), L"10:A|abc:|:欢迎观看|3:" + longLine);
    EXPECT_EQ(Selection(), -1);
    EXPECT_NE(window_.handle(), nullptr);
  }

  // Enter anywhere else adds nothing.
  SetText(Ctl::FolderBox, L"x");
  SetFocus(Control(Ctl::FolderBox));
  PressKey(Control(Ctl::FolderBox), VK_RETURN);
  EXPECT_EQ(AdListView(Control(Ctl::AdList)).RowCount(), 4);
}

// Nothing scrolls: an added row may stay out of sight, and a line moved
// past the bottom edge takes the selection there without the list following.
TEST_F(AdListEditingTest, NothingScrolls) {
  HWND list = Control(Ctl::AdList);
  const int visible = ListView_GetCountPerPage(list);
  ASSERT_GT(visible, 2);
  for (int i = 0; i < visible + 5; ++i) AddRow(std::to_wstring(i), L"line");
  SetText(Ctl::SubtitleBox, L"last");
  Click(Ctl::Button5);
  EXPECT_EQ(ListView_GetTopIndex(list), 0);

  ClickRow(visible - 1);
  EXPECT_EQ(ListView_GetTopIndex(list), 0) << "click";
  Click(Ctl::MoveDownButton);
  EXPECT_EQ(Selection(), visible);
  EXPECT_EQ(ListView_GetTopIndex(list), 0);
}

TEST_F(AdListEditingTest, ScreenshotAfterEditing) {
  const wchar_t* lines[] = {L"欢迎观看本站电影", L"更多精彩影片尽在本站", L"请勿在影院内吸烟", L"祝您观影愉快"};
  for (const wchar_t* line : lines) {
    SetText(Ctl::SubtitleBox, line);
    Click(Ctl::Button5);
  }
  SetText(Ctl::DurationBox, L"5");
  SetText(Ctl::SubtitleBox, L"Varnel & friends");
  Click(Ctl::Button5);

  ClickRow(3);
  Click(Ctl::MoveUpButton);
  ClickRow(0);
  Click(Ctl::Button2);
  EXPECT_EQ(Rows(), L"10:更多精彩影片尽在本站|10:祝您观影愉快|10:请勿在影院内吸烟|5:Varnel & friends");
  ClickRow(1);
  Screenshot(L"list-editing.png");
}

}  // namespace
}  // namespace varnel::ui
