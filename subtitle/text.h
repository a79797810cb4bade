// Byte-string helpers shared by the subtitle builders.
//
// Every text of a subtitle document is a byte string in the system code page
// (code page 936 on a Simplified Chinese system): a byte of 0x80 or more starts
// a double-byte character. Lengths and cuts count bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

using Bytes = std::string;

// Plain decimal text of a signed 32-bit number: "-" before a negative value,
// no leading zeros, zero as "0".
std::string DecimalText(int32_t value);

// Every occurrence of `from` in `text` replaced by `to`: exact and
// case-sensitive, left to right, no overlaps, and the inserted text is not
// searched again. Double-byte characters are stepped over whole, so an
// occurrence never begins on the second byte of one.
Bytes ReplaceEvery(std::string_view text, std::string_view from, std::string_view to);

}  // namespace varnel
