// Numbers typed by the user, and the clock texts of cue times.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

// The one rule by which a typed text becomes a number: full-width forms of
// code page 936 count as their ASCII twins, leading white space is skipped,
// one sign, then decimal digits up to the first other character. No digits
// give 0; the value wraps around in 32 bits. Never fails.
int32_t TextToInt(std::string_view text);

// A time plus a duration in 32-bit two's complement: a sum past the range wraps.
inline int32_t AddSeconds(int32_t time, int32_t duration) {
  return static_cast<int32_t>(static_cast<uint32_t>(time) + static_cast<uint32_t>(duration));
}

// Minute-within-the-hour and second texts of a time in whole seconds, each
// brought to two characters with a leading "0" (see the .cpp for negatives).
struct ClockFieldTexts {
  std::string minute;
  std::string second;
};
ClockFieldTexts ClockFields(int32_t t);

// "HH:MM:SS,100". Hours keep their value (two digits at least); a time below
// zero is written as zero.
std::string SrtTimeText(int32_t t);

// "H:MM:SS" followed by `fraction` (".01" for a start, ".02" for an end).
// Hours keep their value; a time below zero is written as zero.
std::string SsaTimeText(int32_t t, std::string_view fraction);

}  // namespace varnel
