// Folder trees made to be hostile, pictures of what they hold, and a run of
// the real varnel-stamp program over them.
//
// Every tree lives in a folder of its own under the system's temporary
// folder: "tree/" is what is walked, "outside/" sits beside it (links point
// there; nothing may change in it) and "cwd/" is the folder the program runs
// in. Everything here works through folder descriptors, so trees deeper than
// PATH_MAX are made, read and removed like any other.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace varnel::testing {

struct TreeEntry {
  char kind = '?';      // 'f' file, 'd' folder, 'l' symbolic link, 'o' other
  std::string content;  // a file's bytes, a link's target
  mode_t mode = 0;
  bool operator==(const TreeEntry&) const = default;
};

// Every entry below a folder by its path relative to it ("a/b/" for a folder),
// links not followed.
using TreePicture = std::map<std::string, TreeEntry>;
TreePicture PictureOf(const std::string& folder);

class HostileTree {
 public:
  HostileTree();
  ~HostileTree();
  HostileTree(const HostileTree&) = delete;
  HostileTree& operator=(const HostileTree&) = delete;

  // The folder holding tree/, outside/ and cwd/, ending in "/".
  const std::string& top() const { return top_; }
  // The walked tree, ending in "/".
  std::string root() const { return top_ + "tree/"; }

  // Each takes a path relative to tree/ ("../outside/x" reaches beside it)
  // of any length, making the folders on the way.
  void AddFile(const std::string& relative, const std::string& content);
  void AddFolder(const std::string& relative);
  void AddLink(const std::string& relative, const std::string& target);
  void Remove(const std::string& relative);  // a file, or a folder with all it holds
  // chmod and chown of one entry, and chown of everything below the top.
  void SetMode(const std::string& relative, mode_t mode);
  void GiveEverythingTo(uid_t uid, gid_t gid);

  // The whole top: tree/, outside/ and cwd/.
  TreePicture Picture() const { return PictureOf(top_); }

 private:
  std::string top_;
};

// What a run did to a tree, from the pictures before and after it.
struct TreeChanges {
  int created = 0;   // new subtitle files
  int replaced = 0;  // existing subtitle files that now hold the document
  std::vector<std::string> problems;  // anything else that changed
};

// Allowed: new files and replaced files under tree/ whose names end in
// ".SRT" or ".SSA" and which hold exactly `document`, and the changes named
// in `removedOnPurpose` (paths relative to the top that the test removed).
// Anything else is a problem: a movie or any other file changed, a partial
// or temporary file, an entry outside tree/ made or changed.
TreeChanges CompareRun(const TreePicture& before, const TreePicture& after, const std::string& document,
                       const std::vector<std::string>& removedOnPurpose = {});

struct ProgramRun {
  int status = -1;  // exit status, or 128 + signal
  std::string out;
  std::string err;
  // The numbers of the last line, "written: W, skipped: S, failed: F"; -1 when
  // the line is missing.
  int written = -1, skipped = -1, failed = -1;
};

struct RunOptions {
  std::string cwd;          // the folder to run in
  bool asNobody = false;    // drop to uid and gid 65534 first
  long fileSizeLimit = -1;  // RLIMIT_FSIZE in bytes, with SIGXFSZ ignored
};

// Runs `program` (looked up on PATH when it has no "/") with `args`, with
// standard input empty and both outputs caught.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options = {});

// Runs the varnel-stamp program built beside the tests.
ProgramRun RunStampProgram(const std::vector<std::string>& args, const RunOptions& options);

// Lines of `text` that contain `part`.
int CountLinesWith(const std::string& text, const std::string& part);

}  // namespace varnel::testing
