#include "ui/window_definition.h"

#include <array>

namespace varnel::ui {

namespace {

// The maker's credit, in the title and in the about text.
#define VARNEL_CREDIT L"Varnel 工作室"

constexpr WindowSpec kWindow{L"Varnel 1.0    " VARNEL_CREDIT, 538, 374};

// Thirteen lines; every line but the last ends with CR LF.
constexpr std::wstring_view kAboutText =
    L"      Varnel1.0版\r\n"
    L"\r\n"
    L"        2011年\u3000\u3000" VARNEL_CREDIT L"\r\n"
    L"　　个别杀毒软件可能会误报本程序，\r\n"
    L"是否使用，请您自行决定。\r\n"
    L"\r\n"
    L"功能与使用帮助：\r\n"
    L"　　１、选择好电影存放目录，不选择将搜\r\n"
    L"索所有磁盘上的电影媒体。\r\n"
    L"　　２、设置好需要添加的字幕，字幕显示\r\n"
    L"的时间长度。ＳＳＡ字幕还可以设置更多！\r\n"
    L"　　３、点“开始工作”即开始自动搜索并\r\n"
    L"添加字幕文件。再次点击，将结束添加。";

// Items without item values: the format list and the shadow sizes.
constexpr std::array<StyleItem, 2> kFormatItems{{{"SRT", 0}, {"SSA", 0}}};
constexpr std::array<StyleItem, kShadowSizeCount> kShadowSizeItems{
    {{"0", 0}, {"1", 0}, {"2", 0}, {"3", 0}, {"4", 0}}};

constexpr ControlSpec Label(Ctl id, std::wstring_view name, Placement place, std::wstring_view text,
                            unsigned flags = 0) {
  return {id, name, Kind::Label, place, text, flags};
}
constexpr ControlSpec Edit(Ctl id, std::wstring_view name, Placement place, std::wstring_view text,
                           unsigned flags = 0, int typingLimit = 0) {
  return {id, name, Kind::Edit, place, text, flags, typingLimit};
}
constexpr ControlSpec Button(Ctl id, std::wstring_view name, Placement place, std::wstring_view text,
                             unsigned flags = 0) {
  return {id, name, Kind::Button, place, text, flags};
}
constexpr ControlSpec CheckBox(Ctl id, std::wstring_view name, Placement place, std::wstring_view text,
                               unsigned flags = 0) {
  return {id, name, Kind::CheckBox, place, text, flags};
}
constexpr ControlSpec DropDown(Ctl id, std::wstring_view name, Placement place,
                               std::span<const StyleItem> items, bool itemValues, int currentItem,
                               unsigned flags = 0) {
  return {id, name, Kind::DropDown, place, {}, flags, 0, items, itemValues, currentItem};
}
constexpr ControlSpec ColourPicker(Ctl id, std::wstring_view name, Placement place, COLORREF colour) {
  ControlSpec def{id, name, Kind::ColourPicker, place, {}, kInGroup};
  def.colour = colour;
  return def;
}

// The read-only number boxes of the style group, stepped by their spin buttons.
constexpr unsigned kStyleBox = kInGroup | kReadOnly | kCentredText | kShallowEdge | kSpinButtons;

constexpr ControlSpec kControls[] = {
    // On the window, from the top row down.
    Label(Ctl::Label1, L"标签1", {0, 8, 56, 24}, L"操作目录"),
    Edit(Ctl::FolderBox, L"编辑框_目录", {56, 8, 344, 24}, L""),
    Button(Ctl::Button1, L"按钮1", {408, 8, 64, 24}, L"选择目录"),
    CheckBox(Ctl::AllDrivesBox, L"选择框1", {480, 8, 50, 24}, L"全部磁盘", kChecked),
    Label(Ctl::Label4, L"标签4", {0, 40, 48, 20}, L"添加字幕"),
    Edit(Ctl::SubtitleBox, L"编辑框_字幕", {48, 40, 192, 20}, L""),
    Button(Ctl::Button5, L"按钮5", {240, 40, 40, 20}, L"添加"),
    Label(Ctl::Label3, L"标签3", {285, 40, 83, 20}, L"显示        秒", kBehindOthers),
    Edit(Ctl::DurationBox, L"编辑框_时长", {311, 40, 25, 20}, L"10", kCentredText | kSpinButtons, 3),
    Label(Ctl::Label2, L"标签2", {389, 40, 131, 20}, L"片头空             秒", kBehindOthers),
    Edit(Ctl::LeadInBox, L"编辑框3", {427, 40, 56, 20}, L"10",
         kCentredText | kSpinButtons | kDigitFilter, 3),
    {Ctl::AdList, L"超级列表框1", Kind::ListView, {44, 64, 232, 256}, {}},
    Button(Ctl::Button2, L"按钮2", {0, 88, 40, 20}, L"删除"),
    Button(Ctl::MoveUpButton, L"按钮_上移", {0, 136, 40, 20}, L"上移"),
    Button(Ctl::MoveDownButton, L"按钮_下移", {0, 168, 40, 20}, L"下移"),
    Button(Ctl::Button6, L"按钮6", {0, 264, 40, 20}, L"清空"),
    Label(Ctl::Label5, L"标签5", {290, 72, 48, 20}, L"字幕类型"),
    DropDown(Ctl::FormatList, L"组合框1", {341, 72, 83, 20}, kFormatItems, false, 0),
    {Ctl::FontDialog, L"通用对话框1", Kind::CommonDialog, {448, 72, 32, 16}, {}, kHidden},
    {Ctl::StyleGroup, L"分组框1", Kind::Group, {280, 90, 248, 168}, {}, kHidden},
    Label(Ctl::AboutLabel, L"标签21", {280, 96, 248, 160}, kAboutText,
          kWordWrap | kShallowEdge | kBehindOthers),
    CheckBox(Ctl::Ext1, L"选择框_视1", {286, 260, 40, 12}, L"3GP", kChecked),
    CheckBox(Ctl::Ext2, L"选择框_视2", {325, 260, 40, 12}, L"MP4", kChecked),
    CheckBox(Ctl::Ext3, L"选择框_视3", {364, 260, 40, 12}, L"AVI", kChecked),
    CheckBox(Ctl::Ext4, L"选择框_视4", {404, 260, 40, 12}, L"WMV", kChecked),
    CheckBox(Ctl::Ext5, L"选择框_视5", {444, 260, 40, 12}, L"FLV", kChecked),
    CheckBox(Ctl::Ext6, L"选择框_视6", {486, 260, 40, 12}, L"VOB", kChecked),
    CheckBox(Ctl::Ext7, L"选择框_视7", {287, 276, 45, 12}, L"RMVB", kChecked),
    CheckBox(Ctl::Ext8, L"选择框_视8", {333, 276, 40, 12}, L"RM", kChecked),
    CheckBox(Ctl::Ext9, L"选择框_视9", {366, 277, 12, 12}, L""),
    Edit(Ctl::ExtBox9, L"编辑框_视9", {377, 276, 30, 16}, L"", 0, 5),
    CheckBox(Ctl::Ext10, L"选择框_视10", {412, 277, 12, 12}, L""),
    Edit(Ctl::ExtBox10, L"编辑框_视10", {423, 276, 30, 16}, L"", 0, 5),
    CheckBox(Ctl::Ext11, L"选择框_视11", {456, 277, 12, 12}, L""),
    Edit(Ctl::ExtBox11, L"编辑框_视11", {467, 276, 30, 16}, L"", 0, 5),
    Button(Ctl::StartButton, L"按钮_开始", {288, 296, 168, 24}, L"开始工作"),
    {Ctl::HomePageLink, L"超级链接框1", Kind::Hyperlink, {464, 296, 64, 24}, L"官方主页"},
    Label(Ctl::StatusLabel, L"标签_显示", {0, 320, 528, 24}, L"", kShallowEdge),

    // Inside 分组框1, relative to it.
    Label(Ctl::Label6, L"标签6", {13, 8, 24, 20}, L"字体", kInGroup),
    Edit(Ctl::FontNameBox, L"编辑框1", {37, 8, 83, 20}, L"黑体", kInGroup | kReadOnly | kShallowEdge),
    Button(Ctl::Button3, L"按钮3", {117, 8, 35, 16}, L"选择", kInGroup),
    Label(Ctl::Label8, L"标签8", {151, 8, 64, 19}, L"第一字幕色", kInGroup),
    ColourPicker(Ctl::ColourPicker1, L"颜色选择器1", {213, 8, 40, 16}, 255),
    Label(Ctl::Label7, L"标签7", {13, 32, 24, 20}, L"字号", kInGroup),
    Edit(Ctl::FontSizeBox, L"编辑框2", {37, 32, 27, 20}, L"30", kStyleBox, 3),
    Label(Ctl::Label9, L"标签9", {151, 27, 64, 16}, L"第二字幕色", kInGroup),
    ColourPicker(Ctl::ColourPicker2, L"颜色选择器2", {213, 27, 40, 16}, 16711680),
    Label(Ctl::Label11, L"标签11", {151, 45, 64, 16}, L"字幕边缘色", kInGroup),
    ColourPicker(Ctl::ColourPicker3, L"颜色选择器3", {213, 45, 40, 16}, 0),
    Label(Ctl::Label14, L"标签14", {5, 64, 56, 16}, L"对齐方式", kInGroup),
    DropDown(Ctl::AlignmentList, L"组合框3", {61, 64, 96, 20}, kAlignmentItems, true,
             kAlignmentStartIndex, kInGroup),
    Label(Ctl::Label10, L"标签10", {165, 64, 40, 16}, L"阴影色", kInGroup),
    ColourPicker(Ctl::ColourPicker4, L"颜色选择器4", {213, 64, 40, 16}, 0),
    Label(Ctl::Label12, L"标签12", {12, 88, 48, 16}, L"显示方式", kInGroup),
    DropDown(Ctl::DisplayModeList, L"组合框2", {60, 88, 72, 20}, kDisplayModeItems, true,
             kDisplayModeStartIndex, kInGroup),
    Label(Ctl::Label13, L"标签13", {133, 88, 48, 16}, L"阴影大小", kInGroup),
    DropDown(Ctl::ShadowSizeList, L"组合框5", {181, 87, 56, 20}, kShadowSizeItems, false, 0,
             kInGroup | kDisabled),
    Label(Ctl::Label15, L"标签15", {4, 112, 24, 16}, L"距左", kInGroup),
    Edit(Ctl::MarginLeftBox, L"编辑框5", {29, 112, 15, 16}, L"10", kStyleBox, 2),
    Label(Ctl::Label16, L"标签16", {67, 112, 24, 16}, L"距右", kInGroup),
    Edit(Ctl::MarginRightBox, L"编辑框6", {92, 112, 15, 16}, L"10", kStyleBox, 2),
    Label(Ctl::Label17, L"标签17", {128, 112, 24, 16}, L"距上", kInGroup),
    Edit(Ctl::MarginTopBox, L"编辑框7", {153, 112, 15, 16}, L"12", kStyleBox, 2),
    Label(Ctl::Label18, L"标签18", {188, 112, 24, 16}, L"距下", kInGroup),
    Edit(Ctl::MarginBottomBox, L"编辑框8", {213, 112, 15, 16}, L"1", kStyleBox, 2),
    Label(Ctl::Label19, L"标签19", {5, 132, 40, 16}, L"透明度", kInGroup),
    Edit(Ctl::TransparencyBox, L"编辑框9", {40, 132, 24, 16}, L"0", kStyleBox, 3),
    Label(Ctl::Label20, L"标签20", {88, 132, 32, 16}, L"编码", kInGroup),
    DropDown(Ctl::EncodingList, L"组合框4", {112, 130, 128, 20}, kEncodingItems, true,
             kEncodingStartIndex, kInGroup),
};

constexpr bool EveryControlAtItsPlace() {
  if (std::size(kControls) != static_cast<size_t>(kControlCount)) return false;
  for (size_t i = 0; i < std::size(kControls); ++i) {
    if (static_cast<size_t>(kControls[i].id) != i) return false;
  }
  return true;
}
static_assert(EveryControlAtItsPlace(), "the table lists every control once, in the order of Ctl");

}  // namespace

const WindowSpec& MainWindowSpec() { return kWindow; }

std::span<const ControlSpec> Definition() { return kControls; }

}  // namespace varnel::ui
