// varnel-stamp on Windows: wide arguments, wide names, a lines file whose name
// the code page cannot hold.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/stamp.h"
#include "temp_folder.h"

namespace varnel {
namespace {

using testing::TempFolder;

TEST(StampOnWindows, WideNamesAndLinesFile) {
  TempFolder tree;
  tree.AddFile(L"Film.avi");
  tree.AddFile(L"영화\U0001F3AC.avi");
  tree.AddFile(L"sub\\clip.MP4");
  const std::wstring linesFile = tree.AddFile(L"广告\U0001F3AC.txt", "5:欢迎观看\r\n");
  std::ostringstream out, err;
  const int status = RunStamp({L"--lines-file", linesFile, tree.root()}, {out, err, false});
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_NE(out.str().find("written: 3, skipped: 0, failed: 0"), std::string::npos) << out.str();
  const std::string document = tree.Read(L"Film.SRT");
  EXPECT_NE(document.find("\xBB\xB6\xD3\xAD\xB9\xDB\xBF\xB4"), std::string::npos);  // 欢迎观看 in code page 936
  EXPECT_EQ(tree.Read(L"영화\U0001F3AC.SRT"), document);
  EXPECT_EQ(tree.Read(L"sub\\clip.SRT"), document);
}

}  // namespace
}  // namespace varnel
