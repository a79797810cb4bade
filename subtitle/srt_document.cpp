#include "subtitle/documents.h"
#include "subtitle/timing.h"

namespace varnel {

Bytes BuildSrtDocument(std::string_view leadInText, std::span<const AdLine> rows) {
  Bytes document;
  int32_t start = TextToInt(leadInText);
  int32_t number = 0;
  for (const AdLine& row : rows) {
    int32_t end = AddSeconds(start, TextToInt(row.displayTime));
    // The usual SRT cue: number, time line, text, then one empty line.
    document += DecimalText(++number);
    document += "\r\n";
    document += SrtTimeText(start);
    document += " --> ";
    document += SrtTimeText(end);
    document += "\r\n";
    document += row.text;
    document += "\r\n\r\n";
    start = end;
  }
  return document;
}

}  // namespace varnel
