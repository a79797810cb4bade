#include "temp_tree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

namespace varnel::testing {

namespace fs = std::filesystem;

TempTree::TempTree() {
  std::string pattern = (fs::temp_directory_path() / "varnel-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern + "/";
}

TempTree::~TempTree() {
  std::error_code ignored;
  // Give every folder its permissions back so the whole tree can go.
  for (auto it = fs::recursive_directory_iterator(root_, fs::directory_options::skip_permission_denied, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(root_, ignored);
}

std::string TempTree::AddFile(const std::string& relative, const std::string& content) {
  std::string path = Path(relative);
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

std::string TempTree::AddFolder(const std::string& relative) {
  fs::create_directories(Path(relative));
  return Path(relative);
}

bool TempTree::Exists(const std::string& relative) const {
  struct stat info;
  return lstat(Path(relative).c_str(), &info) == 0;
}

std::string TempTree::Read(const std::string& relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string TempTree::Snapshot() const {
  std::set<std::string> lines;
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(root_, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    std::string relative = it->path().string().substr(root_.size());
    if (it->is_symlink(ignored)) {
      lines.insert(relative + " -> " + fs::read_symlink(it->path(), ignored).string());
    } else if (it->is_directory(ignored)) {
      lines.insert(relative + "/");
    } else {
      lines.insert(relative + " = " + Read(relative));
    }
  }
  std::string picture;
  for (const std::string& line : lines) picture += line + "\n";
  return picture;
}

}  // namespace varnel::testing
