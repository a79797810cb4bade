// The run controller and the walker against a scripted window and an
// in-memory file system, so every step of a run can be watched.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "batch/batch_job.h"

namespace varnel {
namespace {

using Entries = std::vector<FolderEntry>;

FolderEntry File(std::string name) { return {std::move(name), false, false}; }
FolderEntry Folder(std::string name) { return {std::move(name), true, false}; }
FolderEntry FolderLink(std::string name) { return {std::move(name), true, true}; }

class FakeListing : public FolderListing {
 public:
  explicit FakeListing(Entries entries) : entries_(std::move(entries)) {}
  bool Next(FolderEntry& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = entries_[next_++];
    return true;
  }

 private:
  Entries entries_;
  size_t next_ = 0;
};

// Folders by path (ending in "/"); every listing starts with "." and "..".
// `onEntry` runs inside the event pump, once per examined entry.
class FakeHost : public BatchHost {
 public:
  std::map<std::string, Entries> folders;
  std::set<std::string> refused;  // writes to these paths fail
  std::vector<std::string> writes;
  std::map<std::string, Bytes> files;
  std::vector<std::string> listed;
  std::vector<std::string> drives;
  int pumps = 0;
  std::function<void(int)> onPump;

  std::unique_ptr<FolderListing> ListFolder(const NativeText& folder) override {
    listed.push_back(folder);
    auto found = folders.find(folder);
    if (found == folders.end()) return nullptr;
    Entries entries{Folder("."), Folder("..")};
    entries.insert(entries.end(), found->second.begin(), found->second.end());
    return std::make_unique<FakeListing>(entries);
  }
  bool WriteWholeFile(const NativeText& path, std::string_view bytes) override {
    writes.push_back(path);
    if (refused.count(path)) return false;
    files[path] = Bytes(bytes);
    return true;
  }
  std::vector<NativeText> ListFixedDrives() override { return drives; }
  void ProcessPendingEvents() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
};

class FakeWindow : public BatchWindow {
 public:
  JobSettings settings;
  std::string caption = "开始工作";
  std::string status;
  std::vector<std::string> statusLog;
  std::vector<std::string> messages;

