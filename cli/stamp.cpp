#include "cli/stamp.h"

#include <chrono>
#include <variant>

#include "batch/batch_job.h"
#include "cli/stamp_options.h"
#include "platform/encoding.h"
#include "platform/host.h"

namespace varnel {

namespace {

// A path as printed: control characters (a newline in a name, a terminal
// escape) are shown as \n, \t or \xNN, so that every path stays on one line
// and nothing in a name can drive the terminal.
std::string PrintablePath(NativeView path) {
  std::string text = Utf8FromNative(path);
  std::string shown;
  shown.reserve(text.size());
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\t') {
      shown += "\\t";
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    }
  }
  return shown;
}

// The window side of a command-line run: settings from the command line; the
// status texts of the window are not shown (progress comes from the host).
class StampWindow : public BatchWindow {
 public:
  explicit StampWindow(const JobSettings& settings) : settings_(settings) {}
  JobSettings ReadJobSettings() override { return settings_; }
  void SetStartButtonCaption(NativeView) override {}
  void SetStatusText(NativeView) override {}
  void ShowMessageBox(NativeView, unsigned, NativeView) override {}

 private:
  const JobSettings& settings_;
};

// The real file system, with what the command line adds: dry runs, leaving
// existing files alone, reporting failures, and progress on a terminal.
class StampHost : public SystemHost {
 public:
  StampHost(const StampOptions& options, StampStreams streams) : options_(options), streams_(streams) {}
  int skipped = 0;
  int failed = 0;
  int unlisted = 0;

  std::unique_ptr<FolderListing> ListFolder(const NativeText& folder) override {
    ShowProgress(folder);
    FailureReason why;
    std::unique_ptr<FolderListing> listing = OpenFolderListing(folder, &why);
    if (!listing) {
      ++unlisted;
      Report("cannot list " + PrintablePath(folder) + ": " + why);
    }
    return listing;
  }

  bool WriteWholeFile(const NativeText& path, std::string_view bytes) override {
    if (options_.skipExisting && PathExists(path)) {
      ++skipped;
      return false;
    }
    if (options_.dryRun) {
      ClearProgress();
      streams_.out << PrintablePath(path) << '\n';
      return true;
    }
    FailureReason why;
    if (varnel::WriteWholeFile(path, bytes, &why)) return true;
    ++failed;
    Report("cannot write " + PrintablePath(path) + ": " + why);
    return false;
  }

  // Takes the progress line off the terminal before anything else is printed.
  void ClearProgress() {
    if (!progressShown_) return;
    streams_.err << "\r\x1b[K" << std::flush;
    progressShown_ = false;
  }

 private:
  void Report(const std::string& message) {
    ClearProgress();
    streams_.err << "varnel-stamp: " << message << '\n';
  }

  void ShowProgress(const NativeText& folder) {
    if (options_.quiet || !streams_.errIsTerminal) return;
    auto now = std::chrono::steady_clock::now();
    if (now - lastProgress_ < std::chrono::milliseconds(200)) return;
    lastProgress_ = now;
    std::string shown = PrintablePath(folder);
    constexpr size_t kWidth = 70;
    if (shown.size() > kWidth) {
      size_t cut = shown.size() - kWidth;
      while (cut < shown.size() && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) ++cut;
      shown = "..." + shown.substr(cut);
    }
    streams_.err << "\rsearching " << shown << "\x1b[K" << std::flush;
    progressShown_ = true;
  }

  const StampOptions& options_;
  StampStreams streams_;
  std::chrono::steady_clock::time_point lastProgress_{};
  bool progressShown_ = false;
};

}  // namespace

int RunStamp(const std::vector<NativeText>& args, StampStreams streams) {
  std::variant<StampOptions, UsageError> parsed = ParseStampOptions(args);
  if (const UsageError* error = std::get_if<UsageError>(&parsed)) {
    streams.err << "varnel-stamp: " << error->message << "\n"
                << "Try 'varnel-stamp --help' for more information.\n";
    return 2;
  }
  const StampOptions& options = std::get<StampOptions>(parsed);
  if (options.action == StampOptions::Action::Help) {
    streams.out << kStampUsage;
    return 0;
  }
  if (options.action == StampOptions::Action::Version) {
    streams.out << "varnel-stamp 1.0\n";
    return 0;
  }

  StampWindow window(options.settings);
  StampHost host(options, streams);
  int written = 0;
  {
    BatchJob job(window, host);
    job.RunBatch();
    written = job.state().filesWritten;
  }
  host.ClearProgress();
  streams.out << "written: " << written << ", skipped: " << host.skipped << ", failed: " << host.failed
              << '\n';
  return host.failed > 0 || host.unlisted > 0 ? 1 : 0;
}

}  // namespace varnel
