#include <gtest/gtest.h>

#include <vector>

#include "subtitle/documents.h"
#include "subtitle/text.h"
#include "subtitle/timing.h"

namespace varnel {
namespace {

// Code page 936 bytes of the Chinese texts used below.
const Bytes kHeiti = "\xBA\xDA\xCC\xE5";              // 黑体
const Bytes kFullWidth15 = "\xA3\xB1\xA3\xB5";        // １５
const Bytes kIdeographicSpace = "\xA1\xA1";           // U+3000
const Bytes kGuanggao = "\xB9\xE3\xB8\xE6";           // 广告

TEST(TextToInt, Table) {
  struct Case {
    Bytes text;
    int32_t expected;
  } cases[] = {
      {"10", 10}, {" 7", 7}, {"7 ", 7}, {"1.5", 1}, {"12abc", 12}, {"abc", 0}, {"", 0},
      {"-3", -3}, {"+5", 5}, {"- 5", 0}, {"+-5", 0}, {kFullWidth15, 15},
      {"2147483648", -2147483648}, {"4294967306", 10}, {"\t\r\n\v\f 9", 9},
      {kIdeographicSpace + "8", 8},
      {"\xA3\xAD" "4", -4},                   // full-width minus
      {"\xA3\xAB\xA3\xB3", 3},                // full-width plus, full-width 3
      {"1" + kGuanggao + "2", 1},             // a Chinese character ends the number
      {"\xB0\x31", 0},                        // a trail byte that looks like "1" is no digit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextToInt(c.text), c.expected);
  }
}

TEST(ClockFields, NegativeTimesFollowTheirOwnRules) {
  struct Case {
    int32_t t;
    const char* minute;
    const char* second;
  } cases[] = {{0, "00", "00"}, {75, "01", "15"}, {3725, "02", "05"}, {-5, "00", "0-5"}, {-90, "-1", "0-30"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    ClockFieldTexts f = ClockFields(c.t);
    EXPECT_EQ(f.minute, c.minute);
    EXPECT_EQ(f.second, c.second);
  }
}

// Hours are kept and a time below zero is written as zero.
TEST(TimeTexts, SrtAndSsa) {
  struct Case {
    int32_t t;
    const char* srt;
    const char* ssaStart;
    const char* ssaEnd;
  } cases[] = {
      {0, "00:00:00,100", "0:00:00.01", "0:00:00.02"},
      {10, "00:00:10,100", "0:00:10.01", "0:00:10.02"},
      {75, "00:01:15,100", "0:01:15.01", "0:01:15.02"},
      {3599, "00:59:59,100", "0:59:59.01", "0:59:59.02"},
      {3600, "01:00:00,100", "1:00:00.01", "1:00:00.02"},
      {3725, "01:02:05,100", "1:02:05.01", "1:02:05.02"},
      {359999, "99:59:59,100", "99:59:59.01", "99:59:59.02"},
      {360000, "100:00:00,100", "100:00:00.01", "100:00:00.02"},
      {2147483647, "596523:14:07,100", "596523:14:07.01", "596523:14:07.02"},
      {-5, "00:00:00,100", "0:00:00.01", "0:00:00.02"},
      {-90, "00:00:00,100", "0:00:00.01", "0:00:00.02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(SrtTimeText(c.t), c.srt);
    EXPECT_EQ(SsaTimeText(c.t, ".01"), c.ssaStart);
    EXPECT_EQ(SsaTimeText(c.t, ".02"), c.ssaEnd);
  }
}

TEST(ReplaceEvery, Table) {
  struct Case {
    Bytes text, from, to, expected;
  } cases[] = {
      {"a[X]b[X]", "[X]", "1", "a1b1"},
      {"[X][X]", "[X]", "[X][X]", "[X][X][X][X]"},  // the inserted text is not searched again
      {"aaa", "aa", "b", "ba"},                     // no overlaps, left to right
      {"[x]", "[X]", "1", "[x]"},                   // case-sensitive
      {"", "[X]", "1", ""},
      // "\xB0[" is one double-byte character: no occurrence starts on its trail byte.
      {"\xB0[X]", "[X]", "1", "\xB0[X]"},
      {"\xB0\xA1[X]", "[X]", "1", "\xB0\xA1" "1"},
      {"ab\xB0", "\xB0", "c", "abc"},               // a lone lead byte at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReplaceEvery(c.text, c.from, c.to), c.expected);
  }
}

TEST(SrtDocument, WorkedExample) {
  std::vector<AdLine> rows{{"5", "A"}, {"3", "B"}};
  Bytes expected =
      "1\r\n00:00:10,100 --> 00:00:15,100\r\nA\r\n\r\n"
      "2\r\n00:00:15,100 --> 00:00:18,100\r\nB\r\n\r\n";
  Bytes document = BuildSrtDocument("10", rows);
  EXPECT_EQ(document, expected);
  EXPECT_EQ(document.size(), 78u);
}

TEST(SrtDocument, CueTimes) {
  struct Case {
    Bytes leadIn;
    std::vector<AdLine> rows;
    Bytes expected;
  } cases[] = {
      {"", {{"5", "A"}}, "1\r\n00:00:00,100 --> 00:00:05,100\r\nA\r\n\r\n"},
      {"abc", {{"0", ""}}, "1\r\n00:00:00,100 --> 00:00:00,100\r\n\r\n\r\n"},
      {kFullWidth15, {{"1.5", "x"}}, "1\r\n00:00:15,100 --> 00:00:16,100\r\nx\r\n\r\n"},
      // A negative duration ends before it starts; the next cue starts there.
      {"10", {{"-3", "a"}, {"2", "b"}},
       "1\r\n00:00:10,100 --> 00:00:07,100\r\na\r\n\r\n2\r\n00:00:07,100 --> 00:00:09,100\r\nb\r\n\r\n"},
      {"3598", {{"127", "a"}}, "1\r\n00:59:58,100 --> 01:02:05,100\r\na\r\n\r\n"},
      {"-5", {{"3", "a"}}, "1\r\n00:00:00,100 --> 00:00:00,100\r\na\r\n\r\n"},
      {"0", {{"1", kGuanggao}}, "1\r\n00:00:00,100 --> 00:00:01,100\r\n" + kGuanggao + "\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.leadIn);
    EXPECT_EQ(BuildSrtDocument(c.leadIn, c.rows), c.expected);
  }
}

TEST(SrtDocument, CueNumbersHaveNoLeadingZeros) {
  std::vector<AdLine> rows(10, AdLine{"1", "x"});
  Bytes document = BuildSrtDocument("0", rows);
  EXPECT_NE(document.find("\r\n\r\n10\r\n00:00:09,100 --> 00:00:10,100\r\nx\r\n\r\n"), Bytes::npos);
  EXPECT_EQ(document.rfind("\r\n\r\n10\r\n"), document.size() - 44);
}

const Bytes kStartupStyleLine = "Style: New Style," + kHeiti + ",30,255,16711680,0,0,0,0,3,0,2,2,10,10,12,0,134\r\n";

TEST(SsaHeader, StartupStyle) {
  const Bytes expected =
      "[Script Info] \r\n"
      "ScriptType: v4.00 \r\n"
      "Collisions: Normal \r\n"
      "PlayResY: 480 \r\n"
      "PlayResX: 640 \r\n"
      "PlayDepth: 0 \r\n"
      "Timer: 100.0000 \r\n"
      "\r\n"
      "[v4 Styles] \r\n"
      "Format: Name,Fontname,Fontsize,PrimaryColour,SecondaryColour,TertiaryColour,BackColour,Bold,Italic, \r\n"
      "BorderStyle,Outline,Shadow,Alignment,MarginL,MarginR,MarginV,AlphaLevel,Encoding \r\n" +
      kStartupStyleLine +
      "\r\n"
      "[Events] \r\n";
  EXPECT_EQ(FillSsaHeader(SsaStyle{}), expected);
  EXPECT_EQ(expected.size(), 406u);
}

TEST(SsaHeader, StyleValues) {
  struct Case {
    const char* what;
    void (*change)(SsaStyle&);
    Bytes styleLineStart;
  } cases[] = {
      {"empty font", [](SsaStyle& s) { s.Fontname = ""; }, "Style: New Style,,30,"},
      {"later placeholder in a value is replaced too",
       [](SsaStyle& s) { s.Fontname = "A[ZH]"; }, "Style: New Style,A30,30,"},
      {"earlier placeholder in a value stays",
       [](SsaStyle& s) { s.MarginL = "[ZT]"; }, "Style: New Style," + kHeiti + ",30,255,16711680,0,0,0,0,3,0,2,2,[ZT],"},
      {"lower case is no placeholder", [](SsaStyle& s) { s.Fontname = "[zt]"; }, "Style: New Style,[zt],30,"},
      {"colours", [](SsaStyle& s) { s.PrimaryColour = 16777215; s.BackColour = -1; },
       "Style: New Style," + kHeiti + ",30,16777215,16711680,0,-1,"},
      {"shadow mode", [](SsaStyle& s) { s.BorderStyle = 0; s.Outline = 1; s.Alignment = 11; },
       "Style: New Style," + kHeiti + ",30,255,16711680,0,0,0,0,0,1,2,11,"},
      {"margin with a blank", [](SsaStyle& s) { s.MarginL = " 10"; },
       "Style: New Style," + kHeiti + ",30,255,16711680,0,0,0,0,3,0,2,2, 10,10,12,0,134\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SsaStyle style;
    c.change(style);
    Bytes header = FillSsaHeader(style);
    size_t line = header.find("Style: New Style");
    ASSERT_NE(line, Bytes::npos);
    EXPECT_EQ(header.substr(line, c.styleLineStart.size()), c.styleLineStart);
  }
}

TEST(SsaDocument, WorkedExample) {
  std::vector<AdLine> rows{{"5", "A"}, {"3", "B"}};
  Bytes document = BuildSsaDocument(SsaStyle{}, "10", rows);
  Bytes events =
      "\r\n"
      "Dialogue: Marked=0,0:00:10.01,0:00:15.02,New Style,NTP,0000,0000,0000,,A\r\n"
      "Dialogue: Marked=0,0:00:15.01,0:00:18.02,New Style,NTP,0000,0000,0000,,B\r\n";
  EXPECT_EQ(document.size(), 556u);
  EXPECT_EQ(document, FillSsaHeader(SsaStyle{}) + events);
}

TEST(SsaDocument, EventTimesAndTexts) {
  const Bytes prefix = "Dialogue: Marked=0,";
  const Bytes middle = ",New Style,NTP,0000,0000,0000,,";
  struct Case {
    Bytes leadIn;
    std::vector<AdLine> rows;
    std::vector<Bytes> lines;
  } cases[] = {
      {"10", {{"abc", "x"}}, {"0:00:10.01,0:00:10.02" + middle + "x"}},
      {"10", {{"-3", "a"}, {"1", "b"}},
       {"0:00:10.01,0:00:07.02" + middle + "a", "0:00:07.01,0:00:08.02" + middle + "b"}},
      {"3598", {{"5", ""}}, {"0:59:58.01,1:00:03.02" + middle}},
      {"-5", {{"10", "a"}}, {"0:00:00.01,0:00:05.02" + middle + "a"}},
      // The text is appended after the times: nothing in it is replaced.
      {"0", {{"1", "0:00:00.02,[ZT]," + kGuanggao}}, {"0:00:00.01,0:00:01.02" + middle + "0:00:00.02,[ZT]," + kGuanggao}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.leadIn);
    Bytes expected = FillSsaHeader(SsaStyle{}) + "\r\n";
    for (const Bytes& line : c.lines) expected += prefix + line + "\r\n";
    EXPECT_EQ(BuildSsaDocument(SsaStyle{}, c.leadIn, c.rows), expected);
  }
}

}  // namespace
}  // namespace varnel
