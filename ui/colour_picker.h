// A small control that shows a colour and lets the user pick another one in
// the system's colour dialog. Its value is a Windows RGB colour value.
#pragma once

#include <windows.h>

namespace varnel::ui {

inline constexpr wchar_t kColourPickerClass[] = L"VarnelColourPicker";

// Messages of the control: the colour (returned as the result), and setting it
// (wParam). Setting takes the RGB part only.
inline constexpr UINT kGetColour = WM_APP + 1;
inline constexpr UINT kSetColour = WM_APP + 2;

bool RegisterColourPicker(HINSTANCE instance);

}  // namespace varnel::ui
