// Entry point of varnel-stamp.
#include <iostream>
#include <vector>

#include "cli/stamp.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<varnel::NativeText> args(argv + 1, argv + argc);
  return varnel::RunStamp(args, {std::cout, std::cerr, _isatty(_fileno(stderr)) != 0});
}
#else
#include <unistd.h>

int main(int argc, char** argv) {
  std::vector<varnel::NativeText> args(argv + 1, argv + argc);
  return varnel::RunStamp(args, {std::cout, std::cerr, isatty(STDERR_FILENO) != 0});
}
#endif
