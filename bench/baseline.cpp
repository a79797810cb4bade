// varnel-bench-baseline: only what a stamping run needs, in plain C++ against
// the system, as the practical limit for varnel-stamp.
//
//   varnel-bench-baseline DOCUMENT SRT|SSA EXT,EXT,... FOLDER
//
// One directory read per folder, one create-write-close per movie with the
// bytes of DOCUMENT. It finds the same movies as varnel-stamp: a name of at
// least 4 bytes whose extension after the last "." is, in ASCII upper case,
// one of the list; folders whose names start with "." and links to folders are
// not entered. It neither guards the old file against a failed write nor
// reports more than the count, which is what makes it a limit.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Job {
  std::string document;
  std::string newExtension;
  std::vector<std::string> extensions;  // upper case
  long written = 0;
  long failed = 0;
};

bool IsMovie(const Job& job, std::string_view name, size_t& dot) {
  if (name.size() < 4) return false;
  dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return false;
  std::string_view ext = name.substr(dot + 1);
  for (const std::string& wanted : job.extensions) {
    if (wanted.size() != ext.size()) continue;
    size_t i = 0;
    while (i < ext.size()) {
      char c = ext[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != wanted[i]) break;
      ++i;
    }
    if (i == ext.size()) return true;
  }
  return false;
}

void Stamp(Job& job, const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    ++job.failed;
    return;
  }
  bool ok = write(fd, job.document.data(), job.document.size()) ==
            static_cast<ssize_t>(job.document.size());
  ok = close(fd) == 0 && ok;
  ++(ok ? job.written : job.failed);
}

// `folder` ends in "/"; it is extended in place for the entries below it.
void Walk(Job& job, std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    ++job.failed;
    return;
  }
  const size_t length = folder.size();
  while (const dirent* entry = readdir(dir)) {
    const char* name = entry->d_name;
    unsigned char type = entry->d_type;
    if (type == DT_UNKNOWN || type == DT_LNK) {
      struct stat info;
      if (fstatat(dirfd(dir), name, &info, type == DT_LNK ? 0 : AT_SYMLINK_NOFOLLOW) != 0) continue;
      if (S_ISDIR(info.st_mode)) {
        if (type == DT_LNK) continue;  // a link to a folder: not entered, not a movie
        type = DT_DIR;
      }
    }
    if (type == DT_DIR) {
      if (name[0] == '.') continue;
      folder.append(name).push_back('/');
      Walk(job, folder);
    } else {
      size_t dot;
      std::string_view view(name);
      if (!IsMovie(job, view, dot)) continue;
      folder.append(view.substr(0, dot + 1)).append(job.newExtension);
      Stamp(job, folder);
    }
    folder.resize(length);
  }
  closedir(dir);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: varnel-bench-baseline DOCUMENT SRT|SSA EXT,EXT,... FOLDER\n");
    return 2;
  }
  Job job;
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "varnel-bench-baseline: cannot read %s\n", argv[1]);
    return 2;
  }
  job.document.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  job.newExtension = argv[2];
  std::string list = argv[3];
  for (size_t start = 0; start <= list.size();) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    std::string ext = list.substr(start, comma - start);
    for (char& c : ext) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (!ext.empty()) job.extensions.push_back(ext);
    start = comma + 1;
  }
  std::string folder = argv[4];
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  Walk(job, folder);
  std::printf("written: %ld, failed: %ld\n", job.written, job.failed);
  return job.failed == 0 ? 0 : 1;
}
