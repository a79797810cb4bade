// Real players' parsers read back what Varnel writes: FFmpeg (its SRT and
// ASS demuxers and decoders, as in ffmpeg, ffplay and every player built on
// libavformat) and libass (the SSA/ASS renderer of mpv, VLC and others).
// Each document is written the way varnel-stamp writes it, read back, and
// the cues must come out in order with the times and texts the rows asked
// for.
#include <ass/ass.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <fstream>
#include <ostream>

#include "hostile_tree.h"
#include "platform/encoding.h"
#include "subtitle/documents.h"
#include "subtitle/timing.h"

namespace varnel {
namespace {

using testing::HostileTree;
using testing::ProgramRun;
using testing::RunProgram;

struct Cue {
  int64_t startMs = 0;
  int64_t endMs = 0;
  std::string text;  // UTF-8
  bool operator==(const Cue&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Cue& cue) {
  return out << cue.startMs << "-" << cue.endMs << " '" << cue.text << "'";
}

std::string WriteTemp(const HostileTree& tree, const std::string& name, const std::string& bytes) {
  std::string path = tree.top() + "cwd/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

// FFmpeg reads the file as `format` ("srt" or "ass"), decodes its cues and
// writes them out again as `output` ("srt" or "ass"), in UTF-8.
std::string ConvertWithFfmpeg(const std::string& path, const std::string& format, bool gbk,
                              const std::string& output) {
  std::vector<std::string> args{"-nostdin", "-hide_banner", "-v", "error"};
  if (gbk) args.insert(args.end(), {"-sub_charenc", "CP936"});
  args.insert(args.end(), {"-f", format, "-i", path, "-f", output, "-"});
  ProgramRun run = RunProgram("ffmpeg", args);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  return run.out;
}

// The format FFmpeg's probe finds in the file, as players that open it
// without being told the format see it.
std::string ProbedFormat(const std::string& path) {
  ProgramRun run = RunProgram("ffprobe", {"-v", "error", "-show_entries", "format=format_name", "-of", "csv=p=0", path});
  EXPECT_EQ(run.status, 0) << run.err;
  return run.out;
}

// The cues of an SRT text as FFmpeg writes it (LF line ends, one text line).
std::vector<Cue> ParseSrt(const std::string& srt) {
  std::vector<Cue> cues;
  std::vector<std::string> lines;
  for (size_t start = 0; start < srt.size();) {
    size_t end = srt.find('\n', start);
    if (end == std::string::npos) end = srt.size();
    lines.push_back(srt.substr(start, end - start));
    start = end + 1;
  }
  for (size_t i = 0; i < lines.size();) {
    if (lines[i].empty()) {
      ++i;
      continue;
    }
    int h1, m1, s1, f1, h2, m2, s2, f2;
    if (i + 1 >= lines.size() || std::sscanf(lines[i + 1].c_str(), "%d:%d:%d,%d --> %d:%d:%d,%d", &h1, &m1, &s1,
                                             &f1, &h2, &m2, &s2, &f2) != 8) {
      ADD_FAILURE() << "not an SRT cue at line " << i << ":\n" << srt;
      break;
    }
    Cue cue{((h1 * 60LL + m1) * 60 + s1) * 1000 + f1, ((h2 * 60LL + m2) * 60 + s2) * 1000 + f2, ""};
    for (i += 2; i < lines.size() && !lines[i].empty(); ++i) cue.text += (cue.text.empty() ? "" : "\n") + lines[i];
    cues.push_back(cue);
  }
  return cues;
}

// What libass made of a script: its events and its styles.
struct LibassScript {
  bool read = false;
  std::vector<Cue> events;
  std::vector<std::string> eventStyles;
  std::vector<ASS_Style> styles;  // numbers only: their text pointers die with the track
  std::vector<std::string> styleNames, fontNames;  // the texts, kept
};

// libass reads an SSA script the way a player loads an external file.
LibassScript ReadWithLibass(std::string bytes, const char* codepage) {
  LibassScript script;
  ASS_Library* library = ass_library_init();
  ass_set_message_cb(library, [](int, const char*, va_list, void*) {}, nullptr);
  ASS_Track* track = ass_read_memory(library, bytes.data(), bytes.size(), const_cast<char*>(codepage));
  if (track) {
    script.read = true;
    for (int i = 0; i < track->n_events; ++i) {
      const ASS_Event& event = track->events[i];
      script.events.push_back({event.Start, event.Start + event.Duration, event.Text ? event.Text : ""});
      script.eventStyles.push_back(track->styles[event.Style].Name);
    }
    for (int i = 0; i < track->n_styles; ++i) {
      script.styles.push_back(track->styles[i]);
      script.styleNames.push_back(track->styles[i].Name ? track->styles[i].Name : "");
      script.fontNames.push_back(track->styles[i].FontName ? track->styles[i].FontName : "");
    }
    ass_free_track(track);
  }
  ass_library_done(library);
  return script;
}

// One set of rows, with texts in UTF-8, written in code page 936 or UTF-8.
struct DocumentCase {
  const char* name;
  std::string leadIn;
  std::vector<AdLine> rows;
  bool gbk = true;
};

std::string Encoded(const std::string& utf8, bool gbk) { return gbk ? Utf8ToCodePage936(utf8).value() : utf8; }

std::vector<AdLine> EncodedRows(const DocumentCase& c) {
  std::vector<AdLine> rows;
  for (const AdLine& row : c.rows) rows.push_back({Encoded(row.displayTime, c.gbk), Encoded(row.text, c.gbk)});
  return rows;
}

// The cue of each row: its times as the document writes them (fractions
// ,100 for SRT and .01/.02 for SSA), its text.
std::vector<Cue> AskedFor(const DocumentCase& c, bool ssa) {
  std::vector<Cue> cues;
  int32_t t = TextToInt(Encoded(c.leadIn, c.gbk));
  for (const AdLine& row : EncodedRows(c)) {
    int32_t end = AddSeconds(t, TextToInt(row.displayTime));
    auto ms = [](int32_t seconds) { return (seconds < 0 ? 0 : int64_t{seconds}) * 1000; };
    cues.push_back({ms(t) + (ssa ? 10 : 100), ms(end) + (ssa ? 20 : 100), ""});
    t = end;
  }
  for (size_t i = 0; i < c.rows.size(); ++i) cues[i].text = c.rows[i].text;
  return cues;
}

const DocumentCase kCases[] = {
    {"worked example", "10", {{"5", "A"}, {"3", "B"}}},
    {"Chinese in code page 936", "0", {{"2", "欢迎观看本站电影"}, {"3", "更多精彩影片，请访问本站"}}},
    {"Chinese in UTF-8", "0", {{"2", "欢迎观看本站电影"}, {"3", "更多精彩影片，请访问本站"}}, false},
    {"one row", "7", {{"4", "only one"}}},
    {"over the hour", "3598", {{"5", "crosses the hour"}, {"3", "after it"}}},
    {"a hundred hours", "359990", {{"20", "past 100 hours"}, {"1", "still"}}},
    {"texts like the syntax", "10", {{"2", "0:00:00.02, [ZT], a,b,c"}, {"2", "--> 00:00:01,100"}}},
    {"full-width and odd durations", "１５", {{"１５", "full-width"}, {"1.5", "one"}, {" 7", "seven"}}},
    {"zero, empty and missing durations", "10", {{"0", "zero"}, {"abc", "none"}, {"", "empty"}, {"2", "then"}}},
    {"empty texts", "10", {{"2", ""}, {"3", "after an empty one"}, {"1", ""}}},
    {"negative lead-in", "-5", {{"10", "from zero"}, {"2", "next"}}},
    {"negative duration", "10", {{"5", "a"}, {"-3", "back"}, {"4", "c"}}},
    {"many rows", "0", {{"1", "r1"}, {"1", "r2"}, {"1", "r3"}, {"1", "r4"}, {"1", "r5"}, {"1", "r6"},
                        {"1", "r7"}, {"1", "r8"}, {"1", "r9"}, {"1", "r10"}, {"1", "r11"}, {"1", "r12"}}},
};

// libass has no SRT reader: players built on it (mpv among them) have FFmpeg
// decode each SRT cue into an ASS event and hand libass the decoder's header
// and then each event with the cue's times. So does this.
std::vector<Cue> ReadSrtWithLibass(const std::string& path, bool gbk) {
  const std::vector<Cue> timed = ParseSrt(ConvertWithFfmpeg(path, "srt", gbk, "srt"));
  const std::string ass = ConvertWithFfmpeg(path, "srt", gbk, "ass");
  std::string header = ass.substr(0, ass.find("[Events]"));
  header += "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
  std::vector<std::string> chunks;  // "ReadOrder,Layer,Style,Name,...,Text", as players pass them
  for (size_t at = ass.find("\nDialogue: "); at != std::string::npos; at = ass.find("\nDialogue: ", at + 1)) {
    std::string line = ass.substr(at + 11, ass.find('\n', at + 1) - at - 11);
    size_t layerEnd = line.find(',');
    size_t timesEnd = line.find(',', line.find(',', layerEnd + 1) + 1);
    chunks.push_back(std::to_string(chunks.size()) + "," + line.substr(0, layerEnd) + line.substr(timesEnd));
  }
  EXPECT_EQ(chunks.size(), timed.size()) << ass;

  std::vector<Cue> cues;
  ASS_Library* library = ass_library_init();
  ass_set_message_cb(library, [](int, const char*, va_list, void*) {}, nullptr);
  ASS_Track* track = ass_new_track(library);
  ass_process_codec_private(track, header.data(), static_cast<int>(header.size()));
  for (size_t i = 0; i < chunks.size() && i < timed.size(); ++i) {
    ass_process_chunk(track, chunks[i].data(), static_cast<int>(chunks[i].size()), timed[i].startMs,
                      timed[i].endMs - timed[i].startMs);
  }
  for (int i = 0; i < track->n_events; ++i) {
    const ASS_Event& event = track->events[i];
    cues.push_back({event.Start, event.Start + event.Duration, event.Text ? event.Text : ""});
  }
  ass_free_track(track);
  ass_library_done(library);
  return cues;
}

// What each reader gives for the rows, as measured: FFmpeg makes no cue of
// an SRT cue whose text is empty (nothing would be shown anyway; SSA events
// with empty texts are kept), orders cues by their start, and reads an end
// before the start as a duration of 2^32 ms less the shortfall (so a row
// with a negative display time stays up for about 49 days, that is to the
// end of the movie). libass takes SSA events exactly as written.
std::vector<Cue> Expected(const DocumentCase& c, bool ssa, bool viaFfmpeg) {
  std::vector<Cue> cues;
  for (Cue cue : AskedFor(c, ssa)) {
    if (!ssa && cue.text.empty()) continue;
    if (viaFfmpeg && cue.endMs < cue.startMs) cue.endMs += int64_t{1} << 32;
    cues.push_back(cue);
  }
  if (viaFfmpeg) {
    std::stable_sort(cues.begin(), cues.end(), [](const Cue& a, const Cue& b) { return a.startMs < b.startMs; });
  }
  return cues;
}

// Reads a document written in `tree` with every reader and compares the cues.
void ExpectPlayersRead(const std::string& path, const std::string& bytes, const DocumentCase& c, bool ssa) {
  EXPECT_EQ(ProbedFormat(path), ssa ? "ass\n" : "srt\n");
  if (ssa) {
    EXPECT_EQ(ParseSrt(ConvertWithFfmpeg(path, "ass", c.gbk, "srt")), Expected(c, true, true)) << "FFmpeg, SSA";
    LibassScript script = ReadWithLibass(bytes, c.gbk ? "CP936" : nullptr);
    EXPECT_TRUE(script.read);
    EXPECT_EQ(script.events, Expected(c, true, false)) << "libass, SSA";
    for (const std::string& style : script.eventStyles) EXPECT_EQ(style, "New Style");
  } else {
    EXPECT_EQ(ParseSrt(ConvertWithFfmpeg(path, "srt", c.gbk, "srt")), Expected(c, false, true)) << "FFmpeg, SRT";
    EXPECT_EQ(ReadSrtWithLibass(path, c.gbk), Expected(c, false, true)) << "libass through FFmpeg, SRT";
  }
}

// The documents of the builders' own cases: times over the hour and past a
// hundred hours, odd and negative durations, empty and Chinese texts.
TEST(Players, ReadEveryDocumentAsTheRowsAsk) {
  HostileTree tree;
  for (const DocumentCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::vector<AdLine> rows = EncodedRows(c);
    const std::string leadIn = Encoded(c.leadIn, c.gbk);
    const std::string srt = BuildSrtDocument(leadIn, rows);
    const std::string ssa = BuildSsaDocument(SsaStyle{}, leadIn, rows);
    ExpectPlayersRead(WriteTemp(tree, "case.SRT", srt), srt, c, false);
    ExpectPlayersRead(WriteTemp(tree, "case.SSA", ssa), ssa, c, true);
  }
}

// The files varnel-stamp writes, in both formats and both encodings.
TEST(Players, ReadWhatVarnelStampWrites) {
  const std::vector<std::vector<std::string>> runs{
      {},
      {"--format", "ssa"},
      {"--encoding", "utf-8"},
      {"--format", "ssa", "--encoding", "utf-8", "--font", "微软雅黑", "--display-mode", "shadow", "--alignment", "8"},
  };
  for (const std::vector<std::string>& options : runs) {
    HostileTree tree;
    tree.AddFile("Film.avi", "movie");
    tree.AddFile("sub/Other.mp4", "movie");
    std::vector<std::string> args{"--lead-in", "3598", "-l", "5:欢迎观看本站电影", "-l", "0:零秒",
                                  "-l", "3:更多精彩影片，请访问 www.example.com"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(tree.root());
    ProgramRun run = testing::RunStampProgram(args, {});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.written, 2);

    const bool ssa = options.size() > 1 && options[1] == "ssa";
    const bool gbk = std::find(options.begin(), options.end(), "utf-8") == options.end();
    DocumentCase c{"varnel-stamp",
                   "3598",
                   {{"5", "欢迎观看本站电影"}, {"0", "零秒"}, {"3", "更多精彩影片，请访问 www.example.com"}},
                   gbk};
    for (const char* file : {"Film", "sub/Other"}) {
      SCOPED_TRACE(std::string(file) + (ssa ? ".SSA " : ".SRT ") + (gbk ? "gbk" : "utf-8"));
      std::string path = tree.root() + file + (ssa ? ".SSA" : ".SRT");
      std::ifstream in(path, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ExpectPlayersRead(path, bytes, c, ssa);
    }
  }
}

// The style's fields are listed over two lines. libass reads the first
// "Format:" line alone, so it takes the nine fields named there and leaves
// the rest of the style at zero; with the two lines joined it takes them all.
TEST(Players, LibassTakesOnlyTheFirstLineOfTheStyleFormat) {
  SsaStyle style;
  style.Fontsize = "44";
  style.PrimaryColour = 0x123456;
  style.SecondaryColour = 0x0000FF;
  style.TertiaryColour = 0x00FF00;
  style.BackColour = 0x808080;
  style.BorderStyle = 1;
  style.Outline = 3;
  style.Alignment = 7;
  style.MarginL = "21";
  style.MarginR = "22";
  style.MarginV = "23";
  style.AlphaLevel = "5";
  style.Encoding = 136;
  const std::string written = BuildSsaDocument(style, "10", std::vector<AdLine>{{"5", "A"}});
  std::string joined = written;
  const std::string split = "Italic, \r\nBorderStyle";
  joined.replace(joined.find(split), split.size(), "Italic,BorderStyle");

  // The fields of "New Style" as libass holds them (colours as RRGGBBAA).
  auto taken = [](const std::string& bytes) {
    LibassScript script = ReadWithLibass(bytes, "CP936");
    EXPECT_TRUE(script.read);
    EXPECT_EQ(script.styleNames.back(), "New Style");
    const ASS_Style& s = script.styles.back();
    char text[512];
    std::snprintf(text, sizeof text,
                  "font %s, size %g, colours %08X %08X %08X %08X, bold %d, italic %d, border style %d, "
                  "outline %g, shadow %g, alignment %d, margins %d %d %d, encoding %d",
                  script.fontNames.back().c_str(), s.FontSize, s.PrimaryColour, s.SecondaryColour,
                  s.OutlineColour, s.BackColour, s.Bold, s.Italic, s.BorderStyle, s.Outline, s.Shadow,
                  s.Alignment, s.MarginL, s.MarginR, s.MarginV, s.Encoding);
    return std::string(text);
  };
  // As written: name to italic taken, everything after it left at zero. In
  // SSA v4 scripts libass draws the outline in the back colour (the tertiary
  // colour goes unused) and gives the back colour an alpha of 0x80.
  EXPECT_EQ(taken(written),
            "font 黑体, size 44, colours 56341200 FF000000 80808000 80808080, bold 0, italic 0, "
            "border style 0, outline 0, shadow 0, alignment 0, margins 0 0 0, encoding 0");
  // Joined: every field, AlphaLevel as the colours' alpha.
  EXPECT_EQ(taken(joined),
            "font 黑体, size 44, colours 56341205 FF000005 80808005 80808080, bold 0, italic 0, "
            "border style 1, outline 3, shadow 2, alignment 7, margins 21 22 23, encoding 136");
}

}  // namespace
}  // namespace varnel
