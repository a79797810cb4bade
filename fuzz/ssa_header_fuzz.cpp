// FillSsaHeader with arbitrary style values.
#include <string>

#include "fuzz/fuzz_check.h"
#include "subtitle/documents.h"

using varnel::SsaStyle;

namespace {

// The header up to its first placeholder, and after its last one.
constexpr std::string_view kBeforeStyle =
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
    "Style: New Style,";
constexpr std::string_view kAfterStyle = "\r\n\r\n[Events] \r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const SsaStyle style = varnel::fuzz::ConsumeStyle(input);
  const std::string header = varnel::FillSsaHeader(style);

  // Values only ever go into the style line.
  VARNEL_CHECK(header.size() >= kBeforeStyle.size() + kAfterStyle.size());
  VARNEL_CHECK(header.compare(0, kBeforeStyle.size(), kBeforeStyle) == 0);
  VARNEL_CHECK(header.compare(header.size() - kAfterStyle.size(), kAfterStyle.size(), kAfterStyle) == 0);

  // Values that hold no "[" cannot bring in a placeholder: each lands in its
  // own field, unchanged, and numbers are plain decimal.
  bool bracket = false;
  for (const std::string* text : {&style.Fontname, &style.Fontsize, &style.MarginL, &style.MarginR,
                                  &style.MarginV, &style.AlphaLevel}) {
    bracket = bracket || text->find('[') != std::string::npos;
  }
  if (!bracket) {
    using std::to_string;
    const std::string line = style.Fontname + "," + style.Fontsize + "," + to_string(style.PrimaryColour) + "," +
                             to_string(style.SecondaryColour) + "," + to_string(style.TertiaryColour) + "," +
                             to_string(style.BackColour) + ",0,0," + to_string(style.BorderStyle) + "," +
                             to_string(style.Outline) + ",2," + to_string(style.Alignment) + "," + style.MarginL +
                             "," + style.MarginR + "," + style.MarginV + "," + style.AlphaLevel + "," +
                             to_string(style.Encoding);
    VARNEL_CHECK(header == std::string(kBeforeStyle) + line + std::string(kAfterStyle));
  }
  return 0;
}
