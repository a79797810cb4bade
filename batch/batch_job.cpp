#include "batch/batch_job.h"

#include <utility>
#include <vector>

#include "subtitle/documents.h"

namespace varnel {

namespace {

constexpr NativeView kStartCaption = VARNEL_NATIVE("开始工作");
constexpr NativeView kStopCaption = VARNEL_NATIVE("结束工作");
constexpr NativeView kNoLinesText = VARNEL_NATIVE("没有可添加的字幕!");
constexpr NativeView kNoLinesTitle = VARNEL_NATIVE(" 提示...");
constexpr unsigned kErrorIconStyle = 16;  // error icon, one OK button

constexpr size_t kShownFolderLength = 30;

// Whether `extension`, upper-cased as the movie rule does (only a..z), is
// exactly `slot`. Compares in place: it runs for every entry of a walk, and
// an upper-cased copy for each would cost more than the comparison.
bool IsUpperCasedExtension(NativeView slot, NativeView extension) {
  if (slot.size() != extension.size()) return false;
  for (size_t i = 0; i < extension.size(); ++i) {
    if (UpperAscii(extension[i]) != slot[i]) return false;
  }
  return true;
}

}  // namespace

NativeText NativeDecimal(long long value) {
#ifdef _WIN32
  return std::to_wstring(value);
#else
  return std::to_string(value);
#endif
}

void InitBatchState(BatchState& state) { state = BatchState{}; }

void ReleaseBatchState(BatchState& state) {
  for (NativeText& slot : state.movieExtensions) NativeText().swap(slot);
  Bytes().swap(state.subtitleBytes);
}

std::optional<NativeText> MovieSubtitlePath(NativeView folder, NativeView entryName,
                                            const MovieExtensionSlots& movieExtensions,
                                            int32_t subtitleType) {
  if (entryName.size() < 4) return std::nullopt;
  size_t dot = entryName.rfind(VARNEL_NATIVE('.'));
  if (dot == NativeView::npos || dot + 1 == entryName.size()) return std::nullopt;

  const NativeView extension = entryName.substr(dot + 1);
  bool isMovie = false;
  for (const NativeText& slot : movieExtensions) {
    if (IsUpperCasedExtension(slot, extension)) {
      isMovie = true;
      break;
    }
  }
  if (!isMovie) return std::nullopt;

  NativeView newExtension;
  if (subtitleType == 0) {
    newExtension = VARNEL_NATIVE("SRT");
  } else if (subtitleType == 1) {
    newExtension = VARNEL_NATIVE("SSA");
  } else {
    return std::nullopt;
  }
  // A file with the subtitle's own extension is a subtitle, never a movie:
  // with "SRT" among the movie extensions, Film.srt would otherwise be
  // written over with the document (Windows and many shared folders do not
  // tell Film.srt from Film.SRT), and the file would be lost.
  if (IsUpperCasedExtension(newExtension, extension)) return std::nullopt;
  NativeText path(folder);
  path += entryName.substr(0, dot + 1);
  path += newExtension;
  return path;
}

NativeText ProgressText(NativeView folder, NativeView entryName) {
  NativeText text = VARNEL_NATIVE(" 正在搜索...");
  if (folder.size() <= kShownFolderLength) {
    text += folder;
  } else {
    text += folder.substr(0, kShownFolderLength);
    text += VARNEL_NATIVE("...");
    text += kPathSeparator;
  }
  text += entryName;
  return text;
}

NativeText CompletionText(int32_t filesWritten) {
  NativeText text = VARNEL_NATIVE(" 恭喜,处理完成!   共添加字幕: ");
  text += NativeDecimal(filesWritten);
  text += VARNEL_NATIVE(" 个");
  return text;
}

BatchJob::BatchJob(BatchWindow& window, BatchHost& host) : window_(window), host_(host) {
  InitBatchState(state_);
}

BatchJob::~BatchJob() { ReleaseBatchState(state_); }

void BatchJob::RunBatch() {
  state_.runFlag = (state_.runFlag & 1) ^ 1;
  JobSettings settings = window_.ReadJobSettings();

  if (settings.adRowCount < 1) {
    // Nothing can be stamped without lines. The click never leaves a run
    // pending behind a caption that says otherwise: the job is idle, a run
    // going on stops, and the button says "start".
    state_.runFlag = 0;
    window_.SetStartButtonCaption(kStartCaption);
    window_.ShowMessageBox(kNoLinesText, kErrorIconStyle, kNoLinesTitle);
    return;
  }

  window_.SetStartButtonCaption(state_.runFlag == 1 ? kStopCaption : kStartCaption);
  state_.movieExtensions = settings.extensionSlots;
  state_.subtitleBytes.clear();
  state_.subtitleType = settings.subtitleType;
  if (state_.subtitleType == 0) {
    state_.subtitleBytes = BuildSrtDocument(settings.leadInText, settings.rows);
  } else if (state_.subtitleType == 1) {
    state_.subtitleBytes = BuildSsaDocument(settings.style, settings.leadInText, settings.rows);
  }
  // A click that stops a run keeps the count of what the run wrote.
  if (state_.runFlag == 1) state_.filesWritten = 0;

  if (settings.folderText.empty() || settings.allDrives) {
    const std::vector<NativeText> drives = host_.ListFixedDrives();
    for (const NativeText& drive : drives) {
      ScanFolder(drive);
      if (state_.runFlag == 0) break;
    }
  } else {
    ScanFolder(settings.folderText);
  }
  window_.SetStatusText(CompletionText(state_.filesWritten));
}

void BatchJob::ScanFolder(NativeText folder) {
  if (state_.runFlag != 1) return;
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;

  std::unique_ptr<FolderListing> listing = host_.ListFolder(folder);
  if (!listing) return;

  // One listing serves both passes: the folders met while the entries are
  // examined are walked once this folder's own entries are done.
  std::vector<NativeText> subfolders;
  // Every progress text of this folder starts with the same folder part: it
  // is made once, and each entry only puts its name after it.
  NativeText progress = ProgressText(folder, {});
  const size_t folderPart = progress.size();
  FolderEntry entry;
  while (state_.runFlag == 1 && listing->Next(entry)) {
    // A Start click handled here may replace the whole run state, so it is
    // read afresh below, never kept across this call.
    host_.ProcessPendingEvents();
    if (!entry.isFolder) {
      std::optional<NativeText> output =
          MovieSubtitlePath(folder, entry.name, state_.movieExtensions, state_.subtitleType);
      if (output && host_.WriteWholeFile(*output, state_.subtitleBytes)) ++state_.filesWritten;
    }
    progress.resize(folderPart);
    progress += entry.name;
    window_.SetStatusText(progress);
    // Links are not entered, so a cycle of links cannot trap the walk.
    if (entry.isFolder && !entry.isLink && !entry.name.empty() &&
        entry.name.front() != VARNEL_NATIVE('.')) {
      subfolders.push_back(std::move(entry.name));
    }
  }
  listing.reset();

  for (const NativeText& name : subfolders) ScanFolder(folder + name);
}

}  // namespace varnel
