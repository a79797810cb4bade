#include "hostile_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <utility>

#ifndef VARNEL_STAMP_PROGRAM
#error "VARNEL_STAMP_PROGRAM must name the varnel-stamp program"
#endif

namespace varnel::testing {

namespace {

[[noreturn]] void Throw(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
  return bytes;
}

void PictureFolder(int folder, const std::string& prefix, TreePicture& picture) {
  int listFd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
  if (!dir) Throw("cannot list " + prefix);
  while (const dirent* found = readdir(dir)) {
    std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) Throw("cannot stat " + prefix + name);
    TreeEntry entry;
    entry.mode = info.st_mode & 07777;
    if (S_ISDIR(info.st_mode)) {
      entry.kind = 'd';
      picture[prefix + name + "/"] = entry;
      Fd sub(openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (sub.get() < 0) Throw("cannot open " + prefix + name);
      PictureFolder(sub.get(), prefix + name + "/", picture);
    } else if (S_ISREG(info.st_mode)) {
      entry.kind = 'f';
      Fd file(openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
      if (file.get() < 0) Throw("cannot read " + prefix + name);
      entry.content = ReadAll(file.get());
      picture[prefix + name] = entry;
    } else if (S_ISLNK(info.st_mode)) {
      entry.kind = 'l';
      std::string target(4096, '\0');
      ssize_t n = readlinkat(folder, name.c_str(), target.data(), target.size());
      if (n < 0) Throw("cannot read link " + prefix + name);
      entry.content = target.substr(0, static_cast<size_t>(n));
      picture[prefix + name] = entry;
    } else {
      entry.kind = 'o';
      picture[prefix + name] = entry;
    }
  }
  closedir(dir);
}

// Removes everything in `folder`, giving folders their permissions back first.
void EmptyFolder(int folder) {
  int listFd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
  if (!dir) return;
  std::vector<std::pair<std::string, bool>> entries;
  while (const dirent* found = readdir(dir)) {
    std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    bool isFolder = fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    entries.emplace_back(name, isFolder);
  }
  closedir(dir);
  for (const auto& [name, isFolder] : entries) {
    if (isFolder) {
      fchmodat(folder, name.c_str(), 0700, 0);
      Fd sub(openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (sub.get() >= 0) EmptyFolder(sub.get());
    }
    unlinkat(folder, name.c_str(), isFolder ? AT_REMOVEDIR : 0);
  }
}

void ChownFolder(int folder, uid_t uid, gid_t gid) {
  int listFd = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
  if (!dir) Throw("cannot list for chown");
  while (const dirent* found = readdir(dir)) {
    std::string name = found->d_name;
    if (name == "." || name == "..") continue;
    if (fchownat(folder, name.c_str(), uid, gid, AT_SYMLINK_NOFOLLOW) != 0) Throw("chown " + name);
    struct stat info;
    if (fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode)) {
      Fd sub(openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
      if (sub.get() < 0) Throw("cannot open " + name);
      ChownFolder(sub.get(), uid, gid);
    }
  }
  closedir(dir);
}

// The folder that holds `relative` (below `start`), made where missing, and
// the last name of the path.
Fd OpenParent(const std::string& start, const std::string& relative, std::string& name, bool make) {
  Fd folder(open(start.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() < 0) Throw("cannot open " + start);
  size_t from = 0;
  for (size_t slash; (slash = relative.find('/', from)) != std::string::npos; from = slash + 1) {
    std::string part = relative.substr(from, slash - from);
    if (part.empty()) continue;
    if (make && mkdirat(folder.get(), part.c_str(), 0755) != 0 && errno != EEXIST) Throw("cannot make " + part);
    Fd next(openat(folder.get(), part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (next.get() < 0) Throw("cannot open " + part);
    folder = std::move(next);
  }
  name = relative.substr(from);
  return folder;
}

bool IsSubtitleName(const std::string& path) {
  return path.size() >= 4 && (path.compare(path.size() - 4, 4, ".SRT") == 0 ||
                              path.compare(path.size() - 4, 4, ".SSA") == 0);
}

}  // namespace

TreePicture PictureOf(const std::string& folder) {
  TreePicture picture;
  Fd fd(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) Throw("cannot open " + folder);
  PictureFolder(fd.get(), "", picture);
  return picture;
}

HostileTree::HostileTree() {
  std::string pattern = (std::filesystem::temp_directory_path() / "varnel-hostile-XXXXXX").string();
  if (!mkdtemp(pattern.data())) Throw("mkdtemp");
  top_ = pattern + "/";
  for (const char* folder : {"tree", "outside", "cwd"}) {
    if (mkdir((top_ + folder).c_str(), 0755) != 0) Throw("mkdir");
  }
}

HostileTree::~HostileTree() {
  Fd fd(open(top_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) EmptyFolder(fd.get());
  rmdir(top_.c_str());
}

void HostileTree::AddFile(const std::string& relative, const std::string& content) {
  std::string name;
  Fd folder = OpenParent(root(), relative, name, true);
  Fd file(openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (file.get() < 0 || write(file.get(), content.data(), content.size()) != static_cast<ssize_t>(content.size())) {
    Throw("cannot write " + name);
  }
}

void HostileTree::AddFolder(const std::string& relative) {
  std::string name;
  Fd folder = OpenParent(root(), relative, name, true);
  if (!name.empty() && mkdirat(folder.get(), name.c_str(), 0755) != 0 && errno != EEXIST) Throw("mkdir " + name);
}

void HostileTree::AddLink(const std::string& relative, const std::string& target) {
  std::string name;
  Fd folder = OpenParent(root(), relative, name, true);
  if (symlinkat(target.c_str(), folder.get(), name.c_str()) != 0) Throw("symlink " + name);
}

void HostileTree::Remove(const std::string& relative) {
  std::string name;
  Fd folder = OpenParent(root(), relative, name, false);
  struct stat info;
  if (fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (S_ISDIR(info.st_mode)) {
    Fd sub(openat(folder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (sub.get() >= 0) EmptyFolder(sub.get());
  }
  unlinkat(folder.get(), name.c_str(), S_ISDIR(info.st_mode) ? AT_REMOVEDIR : 0);
}

void HostileTree::SetMode(const std::string& relative, mode_t mode) {
  std::string name;
  Fd folder = OpenParent(root(), relative, name, false);
  if (fchmodat(folder.get(), name.empty() ? "." : name.c_str(), mode, 0) != 0) Throw("chmod " + relative);
}

void HostileTree::GiveEverythingTo(uid_t uid, gid_t gid) {
  Fd top(open(top_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (top.get() < 0 || fchown(top.get(), uid, gid) != 0) Throw("chown " + top_);
  ChownFolder(top.get(), uid, gid);
}

TreeChanges CompareRun(const TreePicture& before, const TreePicture& after, const std::string& document,
                       const std::vector<std::string>& removedOnPurpose) {
  TreeChanges changes;
  auto removed = [&](const std::string& path) {
    for (const std::string& gone : removedOnPurpose) {
      if (path.compare(0, gone.size(), gone) == 0) return true;
    }
    return false;
  };
  for (const auto& [path, entry] : before) {
    auto now = after.find(path);
    if (now == after.end()) {
      if (!removed(path)) changes.problems.push_back("gone: " + path);
    } else if (now->second != entry) {
      bool isReplacedSubtitle = path.rfind("tree/", 0) == 0 && IsSubtitleName(path) && entry.kind == 'f' &&
                                now->second.kind == 'f' && now->second.content == document &&
                                now->second.mode == entry.mode;
      if (isReplacedSubtitle) {
        ++changes.replaced;
      } else {
        changes.problems.push_back("changed: " + path);
      }
    }
  }
  for (const auto& [path, entry] : after) {
    if (before.count(path)) continue;
    bool isNewSubtitle = path.rfind("tree/", 0) == 0 && IsSubtitleName(path) && entry.kind == 'f' &&
                         entry.content == document;
    if (isNewSubtitle) {
      ++changes.created;
    } else {
      changes.problems.push_back("new: " + path + (entry.kind == 'f' ? " (" + std::to_string(entry.content.size()) +
                                                                           " bytes)"
                                                                     : ""));
    }
  }
  return changes;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const RunOptions& options) {
  Fd out(memfd_create("varnel-out", MFD_CLOEXEC));
  Fd err(memfd_create("varnel-err", MFD_CLOEXEC));
  if (out.get() < 0 || err.get() < 0) Throw("memfd_create");
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child < 0) Throw("fork");
  if (child == 0) {
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull < 0 || dup2(devNull, 0) < 0 || dup2(out.get(), 1) < 0 || dup2(err.get(), 2) < 0) _exit(125);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(125);
    if (options.asNobody && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
    if (options.fileSizeLimit >= 0) {
      signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec: the write fails with EFBIG instead
      rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
    }
    execvp(argv[0], argv.data());
    _exit(126);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  ProgramRun run;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  lseek(out.get(), 0, SEEK_SET);
  lseek(err.get(), 0, SEEK_SET);
  run.out = ReadAll(out.get());
  run.err = ReadAll(err.get());
  return run;
}

ProgramRun RunStampProgram(const std::vector<std::string>& args, const RunOptions& options) {
  ProgramRun run = RunProgram(VARNEL_STAMP_PROGRAM, args, options);
  size_t lastLine = run.out.rfind('\n', run.out.size() >= 2 ? run.out.size() - 2 : 0);
  std::string last = run.out.substr(lastLine == std::string::npos ? 0 : lastLine + 1);
  if (std::sscanf(last.c_str(), "written: %d, skipped: %d, failed: %d\n", &run.written, &run.skipped,
                  &run.failed) != 3) {
    run.written = run.skipped = run.failed = -1;
  }
  return run;
}

int CountLinesWith(const std::string& text, const std::string& part) {
  int count = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (text.substr(start, end - start).find(part) != std::string::npos) ++count;
    start = end + 1;
  }
  return count;
}

}  // namespace varnel::testing
