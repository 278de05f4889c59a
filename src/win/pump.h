// The program's event loop, shared by the main loop and by the waits that keep
// the windows answering in the middle of an operation.
#pragma once
#include <windows.h>

#include <cstdint>

namespace win {

// Handles every event already queued for this thread, then returns. A quit
// request seen here is put back, so the outermost loop ends the program.
void PumpPendingEvents();

// Waits until an event arrives or `ms` pass, without handling anything.
void WaitForEvents(std::uint32_t ms);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// A monotonic millisecond clock; differences stay right across its wrap.
std::uint32_t NowMs();

}  // namespace win
