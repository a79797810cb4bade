#include <iconv.h>

#include <cerrno>

#include "platform/encoding.h"

namespace varnel {

std::optional<Bytes> Utf8ToCodePage936(std::string_view utf8) {
  // glibc knows Microsoft's code page 936 as "CP936" (GBK with the euro sign).
  iconv_t converter = iconv_open("CP936", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) converter = iconv_open("GBK", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;

  std::string input(utf8);
  Bytes output(input.size() * 2 + 4, '\0');  // GBK never takes more bytes than UTF-8
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || result != 0) return std::nullopt;  // untranslatable
  output.resize(output.size() - outLeft);
  return output;
}

NativeText NativeFromUtf8(std::string_view utf8) { return NativeText(utf8); }

std::string Utf8FromNative(NativeView text) { return std::string(text); }

}  // namespace varnel
