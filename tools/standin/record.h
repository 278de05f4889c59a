// The stand-in messenger's record of every message it receives, shared by the
// stand-in (which writes it) and the tests (which read it). One line a message,
// fields separated by tabs, flushed as each message arrives:
//
//   <seq> <ms> <window> <message> <wParam> <lParam> <S|P> <text>
//
//   seq      1, 2, 3 ... in the order the stand-in handled the messages
//   ms       the system-wide monotonic clock (QueryPerformanceCounter) in
//            milliseconds with three decimals, comparable between processes
//   window   the receiving window's role, e.g. "chat.input", "chat.send", "im.input",
//            "im.send", "im.format": a top-level prefix ("chat", "chat2", "im", "im2")
//            and the child's role
//   message  the message number in decimal (12 WM_SETTEXT, 513 down, 514 up)
//   wParam, lParam   in hexadecimal; for WM_SETTEXT lParam is "-"
//   S|P      sent (InSendMessage) or posted
//   text     WM_SETTEXT only: the ANSI bytes received, as lower-case hex, or "-"
#pragma once

#define STANDIN_RECORD_FIELDS 8
