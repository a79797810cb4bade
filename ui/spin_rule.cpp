#include "ui/spin_rule.h"

namespace varnel::ui {

long long LeadingNumber(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  constexpr long long kCeiling = 1LL << 40;  // far beyond any range, and no overflow
  long long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (value < kCeiling) value = value * 10 + (text[i] - L'0');
  }
  return negative ? -value : value;
}

int SpinStep(std::wstring_view text, bool up, int lowest, int highest) {
  long long value = LeadingNumber(text) + (up ? 1 : -1);
  if (value < lowest || value > highest) return up ? lowest : highest;
  return static_cast<int>(value);
}

}  // namespace varnel::ui
