// Texts between the window and the rest of the program. The window speaks
// UTF-16; paths stay UTF-16, and the texts that go into a subtitle document
// are turned into the system's ANSI code page here and nowhere else.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "subtitle/text.h"

namespace varnel::ui {

std::wstring WindowText(HWND window);

// The text in the system's ANSI code page (code page 936 on a Simplified
// Chinese system); a character that has no place there becomes "?".
Bytes AnsiFromWide(std::wstring_view text);

std::wstring WideFromUtf8(std::string_view text);

}  // namespace varnel::ui
