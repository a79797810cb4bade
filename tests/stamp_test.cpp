// varnel-stamp from its command line to the files on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "cli/stamp.h"
#include "subtitle/documents.h"
#include "temp_tree.h"

namespace varnel {
namespace {

using testing::TempTree;

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result Stamp(std::vector<std::string> args) {
  std::ostringstream out, err;
  int status = RunStamp(args, {out, err, false});
  return {status, out.str(), err.str()};
}

const Bytes kGuanggao = "\xB9\xE3\xB8\xE6";  // 广告 in code page 936

TEST(Stamp, StampsTheTreeLikeTheWindow) {
  TempTree tree;
  tree.AddFile("Film.avi", "movie");
  tree.AddFile("sub/film.Mp4", "movie");
  tree.AddFile("sub/readme.txt");
  tree.AddFile(".hidden/x.avi");
  tree.AddFolder("Clip.avi");
  ASSERT_EQ(symlink(tree.root().c_str(), tree.Path("sub/loop").c_str()), 0);  // a cycle

  Result r = Stamp({"-l", "5:广告", "--line=3:B", tree.root()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "written: 2, skipped: 0, failed: 0\n");
  EXPECT_EQ(r.err, "");
  const Bytes document = BuildSrtDocument("10", std::vector<AdLine>{{"5", kGuanggao}, {"3", "B"}});
  EXPECT_EQ(tree.Read("Film.SRT"), document);
  EXPECT_EQ(tree.Read("sub/film.SRT"), document);
  EXPECT_FALSE(tree.Exists(".hidden/x.SRT"));
  EXPECT_FALSE(tree.Exists("Clip.SRT"));
  EXPECT_EQ(tree.Read("Film.avi"), "movie");
}

TEST(Stamp, SsaWithStyleOptionsAndUtf8) {
  TempTree tree;
  tree.AddFile("a.MKV");
  Result r = Stamp({"--format", "SSA", "--ext", ".mkv,avi", "--encoding", "utf-8", "--lead-in", "0",
                    "--font", "微软雅黑", "--primary-colour", "#FFFFFF", "--display-mode", "shadow",
                    "--alignment", "8", "--charset", "ansi", "--margin-left", "20", "-l", "2:广告",
                    tree.root()});
  ASSERT_EQ(r.status, 0) << r.err;
  SsaStyle style;
  style.Fontname = "微软雅黑";
  style.PrimaryColour = 16777215;
  style.BorderStyle = 0;
  style.Outline = 1;
  style.Alignment = 8;
  style.Encoding = 0;
  style.MarginL = "20";
  EXPECT_EQ(tree.Read("a.SSA"), BuildSsaDocument(style, "0", std::vector<AdLine>{{"2", "广告"}}));
}

TEST(Stamp, LinesFileAddsLinesAfterTheLineOptions) {
  TempTree tree;
  tree.AddFile("a.avi");
  std::string lines = tree.AddFile("lines.txt", "\xEF\xBB\xBF" "2:b\r\n\r\n3:c:d\n");
  Result r = Stamp({"--lines-file", lines, "-l1:a", "--lead-in", "0", tree.root()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tree.Read("a.SRT"),
            BuildSrtDocument("0", std::vector<AdLine>{{"1", "a"}, {"2", "b"}, {"3", "c:d"}}));
}

TEST(Stamp, DryRunAndSkipExisting) {
  TempTree tree;
  tree.AddFile("a.avi");
  tree.AddFile("b.avi");
  tree.AddFile("b.SRT", "mine");

  Result dry = Stamp({"-n", "-l", "1:x", tree.root()});
  EXPECT_EQ(dry.status, 0);
  EXPECT_NE(dry.out.find(tree.Path("a.SRT") + "\n"), std::string::npos);
  EXPECT_NE(dry.out.find(tree.Path("b.SRT") + "\n"), std::string::npos);
  EXPECT_EQ(dry.out.substr(dry.out.rfind("written")), "written: 2, skipped: 0, failed: 0\n");
  EXPECT_FALSE(tree.Exists("a.SRT"));

  Result skip = Stamp({"--skip-existing", "-l", "1:x", tree.root()});
  EXPECT_EQ(skip.out, "written: 1, skipped: 1, failed: 0\n");
  EXPECT_EQ(tree.Read("b.SRT"), "mine");
  EXPECT_TRUE(tree.Exists("a.SRT"));
}

TEST(Stamp, ControlCharactersInNamesArePrintedEscaped) {
  TempTree tree;
  tree.AddFile("two\nlines\x1b[31m.avi");
  Result r = Stamp({"-n", "-l", "1:x", tree.root()});
  EXPECT_EQ(r.out, tree.Path("two\\nlines\\x1B[31m.SRT") + "\nwritten: 1, skipped: 0, failed: 0\n");
}

TEST(Stamp, FailuresAreReportedAndTheWalkGoesOn) {
  TempTree tree;
  tree.AddFile("a.avi");
  tree.AddFile("b.avi");
  ASSERT_EQ(chmod(tree.AddFile("a.SRT", "keep").c_str(), 0444), 0);
  Result r = Stamp({"-l", "1:x", tree.root()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "varnel-stamp: cannot write " + tree.Path("a.SRT") + ": the existing file is read-only\n");
  EXPECT_EQ(r.out, "written: 1, skipped: 0, failed: 1\n");
  EXPECT_EQ(tree.Read("a.SRT"), "keep");

  Result missing = Stamp({"-l", "1:x", tree.Path("missing")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "varnel-stamp: cannot list " + tree.Path("missing/") + ": No such file or directory\n");
  EXPECT_EQ(missing.out, "written: 0, skipped: 0, failed: 0\n");
}

TEST(Stamp, UsageErrorsNameTheOptionAndWhatItAccepts) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"/x"}, "at least one advertisement line is required"},
      {{"-l", "1:x"}, "no FOLDER given"},
      {{"-l", "1:x", ""}, "FOLDER must not be empty"},
      {{"-l", "1:x", "/a", "/b"}, "only one FOLDER may be given"},
      {{"-l", "1:x", "--all-drives"}, "--all-drives: this system has no drive letters"},
      {{"-l", "x", "/x"}, "--line: expected SECONDS:TEXT, got 'x'"},
      {{"-l", "-1:x", "/x"}, "--line: SECONDS must be a whole number from 0 to 2147483647, got '-1'"},
      {{"-l", "2147483648:x", "/x"}, "--line: SECONDS must be a whole number"},
      {{"-l", "1:a\nb", "/x"}, "--line: TEXT must be one line"},
      {{"-l", "1:\xff", "/x"}, "--line: the text is not valid UTF-8"},
      {{"-l", "1:😀", "/x"}, "--line: the character '😀' (U+1F600) cannot be written in gbk"},
      {{"-l", "1:x", "--lead-in", "2147483647", "/x"}, "the lead-in and the lines add up to more than 2147483647 seconds"},
      {{"-l", "1:x", "--lead-in", "ten", "/x"}, "--lead-in: expected a whole number from 0 to 2147483647, got 'ten'"},
      {{"-l", "1:x", "--lead-in"}, "--lead-in: needs a value"},
      {{"-l", "1:x", "-f", "ass", "/x"}, "--format: expected srt or ssa, got 'ass'"},
      {{"-l", "1:x", "-e", "avi,,mkv", "/x"}, "--ext: expected comma-separated extensions"},
      {{"-l", "1:x", "-e", "a,b,c,d,e,f,g,h,i,j,k,l", "/x"}, "--ext: at most 11 extensions"},
      {{"-l", "1:x", "-e", "tar.gz", "/x"}, "--ext: 'tar.gz' is not a file extension"},
      {{"-l", "1:x", "--encoding", "big5", "/x"}, "--encoding: expected gbk or utf-8, got 'big5'"},
      {{"-l", "1:x", "--edge-colour", "16777216", "/x"}, "--edge-colour: expected a Windows RGB value"},
      {{"-l", "1:x", "--primary-colour", "#12345", "/x"}, "--primary-colour: expected a Windows RGB value"},
      {{"-l", "1:x", "--shadow-size", "5", "/x"}, "--shadow-size: expected a whole number from 0 to 4"},
      {{"-l", "1:x", "--shadow-size", "2", "/x"}, "--shadow-size: only with --display-mode shadow"},
      {{"-l", "1:x", "--alignment", "0", "/x"}, "--alignment: expected a whole number from 1 to 11"},
      {{"-l", "1:x", "--charset", "KLINGON", "/x"}, "--charset: expected one of ANSI, DEFAULT"},
      {{"-l", "1:x", "--charset", "3", "/x"}, "--charset: expected one of"},
      {{"-l", "1:x", "--font", "A,B", "/x"}, "--font: a font name cannot hold commas"},
      {{"-l", "1:x", "--lines-file", "/nonexistent/varnel", "/x"}, "--lines-file: cannot read"},
      {{"-l", "1:x", "--quiet=yes", "/x"}, "--quiet: takes no value"},
      {{"-l", "1:x", "--frobnicate", "/x"}, "unknown option '--frobnicate'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    Result r = Stamp(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("varnel-stamp: " + c.message), std::string::npos) << r.err;
  }
}

TEST(Stamp, HelpAndVersion) {
  Result help = Stamp({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: varnel-stamp [OPTIONS] FOLDER\n", 0), 0u);
  Result version = Stamp({"--version"});
  EXPECT_EQ(version.out, "varnel-stamp 1.0\n");
}

}  // namespace
}  // namespace varnel
