// varnel-stamp: the run of the window, from the command line.
#pragma once

#include <ostream>
#include <vector>

#include "batch/native_text.h"

namespace varnel {

struct StampStreams {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;  // progress is shown only on a terminal
};

// Runs varnel-stamp with `args` (without the program name); returns the exit
// status: 0 when nothing failed, 1 when a write or a listing failed, 2 for a
// usage error.
int RunStamp(const std::vector<NativeText>& args, StampStreams streams);

}  // namespace varnel
