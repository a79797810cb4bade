// varnel-bench-tree: the benchmark's trees and its stopwatch.
//
//   varnel-bench-tree make   TREE DIR                builds the tree (deterministic)
//   varnel-bench-tree describe TREE                  "VERSION TREE FOLDERS FILES"
//   varnel-bench-tree reset  TREE DIR TRASH FORMAT fresh|existing
//   varnel-bench-tree check  TREE DIR FORMAT DOCUMENT  every subtitle and nothing else
//   varnel-bench-tree writes TREE                     subtitle writes one run makes
//   varnel-bench-tree time   RESULT -- PROGRAM ARGS...
//
// TREE is small, large or wide. FORMAT is SRT or SSA. `reset` moves every
// subtitle file of both formats into a new folder under TRASH and, for
// "existing", writes an old subtitle file of FORMAT beside every movie, so
// that a run has to replace all of them. Moved, not removed: an ext4 without
// a journal passes over inodes freed in the last minute when it makes a new
// file, so files removed just before a run would slow that run's creations
// by up to ten times, by how many were removed and when, not by who runs.
// `check` walks the whole tree, hidden folders included, and fails unless the
// files are exactly the tree's own (still empty) plus one subtitle file of
// FORMAT per movie base name, each holding the bytes of DOCUMENT. `time` runs
// PROGRAM and writes "WALL_MICROSECONDS PEAK_RSS_KIB EXIT_STATUS CPU_MICROSECONDS"
// to RESULT; the processor time (user and system) counts the program and
// every process it waited for, and is far less moved by other work on the
// machine than the wall time.
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct TreeShape {
  const char* name;
  int folders;   // below the root
  int maxDepth;  // of a folder below the root, the root's children being 1
  int movies;    // files that get a subtitle file
  int others;    // every other file
};

// About 1,000 entries; about 100,000 entries with 10,000 movies in about
// 2,000 folders up to 8 deep; one folder of 50,000 entries.
constexpr TreeShape kShapes[] = {
    {"small", 40, 4, 100, 860},
    {"large", 2000, 8, 10000, 88000},
    {"wide", 0, 0, 5000, 45000},
};

// Raised whenever what `make` builds changes, so that old trees are rebuilt.
constexpr int kTreeVersion = 1;

struct Folder {
  std::string path;  // relative to the root, ending in "/" ("" for the root)
  bool walked;       // not inside a folder whose name starts with "."
};

struct File {
  std::string path;      // relative to the root
  std::string subtitle;  // base path of its subtitle file ("" when none), up to the dot
};

struct Tree {
  std::vector<Folder> folders;  // parents before children
  std::vector<File> files;
};

// A small deterministic generator, the same on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint32_t Below(uint32_t n) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ % n);
  }

 private:
  uint64_t state_;
};

std::string Numbered(const char* pattern, int n) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, n);
  return buffer;
}

// A movie extension in mixed case: avi, AVI, Avi ...
std::string MovieExtension(Random& random) {
  static const char* const kExtensions[] = {"avi", "mp4", "rmvb", "wmv", "flv", "3gp", "vob", "rm"};
  std::string ext = kExtensions[random.Below(8)];
  uint32_t casing = random.Below(4);
  for (size_t i = 0; i < ext.size(); ++i) {
    bool upper = casing == 1 || (casing == 2 && i == 0);
    if (upper && ext[i] >= 'a' && ext[i] <= 'z') ext[i] = static_cast<char>(ext[i] - 'a' + 'A');
  }
  return ext;
}

