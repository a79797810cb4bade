// varnel-stamp and the POSIX host on folder trees that fight back. After each
// run the whole tree is compared with what it held before: movies and every
// other file byte for byte as they were, nothing made outside the walked
// tree, no partial or temporary file, and the summary's counts matching what
// is on disk.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>

#include "batch/batch_job.h"
#include "hostile_tree.h"
#include "platform/host.h"
#include "subtitle/documents.h"

namespace varnel {
namespace {

using testing::CompareRun;
using testing::CountLinesWith;
using testing::HostileTree;
using testing::ProgramRun;
using testing::RunOptions;
using testing::RunStampProgram;
using testing::TreeChanges;
using testing::TreePicture;

const std::vector<AdLine> kRows{{"5", "Watch more films at our site"}, {"3", "Second line"}};

std::vector<std::string> LineOptions(const std::vector<AdLine>& rows) {
  std::vector<std::string> options;
  for (const AdLine& row : rows) options.insert(options.end(), {"-l", row.displayTime + ":" + row.text});
  return options;
}

struct Outcome {
  ProgramRun run;
  TreeChanges changes;
  TreePicture after;
};

// Runs varnel-stamp over the tree (after `extra` options) and compares the
// whole top folder before and after.
Outcome StampTree(HostileTree& tree, const std::vector<std::string>& extra = {}, RunOptions options = {},
                  const std::vector<AdLine>& rows = kRows) {
  TreePicture before = tree.Picture();
  std::vector<std::string> args = LineOptions(rows);
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back(tree.root());
  if (options.cwd.empty()) options.cwd = tree.top() + "cwd";
  Outcome outcome;
  outcome.run = RunStampProgram(args, options);
  outcome.after = tree.Picture();
  outcome.changes = CompareRun(before, outcome.after, BuildSrtDocument("10", rows));
  return outcome;
}

std::string Problems(const TreeChanges& changes) {
  std::string all;
  for (const std::string& problem : changes.problems) all += "  " + problem + "\n";
  return all;
}

// The tree held nothing unexpected afterwards, and the summary and the
// messages agree with what is on disk.
void ExpectSoundRun(const Outcome& o, int written, int failed, int unlisted = 0) {
  EXPECT_TRUE(o.changes.problems.empty()) << Problems(o.changes);
  EXPECT_EQ(o.run.written, written) << o.run.out << o.run.err;
  EXPECT_EQ(o.changes.created + o.changes.replaced, written);
  EXPECT_EQ(o.run.skipped, 0);
  EXPECT_EQ(o.run.failed, failed);
  EXPECT_EQ(CountLinesWith(o.run.err, "varnel-stamp: cannot write "), failed) << o.run.err;
  EXPECT_EQ(CountLinesWith(o.run.err, "varnel-stamp: cannot list "), unlisted) << o.run.err;
  EXPECT_EQ(o.run.status, failed + unlisted > 0 ? 1 : 0) << o.run.err;
}

TEST(HostileTree, LinkCyclesAreNotFollowed) {
  HostileTree tree;
  tree.AddFile("Film.avi", "movie 1");
  tree.AddFile("a/x.avi", "movie 2");
  tree.AddLink("a/loop", "..");
  tree.AddLink("a/b/c/top", tree.root());
  tree.AddLink("self", ".");
  tree.AddLink("out", "../outside");
  tree.AddFile("../outside/o.avi", "not ours");
  tree.AddLink("to-movie.avi", "../outside/o.avi");  // a link to a file: a movie by its name
  tree.AddLink("dangling.avi", "nowhere");
  Outcome o = StampTree(tree);
  ExpectSoundRun(o, 4, 0);
  for (const char* written : {"tree/Film.SRT", "tree/a/x.SRT", "tree/to-movie.SRT", "tree/dangling.SRT"}) {
    EXPECT_EQ(o.after.count(written), 1u) << written;
  }
}

TEST(HostileTree, UnlistableFolderIsReportedAndTheWalkGoesOn) {
  HostileTree tree;
  tree.AddFile("ok.avi", "movie");
  tree.AddFile("locked/inside.avi", "movie");
  tree.AddFile("sealed/m.avi", "movie");
  tree.SetMode("locked", 0);
  tree.SetMode("sealed", 0555);
  // Root reads and writes through any mode, so the run drops to nobody.
  RunOptions options;
  if (geteuid() == 0) {
    tree.GiveEverythingTo(65534, 65534);
    options.asNobody = true;
  }
  Outcome o = StampTree(tree, {}, options);
  if (o.run.status == 125) GTEST_SKIP() << "skipped: this machine does not let root become nobody (uid 65534)";
  ExpectSoundRun(o, 1, 1, 1);
  EXPECT_EQ(CountLinesWith(o.run.err, "cannot list " + tree.root() + "locked/: Permission denied"), 1) << o.run.err;
  EXPECT_EQ(CountLinesWith(o.run.err, "cannot write " + tree.root() + "sealed/m.SRT: Permission denied"), 1);
}

TEST(HostileTree, NamesOfEveryKind) {
  HostileTree tree;
  const std::string name255 = std::string(251, 'x') + ".avi";        // its subtitle's name is 255 bytes too
  const std::string tooLong = std::string(252, 'y') + ".rm";         // its subtitle's name would be 256
  const std::string folder255 = std::string(255, 'f');
  const std::vector<std::string> movies{
      "\xff\xfe\xfd not utf-8.avi", "new\nline.avi", "-rf.avi", "--help.avi", "-l/x.avi", "tab\there.avi",
      "\n/in newline folder.avi", "$(touch pwned).avi", "back\\slash.avi", name255, folder255 + "/in.avi",
      "\x1b[2Jescape.avi", "\xB5\xE7\xD3\xB0.avi" /* 电影 in code page 936 */};
  for (const std::string& movie : movies) tree.AddFile(movie, "movie " + movie);
  tree.AddFile(tooLong, "movie");
  Outcome o = StampTree(tree);
  ExpectSoundRun(o, static_cast<int>(movies.size()), 1);
  EXPECT_EQ(CountLinesWith(o.run.err, std::string(252, 'y') + ".SRT: File name too long"), 1) << o.run.err;
  EXPECT_EQ(o.after.count("tree/" + name255.substr(0, 251) + ".SRT"), 1u);

  // A FOLDER argument that starts with "-" is taken after "--".
  RunOptions inTree;
  inTree.cwd = tree.root();
  std::vector<std::string> args = LineOptions(kRows);
  args.insert(args.end(), {"--", "-l"});
  ProgramRun run = RunStampProgram(args, inTree);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "written: 1, skipped: 0, failed: 0\n");
}

TEST(HostileTree, PathLongerThanPathMax) {
  HostileTree tree;
  std::string deep;
  for (int level = 0; level < 20; ++level) {
    deep += std::string(250, static_cast<char>('a' + level)) + "/";
    if (level == 0 || level == 9) tree.AddFile(deep + "Film.avi", "movie");
  }
  tree.AddFile(deep + "Deepest.avi", "movie");
  ASSERT_GT((tree.root() + deep).size(), 5000u);
  Outcome o = StampTree(tree);
  ExpectSoundRun(o, 3, 0);
  EXPECT_EQ(o.after.count("tree/" + deep + "Deepest.SRT"), 1u);
}

TEST(HostileTree, FiftyThousandEntriesInOneFolder) {
  HostileTree tree;
  char name[32];
  for (int i = 0; i < 50000; ++i) {
    bool movie = i % 5 == 0;
    std::snprintf(name, sizeof name, movie ? "m%05d.avi" : "n%05d.txt", i);
    tree.AddFile(std::string("big/") + name, movie ? "m" : "");
  }
  Outcome o = StampTree(tree);
  ExpectSoundRun(o, 10000, 0);
}

TEST(HostileTree, ThreeHundredFoldersDeep) {
  HostileTree tree;
  std::string path;
  for (int level = 0; level < 300; ++level) {
    path += "d/";
    tree.AddFile(path + "m.avi", "movie " + std::to_string(level));
  }
  Outcome o = StampTree(tree);
  ExpectSoundRun(o, 300, 0);
}

TEST(HostileTree, ExistingSubtitleFiles) {
  HostileTree tree;
  tree.AddFile("ReadOnly.avi", "movie");
  tree.AddFile("ReadOnly.SRT", "keep");
  tree.SetMode("ReadOnly.SRT", 0444);
  tree.AddFile("Linked.avi", "movie");
  tree.AddFile("../outside/victim", "must stay");
  tree.AddLink("Linked.SRT", "../outside/victim");
  tree.AddFile("Folder.avi", "movie");
  tree.AddFolder("Folder.SRT");
  tree.AddFile("Old.avi", "movie");
  tree.AddFile("Old.SRT", "old subtitle");
  tree.SetMode("Old.SRT", 0640);
  // With SRT among the movie extensions, a file of that extension is still
  // a subtitle: it is never written over with the document.
  tree.AddFile("Trailer.SRT", "a movie by the ticked extensions");
  tree.AddFile("teaser.srt", "another one");
  Outcome o = StampTree(tree, {"--ext", "avi,srt"});
  ExpectSoundRun(o, 1, 3);
  EXPECT_EQ(CountLinesWith(o.run.err, "ReadOnly.SRT: the existing file is read-only"), 1) << o.run.err;
  EXPECT_EQ(CountLinesWith(o.run.err, "Linked.SRT: a symbolic link of that name exists"), 1);
  EXPECT_EQ(CountLinesWith(o.run.err, "Folder.SRT: a folder of that name exists"), 1);
  EXPECT_EQ(o.after.at("tree/Trailer.SRT").content, "a movie by the ticked extensions");
  EXPECT_EQ(o.after.at("tree/teaser.srt").content, "another one");
  EXPECT_EQ(o.after.at("tree/Old.SRT").mode, 0640u);
}

// Mounts a small tmpfs on `folder` inside a mount namespace of this process's
// own, so the mount goes away with the process whatever happens. Returns why
// not, or the empty text when mounted.
std::string MountSmallTmpfs(const std::string& folder) {
  if (unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return std::string("private mounts: ") + std::strerror(errno);
  }
  if (mount("varnel-full-disk", folder.c_str(), "tmpfs", 0, "size=256k,mode=0755") != 0) {
    return std::string("mount: ") + std::strerror(errno);
  }
  return "";
}

TEST(HostileTree, FullDisk) {
  HostileTree tree;
  // A document of about 16 KiB: a handful fit on the small disk.
  std::vector<AdLine> rows;
  for (int i = 0; i < 200; ++i) rows.push_back({"1", "Line " + std::to_string(i) + " of a long advertisement"});

  RunOptions options;
  std::string whyNotMounted = MountSmallTmpfs(tree.root());
  if (whyNotMounted.empty()) {
    std::cout << "[   NOTE   ] full disk: a 256 KiB tmpfs\n";
  } else {
    // Without a mount, a file size limit makes every write fail part of the way.
    options.fileSizeLimit = 8192;
    std::cout << "[   NOTE   ] full disk: tmpfs not mountable (" << whyNotMounted
              << "), so a file size limit of 8192 bytes stands in for it\n";
  }
  RecordProperty("full_disk", whyNotMounted.empty() ? "tmpfs" : "RLIMIT_FSIZE: " + whyNotMounted);
  char name[32];
  for (int i = 0; i < 20; ++i) {
    std::snprintf(name, sizeof name, "m%02d.avi", i);
    tree.AddFile(name, "m");
  }
  tree.AddFile("m00.SRT", "old subtitle");

  Outcome o = StampTree(tree, {}, options, rows);
  if (whyNotMounted.empty()) umount2(tree.root().c_str(), MNT_DETACH);
  EXPECT_TRUE(o.changes.problems.empty()) << Problems(o.changes);
  EXPECT_EQ(o.run.status, 1);
  EXPECT_EQ(o.run.written + o.run.failed, 20) << o.run.out;
  EXPECT_GT(o.run.failed, 0);
  if (whyNotMounted.empty()) {
    EXPECT_GT(o.run.written, 0);
  }
  EXPECT_EQ(o.changes.created + o.changes.replaced, o.run.written);
  const char* reason = whyNotMounted.empty() ? ": No space left on device" : ": File too large";
  EXPECT_EQ(CountLinesWith(o.run.err, reason), o.run.failed) << o.run.err;
}

// The window side of an in-process run: fixed settings, nothing shown.
class QuietWindow : public BatchWindow {
 public:
  explicit QuietWindow(JobSettings settings) : settings_(std::move(settings)) {}
  JobSettings ReadJobSettings() override { return settings_; }
  void SetStartButtonCaption(NativeView) override {}
  void SetStatusText(NativeView) override {}
  void ShowMessageBox(NativeView, unsigned, NativeView) override {}

