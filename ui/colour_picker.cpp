#include "ui/colour_picker.h"

#include <commdlg.h>

namespace varnel::ui {

namespace {

struct PickerState {
  COLORREF colour = 0;
  COLORREF customColours[16] = {};  // the dialog's custom colours, kept per picker
};

PickerState* StateOf(HWND window) {
  return reinterpret_cast<PickerState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Paint(HWND window, const PickerState& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  RECT swatch = area;
  DrawEdge(dc, &swatch, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  HBRUSH brush = CreateSolidBrush(state.colour);
  FillRect(dc, &swatch, brush);
  DeleteObject(brush);
  if (GetFocus() == window) {
    InflateRect(&swatch, -1, -1);
    DrawFocusRect(dc, &swatch);
  }
  EndPaint(window, &paint);
}

void Pick(HWND window, PickerState& state) {
  CHOOSECOLORW choice{};
  choice.lStructSize = sizeof(choice);
  choice.hwndOwner = GetAncestor(window, GA_ROOT);
  choice.rgbResult = state.colour;
  choice.lpCustColors = state.customColours;
  choice.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (ChooseColorW(&choice)) {
    state.colour = choice.rgbResult & 0xFFFFFF;
    InvalidateRect(window, nullptr, FALSE);
  }
}

LRESULT CALLBACK PickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PickerState* state = StateOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PickerState));
      break;
    case WM_NCDESTROY:
      delete state;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case kGetColour:
      return state ? state->colour : 0;
    case kSetColour:
      state->colour = static_cast<COLORREF>(wParam) & 0xFFFFFF;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_PAINT:
      Paint(window, *state);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      return 0;
    case WM_LBUTTONUP: {
      RECT area;
      GetClientRect(window, &area);
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (PtInRect(&area, at)) Pick(window, *state);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        Pick(window, *state);
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      return DLGC_BUTTON;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterColourPicker(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  if (GetClassInfoExW(instance, kColourPickerClass, &windowClass)) return true;
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = PickerProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_HAND);
  windowClass.lpszClassName = kColourPickerClass;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace varnel::ui
