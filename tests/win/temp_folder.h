// A folder tree of a test's own under the system's temporary folder, removed
// when the test ends. Tests never walk anything outside such a tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnel::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The root, ending in "\".
  const std::wstring& root() const { return root_; }
  std::wstring Path(std::wstring_view relative) const { return root_ + std::wstring(relative); }

  // Creates a file (and its folders) with the given bytes; returns its path.
  std::wstring AddFile(std::wstring_view relative, std::string_view bytes = "");
  std::wstring AddFolder(std::wstring_view relative);
  bool Exists(std::wstring_view relative) const;
  // The bytes of a file; empty when it cannot be read.
  std::string Read(std::wstring_view relative) const;
  // Every file and folder below the root, one relative path per line, sorted,
  // folders ending in "\", files followed by " = " and their bytes.
  std::string Snapshot() const;

 private:
  std::wstring root_;
};

std::string Utf8(std::wstring_view text);

// An absolute path of the tests' own in the long form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), so that the helpers reach past 260
// characters and make names such as "NUL.avi" or "dir." as they are spelt.
std::wstring LongForm(std::wstring_view path);

// The bytes of any file, shared with other programs as they allow; nothing
// when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

// Removes a folder (ending in "\") and everything in it; a link to a folder
// is never entered.
void RemoveTree(const std::wstring& folder);

}  // namespace varnel::testing
