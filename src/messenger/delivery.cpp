#include "messenger/delivery.h"

#include <cmath>

namespace Module1 {

namespace {

const char kChatClass[] = "AIM_ChatWnd";
const char kImClass[] = "AIM_IMessage";
const char kTextAreaClass[] = "WndAte32Class";
const char kButtonClass[] = "_Oscar_IconBtn";
const char kComboClass[] = "_Oscar_PersistantCombo";
const char kEditClass[] = "Edit";

// The longest wait TimeOut and WaitSeconds accept, about 24 days: well inside
// the millisecond clock's wrap, so elapsed times stay unambiguous.
constexpr double kLongestWaitMs = 2147483647.0;

void DeliverToChat(WindowSystem& ws, const std::wstring& text, Handle owner);
void DeliverToIm(WindowSystem& ws, const std::wstring& text, Handle owner);

// Runs one delivery, then every one asked for meanwhile, oldest first. Without
// this a burst of clicks would nest one delivery inside another's wait: the
// inner text would overwrite the input box before the outer Send press is
// handled, and enough of them nest deeper than the window manager allows.
void Deliver(WindowSystem& ws, bool chat, const std::wstring& text, Handle owner) {
    if (ws.delivering) {
        ws.waiting.push_back({chat, text, owner});
        return;
    }
    ws.delivering = true;
    struct Done {
        WindowSystem& ws;
        ~Done() { ws.delivering = false; }
    } done{ws};
    chat ? DeliverToChat(ws, text, owner) : DeliverToIm(ws, text, owner);
    while (!ws.waiting.empty()) {
        const WindowSystem::Waiting next = ws.waiting.front();
        ws.waiting.pop_front();
        next.chat ? DeliverToChat(ws, next.text, next.owner)
                  : DeliverToIm(ws, next.text, next.owner);
    }
}

// A set-text is sent, so it overtakes messages still queued for the
// messenger: had the previous instant message's posted Send press not been
// handled yet, this text would replace that one before it went out. The
// messenger empties its input box when it sends, so wait (handling the
// program's events) until the box the last text went into is empty again.
void AwaitPreviousPress(WindowSystem& ws) {
    const Handle input = ws.pendingInput;
    ws.pendingInput = 0;
    if (input == 0) return;
    const std::uint32_t start = ws.NowMs();
    while (ws.AskBox(input) == Box::HasText && ws.NowMs() - start < kPressBoundMs) {
        ws.WaitForEvents(1);
        ws.PumpEvents();
    }
}

void DeliverToChat(WindowSystem& ws, const std::wstring& text, Handle) {
    const Handle chat = ws.FindTopWindow(kChatClass);
    const Handle area1 = ws.FindChildWindow(chat, 0, kTextAreaClass);
    const Handle input = ws.FindChildWindow(chat, area1, kTextAreaClass);
    // An empty text is sent too: it clears the input box.
    ws.SendSetText(input, text);
    const Handle button = ws.FindChildWindow(chat, input, kButtonClass);
    ClickButton(ws, button);
}

void DeliverToIm(WindowSystem& ws, const std::wstring& text, Handle) {
    // The instant-message window may still be opening: give it a few passes of
    // the event loop to show its edit field. Delivery goes on either way.
    for (int pass = 1;; ++pass) {
        ws.PumpEvents();
        const Handle im = ws.FindTopWindow(kImClass);
        const Handle combo = ws.FindChildWindow(im, 0, kComboClass);
        const Handle edit = ws.FindChildWindow(combo, 0, kEditClass);
        if ((im != 0 && combo != 0 && edit != 0) || pass >= kReadinessPasses) break;
    }
    AwaitPreviousPress(ws);
    WaitSeconds(ws, 0);

    Handle im = ws.FindTopWindow(kImClass);
    const Handle area1 = ws.FindChildWindow(im, 0, kTextAreaClass);
    const Handle input = ws.NextSibling(area1);
    SetWindowTextTo(ws, input, text);

    im = ws.FindTopWindow(kImClass);
    const Handle button = ws.FindChildWindow(im, 0, kButtonClass);
    PostClick(ws, button);
    if (button != 0 && input != 0 && !text.empty()) ws.pendingInput = input;
    WaitSeconds(ws, 0);
}

}  // namespace

void ChatSend(WindowSystem& ws, const std::wstring& text, Handle owner) {
    Deliver(ws, true, text, owner);
}

void IMSend(WindowSystem& ws, const std::wstring& text, Handle owner) {
    Deliver(ws, false, text, owner);
}

void TimeOut(WindowSystem& ws, double seconds) {
    if (!(seconds > 0)) return;  // zero, negative and NaN return at once
    const double wantedMs = std::ceil(seconds * 1000.0);
    const std::uint32_t duration =
        static_cast<std::uint32_t>(wantedMs < kLongestWaitMs ? wantedMs : kLongestWaitMs);
    const std::uint32_t start = ws.NowMs();
    for (;;) {
        const std::uint32_t elapsed = ws.NowMs() - start;
        if (elapsed >= duration) return;
        ws.WaitForEvents(duration - elapsed);
        ws.PumpEvents();
    }
}

Sent ClickButton(WindowSystem& ws, Handle button) {
    ws.SendButton(button, kWmLButtonDown);
    return ws.SendButton(button, kWmLButtonUp);
}

Sent PostClick(WindowSystem& ws, Handle button) {
    ws.PostButton(button, kWmLButtonDown);
    WaitSeconds(ws, 0);
    return ws.PostButton(button, kWmLButtonUp);
}

Sent SetWindowTextTo(WindowSystem& ws, Handle window, const std::wstring& text) {
    return text.empty() ? Sent::Done : ws.SendSetText(window, text);
}

void WaitSeconds(WindowSystem& ws, std::int32_t seconds) {
    // Negative waits are no wait; long ones are capped rather than overflowing.
    if (seconds <= 0) {
        ws.Sleep(0);
        return;
    }
    const double ms = static_cast<double>(seconds) * 1000.0;
    ws.Sleep(static_cast<std::uint32_t>(ms < kLongestWaitMs ? ms : kLongestWaitMs));
}

}  // namespace Module1
