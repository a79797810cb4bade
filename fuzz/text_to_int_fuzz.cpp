// TextToInt on arbitrary bytes.
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_check.h"
#include "subtitle/timing.h"

using varnel::TextToInt;

namespace {

// The code page 936 full-width twin of ASCII text: "!" to "~" become A3 A1 to
// A3 FE and the blank the ideographic space A1 A1; other bytes stay.
std::string FullWidth(std::string_view ascii) {
  std::string wide;
  for (char c : ascii) {
    if (c >= '!' && c <= '~') {
      wide += '\xA3';
      wide += static_cast<char>(c + 0x80);
    } else if (c == ' ') {
      wide += "\xA1\xA1";
    } else {
      wide += c;
    }
  }
  return wide;
}

// How many digits the number at the start of ASCII text has (after blanks and a sign).
size_t NumberDigits(const std::string& text) {
  size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) return 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  size_t digits = 0;
  while (i + digits < text.size() && text[i + digits] >= '0' && text[i + digits] <= '9') ++digits;
  return digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int32_t value = TextToInt(text);

  // Blanks in front, ASCII or ideographic, change nothing; nor does anything
  // after the number: ";" cannot continue it, whatever the text ends with.
  VARNEL_CHECK(TextToInt(" " + text) == value);
  VARNEL_CHECK(TextToInt("\xA1\xA1" + text) == value);
  VARNEL_CHECK(TextToInt(text + ";") == value);

  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    // The C library reads the same number (up to the first NUL, as TextToInt
    // stops there too), modulo 2^32, as long as its digits fit in 64 bits.
    const std::string upToNul = text.c_str();
    if (NumberDigits(upToNul) <= 18) {
      long long expected = std::strtoll(upToNul.c_str(), nullptr, 10);
      VARNEL_CHECK(static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long long>(expected))) == value);
    }
    // Full-width digits, signs and blanks count as their ASCII twins.
    VARNEL_CHECK(TextToInt(FullWidth(text)) == value);
  }
  return 0;
}
