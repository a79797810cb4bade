// The choices the window offers for the SSA style, with the number each one
// writes into the style line. Shared by the window's drop-down lists and the
// command line. Item texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace varnel {

struct StyleItem {
  std::string_view text;
  int32_t value;
};

// BorderStyle: a shadowed outline (0) or an opaque box (3).
inline constexpr std::array<StyleItem, 2> kDisplayModeItems{{
    {"阴影", 0},
    {"不透明", 3},
}};

// Alignment: 1, 2, 3 for left, centre and right at the bottom; +4 for the top
// of the picture and +8 for its middle.
inline constexpr std::array<StyleItem, 11> kAlignmentItems{{
    {"左对齐", 1},
    {"中对齐", 2},
    {"右对齐", 3},
    {"置顶", 4},
    {"置中", 8},
    {"置顶左对齐", 5},
    {"置顶中对齐", 6},
    {"置顶右对齐", 7},
    {"置中左对齐", 9},
    {"置中中对齐", 10},
    {"置中右对齐", 11},
}};

// Encoding: the Windows character-set numbers.
inline constexpr std::array<StyleItem, 19> kEncodingItems{{
    {"ANSI", 0},         {"DEFAULT", 1},   {"SYMBOL", 2},      {"SHIFTJIS", 128},
    {"HANGEUL", 129},    {"GB2312", 134},  {"CHINESEBIG5", 136}, {"OEM", 255},
    {"JOHAB", 130},      {"HEBREW", 177},  {"ARABIC", 178},    {"GREEK", 161},
    {"TURKISH", 162},    {"VIETNAMESE", 163}, {"THAI", 222},   {"EASTEUROPE", 238},
    {"RUSSIAN", 204},    {"MAC", 77},      {"BALTIC", 186},
}};

// Start-up items of the three lists with values, and the five shadow sizes.
inline constexpr int kDisplayModeStartIndex = 1;
inline constexpr int kAlignmentStartIndex = 1;
inline constexpr int kEncodingStartIndex = 5;
inline constexpr int kShadowSizeCount = 5;

}  // namespace varnel
