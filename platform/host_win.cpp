// File system host on Windows. Every path is UTF-16 and goes to the wide (W)
// functions in the long form, so names outside the system code page are found
// and written, folders deeper than 260 characters are walked, and a name is
// never read as a device (NUL, CON) or cut at a trailing dot.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "platform/encoding.h"
#include "platform/host.h"
#include "platform/long_path_win.h"
#include "platform/window_messages_win.h"

namespace varnel {

namespace {

bool Fail(FailureReason* whyNot, const char* reason) {
  if (whyNot) *whyNot = reason;
  return false;
}

// The system's wording of a Win32 error code.
bool FailWithError(FailureReason* whyNot, DWORD error) {
  if (!whyNot) return false;
  wchar_t* message = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  NativeText text(message ? message : L"", length);
  LocalFree(message);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  *whyNot = text.empty() ? "error " + std::to_string(error) : Utf8FromNative(text);
  return false;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Symbolic links, junctions and every other reparse point that stands for
// another name; the rest (cloud placeholders, deduplicated files) are ordinary
// files and folders to the user. A reparse point without a kind is a link
// too: Wine shows a symbolic link of the Unix file system that way.
bool IsLink(const WIN32_FIND_DATAW& data) {
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  const DWORD tag = data.dwReserved0;
  return tag == 0 || IsReparseTagNameSurrogate(tag);
}

class WinFolderListing : public FolderListing {
 public:
  // `find` is INVALID_HANDLE_VALUE for a folder without entries.
  WinFolderListing(HANDLE find, const WIN32_FIND_DATAW& first) : find_(find), data_(first) {}
  ~WinFolderListing() override { Close(); }

  bool Next(FolderEntry& entry) override {
    if (find_ == INVALID_HANDLE_VALUE) return false;
    if (!firstPending_ && !FindNextFileW(find_, &data_)) {
      Close();
      return false;
    }
    firstPending_ = false;
    entry.name = data_.cFileName;
    entry.isFolder = (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isLink = IsLink(data_);
    return true;
  }

 private:
  void Close() {
    if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    find_ = INVALID_HANDLE_VALUE;
  }
  HANDLE find_;
  WIN32_FIND_DATAW data_;
  bool firstPending_ = true;
};

bool WriteAll(HANDLE file, std::string_view bytes, FailureReason* whyNot) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return FailWithError(whyNot, GetLastError());
    bytes.remove_prefix(written);
  }
  return true;
}

// Writes and closes `file`; on any failure deletes `path`, the file just made.
bool FinishNewFile(HANDLE file, const NativeText& path, std::string_view bytes, FailureReason* whyNot) {
  bool ok = WriteAll(file, bytes, whyNot);
  if (!CloseHandle(file) && ok) ok = FailWithError(whyNot, GetLastError());
  if (!ok) DeleteFileW(path.c_str());
  return ok;
}

NativeText FolderOf(const NativeText& path) {
  size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

// A name of our own beside the target, for the finished copy.
NativeText TemporaryNameBeside(const NativeText& path) {
  static std::atomic<unsigned> counter{0};
  wchar_t suffix[48];
  wsprintfW(suffix, L".varnel-%lx-%x.tmp", GetCurrentProcessId(), counter++);
  return FolderOf(path) + suffix;
}

// Replaces an existing plain file with a finished copy written beside it, so
// that a failure leaves the old file exactly as it was.
bool ReplaceExistingFile(const NativeText& path, std::string_view bytes, FailureReason* whyNot) {
  // A file open in another program (a player showing it, an editor) is left
  // alone: an exclusive open fails with a sharing violation then.
  HANDLE probe = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
      return Fail(whyNot, "the file is open in another program");
    }
    return FailWithError(whyNot, error);
  }
  CloseHandle(probe);

  NativeText temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 8 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = TemporaryNameBeside(path);
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return FailWithError(whyNot, GetLastError());
  if (!FinishNewFile(file, temporary, bytes, whyNot)) return false;

  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
      return Fail(whyNot, "the file is open in another program");
    }
    return FailWithError(whyNot, error);
  }
  return true;
}

}  // namespace

std::unique_ptr<FolderListing> OpenFolderListing(const NativeText& folder, FailureReason* whyNot) {
  NativeText pattern = folder;
  if (!pattern.empty() && !IsSeparator(pattern.back())) pattern += L'\\';
  pattern += L'*';
  pattern = LongPathForm(pattern);
  if (pattern.empty()) {
    FailWithError(whyNot, GetLastError());
    return nullptr;
  }
  WIN32_FIND_DATAW first{};
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    // The root of an empty drive has no entries at all, not even "." and "..".
    if (error != ERROR_FILE_NOT_FOUND) {
      FailWithError(whyNot, error);
      return nullptr;
    }
  }
  return std::make_unique<WinFolderListing>(find, first);
}

bool WriteWholeFile(const NativeText& givenPath, std::string_view bytes, FailureReason* whyNot) {
  if (givenPath.empty()) return Fail(whyNot, "empty path");
  const NativeText path = LongPathForm(givenPath);
  if (path.empty()) return FailWithError(whyNot, GetLastError());
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(whyNot, "a folder of that name exists");
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Fail(whyNot, "a link of that name exists");
      // Checked here rather than left to the system: Wine lets an
      // administrator replace such files, and the rule should not depend on
      // who runs the program.
      if (attributes & FILE_ATTRIBUTE_READONLY) return Fail(whyNot, "the existing file is read-only");
      if (attributes & FILE_ATTRIBUTE_HIDDEN) return Fail(whyNot, "the existing file is hidden");
      if (attributes & FILE_ATTRIBUTE_SYSTEM) return Fail(whyNot, "the existing file is a system file");
      return ReplaceExistingFile(path, bytes, whyNot);
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return FailWithError(whyNot, error);

    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return FinishNewFile(file, path, bytes, whyNot);
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return FailWithError(whyNot, error);
    // Made by someone else in the meantime: treat it like any existing file.
  }
  return Fail(whyNot, "the file keeps changing");
}

bool PathExists(const NativeText& path) {
  const NativeText longPath = LongPathForm(path);
  return !longPath.empty() && GetFileAttributesW(longPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<NativeText> ListFixedDrives() {
  std::vector<NativeText> drives;
  DWORD present = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(present & (1u << i))) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + i);
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    if (GetDriveTypeW(root) == DRIVE_FIXED) drives.push_back({letter, L':'});
  }
  return drives;
}

void ProcessPendingEvents() { DispatchPendingMessages(); }

}  // namespace varnel
