#include "subtitle/text.h"

namespace varnel {

std::string DecimalText(int32_t value) {
  return std::to_string(value);
}

Bytes ReplaceEvery(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return Bytes(text);
  Bytes result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, from.size(), from) == 0) {
      result += to;
      i += from.size();
      continue;
    }
    // A lead byte takes its trail byte with it (a lone lead byte at the very
    // end is copied alone).
    size_t step = static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() ? 2 : 1;
    result.append(text.substr(i, step));
    i += step;
  }
  return result;
}

}  // namespace varnel
