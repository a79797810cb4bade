#include "temp_folder.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

namespace varnel::testing {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(LongForm(folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + name;
      SetFileAttributesW(LongForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
      // Links are removed, never followed.
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(path + L"\\");
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(LongForm(path).c_str());
      } else {
        DeleteFileW(LongForm(path).c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(LongForm(folder).c_str());
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

namespace {

void Collect(const std::wstring& root, const std::wstring& relative, std::vector<std::string>& lines) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(LongForm(root + relative + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      lines.push_back(Utf8(relative + name + L"\\"));
      // A link to a folder is shown, never entered.
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Collect(root, relative + name + L"\\", lines);
    } else {
      lines.push_back(Utf8(relative + name) + " = " + ReadFileBytes(root + relative + name).value_or(""));
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

}  // namespace

std::wstring LongForm(std::wstring_view path) {
  if (path.starts_with(L"\\\\?\\")) return std::wstring(path);
  if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
  return L"\\\\?\\" + std::wstring(path);
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                      nullptr);
  return utf8;
}

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  wchar_t temp[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[64];
    wsprintfW(name, L"varnel-test-%lx-%x-%x\\", GetCurrentProcessId(), GetTickCount(), counter++);
    root_ = std::wstring(temp) + name;
    if (CreateDirectoryW(root_.c_str(), nullptr)) return;
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(root_); }

std::wstring TempFolder::AddFolder(std::wstring_view relative) {
  std::wstring path = root_;
  for (wchar_t c : relative) {
    if (c == L'\\') CreateDirectoryW(LongForm(path).c_str(), nullptr);
    path += c;
  }
  CreateDirectoryW(LongForm(path).c_str(), nullptr);
  return path;
}

std::wstring TempFolder::AddFile(std::wstring_view relative, std::string_view bytes) {
  size_t slash = relative.rfind(L'\\');
  if (slash != std::wstring_view::npos) AddFolder(relative.substr(0, slash));
  std::wstring path = Path(relative);
  HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot make a test file");
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

bool TempFolder::Exists(std::wstring_view relative) const {
  return GetFileAttributesW(LongForm(Path(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempFolder::Read(std::wstring_view relative) const { return ReadFileBytes(Path(relative)).value_or(""); }

std::string TempFolder::Snapshot() const {
  std::vector<std::string> lines;
  Collect(root_, L"", lines);
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace varnel::testing
