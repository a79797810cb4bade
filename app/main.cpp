// varnel.exe: start-up, the message loop, and the end of the program.
#include <windows.h>
#include <objbase.h>

#include "platform/host.h"
#include "platform/window_messages_win.h"
#include "ui/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The host's own initialisation: the shell's dialogs and the hand-off of
  // web addresses to the browser want COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int status = 0;
  {
    varnel::SystemHost host;
    // The window owns the batch job, whose run state is created here and
    // released when the window object goes at the end of this block.
    varnel::ui::MainWindow window(host);
    if (window.Create(instance)) {
      window.Show(showCommand);
      varnel::RunMessageLoop();
    } else {
      status = 1;  // no window could be made: nothing the user could have done
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return status;
}
