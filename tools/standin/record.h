// The stand-in messenger's record of every message it receives, shared by the
// stand-in (which writes it) and the tests (which read it). One line a message,
// fields separated by tabs, flushed as each message arrives:
//
//   <seq> <ms> <window> <message> <wParam> <lParam> <S|P> <text>
//
//   seq      1, 2, 3 ... in the order the stand-in handled the messages
//   ms       the system-wide monotonic clock (QueryPerformanceCounter) in
//            milliseconds with three decimals, comparable between processes
//   window   the receiving window's role: a top-level prefix ("chat", "chat2",
//            "im", "im2"), alone for the top-level window itself, or joined by
//            a dot to the child's role: "chat.format", "chat.area1",
//            "chat.input", "chat.send", "chat.more", "im.combo", "im.edit",
//            "im.area1", "im.input", "im.send", "im.warn", "im.block"
//   message  the message number in decimal (12 WM_SETTEXT, 513 down, 514 up)
//   wParam, lParam   in hexadecimal; for WM_SETTEXT lParam is "-"
//   S|P      sent (InSendMessage) or posted
//   text     WM_SETTEXT only: the ANSI bytes received, as lower-case hex (empty
//            for an empty text), or "-"
//
// Recorded are set-text, mouse-button and keyboard messages, BM_CLICK, and the
// marker below; the stand-in's own updates of its windows are not.
#pragma once

#define STANDIN_RECORD_FIELDS 8

// Posted by a test to any of the stand-in's windows: once its line is in the
// record, every message posted to the stand-in before it has been handled.
#define STANDIN_MARKER_MESSAGE 0x8001
