// The two subtitle documents a run writes beside every movie: SRT, and SSA
// (SubStation Alpha v4) with one text style.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "subtitle/text.h"

namespace varnel {

// One advertisement line: the display time in whole seconds as typed
// (read with TextToInt), and the subtitle text. Both in the system code page.
struct AdLine {
  Bytes displayTime;
  Bytes text;
};

// The variable values of the one SSA text style, "New Style". Defaults are the
// window's start-up values. Text fields are written unchanged, numbers in
// decimal.
struct SsaStyle {
  Bytes Fontname = "\xBA\xDA\xCC\xE5";  // 黑体 in code page 936
  Bytes Fontsize = "30";
  int32_t PrimaryColour = 255;          // Windows RGB value: red
  int32_t SecondaryColour = 16711680;   // blue
  int32_t TertiaryColour = 0;
  int32_t BackColour = 0;
  int32_t BorderStyle = 3;              // opaque box
  int32_t Outline = 0;
  int32_t Alignment = 2;                // bottom centre
  Bytes MarginL = "10";
  Bytes MarginR = "10";
  Bytes MarginV = "12";
  Bytes AlphaLevel = "0";
  int32_t Encoding = 134;               // GB2312
};

// The SRT document: after `leadInText` seconds of nothing, one cue per row in
// list order, each shown for its own number of seconds.
Bytes BuildSrtDocument(std::string_view leadInText, std::span<const AdLine> rows);

// The script header with its fourteen style placeholders filled in.
Bytes FillSsaHeader(const SsaStyle& style);

// The whole SSA document: header, an empty line, one event line per row.
Bytes BuildSsaDocument(const SsaStyle& style, std::string_view leadInText,
                       std::span<const AdLine> rows);

}  // namespace varnel
