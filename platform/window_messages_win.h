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

// Dispatches the messages waiting for this thread and returns; a quit request
// stays in the queue. Called for every entry of a walk: input, posted and
// sent messages are handled at every call, paint messages only when a screen
// refresh (16 ms) has passed since they were last handled, so that a text
// changed for every entry is not drawn more often than it can be seen.
void DispatchPendingMessages();

}  // namespace varnel
