#include "hostile_tree_win.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <thread>

namespace varnel::testing {

namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

void PictureFolder(const std::wstring& top, const std::wstring& relative, TreePicture& picture) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(LongForm(top + relative + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot list " + Utf8(top + relative));
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    TreeEntry entry;
    entry.attributes = data.dwFileAttributes & kKeptAttributes;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      entry.kind = 'l';
      picture[relative + name] = entry;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry.kind = 'd';
      picture[relative + name + L"\\"] = entry;
      PictureFolder(top, relative + name + L"\\", picture);
    } else {
      entry.kind = 'f';
      entry.content = ReadFileBytes(top + relative + name).value_or("<unreadable>");
      picture[relative + name] = entry;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// The Unix name of an existing file or folder, through Wine's own export.
std::string UnixName(const std::wstring& path) {
  using UnixNameOf = char*(CDECL*)(const wchar_t*);
  auto unixNameOf = reinterpret_cast<UnixNameOf>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixNameOf) return {};
  char* name = unixNameOf(path.c_str());
  std::string result = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// One argument as the C runtime of the started program splits it again.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');  // before the closing quote
  return quoted + L'"';
}

// Under Wine, starts a Unix program (Wine does not wait for it to end).
bool StartUnixProgram(const std::vector<std::wstring>& argv) {
  std::wstring command;
  for (const std::wstring& argument : argv) command += (command.empty() ? L"" : L" ") + Quoted(argument);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  return true;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

bool Present(const std::wstring& path) {
  return GetFileAttributesW(LongForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Utf16(const std::string& utf8) {
  if (utf8.empty()) return {};
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string Describe(const TreeEntry& entry) {
  std::string text(1, entry.kind);
  if (entry.attributes) text += " attributes " + std::to_string(entry.attributes);
  if (entry.kind == 'f') {
    text += " [" + entry.content.substr(0, 40) + (entry.content.size() > 40 ? "...]" : "]");
  }
  return text;
}

void ReadAll(HANDLE pipe, std::string& text) {
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
}

// The text of a console program, with its CR LF line ends as LF.
std::string WithoutCarriageReturns(std::string text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
  }
  return result;
}

}  // namespace

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

HostileTree::HostileTree() {
  for (const wchar_t* folder : {L"tree", L"outside", L"cwd"}) top_.AddFolder(folder);
}

HostileTree::~HostileTree() {
  // Wine's own removal would follow a Unix link to a file and remove the
  // file it points to: the links go from the Unix side first.
  if (unixLinks_.empty()) return;
  std::vector<std::wstring> argv{L"/bin/rm", L"-f", L"--"};
  for (const auto& [unixLink, link] : unixLinks_) argv.push_back(Utf16(unixLink));
  if (StartUnixProgram(argv)) {
    WaitUntil([&] {
      for (const auto& [unixLink, link] : unixLinks_) {
        if (Present(link)) return false;
      }
      return true;
    });
  }
}

std::wstring HostileTree::AddFile(std::wstring_view relative, std::string_view content, DWORD attributes) {
  const std::wstring path = top_.AddFile(relative, content);
  if (attributes && !SetFileAttributesW(LongForm(path).c_str(), attributes)) {
    throw std::runtime_error("cannot set the attributes of " + Utf8(path));
  }
  return path;
}

void HostileTree::Remove(std::wstring_view relative) {
  const std::wstring path = Path(relative);
  const DWORD attributes = GetFileAttributesW(LongForm(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    RemoveTree(path + L"\\");
  } else {
    SetFileAttributesW(LongForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(LongForm(path).c_str());
  }
}

std::string HostileTree::AddLink(std::wstring_view relative, std::wstring_view target) {
  const std::wstring link = Path(relative);
  const std::wstring targetPath = Path(target);
  const DWORD targetAttributes = GetFileAttributesW(LongForm(targetPath).c_str());
  if (targetAttributes == INVALID_FILE_ATTRIBUTES) return "no target " + Utf8(targetPath);
  if (!UnderWine()) {
    const DWORD flags = ((targetAttributes & FILE_ATTRIBUTE_DIRECTORY) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (!CreateSymbolicLinkW(LongForm(link).c_str(), LongForm(targetPath).c_str(), flags)) {
      return "this account may not make symbolic links (error " + std::to_string(GetLastError()) + ")";
    }
    return {};
  }
  const size_t slash = link.rfind(L'\\');
  const std::string unixFolder = UnixName(LongForm(link.substr(0, slash)));
  const std::string unixTarget = UnixName(LongForm(targetPath));
  if (unixFolder.empty() || unixTarget.empty()) return "Wine gives no Unix names here";
  const std::string unixLink = unixFolder + "/" + Utf8(link.substr(slash + 1));
  if (!StartUnixProgram({L"/bin/ln", L"-s", L"--", Utf16(unixTarget), Utf16(unixLink)})) {
    return "cannot start /bin/ln (error " + std::to_string(GetLastError()) + ")";
  }
  unixLinks_.emplace_back(unixLink, link);
  if (!WaitUntil([&] { return Present(link); })) return "/bin/ln made no link " + unixLink;
  return {};
}

TreePicture HostileTree::Picture() const {
  TreePicture picture;
  PictureFolder(top(), L"", picture);
  return picture;
}

TreeChanges CompareRun(const TreePicture& before, const TreePicture& after, const std::string& document,
                       const std::vector<std::wstring>& removedOnPurpose) {
  TreeChanges changes;
  for (const auto& [path, entry] : after) {
    const auto old = before.find(path);
    if (old != before.end() && old->second == entry) continue;
    const bool subtitle = path.starts_with(L"tree\\") && entry.kind == 'f' && entry.content == document &&
                          (path.ends_with(L".SRT") || path.ends_with(L".SSA"));
    if (old == before.end()) {
      if (subtitle && entry.attributes == 0) {
        ++changes.created;
      } else {
        changes.problems.push_back("made " + Utf8(path) + ": " + Describe(entry));
      }
    } else if (subtitle && old->second.kind == 'f' && old->second.attributes == entry.attributes) {
      ++changes.replaced;
    } else {
      changes.problems.push_back("changed " + Utf8(path) + ": " + Describe(old->second) + " -> " +
                                 Describe(entry));
    }
  }
  for (const auto& [path, entry] : before) {
    if (after.count(path)) continue;
    bool onPurpose = false;
    for (const std::wstring& removed : removedOnPurpose) {
      onPurpose = onPurpose || path == removed || (removed.ends_with(L'\\') && path.starts_with(removed));
    }
    if (!onPurpose) changes.problems.push_back("gone " + Utf8(path) + ": " + Describe(entry));
  }
  return changes;
}

ProgramRun RunStampProgram(const std::vector<std::wstring>& args, const std::wstring& cwd) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring program(self, length);
  program = program.substr(0, program.rfind(L'\\') + 1) + L"varnel-stamp.exe";
  std::wstring command = Quoted(program);
  for (const std::wstring& argument : args) command += L" " + Quoted(argument);

  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  if (!CreatePipe(&outRead, &outWrite, &inherited, 0) || !CreatePipe(&errRead, &errWrite, &inherited, 0)) {
    throw std::runtime_error("cannot make pipes");
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                             OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, cwd.c_str(), &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  CloseHandle(input);
  ProgramRun run;
  if (!started) {
    CloseHandle(outRead);
    CloseHandle(errRead);
    throw std::runtime_error("cannot start " + Utf8(program));
  }
  std::thread outReader(ReadAll, outRead, std::ref(run.out));
  std::thread errReader(ReadAll, errRead, std::ref(run.err));
  // A walk caught in a cycle would go on for hours.
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
    run.timedOut = true;
  }
  outReader.join();
  errReader.join();
  GetExitCodeProcess(process.hProcess, &run.status);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(outRead);
  CloseHandle(errRead);

  run.out = WithoutCarriageReturns(run.out);
  run.err = WithoutCarriageReturns(run.err);
  const size_t last = run.out.rfind("written: ");
  if (last != std::string::npos) {
    std::sscanf(run.out.c_str() + last, "written: %d, skipped: %d, failed: %d", &run.written, &run.skipped,
                &run.failed);
  }
  return run;
}

int CountLinesWith(const std::string& text, const std::string& part) {
  int count = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (text.substr(start, end - start).find(part) != std::string::npos) ++count;
    start = end + 1;
  }
  return count;
}

}  // namespace varnel::testing
