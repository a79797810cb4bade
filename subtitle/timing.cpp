#include "subtitle/timing.h"

#include "subtitle/text.h"

namespace varnel {

namespace {

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the character at `i` as code page 936, with full-width forms
// (A3 A1..A3 FE) folded to ASCII and the ideographic space (A1 A1) to a blank.
// Returns the folded byte (or 0x80+ for any other double-byte character) and
// how many bytes it took.
unsigned char FoldedCharAt(std::string_view text, size_t i, size_t& width) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80 || i + 1 >= text.size()) {
    width = 1;
    return lead;
  }
  width = 2;
  unsigned char trail = static_cast<unsigned char>(text[i + 1]);
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<unsigned char>(trail - 0x80);
  if (lead == 0xA1 && trail == 0xA1) return ' ';
  return lead;
}

// Players cannot show a time before the start of the movie: such a time is
// written as zero.
int32_t NonNegative(int32_t t) { return t < 0 ? 0 : t; }

}  // namespace

int32_t TextToInt(std::string_view text) {
  size_t i = 0, width = 1;
  unsigned char c = 0;
  while (i < text.size() && IsBlank(c = FoldedCharAt(text, i, width))) i += width;
  bool negative = false;
  if (i < text.size() && (c == '+' || c == '-')) {
    negative = c == '-';
    i += width;
  }
  uint32_t value = 0;
  while (i < text.size()) {
    c = FoldedCharAt(text, i, width);
    if (c < '0' || c > '9') break;
    value = value * 10u + static_cast<uint32_t>(c - '0');
    i += width;
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

ClockFieldTexts ClockFields(int32_t t) {
  // C++ division truncates toward zero, so remainders take the sign of t.
  int32_t m = (t % 3600) / 60;
  int32_t s = t % 60;
  ClockFieldTexts fields{DecimalText(m), DecimalText(s)};
  // The minute test is on the text's length and the second test on the value:
  // a negative second thus gets a "0" in front ("0-5") while "-5" minutes do not.
  if (fields.minute.size() == 1) fields.minute.insert(0, "0");
  if (s < 10) fields.second.insert(0, "0");
  return fields;
}

std::string SrtTimeText(int32_t t) {
  t = NonNegative(t);
  std::string hours = DecimalText(t / 3600);
  if (hours.size() == 1) hours.insert(0, "0");
  ClockFieldTexts f = ClockFields(t);
  return hours + ":" + f.minute + ":" + f.second + ",100";
}

std::string SsaTimeText(int32_t t, std::string_view fraction) {
  t = NonNegative(t);
  ClockFieldTexts f = ClockFields(t);
  std::string text = DecimalText(t / 3600) + ":" + f.minute + ":" + f.second;
  text += fraction;
  return text;
}

}  // namespace varnel
