// The window side of a run: where its settings come from and where it shows
// what it does.
#pragma once

#include "batch/job_settings.h"
#include "batch/native_text.h"

namespace varnel {

class BatchWindow {
 public:
  virtual ~BatchWindow() = default;

  // Reads every setting of a run in one go, with no events processed between
  // the reads.
  virtual JobSettings ReadJobSettings() = 0;
  virtual void SetStartButtonCaption(NativeView caption) = 0;
  virtual void SetStatusText(NativeView text) = 0;
  // Modal, task-modal and without owner; returns when dismissed.
  virtual void ShowMessageBox(NativeView text, unsigned style, NativeView title) = 0;
};

}  // namespace varnel
