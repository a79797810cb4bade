// BuildSrtDocument and BuildSsaDocument with arbitrary bytes as the lead-in,
// the rows and the style. Each document is read back cue by cue.
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "subtitle/documents.h"
#include "subtitle/text.h"
#include "subtitle/timing.h"

using namespace varnel;
using namespace varnel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string leadIn = input.ConsumeRandomLengthString(16);
  const SsaStyle style = ConsumeStyle(input);
  std::vector<AdLine> rows;
  while (input.remaining_bytes() > 0 && rows.size() < 64) {
    AdLine row;
    row.displayTime = input.ConsumeRandomLengthString(16);
    row.text = input.ConsumeRandomLengthString(64);
    rows.push_back(std::move(row));
  }

  // The times every row asks for: after the lead-in, one after the other.
  std::vector<int32_t> starts, ends;
  int32_t t = TextToInt(leadIn);
  for (const AdLine& row : rows) {
    starts.push_back(t);
    t = Wrapped(t, TextToInt(row.displayTime));
    ends.push_back(t);
  }

  // SRT: exactly one cue per row, numbered from 1, and nothing else.
  const std::string srt = BuildSrtDocument(leadIn, rows);
  size_t pos = 0;
  for (size_t r = 0; r < rows.size(); ++r) {
    VARNEL_CHECK(Take(srt, pos, std::to_string(r + 1) + "\r\n"));
    std::optional<int64_t> start = ClockTime(srt, pos, 2);
    VARNEL_CHECK(start && *start == Shown(starts[r]));
    VARNEL_CHECK(Take(srt, pos, ",100 --> "));
    std::optional<int64_t> end = ClockTime(srt, pos, 2);
    VARNEL_CHECK(end && *end == Shown(ends[r]));
    VARNEL_CHECK(Take(srt, pos, ",100\r\n"));
    VARNEL_CHECK(Take(srt, pos, rows[r].text));
    VARNEL_CHECK(Take(srt, pos, "\r\n\r\n"));
  }
  VARNEL_CHECK(pos == srt.size());

  // SSA: the header, an empty line, exactly one event line per row.
  const std::string ssa = BuildSsaDocument(style, leadIn, rows);
  pos = 0;
  VARNEL_CHECK(Take(ssa, pos, FillSsaHeader(style) + "\r\n"));
  for (size_t r = 0; r < rows.size(); ++r) {
    VARNEL_CHECK(Take(ssa, pos, "Dialogue: Marked=0,"));
    std::optional<int64_t> start = ClockTime(ssa, pos, 1);
    VARNEL_CHECK(start && *start == Shown(starts[r]));
    VARNEL_CHECK(Take(ssa, pos, ".01,"));
    std::optional<int64_t> end = ClockTime(ssa, pos, 1);
    VARNEL_CHECK(end && *end == Shown(ends[r]));
    VARNEL_CHECK(Take(ssa, pos, ".02,New Style,NTP,0000,0000,0000,,"));
    VARNEL_CHECK(Take(ssa, pos, rows[r].text));
    VARNEL_CHECK(Take(ssa, pos, "\r\n"));
  }
  VARNEL_CHECK(pos == ssa.size());
  return 0;
}
