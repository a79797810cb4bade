// The run controller and the folder walker: one Start click starts a run, the
// next one stops it.
#pragma once

#include <cstdint>
#include <optional>

#include "batch/batch_host.h"
#include "batch/batch_window.h"
#include "batch/job_settings.h"
#include "batch/native_text.h"
#include "subtitle/text.h"

namespace varnel {

// The run state, one for the whole program.
struct BatchState {
  int32_t runFlag = 0;                  // 1 while a run may walk
  MovieExtensionSlots movieExtensions;  // upper-case extensions; empty matches nothing
  Bytes subtitleBytes;                  // the run's document, written into every file
  int32_t subtitleType = 0;             // 0 SRT, 1 SSA, other: nothing is written
  int32_t filesWritten = 0;
};

void InitBatchState(BatchState& state);
void ReleaseBatchState(BatchState& state);

// Where the subtitle file of `entryName` goes when the entry is a movie by the
// slots, or nothing. `folder` ends with the path separator.
std::optional<NativeText> MovieSubtitlePath(NativeView folder, NativeView entryName,
                                            const MovieExtensionSlots& movieExtensions,
                                            int32_t subtitleType);

// " 正在搜索..." with the folder (cut to 30 units and "...\" when longer) and
// the entry name.
NativeText ProgressText(NativeView folder, NativeView entryName);
// " 恭喜,处理完成!   共添加字幕: N 个"
NativeText CompletionText(int32_t filesWritten);

class BatchJob {
 public:
  BatchJob(BatchWindow& window, BatchHost& host);
  ~BatchJob();
  BatchJob(const BatchJob&) = delete;
  BatchJob& operator=(const BatchJob&) = delete;

  // The Start button's click handler. Re-entered from the event pump when the
  // button is clicked during a walk, which stops the walk.
  void RunBatch();
  // Stops a run going on as a stop click would, after the entry in hand, but
  // reads and changes nothing of the window: for a window that is closing.
  void StopRun() { state_.runFlag = 0; }
  // Walks one folder tree, writing the run's document beside every movie.
  void ScanFolder(NativeText folder);

  const BatchState& state() const { return state_; }

 private:
  BatchWindow& window_;
  BatchHost& host_;
  BatchState state_;
};

}  // namespace varnel
