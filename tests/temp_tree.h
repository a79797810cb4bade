// A folder tree of a test's own under the system's temporary folder, removed
// when the test ends. Tests never walk anything outside such a tree.
#pragma once

#include <string>

namespace varnel::testing {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root, ending in "/".
  const std::string& root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + relative; }

  // Creates a file (and its folders) with the given content; returns its path.
  std::string AddFile(const std::string& relative, const std::string& content = "");
  std::string AddFolder(const std::string& relative);
  bool Exists(const std::string& relative) const;
  std::string Read(const std::string& relative) const;
  // Every file and folder below the root with its content ("" for folders,
  // which end in "/"), one per line, sorted: a picture of the whole tree.
  std::string Snapshot() const;

 private:
  std::string root_;
};

}  // namespace varnel::testing
