// Delivery of a text into the messenger's chat room and instant-message
// windows, written once over a narrow window-system interface. The program
// uses the Win32 one (winsys_win.h); tests use an in-memory window tree.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

namespace Module1 {

using Handle = std::uintptr_t;  // a window; 0 is no window

constexpr unsigned kWmSetText = 0x000C;
constexpr unsigned kWmLButtonDown = 0x0201;
constexpr unsigned kWmLButtonUp = 0x0202;

// How many times IMSend looks for the instant-message window to be ready.
constexpr int kReadinessPasses = 10;
// How long an instant message waits for the messenger to send the previous
// one's text before it puts its own text in.
constexpr std::uint32_t kPressBoundMs = 1000;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The top-level window of this class highest in the Z order (any title,
    // visible or not), compared without regard to case; 0 if none.
    virtual Handle FindTopWindow(const char* className) = 0;
    // The first direct child of `parent` of this class after `after` (from the
    // first child when `after` is 0); a zero parent searches the top-level windows.
    virtual Handle FindChildWindow(Handle parent, Handle after, const char* className) = 0;
    // The sibling after `window` in its parent's child order; 0 if none.
    virtual Handle NextSibling(Handle window) = 0;

    // WM_SETTEXT with the ANSI form of `text`; waits for the messenger to handle
    // it, up to a bound. A zero or stale window does nothing.
    virtual void SendSetText(Handle window, const std::wstring& text) = 0;
    // A left-button message with wParam 0 and lParam 0, sent (waits, up to a
    // bound) or posted (returns at once).
    virtual void SendButton(Handle window, unsigned message) = 0;
    virtual void PostButton(Handle window, unsigned message) = 0;

    // Handles every event already queued for the program, then returns.
    virtual void PumpEvents() = 0;
    // Returns when an event is queued or `ms` have passed.
    virtual void WaitForEvents(std::uint32_t ms) = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
    // Monotonic milliseconds; differences stay right across the wrap.
    virtual std::uint32_t NowMs() = 0;
    // True when `window` holds text (WM_GETTEXTLENGTH); false when it holds
    // none, is gone, or does not answer within a short bound.
    virtual bool HasText(Handle window) = 0;

    // A delivery asked for while another one is running (a click handled
    // inside IMSend's wait) waits here and goes out after it, in order.
    struct Waiting {
        bool chat;
        std::wstring text;
    };
    std::deque<Waiting> waiting;
    bool delivering = false;
    // The input box whose text the last instant message's posted Send press
    // may not have taken yet.
    Handle pendingInput = 0;
};

// Sets the chat room's input box and presses its Send button.
void ChatSend(WindowSystem& ws, const std::wstring& text);
// Waits briefly for the instant-message window, sets its input box and clicks Send.
void IMSend(WindowSystem& ws, const std::wstring& text);
// Called while a delivery is running, both return at once and the text goes
// out when the running delivery (and any asked for before) has finished.
// Keeps the program's windows answering for at least `seconds`, without spinning.
void TimeOut(WindowSystem& ws, double seconds);

void ClickButton(WindowSystem& ws, Handle button);
void PostClick(WindowSystem& ws, Handle button);
void SetWindowTextTo(WindowSystem& ws, Handle window, const std::wstring& text);
void WaitSeconds(WindowSystem& ws, std::int32_t seconds);

}  // namespace Module1
