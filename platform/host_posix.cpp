// File system host on POSIX systems. Paths are byte strings as the file system
// holds them, so any name it can hold is walked and written. A path the
// system takes whole is used as it is for listing and for making a new file;
// a longer one is opened a stretch at a time, so a tree deeper than PATH_MAX
// bytes is walked and written like any other. Replacing a file works through
// its opened folder, so the copy and the rename happen in the same place.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/host.h"

namespace varnel {

namespace {

FailureReason ErrnoReason(int error) { return std::strerror(error); }

bool Fail(FailureReason* whyNot, int error) {
  if (whyNot) *whyNot = ErrnoReason(error);
  return false;
}

// Owns one file descriptor; AT_FDCWD (the current folder) is never closed.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, AT_FDCWD)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0 || fd_ == AT_FDCWD; }

 private:
  int fd_ = AT_FDCWD;
};

// A path split into a folder descriptor and what is left of the path below
// it, short enough for the system to take whole.
struct Anchored {
  Descriptor folder;
  std::string rest;
};

// Opens leading stretches of `path` (each ending in "/" and shorter than
// PATH_MAX) until the remainder fits. Links on the way are followed, as the
// system itself would follow them in a shorter path.
bool Anchor(const NativeText& path, Anchored& anchored, FailureReason* whyNot) {
  size_t start = 0;
  Descriptor folder;
  while (path.size() - start >= PATH_MAX) {
    size_t slash = path.rfind('/', start + PATH_MAX - 2);
    if (slash == NativeText::npos || slash < start) return Fail(whyNot, ENAMETOOLONG);
    std::string stretch = path.substr(start, slash + 1 - start);
    Descriptor next(openat(folder.get(), stretch.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!next.valid()) return Fail(whyNot, errno);
    folder = std::move(next);
    start = slash + 1;
  }
  anchored.folder = std::move(folder);
  anchored.rest = start < path.size() ? path.substr(start) : ".";
  return true;
}

// The folder that holds `path`, opened, and the name of `path` in it.
struct PlaceInFolder {
  Descriptor folder;
  std::string name;
};

bool OpenPlace(const NativeText& path, PlaceInFolder& place, FailureReason* whyNot) {
  size_t slash = path.rfind('/');
  NativeText folderPath = slash == NativeText::npos ? NativeText("./") : path.substr(0, slash + 1);
  place.name = slash == NativeText::npos ? path : path.substr(slash + 1);
  if (place.name.empty()) return Fail(whyNot, EISDIR);
  Anchored anchored;
  if (!Anchor(folderPath, anchored, whyNot)) return false;
  Descriptor folder(openat(anchored.folder.get(), anchored.rest.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return Fail(whyNot, errno);
  place.folder = std::move(folder);
  return true;
}

class PosixFolderListing : public FolderListing {
 public:
  explicit PosixFolderListing(DIR* dir) : dir_(dir) {}
  ~PosixFolderListing() override { Close(); }

  bool Next(FolderEntry& entry) override {
    if (!dir_) return false;
    errno = 0;
    const dirent* found = readdir(dir_);
    if (!found) {
      Close();
      return false;
    }
    entry.name = found->d_name;
    entry.isFolder = false;
    entry.isLink = false;
    unsigned char type = found->d_type;
    struct stat info;
    if (type == DT_UNKNOWN) {
      if (fstatat(dirfd(dir_), found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
      }
    }
    if (type == DT_DIR) {
      entry.isFolder = true;
    } else if (type == DT_LNK) {
      // A link to a folder counts as a folder (never a movie) that is not entered.
      entry.isLink = true;
      entry.isFolder = fstatat(dirfd(dir_), found->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
    }
    return true;
  }

 private:
  void Close() {
    if (dir_) closedir(dir_);
    dir_ = nullptr;
  }
  DIR* dir_;
};

bool WriteAll(int fd, std::string_view bytes, FailureReason* whyNot) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(whyNot, errno);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Writes and closes `fd`; on any failure removes `name` in `folder`, the file
// just made.
bool FinishNewFile(int fd, int folder, const std::string& name, std::string_view bytes,
                   FailureReason* whyNot) {
  bool ok = WriteAll(fd, bytes, whyNot);
  if (close(fd) != 0 && ok) ok = Fail(whyNot, errno);
  if (!ok) unlinkat(folder, name.c_str(), 0);
  return ok;
}

// Letters for temporary names that no other program guesses: seeded once from
// the system's random source, then stepped on, since O_EXCL, not the name,
// is what keeps a temporary file from taking the place of another.
uint64_t NextNameBits() {
  thread_local uint64_t state = [] {
    uint64_t seed = 0;
    if (getrandom(&seed, sizeof seed, 0) != static_cast<ssize_t>(sizeof seed)) seed = 0;
    return seed ^ (static_cast<uint64_t>(getpid()) << 32) ^ reinterpret_cast<uintptr_t>(&seed);
  }();
  state += 0x9E3779B97F4A7C15u;  // splitmix64
  uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// A new file of a name of its own beside the target, for the finished copy.
int CreateTemporaryFile(const PlaceInFolder& place, std::string& name) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    uint64_t bits = NextNameBits();
    name = ".varnel-";
    for (int i = 0; i < 6; ++i, bits >>= 8) name += kLetters[(bits & 0xFF) % (sizeof kLetters - 1)];
    int fd = openat(place.folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Replaces an existing plain file with a finished copy written beside it, so
// a failure leaves the old file exactly as it was.
bool ReplaceFile(const PlaceInFolder& place, const struct stat& old, std::string_view bytes,
                 FailureReason* whyNot) {
  std::string temp;
  int fd = CreateTemporaryFile(place, temp);
  if (fd < 0) return Fail(whyNot, errno);
  // The new file keeps the old one's permissions and, where allowed, owner.
  if (fchmod(fd, old.st_mode & 07777) != 0) {
    Fail(whyNot, errno);
    close(fd);
    unlinkat(place.folder.get(), temp.c_str(), 0);
    return false;
  }
  static const bool kRoot = geteuid() == 0;
  if (kRoot) (void)!fchown(fd, old.st_uid, old.st_gid);
  if (!FinishNewFile(fd, place.folder.get(), temp, bytes, whyNot)) return false;
  if (renameat(place.folder.get(), temp.c_str(), place.folder.get(), place.name.c_str()) != 0) {
    Fail(whyNot, errno);
    unlinkat(place.folder.get(), temp.c_str(), 0);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<FolderListing> OpenFolderListing(const NativeText& folder, FailureReason* whyNot) {
  Anchored anchored;
  if (!Anchor(folder, anchored, whyNot)) return nullptr;
  if (anchored.folder.get() == AT_FDCWD) {
    // The whole path fits: opendir takes two calls fewer than fdopendir.
    DIR* dir = opendir(anchored.rest.c_str());
    if (!dir) {
      Fail(whyNot, errno);
      return nullptr;
    }
    return std::make_unique<PosixFolderListing>(dir);
  }
  int fd = openat(anchored.folder.get(), anchored.rest.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
  if (!dir) {
    Fail(whyNot, errno);
    if (fd >= 0) close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFolderListing>(dir);
}

bool WriteWholeFile(const NativeText& path, std::string_view bytes, FailureReason* whyNot) {
  if (path.empty()) {
    if (whyNot) *whyNot = "empty path";
    return false;
  }
  if (path.back() == '/') return Fail(whyNot, EISDIR);
  if (path.size() < PATH_MAX) {
    // Most subtitle files are new: made in one call by the whole path, with no
    // folder to open and nothing to look up first. An existing one (EEXIST)
    // is looked at and replaced below.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return FinishNewFile(fd, AT_FDCWD, path, bytes, whyNot);
    if (errno != EEXIST) return Fail(whyNot, errno);
  }
  PlaceInFolder place;
  if (!OpenPlace(path, place, whyNot)) return false;
  for (int attempt = 0; attempt < 2; ++attempt) {
    struct stat old;
    if (fstatat(place.folder.get(), place.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
      if (!S_ISREG(old.st_mode)) {
        if (whyNot) *whyNot = S_ISDIR(old.st_mode) ? "a folder of that name exists"
                              : S_ISLNK(old.st_mode) ? "a symbolic link of that name exists"
                                                     : "not a plain file";
        return false;
      }
      // Checked by hand: as root the system would let us replace it anyway.
      if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        if (whyNot) *whyNot = "the existing file is read-only";
        return false;
      }
      return ReplaceFile(place, old, bytes, whyNot);
    }
    int fd = openat(place.folder.get(), place.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return FinishNewFile(fd, place.folder.get(), place.name, bytes, whyNot);
    if (errno != EEXIST) return Fail(whyNot, errno);
    // Made by someone else in the meantime: replace it like any existing file.
  }
  if (whyNot) *whyNot = "the file keeps changing";
  return false;
}

bool PathExists(const NativeText& path) {
  struct stat info;
  // A path that fits is looked up whole, with no folder to open first.
  if (path.size() < PATH_MAX && !path.empty() && path.back() != '/') {
    return lstat(path.c_str(), &info) == 0;
  }
  PlaceInFolder place;
  return OpenPlace(path, place, nullptr) &&
         fstatat(place.folder.get(), place.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

std::vector<NativeText> ListFixedDrives() { return {}; }

void ProcessPendingEvents() {}

}  // namespace varnel
