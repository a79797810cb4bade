#include "screenshot.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace varnel::testing {

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  PutBigEndian(out, Crc32(typed.data(), typed.size()));
}

// A PNG of 8-bit RGB rows, the image data in stored (uncompressed) deflate
// blocks: larger than a compressed one, but needs no library.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgbRows) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter choice, no interlace
  PutChunk(png, "IHDR", header);

  std::vector<uint8_t> raw;  // each row starts with its filter type, 0
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgbRows.begin() + static_cast<ptrdiff_t>(y * rowBytes),
               rgbRows.begin() + static_cast<ptrdiff_t>((y + 1) * rowBytes));
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t size = std::min<size_t>(65535, raw.size() - at);
    zlib.push_back(at + size == raw.size() ? 1 : 0);  // the last block says so
    zlib.insert(zlib.end(), {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                             static_cast<uint8_t>(~size), static_cast<uint8_t>(~size >> 8)});
    zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(at),
                raw.begin() + static_cast<ptrdiff_t>(at + size));
    at += size;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(zlib, (b << 16) | a);
  PutChunk(png, "IDAT", zlib);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace

std::wstring ScreenshotFolder() {
  wchar_t program[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path(program, length);
  for (int up = 0; up < 2; ++up) path.erase(path.find_last_of(L'\\'));  // the program, then bin
  path += L"\\screenshots";
  CreateDirectoryW(path.c_str(), nullptr);
  return path;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  RECT frame;
  if (!GetWindowRect(window, &frame)) return false;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> bgrx(static_cast<size_t>(width) * height * 4);
  const int rows = GetDIBits(memory, bitmap, 0, height, bgrx.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != height) return false;

  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < bgrx.size(); i += 4) rgb.insert(rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
  const std::vector<uint8_t> png = EncodePng(width, height, rgb);

  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) return false;
  const bool ok = fwrite(png.data(), 1, png.size(), file) == png.size();
  return fclose(file) == 0 && ok;
}

}  // namespace varnel::testing
