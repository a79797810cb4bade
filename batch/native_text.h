// Texts in the platform's native form: UTF-16 on Windows, so that every file
// name works whatever the system code page; bytes (as the file system holds
// them) elsewhere. Paths and the texts shown in the window are native; the
// subtitle document is bytes in the system code page.
#pragma once

#include <string>
#include <string_view>

namespace varnel {

#ifdef _WIN32
using NativeChar = wchar_t;
#define VARNEL_NATIVE(literal) L##literal
inline constexpr NativeChar kPathSeparator = L'\\';
#else
using NativeChar = char;
#define VARNEL_NATIVE(literal) literal
inline constexpr NativeChar kPathSeparator = '/';
#endif

using NativeText = std::basic_string<NativeChar>;
using NativeView = std::basic_string_view<NativeChar>;

// Decimal text of a number in native characters.
NativeText NativeDecimal(long long value);

}  // namespace varnel