  FakeWindow() {
    settings.rows = {{"5", "A"}, {"3", "B"}};
    settings.adRowCount = 2;
    std::array<bool, kExtensionSlots> ticked{};
    std::fill_n(ticked.begin(), 8, true);
    settings.extensionSlots = ExtensionSlotsFromTicks(ticked, {});
    settings.leadInText = "10";
    settings.folderText = "/v";
  }
  JobSettings ReadJobSettings() override { return settings; }
  void SetStartButtonCaption(NativeView text) override { caption = text; }
  void SetStatusText(NativeView text) override {
    status = text;
    statusLog.push_back(status);
  }
  void ShowMessageBox(NativeView text, unsigned style, NativeView title) override {
    messages.push_back(std::string(title) + "|" + std::string(text) + "|" + std::to_string(style));
  }
};

std::string Done(int count) { return " 恭喜,处理完成!   共添加字幕: " + std::to_string(count) + " 个"; }

class BatchJobTest : public ::testing::Test {
 protected:
  FakeWindow window;
  FakeHost host;
  BatchJob job{window, host};
};

TEST(MovieRule, Table) {
  std::array<bool, kExtensionSlots> ticked{};
  std::fill(ticked.begin(), ticked.end(), true);
  ticked[10] = false;
  MovieExtensionSlots slots = ExtensionSlotsFromTicks(ticked, {"mkv", ".Mov", "TS"});
  struct Case {
    const char* name;
    int32_t type;
    const char* output;  // nullptr: no movie
  } cases[] = {
      {"Film.avi", 0, "/v/Film.SRT"},
      {"Film.avi", 1, "/v/Film.SSA"},
      {"Film.avi", -1, nullptr},
      {"film.Avi", 0, "/v/film.SRT"},
      {"My.Film.part1.rmvb", 0, "/v/My.Film.part1.SRT"},
      {"a.rm", 0, "/v/a.SRT"},
      {"a.r", 0, nullptr},              // unknown extension
      {"RMVB", 0, nullptr},             // no dot
      {".avi", 0, "/v/.SRT"},
      {"Film.", 0, nullptr},            // empty extension
      {"b.RMVB.txt", 0, nullptr},
      {"x.MKV", 0, "/v/x.SRT"},         // a free-text extension in any case, with or without its dot
      {"x.mov", 0, "/v/x.SRT"},
      {"x.ts", 0, nullptr},             // its box is not ticked
      {"电影.avi", 0, "/v/电影.SRT"},
      {"电影.ａvi", 0, nullptr},        // a full-width letter is not "a"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<NativeText> output = MovieSubtitlePath("/v/", c.name, slots, c.type);
    if (c.output) {
      ASSERT_TRUE(output.has_value());
      EXPECT_EQ(*output, c.output);
    } else {
      EXPECT_FALSE(output.has_value());
    }
  }
  // Short names are never movies, whatever the slots hold.
  MovieExtensionSlots single{"X"};
  EXPECT_FALSE(MovieSubtitlePath("/v/", "a.x", single, 0).has_value());
  EXPECT_EQ(MovieSubtitlePath("/v/", "ab.x", single, 0), "/v/ab.SRT");
}

TEST(StatusTexts, ProgressAndCompletion) {
  const std::string folder30 = "/123456789/123456789/12345678/";
  ASSERT_EQ(folder30.size(), 30u);
  EXPECT_EQ(ProgressText(folder30, "a.avi"), " 正在搜索..." + folder30 + "a.avi");
  EXPECT_EQ(ProgressText(folder30 + "b/", "a.avi"), " 正在搜索..." + folder30 + ".../a.avi");
  EXPECT_EQ(CompletionText(0), Done(0));
  EXPECT_EQ(CompletionText(12345), " 恭喜,处理完成!   共添加字幕: 12345 个");
}

TEST_F(BatchJobTest, WalksTheTreeFilesFirstThenSubfolders) {
  host.folders["/v/"] = {File("Film.avi"), Folder("sub"), File("note.txt"), Folder(".hidden"),
                         Folder("Clip.avi"), FolderLink("loop"), File("Film.mp4")};
  host.folders["/v/sub/"] = {File("b.wmv")};
  host.folders["/v/Clip.avi/"] = {File("c.flv")};
  host.folders["/v/.hidden/"] = {File("h.avi")};
  host.folders["/v/loop/"] = {File("l.avi")};

  job.RunBatch();

  // Film.SRT twice (both counted); a folder named like a movie gets nothing
  // but is walked; dot folders and links are not entered.
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/Film.SRT", "/v/Film.SRT", "/v/sub/b.SRT", "/v/Clip.avi/c.SRT"}));
  EXPECT_EQ(host.listed, (std::vector<std::string>{"/v/", "/v/sub/", "/v/Clip.avi/"}));
  EXPECT_EQ(host.files["/v/Film.SRT"], BuildSrtDocument("10", window.settings.rows));
  EXPECT_EQ(job.state().filesWritten, 4);
  // A progress text for every listed entry, "." and ".." included.
  EXPECT_EQ(window.statusLog.front(), " 正在搜索.../v/.");
  EXPECT_EQ(window.statusLog[2], " 正在搜索.../v/Film.avi");
  EXPECT_EQ(window.statusLog.size(), 9u + 3u + 3u + 1u);
  EXPECT_EQ(window.status, Done(4));
  EXPECT_EQ(host.pumps, 9 + 3 + 3);
  // The end of a walk leaves the run "finished": flag and caption stay.
  EXPECT_EQ(job.state().runFlag, 1);
  EXPECT_EQ(window.caption, "结束工作");
}

TEST_F(BatchJobTest, FolderWithOrWithoutTrailingSeparatorGivesTheSameWalk) {
  host.folders["/v/"] = {File("Film.avi")};
  job.RunBatch();
  std::vector<std::string> first = window.statusLog;
  job.RunBatch();  // back to idle
  window.statusLog.clear();
  window.settings.folderText = "/v/";
  job.RunBatch();
  EXPECT_EQ(window.statusLog, first);
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/Film.SRT", "/v/Film.SRT"}));
}

TEST_F(BatchJobTest, SsaFormatAndFailedWrites) {
  host.folders["/v/"] = {File("a.avi"), File("b.avi")};
  host.refused = {"/v/a.SSA"};
  window.settings.subtitleType = 1;
  job.RunBatch();
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/a.SSA", "/v/b.SSA"}));
  EXPECT_EQ(host.files["/v/b.SSA"], BuildSsaDocument(SsaStyle{}, "10", window.settings.rows));
  EXPECT_EQ(window.status, Done(1));
}

TEST_F(BatchJobTest, NoFormatSelectedWalksButWritesNothing) {
  host.folders["/v/"] = {File("a.avi")};
  window.settings.subtitleType = -1;
  job.RunBatch();
  EXPECT_TRUE(host.writes.empty());
  EXPECT_EQ(window.statusLog.size(), 4u);
  EXPECT_EQ(window.status, Done(0));
}

TEST_F(BatchJobTest, UnlistableFolderShowsNothingButTheCompletion) {
  window.settings.folderText = "/missing";
  job.RunBatch();
  EXPECT_EQ(window.statusLog, std::vector<std::string>{Done(0)});
}

TEST_F(BatchJobTest, EachClickFlipsTheRun) {
  host.folders["/v/"] = {File("a.avi")};
  job.RunBatch();  // runs to its end: finished
  EXPECT_EQ(window.status, Done(1));
  job.RunBatch();  // finished -> idle: nothing walked, same count
  EXPECT_EQ(job.state().runFlag, 0);
  EXPECT_EQ(window.caption, "开始工作");
  EXPECT_EQ(host.writes.size(), 1u);
  EXPECT_EQ(window.status, Done(1));
  job.RunBatch();  // a new run, counted from 0
  EXPECT_EQ(host.writes.size(), 2u);
  EXPECT_EQ(window.status, Done(1));
}

TEST_F(BatchJobTest, EmptyListShowsTheMessageAndLeavesTheJobIdle) {
  host.folders["/v/"] = {File("a.avi")};
  window.settings.rows.clear();
  window.settings.adRowCount = 0;
  job.RunBatch();
  EXPECT_EQ(window.messages, std::vector<std::string>{" 提示...|没有可添加的字幕!|16"});
  EXPECT_EQ(job.state().runFlag, 0);
  EXPECT_EQ(window.caption, "开始工作");
  EXPECT_TRUE(window.statusLog.empty());
  EXPECT_TRUE(host.listed.empty());

  // The next click with lines starts a run at once.
  window.settings.rows = {{"1", "x"}};
  window.settings.adRowCount = 1;
  job.RunBatch();
  EXPECT_EQ(host.writes.size(), 1u);
  EXPECT_EQ(window.caption, "结束工作");

  // From "finished", an empty list stops too and the caption follows.
  window.settings.rows.clear();
  window.settings.adRowCount = 0;
  job.RunBatch();
  EXPECT_EQ(job.state().runFlag, 0);
  EXPECT_EQ(window.caption, "开始工作");
}

TEST_F(BatchJobTest, StopClickFinishesTheEntryInHandThenUnwinds) {
  host.folders["/v/"] = {File("a.avi"), File("b.avi"), Folder("sub"), File("c.avi")};
  host.folders["/v/sub/"] = {File("d.avi")};
  // The click arrives in the pump before b.avi (the 4th entry) is examined.
  host.onPump = [&](int pump) {
    if (pump == 4) job.RunBatch();
  };
  job.RunBatch();
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/a.SRT", "/v/b.SRT"}));
  EXPECT_EQ(host.listed, std::vector<std::string>{"/v/"});
  EXPECT_EQ(job.state().runFlag, 0);
  EXPECT_EQ(window.caption, "开始工作");
  // The nested completion text is replaced by b.avi's progress, then the
  // outer call writes the count of the whole run, the entry in hand included.
  ASSERT_GE(window.statusLog.size(), 3u);
  EXPECT_EQ(window.statusLog[window.statusLog.size() - 3], Done(1));
  EXPECT_EQ(window.statusLog[window.statusLog.size() - 2], " 正在搜索.../v/b.avi");
  EXPECT_EQ(window.status, Done(2));
}

TEST_F(BatchJobTest, StopClickUsesTheSettingsOfTheStopClick) {
  host.folders["/v/"] = {File("a.avi"), File("b.avi")};
  host.onPump = [&](int pump) {
    if (pump != 4) return;
    window.settings.subtitleType = 1;  // changed while the run went on
    job.RunBatch();
  };
  job.RunBatch();
  // The entry in hand is written with the document the stop click built.
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/a.SRT", "/v/b.SSA"}));
  EXPECT_EQ(host.files["/v/b.SSA"], BuildSsaDocument(SsaStyle{}, "10", window.settings.rows));
}

TEST_F(BatchJobTest, TwoClicksInOnePumpRunANestedRunThenGoOn) {
  host.folders["/v/"] = {File("a.avi"), File("b.avi"), File("c.avi")};
  host.onPump = [&](int pump) {
    if (pump != 4) return;
    host.onPump = nullptr;
    job.RunBatch();  // stop
    job.RunBatch();  // start again: a complete nested run
  };
  job.RunBatch();
  // Nested run: a, b, c; then the outer walk goes on with b and c.
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/a.SRT", "/v/a.SRT", "/v/b.SRT", "/v/c.SRT",
                                                   "/v/b.SRT", "/v/c.SRT"}));
  // The count continues from the nested run's count.
  EXPECT_EQ(window.status, Done(5));
  EXPECT_EQ(job.state().runFlag, 1);
  EXPECT_EQ(window.caption, "结束工作");
}

