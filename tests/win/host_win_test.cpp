// The Windows host against a folder tree of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

#include "platform/encoding.h"
#include "platform/host.h"
#include "platform/long_path_win.h"
#include "temp_folder.h"

namespace varnel {
namespace {

using testing::TempFolder;
using testing::Utf8;

// A name with characters that code page 936 cannot hold (Hangul, and an
// emoji outside the Basic Multilingual Plane).
constexpr wchar_t kForeignName[] = L"영화\U0001F3AC.avi";

TEST(WinListing, EveryEntryWhateverTheCodePage) {
  TempFolder tree;
  tree.AddFile(L"Film.avi");
  tree.AddFile(L"电影.flv");
  tree.AddFile(kForeignName);
  tree.AddFolder(L"sub");

  std::map<std::wstring, bool> entries;  // name -> isFolder
  std::unique_ptr<FolderListing> listing = OpenFolderListing(tree.root());
  ASSERT_TRUE(listing);
  FolderEntry entry;
  while (listing->Next(entry)) {
    EXPECT_FALSE(entry.isLink) << Utf8(entry.name);
    entries[entry.name] = entry.isFolder;
  }
  EXPECT_FALSE(listing->Next(entry));  // stays at the end

  const std::map<std::wstring, bool> expected{{L".", true},         {L"..", true},
                                              {L"Film.avi", false}, {L"电影.flv", false},
                                              {kForeignName, false}, {L"sub", true}};
  EXPECT_EQ(entries, expected);
  // The same without the trailing separator.
  EXPECT_TRUE(OpenFolderListing(tree.root().substr(0, tree.root().size() - 1)));
}

TEST(WinListing, UnlistableFolderSaysWhy) {
  TempFolder tree;
  FailureReason why;
  EXPECT_EQ(OpenFolderListing(tree.Path(L"missing\\"), &why), nullptr);
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(OpenFolderListing(tree.AddFile(L"file") + L"\\", &why), nullptr);
}

TEST(WinWrite, CreatesAndReplacesWholeFiles) {
  TempFolder tree;
  EXPECT_TRUE(WriteWholeFile(tree.Path(L"new.SRT"), "abc"));
  EXPECT_TRUE(WriteWholeFile(tree.Path(L"empty.SRT"), ""));
  EXPECT_TRUE(WriteWholeFile(tree.Path(L"영화\U0001F3AC.SRT"), "x"));
  tree.AddFile(L"old.SRT", "a much longer old content");
  EXPECT_TRUE(WriteWholeFile(tree.Path(L"old.SRT"), "new"));
  // Nothing else is left beside them: no temporary copy.
  EXPECT_EQ(tree.Snapshot(), "empty.SRT = \nnew.SRT = abc\nold.SRT = new\n" + Utf8(L"영화\U0001F3AC.SRT") + " = x\n");
}

// The attributes are checked by the host itself: Wine, run as root, would
// let the system replace such files.
TEST(WinWrite, RefusesWhatItMustNotReplace) {
  TempFolder tree;
  struct Case {
    const wchar_t* name;
    DWORD attributes;
    FailureReason reason;
  } cases[] = {
      {L"ro.SRT", FILE_ATTRIBUTE_READONLY, "the existing file is read-only"},
      {L"hidden.SRT", FILE_ATTRIBUTE_HIDDEN, "the existing file is hidden"},
      {L"system.SRT", FILE_ATTRIBUTE_SYSTEM, "the existing file is a system file"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SetFileAttributesW(tree.AddFile(c.name, "keep").c_str(), c.attributes));
  }
  tree.AddFolder(L"dir.SRT");
  const std::string before = tree.Snapshot();

  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.name));
    FailureReason why;
    EXPECT_FALSE(WriteWholeFile(tree.Path(c.name), "new", &why));
    EXPECT_EQ(why, c.reason);
  }
  FailureReason why;
  EXPECT_FALSE(WriteWholeFile(tree.Path(L"dir.SRT"), "new", &why));
  EXPECT_EQ(why, "a folder of that name exists");
  EXPECT_FALSE(WriteWholeFile(tree.Path(L"missing\\x.SRT"), "new", &why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(WriteWholeFile(L"", "new", &why));
  EXPECT_EQ(why, "empty path");
  EXPECT_EQ(tree.Snapshot(), before);
}

TEST(WinWrite, LeavesAFileOpenElsewhereAlone) {
  TempFolder tree;
  const std::wstring path = tree.AddFile(L"Film.SRT", "old");
  // An editor holding the file without sharing, and a player reading it
  // while letting others read too.
  for (DWORD sharing : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
    SCOPED_TRACE(sharing);
    HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    FailureReason why;
    EXPECT_FALSE(WriteWholeFile(path, "new", &why));
    EXPECT_EQ(why, "the file is open in another program");
    CloseHandle(other);
    EXPECT_EQ(tree.Snapshot(), "Film.SRT = old\n");
  }
  EXPECT_TRUE(WriteWholeFile(path, "new"));
  EXPECT_EQ(tree.Read(L"Film.SRT"), "new");
}

TEST(WinLongPath, EveryFormMadeAbsoluteAndLong) {
  TempFolder tree;
  const std::wstring here = tree.Path(L"here\\");  // the current folder, "C:\...\here\"
  tree.AddFolder(L"here");
  wchar_t previous[MAX_PATH + 1];
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH + 1, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(here.c_str()));
  const std::wstring drive = here.substr(0, 2);  // "C:"
  const std::wstring parent = tree.root();
  const std::wstring longName(300, L'x');

  struct Case {
    std::wstring path, expected;
  } cases[] = {
      {L"C:\\Movies\\Film.SRT", L"\\\\?\\C:\\Movies\\Film.SRT"},
      {L"d:/Movies//new/./old/../x/", L"\\\\?\\d:\\Movies\\new\\x\\"},
      {L"C:\\..\\..\\Movies", L"\\\\?\\C:\\Movies"},  // never above the drive
      // Kept as spelt: device names, trailing dots and blanks, "..." as a name.
      {L"C:\\v\\NUL.SRT", L"\\\\?\\C:\\v\\NUL.SRT"},
      {L"C:\\v\\con", L"\\\\?\\C:\\v\\con"},
      {L"C:\\v\\dir.\\sub \\...\\*", L"\\\\?\\C:\\v\\dir.\\sub \\...\\*"},
      {L"C:\\" + longName + L"\\" + longName, L"\\\\?\\C:\\" + longName + L"\\" + longName},
      {L"\\\\server\\share\\v\\..\\Film.SRT", L"\\\\?\\UNC\\server\\share\\Film.SRT"},
      {L"//server/share/v/", L"\\\\?\\UNC\\server\\share\\v\\"},
      {L"\\\\server\\share\\..\\..\\v", L"\\\\?\\UNC\\server\\share\\v"},  // never above the share
      {L"\\\\server\\share", L"\\\\?\\UNC\\server\\share\\"},
      // Already in the long or device form: as given.
      {L"\\\\?\\C:\\v\\..\\x", L"\\\\?\\C:\\v\\..\\x"},
      {L"\\\\?\\UNC\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
      {L"\\\\.\\C:\\x", L"\\\\.\\C:\\x"},
      // Against the current folder, its drive, or the drive's own current folder.
      {L"Film.SRT", L"\\\\?\\" + here + L"Film.SRT"},
      {L"sub\\", L"\\\\?\\" + here + L"sub\\"},
      {L"..\\x\\.\\NUL.SRT", L"\\\\?\\" + parent + L"x\\NUL.SRT"},
      {L".", L"\\\\?\\" + here.substr(0, here.size() - 1)},
      {L"\\Movies\\x", L"\\\\?\\" + drive + L"\\Movies\\x"},
      {drive + L"sub", L"\\\\?\\" + here + L"sub"},
      {L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.path));
    EXPECT_EQ(Utf8(LongPathForm(c.path)), Utf8(c.expected));
  }
  SetCurrentDirectoryW(previous);
}

