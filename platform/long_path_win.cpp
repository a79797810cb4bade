#include "platform/long_path_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace varnel {

namespace {

constexpr NativeView kLongPrefix = L"\\\\?\\";
constexpr NativeView kLongUncPrefix = L"\\\\?\\UNC\\";

bool IsDriveAbsolute(NativeView path) {
  return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// "C:\" or "\\server\share\" at the start of an absolute path with "\"
// separators: its length, the separator after the share included when there
// is one.
size_t RootLength(NativeView path) {
  if (IsDriveAbsolute(path)) return 3;
  const size_t afterServer = path.find(L'\\', 2);
  if (afterServer == NativeView::npos) return path.size();
  const size_t afterShare = path.find(L'\\', afterServer + 1);
  return afterShare == NativeView::npos ? path.size() : afterShare + 1;
}

// A folder the system gave in either form, in the usual one ("C:\...",
// "\\server\share\...").
NativeText WithoutLongPrefix(NativeText folder) {
  if (folder.starts_with(kLongUncPrefix)) return L"\\\\" + folder.substr(kLongUncPrefix.size());
  if (folder.starts_with(kLongPrefix)) return folder.substr(kLongPrefix.size());
  return folder;
}

NativeText CurrentFolder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  NativeText folder(size, L'\0');
  size = GetCurrentDirectoryW(size, folder.data());
  if (size == 0 || size >= folder.size()) return {};
  folder.resize(size);
  return WithoutLongPrefix(std::move(folder));
}

// The current folder of one drive, which the system keeps for every drive.
NativeText CurrentFolderOfDrive(wchar_t letter) {
  const wchar_t drive[] = {letter, L':', L'\0'};
  DWORD size = GetFullPathNameW(drive, 0, nullptr, nullptr);
  if (size == 0) return {};
  NativeText folder(size, L'\0');
  size = GetFullPathNameW(drive, size, folder.data(), nullptr);
  if (size == 0 || size >= folder.size()) return {};
  folder.resize(size);
  return WithoutLongPrefix(std::move(folder));
}

// `path` (with "\" separators) as an absolute path, or empty.
NativeText Absolute(const NativeText& path) {
  if (IsDriveAbsolute(path) || path.starts_with(L"\\\\")) return path;
  if (path.size() >= 2 && path[1] == L':') {
    NativeText folder = CurrentFolderOfDrive(path[0]);
    return folder.empty() ? folder : folder + L'\\' + path.substr(2);
  }
  NativeText current = CurrentFolder();
  if (current.empty()) return current;
  if (path.starts_with(L'\\')) return current.substr(0, RootLength(current)) + path;
  return current + L'\\' + path;
}

}  // namespace

NativeText LongPathForm(NativeView path) {
  if (path.empty()) return {};
  if (path.starts_with(kLongPrefix) || path.starts_with(L"\\\\.\\") || path.starts_with(L"\\??\\")) {
    return NativeText(path);
  }
  NativeText slashed(path);
  std::replace(slashed.begin(), slashed.end(), L'/', L'\\');
  const NativeText full = Absolute(slashed);
  if (full.empty()) return full;

  const size_t rootLength = RootLength(full);
  NativeText root = full.substr(0, rootLength);
  if (!root.ends_with(L'\\')) root += L'\\';
  std::vector<NativeView> segments;
  const NativeView rest = NativeView(full).substr(rootLength);
  for (size_t start = 0; start <= rest.size();) {
    size_t end = rest.find(L'\\', start);
    if (end == NativeView::npos) end = rest.size();
    const NativeView segment = rest.substr(start, end - start);
    if (segment == L"..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != L".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }

  NativeText result =
      IsDriveAbsolute(root) ? NativeText(kLongPrefix) + root : NativeText(kLongUncPrefix) + root.substr(2);
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) result += L'\\';
    result += segments[i];
  }
  // A folder given with its closing separator keeps it.
  if (!segments.empty() && full.ends_with(L'\\')) result += L'\\';
  return result;
}

}  // namespace varnel
