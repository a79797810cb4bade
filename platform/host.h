// The operating system's side of a run, one implementation per platform
// (host_posix.cpp, host_win.cpp).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_host.h"
#include "batch/native_text.h"

namespace varnel {

// Why an operation failed, in words for the user (UTF-8).
using FailureReason = std::string;

// Null when the folder cannot be listed; `whyNot` then says why.
std::unique_ptr<FolderListing> OpenFolderListing(const NativeText& folder,
                                                 FailureReason* whyNot = nullptr);

// Writes the whole file or nothing: a new file is removed again when the write
// fails, and an existing one is replaced in one step by a finished copy, so it
// is either wholly new or exactly as it was. An existing read-only target is
// refused (on Windows also a hidden or system one, or one open elsewhere), as
// is anything that is not a plain file.
bool WriteWholeFile(const NativeText& path, std::string_view bytes, FailureReason* whyNot = nullptr);

bool PathExists(const NativeText& path);

// Roots of the fixed (local hard) drives, "C:" and so on, in alphabetical
// order; empty where the system has no drive letters.
std::vector<NativeText> ListFixedDrives();

// Dispatches the window messages waiting for this thread; a quit request
// stays in the queue. Does nothing where there is no window system.
void ProcessPendingEvents();

// The host of a real run: the functions above.
class SystemHost : public BatchHost {
 public:
  std::unique_ptr<FolderListing> ListFolder(const NativeText& folder) override {
    return OpenFolderListing(folder);
  }
  bool WriteWholeFile(const NativeText& path, std::string_view bytes) override {
    return varnel::WriteWholeFile(path, bytes);
  }
  std::vector<NativeText> ListFixedDrives() override { return varnel::ListFixedDrives(); }
  void ProcessPendingEvents() override { varnel::ProcessPendingEvents(); }
};

}  // namespace varnel