Tree BuildTree(const TreeShape& shape) {
  Random random(0x5eed0000u + static_cast<uint64_t>(shape.folders) * 7919u + shape.movies);
  Tree tree;
  std::vector<int> depth{0};
  tree.folders.push_back({"", true});
  for (int i = 1; i <= shape.folders; ++i) {
    // The first folders make one chain down to the deepest level; the rest
    // hang below a random folder that still has room below it.
    int parent;
    if (i <= shape.maxDepth) {
      parent = i - 1;
    } else {
      do {
        parent = static_cast<int>(random.Below(static_cast<uint32_t>(tree.folders.size())));
      } while (depth[parent] >= shape.maxDepth);
    }
    std::string name;
    if (i % 100 == 7) {
      name = Numbered(".hidden %d", i);  // never entered
    } else if (i % 37 == 5) {
      name = Numbered("Clip %d.avi", i);  // a folder, never a movie
    } else if (i % 3 == 0) {
      name = Numbered("影片 %d", i);
    } else {
      name = Numbered("Season %d", i);
    }
    const Folder& up = tree.folders[parent];
    tree.folders.push_back({up.path + name + "/", up.walked && name[0] != '.'});
    depth.push_back(depth[parent] + 1);
  }

  std::vector<int> walked;
  for (size_t i = 0; i < tree.folders.size(); ++i) {
    if (tree.folders[i].walked) walked.push_back(static_cast<int>(i));
  }
  int lastFolder = 0;
  std::string lastBase;
  std::string lastExt;
  for (int k = 0; k < shape.movies; ++k) {
    // Now and then a second movie of the same name in another format: both
    // are stamped, the second write replacing the first.
    int folder;
    std::string base;
    if (k % 100 == 99) {
      folder = lastFolder;
      base = lastBase;
    } else {
      folder = walked[random.Below(static_cast<uint32_t>(walked.size()))];
      static const char* const kPatterns[] = {"Film %d", "电影 %d", "my.film.part%d", "trailer_%d",
                                              ".sample %d", "Episode %d 'final'"};
      base = Numbered(kPatterns[k % 6], k);
    }
    std::string ext = MovieExtension(random);
    while (k % 100 == 99 && ext == lastExt) ext = MovieExtension(random);
    std::string dir = tree.folders[folder].path;
    tree.files.push_back({dir + base + "." + ext, dir + base + "."});
    lastFolder = folder;
    lastBase = base;
    lastExt = ext;
  }
  for (int k = 0; k < shape.others; ++k) {
    int folder = static_cast<int>(random.Below(static_cast<uint32_t>(tree.folders.size())));
    const Folder& f = tree.folders[folder];
    std::string name;
    switch (k % 8) {
      case 0: name = Numbered("poster %d.jpg", k); break;
      case 1: name = Numbered("info %d.nfo", k); break;
      case 2: name = Numbered("%d.mkv", k); break;
      case 3: name = Numbered("notes %d.txt", k); break;
      case 4: name = Numbered("README %d", k); break;
      case 5: name = Numbered("part %d.avi.download", k); break;
      case 6: name = Numbered("cover %d.png", k); break;
      default: name = Numbered("chapter %d.xml", k); break;
    }
    // Movies inside hidden folders are never found; they count as others.
    if (!f.walked && k % 2 == 0) {
      name = Numbered("hidden film %d.", k) + MovieExtension(random);
    }
    tree.files.push_back({f.path + name, ""});
  }
  return tree;
}

const TreeShape* FindShape(std::string_view name) {
  for (const TreeShape& shape : kShapes) {
    if (name == shape.name) return &shape;
  }
  return nullptr;
}

[[noreturn]] void Fail(const std::string& message) {
  std::cerr << "varnel-bench-tree: " << message << '\n';
  std::exit(1);
}

void WriteFile(const std::string& path, std::string_view bytes) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot create " + path + ": " + std::strerror(errno));
  if (!bytes.empty() && write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    Fail("cannot write " + path);
  }
  close(fd);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Make(const Tree& tree, const std::string& root) {
  for (const Folder& folder : tree.folders) {
    std::string path = root + folder.path;
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) Fail("cannot create " + path);
  }
  for (const File& file : tree.files) WriteFile(root + file.path, "");
}

void Reset(const Tree& tree, const std::string& root, const std::string& trash, const std::string& format,
           bool existing) {
  std::string bin = trash + "reset-XXXXXX";
  if (!mkdtemp(bin.data())) Fail("cannot make a folder in " + trash + ": " + std::strerror(errno));
  bin += '/';
  long moved = 0;
  for (const File& file : tree.files) {
    if (file.subtitle.empty()) continue;
    for (const char* ext : {"SRT", "SSA"}) {
      std::string path = root + file.subtitle + ext;
      std::string away = bin + std::to_string(moved);
      if (rename(path.c_str(), away.c_str()) == 0) {
        ++moved;
      } else if (errno != ENOENT) {
        Fail("cannot move " + path + ": " + std::strerror(errno));
      }
    }
  }
  if (!existing) return;
  for (const File& file : tree.files) {
    if (!file.subtitle.empty()) WriteFile(root + file.subtitle + format, "an older subtitle\r\n");
  }
}

int Writes(const Tree& tree) {
  int writes = 0;
  for (const File& file : tree.files) writes += file.subtitle.empty() ? 0 : 1;
  return writes;
}