 private:
  JobSettings settings_;
};

// The real POSIX host, with a hook in the event pump (run once per entry,
// before the entry is handled) that changes the tree under the walk.
class MeddlingHost : public SystemHost {
 public:
  std::function<void(const std::string& folder, int entry)> meddle;
  int unlisted = 0;

  std::unique_ptr<FolderListing> ListFolder(const NativeText& folder) override {
    folder_ = folder;
    entry_ = 0;
    std::unique_ptr<FolderListing> listing = SystemHost::ListFolder(folder);
    if (!listing) ++unlisted;
    return listing;
  }
  void ProcessPendingEvents() override { meddle(folder_, ++entry_); }

 private:
  std::string folder_;
  int entry_ = 0;
};

TEST(HostileTree, EntriesVanishDuringTheWalk) {
  HostileTree tree;
  for (const char* movie : {"a.avi", "b.avi", "c.avi", "later/l.avi", "doomed/d1.avi", "doomed/d2.avi",
                            "doomed/inner/i.avi"}) {
    tree.AddFile(movie, "movie");
  }
  const TreePicture before = tree.Picture();

  MeddlingHost host;
  host.meddle = [&](const std::string& folder, int entry) {
    if (folder == tree.root() && entry == 1) {
      tree.Remove("later");  // listed, gone before it is entered
      tree.Remove("b.avi");  // gone before or after the walker sees it
    }
    if (folder == tree.root() + "doomed/" && entry == 1) tree.Remove("doomed");  // the folder in hand
  };
  JobSettings settings;
  settings.adRowCount = static_cast<int>(kRows.size());
  settings.rows = kRows;
  settings.leadInText = "10";
  settings.extensionSlots[0] = "AVI";
  settings.folderText = tree.root();
  QuietWindow window(settings);
  BatchJob job(window, host);
  job.RunBatch();

  TreeChanges changes =
      CompareRun(before, tree.Picture(), BuildSrtDocument("10", kRows), {"tree/later/", "tree/b.avi", "tree/doomed/"});
  EXPECT_TRUE(changes.problems.empty()) << Problems(changes);
  EXPECT_EQ(changes.created + changes.replaced, job.state().filesWritten);
  EXPECT_GE(job.state().filesWritten, 2);  // a.SRT and c.SRT at least
  EXPECT_GE(host.unlisted, 1);  // later/, and doomed/inner/ when the listing still gave it
}

}  // namespace
}  // namespace varnel
