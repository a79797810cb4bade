// The command line of varnel-stamp, read into the settings of one run.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "batch/job_settings.h"
#include "batch/native_text.h"

namespace varnel {

enum class DocumentEncoding { Gbk, Utf8 };

struct StampOptions {
  enum class Action { Run, Help, Version };
  Action action = Action::Run;
  JobSettings settings;
  DocumentEncoding encoding = DocumentEncoding::Gbk;
  bool dryRun = false;
  bool skipExisting = false;
  bool quiet = false;
};

// What is wrong with a command line, in words that name the option and what
// it accepts.
struct UsageError {
  std::string message;
};

std::variant<StampOptions, UsageError> ParseStampOptions(const std::vector<NativeText>& args);

extern const char kStampUsage[];

}  // namespace varnel
