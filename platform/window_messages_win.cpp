#include "platform/window_messages_win.h"

namespace varnel {

void DispatchWindowMessage(MSG& message) {
  if (message.hwnd) {
    // IsDialogMessageW also serves plain windows: it turns Escape into
    // IDCANCEL, Enter into IDOK and Tab into a focus move, and dispatches
    // every other message itself.
    HWND topLevel = GetAncestor(message.hwnd, GA_ROOT);
    if (topLevel && IsDialogMessageW(topLevel, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int RunMessageLoop() {
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    DispatchWindowMessage(message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace varnel
