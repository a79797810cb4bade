// varnel-stamp.exe and the Windows host on folder trees that fight back. After
// each run the whole top folder is compared with what it held before: movies
// and every other file byte for byte and attribute for attribute as they were,
// nothing made outside the walked tree, no partial or temporary file, and the
// summary's counts matching what is on disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <iostream>

#include "batch/batch_job.h"
#include "hostile_tree_win.h"
#include "platform/host.h"
#include "subtitle/documents.h"

namespace varnel {
namespace {

using testing::CompareRun;
using testing::CountLinesWith;
using testing::HostileTree;
using testing::ProgramRun;
using testing::TreeChanges;
using testing::TreePicture;
using testing::Utf8;

const std::vector<AdLine> kRows{{"5", "Watch more films at our site"}, {"3", "Second line"}};
const std::vector<std::wstring> kLineOptions{L"-l", L"5:Watch more films at our site", L"-l",
                                             L"3:Second line"};

std::string Document() { return BuildSrtDocument("10", kRows); }

// Files another program holds open while varnel-stamp runs: this test
// program, which is another process to it.
class HeldFiles {
 public:
  void Add(std::wstring path, DWORD sharing) { wanted_.push_back({std::move(path), sharing}); }
  void HoldAll() {
    for (const auto& [path, sharing] : wanted_) {
      HANDLE file = CreateFileW(testing::LongForm(path).c_str(), GENERIC_READ | GENERIC_WRITE, sharing,
                                nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(file, INVALID_HANDLE_VALUE) << Utf8(path);
      handles_.push_back(file);
    }
  }
  void Release() {
    for (HANDLE file : handles_) CloseHandle(file);
    handles_.clear();
  }
  ~HeldFiles() { Release(); }

 private:
  std::vector<std::pair<std::wstring, DWORD>> wanted_;
  std::vector<HANDLE> handles_;
};

struct Outcome {
  ProgramRun run;
  TreeChanges changes;
  TreePicture after;
};

// Runs varnel-stamp.exe over `folder` (the tree's root when empty) after the
// line options and `extra`, in the tree's cwd\ folder, and compares the whole
// top folder before and after. Files in `held` are held open during the run.
Outcome StampTree(HostileTree& tree, const std::vector<std::wstring>& extra = {}, std::wstring folder = {},
                  HeldFiles* held = nullptr) {
  const TreePicture before = tree.Picture();
  std::vector<std::wstring> args = kLineOptions;
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back(folder.empty() ? tree.root() : folder);
  if (held) held->HoldAll();
  Outcome outcome;
  outcome.run = testing::RunStampProgram(args, tree.Path(L"cwd\\"));
  if (held) held->Release();
  outcome.after = tree.Picture();
  outcome.changes = CompareRun(before, outcome.after, Document());
  return outcome;
}

std::string Problems(const TreeChanges& changes) {
  std::string all;
  for (const std::string& problem : changes.problems) all += "  " + problem + "\n";
  return all;
}

// The tree held nothing unexpected afterwards, and the summary and the
// messages agree with what is on disk.
void ExpectSoundRun(const Outcome& o, int written, int failed) {
  EXPECT_FALSE(o.run.timedOut) << "varnel-stamp did not end";
  EXPECT_TRUE(o.changes.problems.empty()) << Problems(o.changes);
  EXPECT_EQ(o.run.written, written) << o.run.out << o.run.err;
  EXPECT_EQ(o.changes.created + o.changes.replaced, written);
  EXPECT_EQ(o.run.skipped, 0);
  EXPECT_EQ(o.run.failed, failed);
  EXPECT_EQ(CountLinesWith(o.run.err, "varnel-stamp: cannot write "), failed) << o.run.err;
  EXPECT_EQ(CountLinesWith(o.run.err, "varnel-stamp: cannot list "), 0) << o.run.err;
  EXPECT_EQ(o.run.status, failed > 0 ? 1u : 0u) << o.run.err;
}

bool HasDocument(const Outcome& o, const std::wstring& path) {
  auto found = o.after.find(path);
  return found != o.after.end() && found->second.kind == 'f' && found->second.content == Document();
}

// The host refuses these itself: Wine, run as root, would let the system
// replace them. Hidden and system movies are movies like any other.
TEST(HostileTreeWin, ExistingFilesItMustNotReplace) {
  HostileTree tree;
  for (const wchar_t* movie : {L"ReadOnly.avi", L"Hidden.avi", L"System.avi", L"Old.avi", L"Folder.avi"}) {
    tree.AddFile(std::wstring(L"tree\\") + movie, "movie");
  }
  tree.AddFile(L"tree\\ReadOnly.SRT", "keep", FILE_ATTRIBUTE_READONLY);
  tree.AddFile(L"tree\\Hidden.SRT", "keep", FILE_ATTRIBUTE_HIDDEN);
  tree.AddFile(L"tree\\System.SRT", "keep", FILE_ATTRIBUTE_SYSTEM);
  tree.AddFile(L"tree\\Old.SRT", "old subtitle");
  tree.AddFolder(L"tree\\Folder.SRT");
  tree.AddFile(L"tree\\Secret.avi", "hidden movie", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  // With SRT among the movie extensions, a file of that extension is still
  // a subtitle: it is never written over with the document.
  tree.AddFile(L"tree\\Trailer.SRT", "a movie by the ticked extensions");

  Outcome o = StampTree(tree, {L"--ext", L"avi,srt"});
  ExpectSoundRun(o, 2, 4);
  EXPECT_TRUE(HasDocument(o, L"tree\\Old.SRT"));
  EXPECT_TRUE(HasDocument(o, L"tree\\Secret.SRT"));
  for (const char* refusal :
       {"ReadOnly.SRT: the existing file is read-only", "Hidden.SRT: the existing file is hidden",
        "System.SRT: the existing file is a system file", "Folder.SRT: a folder of that name exists"}) {
    EXPECT_EQ(CountLinesWith(o.run.err, refusal), 1) << refusal << "\n" << o.run.err;
  }
}

TEST(HostileTreeWin, FilesHeldOpenByAnotherProgram) {
  HostileTree tree;
  HeldFiles held;
  // Movies being played or copied: their subtitle files are written.
  held.Add(tree.AddFile(L"tree\\Copying.avi", "movie 1"), 0);
  held.Add(tree.AddFile(L"tree\\Playing.avi", "movie 2"), FILE_SHARE_READ);
  // Subtitle files open in an editor, in a player, in a program that lets
  // everyone in: left alone, whatever the other program shares.
  const DWORD sharings[] = {0, FILE_SHARE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
  for (size_t i = 0; i < std::size(sharings); ++i) {
    const std::wstring name = L"tree\\Open" + std::to_wstring(i);
    tree.AddFile(name + L".avi", "movie");
    held.Add(tree.AddFile(name + L".SRT", "old subtitle"), sharings[i]);
  }

  Outcome o = StampTree(tree, {}, {}, &held);
  ExpectSoundRun(o, 2, 3);
  EXPECT_TRUE(HasDocument(o, L"tree\\Copying.SRT"));
  EXPECT_TRUE(HasDocument(o, L"tree\\Playing.SRT"));
  EXPECT_EQ(CountLinesWith(o.run.err, ": the file is open in another program"), 3) << o.run.err;
}

// Found, walked and written whatever the system code page (936) can hold:
// Hangul, Thai, Devanagari with a combining mark, characters outside the
// Basic Multilingual Plane, Latin letters GBK lacks; the FOLDER argument too.
TEST(HostileTreeWin, NamesOutsideTheCodePage) {
  HostileTree tree;
  const std::wstring top = L"tree\\영화 모음\\";
  const std::vector<std::wstring> movies{L"영화.avi",          L"\U0001F3AC clip.mp4",
                                         L"ภาพยนตร์.avi",       L"फ़िल्म.avi",
                                         L"Noël Ångström.avi", L"电影.flv",
                                         L"폴더\\안쪽.avi",    L"\U0001F4C1\U0001F4C1\\깊은\\x.rm"};
  for (const std::wstring& movie : movies) tree.AddFile(top + movie, "movie");
  tree.AddFile(top + L"읽기.avi", "movie");
  tree.AddFile(top + L"읽기.SRT", "keep", FILE_ATTRIBUTE_READONLY);

  Outcome o = StampTree(tree, {}, tree.Path(top));
  ExpectSoundRun(o, static_cast<int>(movies.size()), 1);
  for (const std::wstring& movie : movies) {
    const std::wstring subtitle = top + movie.substr(0, movie.rfind(L'.')) + L".SRT";
    EXPECT_TRUE(HasDocument(o, subtitle)) << Utf8(subtitle);
  }
  // The message names the file in UTF-8, whatever the code page.
  EXPECT_EQ(CountLinesWith(o.run.err, Utf8(L"영화 모음\\읽기.SRT: the existing file is read-only")), 1)
      << o.run.err;
}

// Links to folders are never entered: a cycle cannot trap the walk, and
// nothing is written outside the tree through a link. Wine makes no Windows
// links on disk, so there the links are the Unix file system's own.
TEST(HostileTreeWin, LinkCyclesAreNotFollowed) {
  HostileTree tree;
  tree.AddFile(L"tree\\Film.avi", "movie 1");
  tree.AddFile(L"tree\\a\\x.avi", "movie 2");
  tree.AddFolder(L"tree\\a\\b\\c");
  tree.AddFile(L"outside\\o.avi", "not ours");
  tree.AddFile(L"outside\\victim", "must stay");
  tree.AddFile(L"tree\\Linked.avi", "movie 3");
  const std::pair<const wchar_t*, const wchar_t*> links[] = {{L"tree\\a\\loop", L"tree"},
                                                             {L"tree\\a\\b\\c\\top", L"tree"},
                                                             {L"tree\\self", L"tree"},
                                                             {L"tree\\out", L"outside"},
                                                             {L"tree\\to-movie.avi", L"outside\\o.avi"},
                                                             {L"tree\\Linked.SRT", L"outside\\victim"}};
  for (const auto& [link, target] : links) {
    const std::string whyNot = tree.AddLink(link, target);
    if (!whyNot.empty()) GTEST_SKIP() << "skipped: no links here: " << whyNot;
  }

  Outcome o = StampTree(tree);
  // Wine shows a Unix link to a file as the file itself. The write puts the
  // finished copy in the link's place, never into the file it points to; on
  // Windows the link is seen and left alone.
  const int linkedWritten = testing::UnderWine() ? 1 : 0;
  ExpectSoundRun(o, 3 + linkedWritten, 1 - linkedWritten);
  for (const wchar_t* written : {L"tree\\Film.SRT", L"tree\\a\\x.SRT", L"tree\\to-movie.SRT"}) {
    EXPECT_TRUE(HasDocument(o, written)) << Utf8(written);
  }
  EXPECT_EQ(o.after.at(L"outside\\victim").content, "must stay");
}

// A folder path longer than the old limit of 260 characters is walked and
// written, whatever form the FOLDER argument takes; names that the system's
// usual path rules would change (a device name, a trailing dot or blank) name
// the files themselves.
TEST(HostileTreeWin, FolderPathsPastTheOldLimit) {
  const std::wstring longA(120, L'A'), longB(120, L'B');
  const std::wstring base = L"tree\\" + longA + L"\\" + longB + L"\\";
  std::wstring deepest;
  for (int level = 0; level < 7; ++level) {
    deepest += std::wstring(120, static_cast<wchar_t>(L'c' + level)) + L"\\";
  }
  const std::vector<std::wstring> movies{L"Film.avi",
                                         L"NUL.avi",
                                         L"con.mp4",
                                         L"dir.\\Film.avi",
                                         L"dir\\Film.avi",
                                         L"sub \\Film.avi",
                                         deepest + L"Deepest.avi"};

  wchar_t temp[MAX_PATH + 1];
  ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 2u);
  const wchar_t drive = temp[0];
  const std::wstring uncShare = std::wstring(L"\\\\localhost\\") + drive + L"$";
  struct Form {
    const char* what;
    std::function<std::wstring(const std::wstring& folder)> argument;  // from the absolute folder
  } forms[] = {
      {"absolute", [](const std::wstring& f) { return f; }},
      {"with / separators",
       [](std::wstring f) {
         std::replace(f.begin(), f.end(), L'\\', L'/');
         return f;
       }},
      {"relative to the current folder", [&](const std::wstring&) { return L"..\\" + base; }},
      {"relative, with . and ..", [&](const std::wstring&) { return L".\\..\\cwd\\..\\" + base + L".\\"; }},
      {"relative to the drive's current folder",
       [&](const std::wstring&) {
         return std::wstring{drive, L':'} + L"..\\" + base;
       }},
      {"from the drive's root", [](const std::wstring& f) { return f.substr(2); }},
      {"long form", [](const std::wstring& f) { return L"\\\\?\\" + f; }},
      {"UNC", [&](const std::wstring& f) { return uncShare + f.substr(2); }},
      {"UNC long form",
       [&](const std::wstring& f) {
         return L"\\\\?\\UNC\\localhost\\" + std::wstring{drive} + L"$" + f.substr(2);
       }},
  };
  for (const Form& form : forms) {
    SCOPED_TRACE(form.what);
    HostileTree tree;
    for (const std::wstring& movie : movies) tree.AddFile(base + movie, "movie");
    const std::wstring folder = tree.Path(base);
    ASSERT_GT(folder.size(), 260u);
    const std::wstring argument = form.argument(folder);
    if (argument.starts_with(L"\\\\localhost") || argument.starts_with(L"\\\\?\\UNC")) {
      // Wine reaches the share through the prefix's dosdevices\unc (made by
      // cmake/wine-run); Windows through its administrative share.
      const std::wstring share = uncShare + L"\\";
      if (GetFileAttributesW(share.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (testing::UnderWine()) {
          ADD_FAILURE() << "no share " << Utf8(share);
        } else {
          std::cout << "[   NOTE   ] " << form.what << ": skipped, no share " << Utf8(share) << "\n";
        }
        continue;
      }
    }

    Outcome o = StampTree(tree, {}, argument);
    ExpectSoundRun(o, static_cast<int>(movies.size()), 0);
    for (const std::wstring& movie : movies) {
      const std::wstring subtitle = base + movie.substr(0, movie.rfind(L'.')) + L".SRT";
      EXPECT_TRUE(HasDocument(o, subtitle)) << Utf8(subtitle);
    }
  }
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

// The real Windows host, with a hook in the event pump (run once per entry,
// before the entry is handled) that changes the tree under the walk.
class MeddlingHost : public SystemHost {
 public:
  std::function<void(const std::wstring& folder, int entry)> meddle;
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
  std::wstring folder_;
  int entry_ = 0;
};

TEST(HostileTreeWin, EntriesVanishDuringTheWalk) {
  HostileTree tree;
  for (const wchar_t* movie : {L"a.avi", L"b.avi", L"c.avi", L"later\\l.avi", L"doomed\\d1.avi",
                               L"doomed\\d2.avi", L"doomed\\inner\\i.avi"}) {
    tree.AddFile(std::wstring(L"tree\\") + movie, "movie");
  }
  const TreePicture before = tree.Picture();

  MeddlingHost host;
  host.meddle = [&](const std::wstring& folder, int entry) {
    if (folder == tree.root() && entry == 1) {
      tree.Remove(L"tree\\later");  // listed, gone before it is entered
      tree.Remove(L"tree\\b.avi");  // gone before or after the walker sees it
    }
    // The folder in hand, while its listing is open.
    if (folder == tree.root() + L"doomed\\" && entry == 1) tree.Remove(L"tree\\doomed");
  };
  JobSettings settings;
  settings.adRowCount = static_cast<int>(kRows.size());
  settings.rows = kRows;
  settings.leadInText = "10";
  settings.extensionSlots[0] = L"AVI";
  settings.folderText = tree.root();
  QuietWindow window(settings);
  BatchJob job(window, host);
  job.RunBatch();

  TreeChanges changes =
      CompareRun(before, tree.Picture(), Document(), {L"tree\\later\\", L"tree\\b.avi", L"tree\\doomed\\"});
  EXPECT_TRUE(changes.problems.empty()) << Problems(changes);
  EXPECT_EQ(changes.created + changes.replaced, job.state().filesWritten);
  EXPECT_GE(job.state().filesWritten, 2);  // a.SRT and c.SRT at least
  EXPECT_GE(host.unlisted, 1);             // later\, and doomed\inner\ when the listing still gave it
}

}  // namespace
}  // namespace varnel
