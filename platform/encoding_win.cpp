#include <windows.h>

#include "platform/encoding.h"

namespace varnel {

namespace {

std::wstring Utf16FromCodePage(UINT codePage, DWORD flags, std::string_view text, bool* ok) {
  *ok = true;
  if (text.empty()) return {};
  int length = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) {
    *ok = false;
    return {};
  }
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

std::optional<Bytes> Utf8ToCodePage936(std::string_view utf8) {
  bool ok;
  std::wstring wide = Utf16FromCodePage(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, &ok);
  if (!ok) return std::nullopt;
  if (wide.empty()) return Bytes();
  BOOL usedDefault = FALSE;
  int length = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                   nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  Bytes bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                      length, nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return bytes;
}

NativeText NativeFromUtf8(std::string_view utf8) {
  bool ok;
  return Utf16FromCodePage(CP_UTF8, 0, utf8, &ok);
}

std::string Utf8FromNative(NativeView text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                      nullptr);
  return utf8;
}

}  // namespace varnel
