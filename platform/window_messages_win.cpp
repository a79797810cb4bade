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

void DispatchPendingMessages() {
  constexpr ULONGLONG kScreenRefresh = 16;  // milliseconds
  thread_local ULONGLONG lastPaint = 0;
  const ULONGLONG now = GetTickCount64();
  UINT which = PM_QS_INPUT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
  if (now - lastPaint >= kScreenRefresh) {
    which |= PM_QS_PAINT;
    lastPaint = now;
  } else if ((HIWORD(GetQueueStatus(QS_ALLINPUT)) & (QS_ALLINPUT & ~QS_PAINT)) == 0) {
    // Nothing but paint waits. Asking the queue is one call to the system;
    // a PeekMessageW that finds nothing it may take is more when paint
    // waits, and paint waits for most of a walk.
    return;
  }
  // The system makes a paint message whenever a region is invalid and
  // nothing else waits: leaving paint out of what is taken keeps it
  // waiting, its region still invalid, until a screen refresh has passed.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | which)) {
    if (message.message == WM_QUIT) {
      // The quit request is for the message loop: put it back and stop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchWindowMessage(message);
  }
}

}  // namespace varnel