TEST_F(BatchJobTest, StopClickWithAnEmptyListStopsTheRun) {
  host.folders["/v/"] = {File("a.avi"), File("b.avi"), File("c.avi")};
  host.onPump = [&](int pump) {
    if (pump != 4) return;
    window.settings.rows.clear();
    window.settings.adRowCount = 0;
    job.RunBatch();
  };
  job.RunBatch();
  EXPECT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(host.writes, (std::vector<std::string>{"/v/a.SRT", "/v/b.SRT"}));
  EXPECT_EQ(window.caption, "开始工作");
  EXPECT_EQ(window.status, Done(2));
}

TEST_F(BatchJobTest, DrivesAreWalkedWhenAskedOrWhenNoFolderIsGiven) {
  host.drives = {"C:", "D:"};
  host.folders["C:/"] = {File("c.avi")};
  host.folders["D:/"] = {File("d.avi")};
  host.folders["/v/"] = {File("v.avi")};

  window.settings.allDrives = true;  // a ticked box wins over a folder
  job.RunBatch();
  EXPECT_EQ(host.listed, (std::vector<std::string>{"C:/", "D:/"}));
  job.RunBatch();

  host.listed.clear();
  window.settings.allDrives = false;
  window.settings.folderText.clear();  // no folder: the drives
  job.RunBatch();
  EXPECT_EQ(host.listed, (std::vector<std::string>{"C:/", "D:/"}));
  EXPECT_EQ(window.status, Done(2));
}

TEST_F(BatchJobTest, StopDuringTheFirstDriveLeavesTheOthersUnwalked) {
  host.drives = {"C:", "D:"};
  host.folders["C:/"] = {File("c.avi")};
  host.folders["D:/"] = {File("d.avi")};
  window.settings.allDrives = true;
  host.onPump = [&](int pump) {
    if (pump == 1) job.RunBatch();
  };
  job.RunBatch();
  EXPECT_EQ(host.listed, std::vector<std::string>{"C:/"});
  EXPECT_TRUE(host.writes.empty());
  EXPECT_EQ(window.status, Done(0));
}

}  // namespace
}  // namespace varnel
