// Entry point of the Windows test programs.
#include <gtest/gtest.h>
#include <windows.h>

int main(int argc, char** argv) {
  // A crash fails the test instead of waiting on a dialog nobody sees.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
