// ReplaceEvery on arbitrary text, pattern and value.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "subtitle/text.h"

using varnel::ReplaceEvery;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string from = input.ConsumeRandomLengthString(12);
  const std::string to = input.ConsumeRandomLengthString(24);
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::string result = ReplaceEvery(text, from, to);
  if (from.empty()) {
    VARNEL_CHECK(result == text);
    return 0;
  }
  VARNEL_CHECK(ReplaceEvery(text, from, from) == text);

  // Mark every replacement with a byte that is neither in the text nor in
  // the pattern, then check the marks against the rule.
  int mark = 0;
  while (mark < 256 && (text.find(static_cast<char>(mark)) != std::string::npos ||
                        from.find(static_cast<char>(mark)) != std::string::npos)) {
    ++mark;
  }
  if (mark == 256) return 0;
  const std::string marked = ReplaceEvery(text, from, std::string(1, static_cast<char>(mark)));
  std::vector<std::string> pieces{""};
  for (char c : marked) {
    if (c == static_cast<char>(mark)) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }

  // The pieces with the pattern between them give back the text, and with
  // the value between them the result.
  std::string rebuilt = pieces[0], replaced = pieces[0];
  for (size_t i = 1; i < pieces.size(); ++i) {
    rebuilt += from + pieces[i];
    replaced += to + pieces[i];
  }
  VARNEL_CHECK(rebuilt == text);
  VARNEL_CHECK(result == replaced);

  // Each piece is what the scan stepped over, one character at a time from
  // where the previous occurrence ended: a byte of 0x80 or more takes the
  // next one with it. The steps end exactly at the piece's end (no double-
  // byte character is split by an occurrence), and no step starts an
  // occurrence that was left in place.
  size_t pos = 0;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const size_t end = pos + pieces[i].size();
    while (pos < end) {
      VARNEL_CHECK(text.compare(pos, from.size(), from) != 0);
      pos += static_cast<unsigned char>(text[pos]) >= 0x80 && pos + 1 < text.size() ? 2 : 1;
    }
    VARNEL_CHECK(pos == end);
    if (i + 1 < pieces.size()) {
      VARNEL_CHECK(text.compare(pos, from.size(), from) == 0);
      pos += from.size();
    }
  }
  VARNEL_CHECK(pos == text.size());
  return 0;
}
