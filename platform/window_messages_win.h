// The thread's window messages: one way of handing a message to its window,
// shared by the program's message loop and the event pump that runs inside a
// walk, so the keyboard behaves the same in both.
#pragma once

#include <windows.h>

namespace varnel {

// Hands one message to its window. Keys that concern the window as a whole
// (Tab between controls, Escape, Enter) go through the keyboard interface of
// the message's top-level window first.
void DispatchWindowMessage(MSG& message);

// Dispatches messages until the quit request; returns its exit code.
int RunMessageLoop();

}  // namespace varnel
