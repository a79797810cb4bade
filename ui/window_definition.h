// The main window's fixed definition: the window itself and every control
// with its place, size, initial text, state and input rules, as data. The
// window is built from these tables (main_window.cpp); nothing else places a
// control.
#pragma once

#include <windows.h>

#include <span>
#include <string_view>

#include "subtitle/style_items.h"

namespace varnel::ui {

// Every control, in the order of the tables. The comment gives the control's
// name in the window definition, the name the rest of the program uses.
enum class Ctl : int {
  // On the window itself.
  Label1,          // 标签1
  FolderBox,       // 编辑框_目录
  Button1,         // 按钮1 (choose folder)
  AllDrivesBox,    // 选择框1
  Label4,          // 标签4
  SubtitleBox,     // 编辑框_字幕
  Button5,         // 按钮5 (add)
  Label3,          // 标签3
  DurationBox,     // 编辑框_时长
  Label2,          // 标签2
  LeadInBox,       // 编辑框3
  AdList,          // 超级列表框1
  Button2,         // 按钮2 (delete)
  MoveUpButton,    // 按钮_上移
  MoveDownButton,  // 按钮_下移
  Button6,         // 按钮6 (clear)
  Label5,          // 标签5
  FormatList,      // 组合框1
  FontDialog,      // 通用对话框1 (no window of its own)
  StyleGroup,      // 分组框1
  AboutLabel,      // 标签21
  Ext1,            // 选择框_视1 ... 选择框_视8
  Ext2,
  Ext3,
  Ext4,
  Ext5,
  Ext6,
  Ext7,
  Ext8,
  Ext9,            // 选择框_视9
  ExtBox9,         // 编辑框_视9
  Ext10,           // 选择框_视10
  ExtBox10,        // 编辑框_视10
  Ext11,           // 选择框_视11
  ExtBox11,        // 编辑框_视11
  StartButton,     // 按钮_开始
  HomePageLink,    // 超级链接框1
  StatusLabel,     // 标签_显示
  // Inside 分组框1.
  Label6,          // 标签6
  FontNameBox,     // 编辑框1
  Button3,         // 按钮3 (choose font)
  Label8,          // 标签8
  ColourPicker1,   // 颜色选择器1
  Label7,          // 标签7
  FontSizeBox,     // 编辑框2
  Label9,          // 标签9
  ColourPicker2,   // 颜色选择器2
  Label11,         // 标签11
  ColourPicker3,   // 颜色选择器3
  Label14,         // 标签14
  AlignmentList,   // 组合框3
  Label10,         // 标签10
  ColourPicker4,   // 颜色选择器4
  Label12,         // 标签12
  DisplayModeList, // 组合框2
  Label13,         // 标签13
  ShadowSizeList,  // 组合框5
  Label15,         // 标签15
  MarginLeftBox,   // 编辑框5
  Label16,         // 标签16
  MarginRightBox,  // 编辑框6
  Label17,         // 标签17
  MarginTopBox,    // 编辑框7
  Label18,         // 标签18
  MarginBottomBox, // 编辑框8
  Label19,         // 标签19
  TransparencyBox, // 编辑框9
  Label20,         // 标签20
  EncodingList,    // 组合框4
  Count
};

inline constexpr int kControlCount = static_cast<int>(Ctl::Count);

enum class Kind {
  Label,
  Edit,
  Button,
  CheckBox,
  DropDown,
  ListView,
  ColourPicker,
  Group,
  Hyperlink,
  CommonDialog,
};

// Initial state and input rules.
enum Flag : unsigned {
  kChecked = 1u << 0,
  kHidden = 1u << 1,
  kDisabled = 1u << 2,
  kReadOnly = 1u << 3,
  kCentredText = 1u << 4,
  kShallowEdge = 1u << 5,   // a thin sunken edge
  kSpinButtons = 1u << 6,   // up and down buttons against the right edge
  kDigitFilter = 1u << 7,   // typed characters other than 0-9 and "-" are dropped
  kWordWrap = 1u << 8,      // starts at the top and breaks lines
  kBehindOthers = 1u << 9,  // lies behind the controls that overlap it
  kInGroup = 1u << 10,      // placed in 分组框1, relative to it
};

// Places and sizes in pixels at 96 DPI, relative to the parent's client area.
struct Placement {
  int left, top, width, height;
};

struct ControlSpec {
  Ctl id;
  std::wstring_view name;  // the control's name in the window definition
  Kind kind;
  Placement place;
  std::wstring_view text;  // caption or initial text
  unsigned flags = 0;
  int typingLimit = 0;     // characters the user may type; 0: no limit
  // Drop-down lists: the items, whether they carry item values, the current item.
  std::span<const StyleItem> items = {};
  bool itemValues = false;
  int currentItem = -1;
  COLORREF colour = 0;     // colour pickers
};

struct WindowSpec {
  std::wstring_view title;
  int width, height;       // outer size at 96 DPI
};

const WindowSpec& MainWindowSpec();

// The controls in table order; Definition()[i].id is Ctl(i).
std::span<const ControlSpec> Definition();
inline const ControlSpec& SpecOf(Ctl id) { return Definition()[static_cast<size_t>(id)]; }

// The columns of 超级列表框1, both left-aligned; widths at 96 DPI.
struct ListColumn {
  std::wstring_view header;
  int width;
};
inline constexpr ListColumn kAdListColumns[] = {{L"时长(秒)", 60}, {L"    字    幕", 150}};

// Spin buttons: 18 pixels wide, as high as their box, their range 0 to 100.
inline constexpr int kSpinWidth = 18;
inline constexpr int kSpinLowest = 0;
inline constexpr int kSpinHighest = 100;

// The home page that 超级链接框1 opens.
inline constexpr std::wstring_view kHomePageAddress = L"https://varnel.example.org/";

}  // namespace varnel::ui
