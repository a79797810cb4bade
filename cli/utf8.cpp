#include "cli/utf8.h"

#include <cstdio>

namespace varnel {

namespace {

char32_t DecodeSequence(std::string_view seq) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(seq[i]); };
  switch (seq.size()) {
    case 1: return byte(0);
    case 2: return ((byte(0) & 0x1Fu) << 6) | (byte(1) & 0x3Fu);
    case 3: return ((byte(0) & 0x0Fu) << 12) | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
    default:
      return ((byte(0) & 0x07u) << 18) | ((byte(1) & 0x3Fu) << 12) | ((byte(2) & 0x3Fu) << 6) |
             (byte(3) & 0x3Fu);
  }
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                  : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  char32_t c = DecodeSequence(text.substr(0, length));
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  while (!text.empty()) {
    size_t length = Utf8SequenceLength(text);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

std::string DescribeCharacter(std::string_view sequence) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(DecodeSequence(sequence)));
  return "'" + std::string(sequence) + "' (" + code + ")";
}

}  // namespace varnel
