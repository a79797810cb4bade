// The host side of a run: the file system and the event pump.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "batch/native_text.h"

namespace varnel {

struct FolderEntry {
  NativeText name;          // the name only, as the file system spells it
  bool isFolder = false;    // a folder, or a link or junction to one
  bool isLink = false;      // a symbolic link or junction (never entered)
};

// One open listing of a folder. Every entry is returned, "." and ".." included,
// in the order the file system lists them.
class FolderListing {
 public:
  virtual ~FolderListing() = default;
  // False at the end, or when the listing failed; after that it stays false.
  virtual bool Next(FolderEntry& entry) = 0;
};

class BatchHost {
 public:
  virtual ~BatchHost() = default;

  // Null when the folder cannot be listed.
  virtual std::unique_ptr<FolderListing> ListFolder(const NativeText& folder) = 0;
  // All or nothing: on failure no partial file is left, and an existing file is
  // either wholly replaced or left as it was. Refuses an existing read-only
  // target (on Windows also hidden, system, or open elsewhere).
  virtual bool WriteWholeFile(const NativeText& path, std::string_view bytes) = 0;
  // Roots of the fixed drives ("C:" ...), alphabetical; none outside Windows.
  virtual std::vector<NativeText> ListFixedDrives() = 0;
  // Lets the window handle what is waiting, a Start click included.
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace varnel