TEST(WinDrives, FixedDrivesAsLetterAndColon) {
  // Only the list is taken; no drive is walked.
  const std::vector<NativeText> drives = ListFixedDrives();
  for (size_t i = 0; i < drives.size(); ++i) {
    SCOPED_TRACE(Utf8(drives[i]));
    ASSERT_EQ(drives[i].size(), 2u);
    EXPECT_TRUE(drives[i][0] >= L'A' && drives[i][0] <= L'Z');
    EXPECT_EQ(drives[i][1], L':');
    EXPECT_EQ(GetDriveTypeW((drives[i] + L"\\").c_str()), static_cast<UINT>(DRIVE_FIXED));
    if (i > 0) {
      EXPECT_LT(drives[i - 1], drives[i]);
    }
  }
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WinEventPump, DispatchesWhatWaitsAndLeavesTheQuitRequest) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VarnelPumpTest";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"VarnelPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(window);
  int dispatched = 0;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dispatched));

  PostMessageW(window, WM_APP, 0, 0);
  PostMessageW(window, WM_APP, 0, 0);
  PostQuitMessage(7);
  PostMessageW(window, WM_APP, 0, 0);
  ProcessPendingEvents();
  EXPECT_EQ(dispatched, 3);

  ProcessPendingEvents();  // the quit request is not taken on a second call either
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 7u);
  DestroyWindow(window);
}

TEST(WinEncoding, Utf8ToCodePage936) {
  struct Case {
    const char* utf8;
    std::optional<Bytes> expected;
  } cases[] = {
      {"", Bytes()},
      {"abc", Bytes("abc")},
      {"黑体", Bytes("\xBA\xDA\xCC\xE5")},
      {"ＳＳＡ１", Bytes("\xA3\xD3\xA3\xD3\xA3\xC1\xA3\xB1")},
      {"영화", std::nullopt},       // no place in code page 936
      {"\xff\xfe", std::nullopt},   // not UTF-8
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToCodePage936(c.utf8), c.expected);
  }
  EXPECT_EQ(NativeFromUtf8("영화\xF0\x9F\x8E\xAC"), std::wstring(L"영화\U0001F3AC"));
  EXPECT_EQ(Utf8FromNative(L"电影\U0001F3AC"), "电影\xF0\x9F\x8E\xAC");
}

}  // namespace
}  // namespace varnel