// Walks every folder below `dir`, hidden ones included, and hands each plain
// file's relative path to `visit`. Anything else than a file or folder fails.
template <typename Visit>
void WalkAll(const std::string& root, const std::string& relative, Visit&& visit) {
  std::string dirPath = root + relative;
  DIR* dir = opendir(dirPath.c_str());
  if (!dir) Fail("cannot list " + dirPath);
  std::vector<std::string> subfolders;
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) Fail("cannot stat " + name);
    if (S_ISDIR(info.st_mode)) {
      subfolders.push_back(relative + name + "/");
    } else if (S_ISREG(info.st_mode)) {
      visit(relative + name, info);
    } else {
      Fail("unexpected kind of file: " + dirPath + name);
    }
  }
  closedir(dir);
  for (const std::string& sub : subfolders) WalkAll(root, sub, visit);
}

void Check(const Tree& tree, const std::string& root, const std::string& format,
           const std::string& document) {
  enum Kind { kOriginal, kSubtitle };
  std::unordered_map<std::string, Kind> expected;
  for (const File& file : tree.files) {
    expected.emplace(file.path, kOriginal);
    if (!file.subtitle.empty()) expected.emplace(file.subtitle + format, kSubtitle);
  }
  size_t found = 0;
  WalkAll(root, "", [&](const std::string& relative, const struct stat& info) {
    auto it = expected.find(relative);
    if (it == expected.end()) Fail("a file that should not be there: " + relative);
    if (it->second == kOriginal) {
      if (info.st_size != 0) Fail("a file of the tree was changed: " + relative);
    } else {
      if (static_cast<size_t>(info.st_size) != document.size() || ReadFile(root + relative) != document) {
        Fail("a subtitle file does not hold the document: " + relative);
      }
    }
    ++found;
  });
  if (found != expected.size()) {
    for (const auto& [relative, kind] : expected) {
      struct stat info;
      if (lstat((root + relative).c_str(), &info) != 0) {
        Fail(std::string(kind == kSubtitle ? "a subtitle file is missing: " : "a file is missing: ") +
             relative);
      }
    }
  }
}

int Time(const std::string& resultPath, char** argv) {
  timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t child = fork();
  if (child < 0) Fail("cannot start a program");
  if (child == 0) {
    execvp(argv[0], argv);
    std::perror(argv[0]);
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) Fail("cannot wait for the program");
  }
  clock_gettime(CLOCK_MONOTONIC, &end);
  long long micros = (end.tv_sec - start.tv_sec) * 1000000LL + (end.tv_nsec - start.tv_nsec) / 1000;
  int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  long long cpuMicros = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                        usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
  std::ofstream out(resultPath);
  out << micros << ' ' << usage.ru_maxrss << ' ' << exitStatus << ' ' << cpuMicros << '\n';
  if (!out) Fail("cannot write " + resultPath);
  return 0;
}

// One line that changes whenever the tree would: "VERSION NAME FOLDERS FILES".
void Describe(const TreeShape& shape, const Tree& tree) {
  std::cout << kTreeVersion << ' ' << shape.name << ' ' << tree.folders.size() - 1 << ' '
            << tree.files.size() << '\n';
}

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

int Usage() {
  std::cerr << "usage: varnel-bench-tree make|describe|reset|check|writes|time ... (see the source)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1];
  if (command == "time") {
    if (argc < 5 || std::string(argv[3]) != "--") return Usage();
    return Time(argv[2], argv + 4);
  }
  const TreeShape* shape = FindShape(argv[2]);
  if (!shape) Fail(std::string("no such tree: ") + argv[2]);
  Tree tree = BuildTree(*shape);

  if (command == "writes" && argc == 3) {
    std::cout << Writes(tree) << '\n';
  } else if (command == "describe" && argc == 3) {
    Describe(*shape, tree);
  } else if (command == "make" && argc == 4) {
    Make(tree, WithSlash(argv[3]));
    Describe(*shape, tree);
  } else if (command == "reset" && argc == 7) {
    std::string mode = argv[6];
    if (mode != "fresh" && mode != "existing") return Usage();
    Reset(tree, WithSlash(argv[3]), WithSlash(argv[4]), argv[5], mode == "existing");
  } else if (command == "check" && argc == 6) {
    Check(tree, WithSlash(argv[3]), argv[4], ReadFile(argv[5]));
  } else {
    return Usage();
  }
  return 0;
}
