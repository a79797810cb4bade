// Conversions between UTF-8 (command lines, files of lines), the platform's
// native texts and the code pages a subtitle document can be written in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "batch/native_text.h"
#include "subtitle/text.h"

namespace varnel {

// UTF-8 text as code page 936 (GBK) bytes, or nothing when some character has
// no place in that code page. The input must be valid UTF-8.
std::optional<Bytes> Utf8ToCodePage936(std::string_view utf8);

// Native text from UTF-8 and back. On POSIX both are the bytes unchanged.
NativeText NativeFromUtf8(std::string_view utf8);
std::string Utf8FromNative(NativeView text);

}  // namespace varnel
