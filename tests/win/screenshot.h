// Pictures of a window as it is on the screen, kept as test artefacts.
#pragma once

#include <windows.h>

#include <string>

namespace varnel::testing {

// The folder the pictures go to: "screenshots" in the build tree, beside the
// folder of the test program.
std::wstring ScreenshotFolder();

// Saves what the screen shows of `window` (frame included) as a PNG file;
// false when it could not.
bool SaveScreenshot(HWND window, const std::wstring& path);

}  // namespace varnel::testing
