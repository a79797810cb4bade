// Folder trees made to be hostile to the Windows host and varnel-stamp.exe,
// pictures of what they hold, and runs of the real varnel-stamp.exe.
//
// Every tree lives in a temporary folder of its own: "tree\" is what is
// walked, "outside\" sits beside it (links point there; nothing may change in
// it) and "cwd\" is the folder the program runs in. Paths given to the helpers
// are relative to that top folder ("tree\Film.avi", "outside\victim").
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "temp_folder.h"

namespace varnel::testing {

struct TreeEntry {
  char kind = '?';       // 'f' file, 'd' folder, 'l' link to a folder (not followed)
  std::string content;   // a file's bytes
  DWORD attributes = 0;  // its read-only, hidden and system bits
  bool operator==(const TreeEntry&) const = default;
};

// Every entry below a folder by its path relative to it ("a\b\" for a folder).
using TreePicture = std::map<std::wstring, TreeEntry>;

class HostileTree {
 public:
  HostileTree();
  ~HostileTree();
  HostileTree(const HostileTree&) = delete;
  HostileTree& operator=(const HostileTree&) = delete;

  // The top folder, ending in "\".
  const std::wstring& top() const { return top_.root(); }
  // The walked tree, ending in "\".
  std::wstring root() const { return top_.Path(L"tree\\"); }
  std::wstring Path(std::wstring_view relative) const { return top_.Path(relative); }

  // Makes the folders on the way; `attributes` are set once the bytes are in.
  std::wstring AddFile(std::wstring_view relative, std::string_view content, DWORD attributes = 0);
  std::wstring AddFolder(std::wstring_view relative) { return top_.AddFolder(relative); }
  // A file, or a folder with everything in it.
  void Remove(std::wstring_view relative);

  // A symbolic link at `relative` to the folder or file `target`: one of
  // Windows, or under Wine (whose Windows links are not made on disk) one of
  // the Unix file system, which Wine shows as a folder with the reparse-point
  // attribute, or as the file it points to. Returns why not, or the empty text.
  std::string AddLink(std::wstring_view relative, std::wstring_view target);

  TreePicture Picture() const;

 private:
  TempFolder top_;
  // Unix links by their Unix and Windows names, removed from the Unix side at the end.
  std::vector<std::pair<std::string, std::wstring>> unixLinks_;
};

// What a run did to a tree, from the pictures before and after it.
struct TreeChanges {
  int created = 0;                    // new subtitle files
  int replaced = 0;                   // existing subtitle files that now hold the document
  std::vector<std::string> problems;  // anything else that changed
};

// Allowed: subtitle files under tree\ (names ending in ".SRT" or ".SSA")
// that are new or replaced, hold exactly `document` and keep the attributes
// they had (none when new), and the entries named in `removedOnPurpose`
// (paths the test removed; a folder's path ends in "\" and covers all it
// held). Anything else is a problem: a movie or any other file changed, a
// partial or temporary file, an entry outside tree\ made or changed.
TreeChanges CompareRun(const TreePicture& before, const TreePicture& after, const std::string& document,
                       const std::vector<std::wstring>& removedOnPurpose = {});

struct ProgramRun {
  DWORD status = 0xFFFFFFFF;  // exit status
  bool timedOut = false;      // stopped after a minute
  std::string out;
  std::string err;
  // The numbers of the last line, "written: W, skipped: S, failed: F"; -1 when
  // the line is missing.
  int written = -1, skipped = -1, failed = -1;
};

// Runs varnel-stamp.exe, built beside the test program, with `args` in the
// folder `cwd`, standard input empty and both outputs caught; stops it when it
// has not ended after a minute.
ProgramRun RunStampProgram(const std::vector<std::wstring>& args, const std::wstring& cwd);

bool UnderWine();

// Lines of `text` that contain `part`.
int CountLinesWith(const std::string& text, const std::string& part);

}  // namespace varnel::testing
