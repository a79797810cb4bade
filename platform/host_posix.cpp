// File system host on POSIX systems. Paths are byte strings as the file system
// holds them, so any name it can hold is walked and written.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/host.h"

namespace varnel {

namespace {

FailureReason ErrnoReason(int error) { return std::strerror(error); }

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
      if (whyNot) *whyNot = ErrnoReason(errno);
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Writes and closes `fd`; on any failure removes `path`, the file just made.
bool FinishNewFile(int fd, const NativeText& path, std::string_view bytes, FailureReason* whyNot) {
  bool ok = WriteAll(fd, bytes, whyNot);
  if (close(fd) != 0 && ok) {
    ok = false;
    if (whyNot) *whyNot = ErrnoReason(errno);
  }
  if (!ok) unlink(path.c_str());
  return ok;
}

NativeText FolderOf(const NativeText& path) {
  size_t slash = path.rfind('/');
  return slash == NativeText::npos ? NativeText("./") : path.substr(0, slash + 1);
}

// Replaces an existing plain file with a finished copy written beside it, so
// a failure leaves the old file exactly as it was.
bool ReplaceFile(const NativeText& path, const struct stat& old, std::string_view bytes,
                 FailureReason* whyNot) {
  NativeText temp = FolderOf(path) + ".varnel-XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    if (whyNot) *whyNot = ErrnoReason(errno);
    return false;
  }
  // The new file keeps the old one's permissions and, where allowed, owner.
  if (fchmod(fd, old.st_mode & 07777) != 0) {
    if (whyNot) *whyNot = ErrnoReason(errno);
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  if (!FinishNewFile(fd, temp, bytes, whyNot)) return false;
  if (geteuid() == 0) (void)!chown(temp.c_str(), old.st_uid, old.st_gid);
  if (rename(temp.c_str(), path.c_str()) != 0) {
    if (whyNot) *whyNot = ErrnoReason(errno);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<FolderListing> OpenFolderListing(const NativeText& folder, FailureReason* whyNot) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    if (whyNot) *whyNot = ErrnoReason(errno);
    return nullptr;
  }
  return std::make_unique<PosixFolderListing>(dir);
}

bool WriteWholeFile(const NativeText& path, std::string_view bytes, FailureReason* whyNot) {
  if (path.empty()) {
    if (whyNot) *whyNot = "empty path";
    return false;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    struct stat old;
    if (lstat(path.c_str(), &old) == 0) {
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
      return ReplaceFile(path, old, bytes, whyNot);
    }
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return FinishNewFile(fd, path, bytes, whyNot);
    if (errno != EEXIST) {
      if (whyNot) *whyNot = ErrnoReason(errno);
      return false;
    }
    // Made by someone else in the meantime: replace it like any existing file.
  }
  if (whyNot) *whyNot = "the file keeps changing";
  return false;
}

bool PathExists(const NativeText& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::vector<NativeText> ListFixedDrives() { return {}; }

void ProcessPendingEvents() {}

}  // namespace varnel
