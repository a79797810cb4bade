// MovieSubtitlePath with arbitrary folders, names, extension slots and types.
#include <string>

#include "batch/batch_job.h"
#include "fuzz/fuzz_check.h"

using namespace varnel;

namespace {

std::string AsciiUpper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const int32_t subtitleType = input.ConsumeIntegralInRange<int32_t>(-1, 2);
  MovieExtensionSlots slots;
  for (NativeText& slot : slots) slot = input.ConsumeRandomLengthString(6);
  const std::string folder = input.ConsumeRandomLengthString(32) + "/";
  std::string name = input.ConsumeRemainingBytesAsString();
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';  // a file name holds neither
  }

  const std::optional<NativeText> path = MovieSubtitlePath(folder, name, slots, subtitleType);

  // A movie: at least 4 bytes, a non-empty extension after the last ".",
  // upper-cased (ASCII letters only) equal to a slot, and not the subtitle's
  // own extension.
  const size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : AsciiUpper(name.substr(dot + 1));
  bool inSlots = false;
  for (const NativeText& slot : slots) inSlots = inSlots || (!extension.empty() && slot == extension);
  const std::string newExtension = subtitleType == 0 ? "SRT" : subtitleType == 1 ? "SSA" : "";
  const bool movie = name.size() >= 4 && inSlots && !newExtension.empty() && extension != newExtension;
  VARNEL_CHECK(path.has_value() == movie);
  if (!path) return 0;

  // Beside the movie, its base name kept byte for byte, the new extension
  // upper-case; never the movie's own name, not even up to case.
  VARNEL_CHECK(*path == folder + name.substr(0, dot + 1) + newExtension);
  VARNEL_CHECK(AsciiUpper(path->substr(folder.size())) != AsciiUpper(name));
  return 0;
}
