#include "main_window_fixture.h"

namespace varnel::ui {

namespace {

// The dialog AnswerDialog waits for, and what it does with it. The answer
// runs on this thread from a timer, inside the dialog's own message loop:
// a timer fires only when nothing else is waiting, so the dialog has been
// initialised and drawn by then.
struct PendingAnswer {
  const std::function<void(HWND)>* act = nullptr;
  HWND dialog = nullptr;
  bool answered = false;
  bool leftOpen = false;
};
thread_local PendingAnswer* pending = nullptr;

constexpr UINT kAnswerDelay = 100;    // ms after the dialog's initialisation
constexpr UINT kGiveUpDelay = 5000;   // ms after the answer

void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!pending || !IsWindow(pending->dialog)) return;
  pending->leftOpen = true;
  PostMessageW(pending->dialog, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK Answer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!pending || pending->answered) return;
  pending->answered = true;
  (*pending->act)(pending->dialog);
  SetTimer(nullptr, 0, kGiveUpDelay, GiveUp);
}

bool IsTopLevelDialog(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770" && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

LRESULT CALLBACK WatchForDialog(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && pending && !pending->dialog) {
    const auto& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (call.message == WM_INITDIALOG && IsTopLevelDialog(call.hwnd)) {
      pending->dialog = call.hwnd;
      SetTimer(nullptr, 0, kAnswerDelay, Answer);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void AnswerDialog(const std::function<void()>& open, const std::function<void(HWND dialog)>& act) {
  PendingAnswer answer;
  answer.act = &act;
  pending = &answer;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchForDialog, nullptr, GetCurrentThreadId());
  open();
  UnhookWindowsHookEx(hook);
  pending = nullptr;
  EXPECT_TRUE(answer.answered) << "no dialog appeared";
  EXPECT_FALSE(answer.leftOpen) << "the dialog stayed open";
}

void WaitInDialog(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, 0);
  } while (GetTickCount() - start < milliseconds);
}

HWND FindChild(HWND dialog, const wchar_t* className, const wchar_t* text) {
  struct Search {
    const wchar_t* className;
    const wchar_t* text;
    HWND found = nullptr;
  } search{className, text};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM parameter) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(parameter);
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        if (_wcsicmp(name, search.className) != 0 || !IsWindowVisible(child)) return TRUE;
        wchar_t text[256] = {};
        GetWindowTextW(child, text, 256);
        if (search.text && std::wstring(text) != search.text) return TRUE;
        search.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace varnel::ui
