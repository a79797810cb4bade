// The POSIX host against a real folder tree of the test's own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "platform/host.h"
#include "temp_tree.h"

namespace varnel {
namespace {

using testing::TempTree;

std::map<std::string, std::pair<bool, bool>> ListAll(const std::string& folder) {
  std::map<std::string, std::pair<bool, bool>> entries;  // name -> (isFolder, isLink)
  std::unique_ptr<FolderListing> listing = OpenFolderListing(folder);
  EXPECT_TRUE(listing);
  if (!listing) return entries;
  FolderEntry entry;
  while (listing->Next(entry)) entries[entry.name] = {entry.isFolder, entry.isLink};
  EXPECT_FALSE(listing->Next(entry));  // stays at the end
  return entries;
}

TEST(PosixListing, EveryEntryWithItsKind) {
  TempTree tree;
  tree.AddFile("Film.avi");
  tree.AddFile("\xff\xfe bad utf-8.avi");
  tree.AddFolder("sub");
  ASSERT_EQ(symlink(tree.Path("sub").c_str(), tree.Path("to-sub").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("Film.avi").c_str(), tree.Path("to-film.avi").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", tree.Path("dangling").c_str()), 0);
  ASSERT_EQ(chmod(tree.AddFile("locked.avi").c_str(), 0), 0);

  auto entries = ListAll(tree.root());
  std::map<std::string, std::pair<bool, bool>> expected{
      {".", {true, false}},         {"..", {true, false}},       {"Film.avi", {false, false}},
      {"\xff\xfe bad utf-8.avi", {false, false}},                 {"sub", {true, false}},
      {"to-sub", {true, true}},     {"to-film.avi", {false, true}}, {"dangling", {false, true}},
      {"locked.avi", {false, false}},
  };
  EXPECT_EQ(entries, expected);
}

TEST(PosixListing, UnlistableFolderSaysWhy) {
  TempTree tree;
  FailureReason why;
  EXPECT_EQ(OpenFolderListing(tree.Path("missing/"), &why), nullptr);
  EXPECT_EQ(why, "No such file or directory");
  EXPECT_EQ(OpenFolderListing(tree.AddFile("file") + "/", &why), nullptr);
  EXPECT_EQ(why, "Not a directory");
}

TEST(PosixWrite, CreatesAndReplacesWholeFiles) {
  TempTree tree;
  EXPECT_TRUE(WriteWholeFile(tree.Path("new.SRT"), "abc"));
  EXPECT_TRUE(WriteWholeFile(tree.Path("empty.SRT"), ""));
  std::string old = tree.AddFile("old.SRT", "a much longer old content");
  ASSERT_EQ(chmod(old.c_str(), 0640), 0);
  EXPECT_TRUE(WriteWholeFile(old, "new"));

  EXPECT_EQ(tree.Snapshot(), "empty.SRT = \nnew.SRT = abc\nold.SRT = new\n");
  struct stat info;
  ASSERT_EQ(stat(old.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);  // the replaced file keeps its permissions
}

TEST(PosixWrite, RefusesWhatItMustNotReplace) {
  TempTree tree;
  std::string readOnly = tree.AddFile("ro.SRT", "keep");
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  tree.AddFolder("dir.SRT");
  ASSERT_EQ(symlink(tree.AddFile("target", "keep").c_str(), tree.Path("link.SRT").c_str()), 0);
  const std::string before = tree.Snapshot();

  struct Case {
    std::string path;
    FailureReason reason;
  } cases[] = {
      {readOnly, "the existing file is read-only"},
      {tree.Path("dir.SRT"), "a folder of that name exists"},
      {tree.Path("link.SRT"), "a symbolic link of that name exists"},
      {tree.Path("missing/x.SRT"), "No such file or directory"},
      {"", "empty path"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    FailureReason why;
    EXPECT_FALSE(WriteWholeFile(c.path, "new", &why));
    EXPECT_EQ(why, c.reason);
  }
  EXPECT_EQ(tree.Snapshot(), before);
}

// Runs WriteWholeFile in a child whose files may not grow past `limit` bytes,
// so the write itself fails part of the way through.
bool WriteWithSizeLimit(const std::string& path, const std::string& bytes, rlim_t limit) {
  pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit small{limit, limit};
    setrlimit(RLIMIT_FSIZE, &small);
    _exit(WriteWholeFile(path, bytes) ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(PosixWrite, AFailedWriteLeavesNoPartialFile) {
  TempTree tree;
  const std::string big(100000, 'x');
  EXPECT_FALSE(WriteWithSizeLimit(tree.Path("new.SRT"), big, 4096));
  tree.AddFile("old.SRT", "old content");
  EXPECT_FALSE(WriteWithSizeLimit(tree.Path("old.SRT"), big, 4096));
  // Nothing new, the old file as it was, and no temporary file left behind.
  EXPECT_EQ(tree.Snapshot(), "old.SRT = old content\n");
}

}  // namespace
}  // namespace varnel
