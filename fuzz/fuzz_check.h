// What the fuzz targets share: a check that stops the run with a message,
// which libFuzzer then reports with the input that broke it, and readers of
// the time texts that the documents hold.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "subtitle/documents.h"

#define VARNEL_CHECK(condition)                                                         \
  do {                                                                                  \
    if (!(condition)) {                                                                 \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

namespace varnel::fuzz {

// Reads `count` decimal digits at `pos` (no sign); advances `pos`.
inline std::optional<int64_t> Digits(std::string_view text, size_t& pos, size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int64_t value = 0;
  for (size_t i = 0; i < count; ++i) {
    char c = text[pos + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return value;
}

// Reads a time "H:MM:SS" at `pos` whose hour field has at least `minHourDigits`
// digits and no more leading zeros than that width needs, with minutes and
// seconds of two digits each below 60. Gives the time in seconds.
inline std::optional<int64_t> ClockTime(std::string_view text, size_t& pos, size_t minHourDigits) {
  size_t hourDigits = 0;
  while (pos + hourDigits < text.size() && text[pos + hourDigits] >= '0' && text[pos + hourDigits] <= '9') {
    ++hourDigits;
  }
  if (hourDigits < minHourDigits || hourDigits > 10) return std::nullopt;
  if (hourDigits > minHourDigits && text[pos] == '0') return std::nullopt;
  std::optional<int64_t> hours = Digits(text, pos, hourDigits);
  if (!hours || pos >= text.size() || text[pos++] != ':') return std::nullopt;
  std::optional<int64_t> minutes = Digits(text, pos, 2);
  if (!minutes || *minutes > 59 || pos >= text.size() || text[pos++] != ':') return std::nullopt;
  std::optional<int64_t> seconds = Digits(text, pos, 2);
  if (!seconds || *seconds > 59) return std::nullopt;
  return *hours * 3600 + *minutes * 60 + *seconds;
}

// Takes `expected` at `pos`; false when the text holds something else there.
inline bool Take(std::string_view text, size_t& pos, std::string_view expected) {
  if (text.substr(pos, expected.size()) != expected) return false;
  pos += expected.size();
  return true;
}

// A time of the documents: a time before the start of the movie is written as zero.
inline int64_t Shown(int32_t t) { return t < 0 ? 0 : t; }

// A time plus a duration, wrapping in 32 bits as the documents' times do.
inline int32_t Wrapped(int32_t time, int32_t duration) {
  return static_cast<int32_t>(static_cast<uint32_t>(time) + static_cast<uint32_t>(duration));
}

// A style of arbitrary texts and numbers.
inline SsaStyle ConsumeStyle(FuzzedDataProvider& input) {
  SsaStyle style;
  style.Fontname = input.ConsumeRandomLengthString(16);
  style.Fontsize = input.ConsumeRandomLengthString(8);
  style.PrimaryColour = input.ConsumeIntegral<int32_t>();
  style.SecondaryColour = input.ConsumeIntegral<int32_t>();
  style.TertiaryColour = input.ConsumeIntegral<int32_t>();
  style.BackColour = input.ConsumeIntegral<int32_t>();
  style.BorderStyle = input.ConsumeIntegral<int32_t>();
  style.Outline = input.ConsumeIntegral<int32_t>();
  style.Alignment = input.ConsumeIntegral<int32_t>();
  style.MarginL = input.ConsumeRandomLengthString(8);
  style.MarginR = input.ConsumeRandomLengthString(8);
  style.MarginV = input.ConsumeRandomLengthString(8);
  style.AlphaLevel = input.ConsumeRandomLengthString(8);
  style.Encoding = input.ConsumeIntegral<int32_t>();
  return style;
}

}  // namespace varnel::fuzz
