#include <array>
#include <utility>

#include "subtitle/documents.h"
#include "subtitle/timing.h"

namespace varnel {

namespace {

// The script header. The style format is written over two lines and the style
// line has no blanks after its commas: players have read files of this exact
// shape for years, so it is kept as it is.
constexpr std::string_view kSsaHeaderTemplate =
    "[Script Info] \r\n"
    "ScriptType: v4.00 \r\n"
    "Collisions: Normal \r\n"
    "PlayResY: 480 \r\n"
    "PlayResX: 640 \r\n"
    "PlayDepth: 0 \r\n"
    "Timer: 100.0000 \r\n"
    "\r\n"
    "[v4 Styles] \r\n"
    "Format: Name,Fontname,Fontsize,PrimaryColour,SecondaryColour,TertiaryColour,BackColour,Bold,Italic, \r\n"
    "BorderStyle,Outline,Shadow,Alignment,MarginL,MarginR,MarginV,AlphaLevel,Encoding \r\n"
    "Style: New Style,[ZT],[ZH],[Y1],[Y2],[Y3],[Y4],0,0,[XS],[YY],2,[DQ],[QZ],[QY],[CZ],[TM],[BM]\r\n"
    "\r\n"
    "[Events] \r\n";
static_assert(kSsaHeaderTemplate.size() == 430);

constexpr std::string_view kSsaDialogueTemplate =
    "Dialogue: Marked=0,0:00:00.01,0:00:00.02,New Style,NTP,0000,0000,0000,,";
constexpr std::string_view kStartPlaceholder = "0:00:00.01";
constexpr std::string_view kEndPlaceholder = "0:00:00.02";

}  // namespace

Bytes FillSsaHeader(const SsaStyle& style) {
  // Replaced one after the other, each pass over the whole current text, in
  // the order of the style line.
  const std::array<std::pair<std::string_view, Bytes>, 14> values{{
      {"[ZT]", style.Fontname},
      {"[ZH]", style.Fontsize},
      {"[Y1]", DecimalText(style.PrimaryColour)},
      {"[Y2]", DecimalText(style.SecondaryColour)},
      {"[Y3]", DecimalText(style.TertiaryColour)},
      {"[Y4]", DecimalText(style.BackColour)},
      {"[XS]", DecimalText(style.BorderStyle)},
      {"[YY]", DecimalText(style.Outline)},
      {"[DQ]", DecimalText(style.Alignment)},
      {"[QZ]", style.MarginL},
      {"[QY]", style.MarginR},
      {"[CZ]", style.MarginV},
      {"[TM]", style.AlphaLevel},
      {"[BM]", DecimalText(style.Encoding)},
  }};
  Bytes header(kSsaHeaderTemplate);
  for (const auto& [placeholder, value] : values) header = ReplaceEvery(header, placeholder, value);
  return header;
}

Bytes BuildSsaDocument(const SsaStyle& style, std::string_view leadInText,
                       std::span<const AdLine> rows) {
  Bytes document = FillSsaHeader(style);
  document += "\r\n";
  int32_t start = TextToInt(leadInText);
  for (const AdLine& row : rows) {
    int32_t end = AddSeconds(start, TextToInt(row.displayTime));
    Bytes line = ReplaceEvery(kSsaDialogueTemplate, kStartPlaceholder, SsaTimeText(start, ".01"));
    line = ReplaceEvery(line, kEndPlaceholder, SsaTimeText(end, ".02"));
    // The text goes in after the times, so nothing in it is ever replaced.
    document += line;
    document += row.text;
    document += "\r\n";
    start = end;
  }
  return document;
}

}  // namespace varnel
