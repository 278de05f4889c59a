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

// How many messenger threads that stopped answering are remembered.
constexpr std::size_t kUnansweredKept = 8;

// The shortest wait worth giving a sent message: with less of the delivery's
// bound left, it counts as not answered without being sent.
constexpr std::uint32_t kLeastBoundMs = 50;

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

// Marks the messenger that owns `window` as one that let a send run out its
// bound, and asks it once, without waiting, to say when it reads its queue
// again. A thread id may be long gone and reused, so the oldest is forgotten
// first; an answer for it then finds nothing to change. The answer comes back
// as an event; the question's number is stored first, so an answer can never
// find it missing.
void MarkUnanswered(WindowSystem& ws, Handle window) {
    const unsigned thread = ws.ThreadOf(window);
    if (thread == 0) return;
    for (const WindowSystem::Unanswered& u : ws.unanswered)
        if (u.thread == thread) return;
    if (ws.unanswered.size() >= kUnansweredKept) ws.unanswered.erase(ws.unanswered.begin());
    if (++ws.lastProbe == 0) ++ws.lastProbe;  // 0 stands for no question
    ws.unanswered.push_back({thread, ws.lastProbe, window, false});
    if (!ws.Probe(window, ws.lastProbe)) ws.unanswered.back().probe = 0;
}

// False while the messenger that owns `window` let a send run out its bound
// and has not answered the question put to it then: a hung messenger so costs
// one send's bound once and nothing per click after it. Once the answer has
// come, it is sent to again. Only a message that runs out what is left of
// the click's bound marks it; a click with no time left for its next message
// marks nothing (Left, SendButtonWithin). The answer arrives only as an event, so nothing
// here waits; the lists change only by this thread's own calls, and an answer
// arriving in between only sets a flag.
bool Reachable(WindowSystem& ws, Handle window) {
    if (window == 0) return true;
    const unsigned thread = ws.ThreadOf(window);
    for (auto it = ws.unanswered.begin(); it != ws.unanswered.end(); ++it) {
        if (it->thread != thread) continue;
        if (it->answered) {
            ws.unanswered.erase(it);
            return true;
        }
        // The window asked is gone (or the question could not be put, which
        // only a vanished window does): only its own thread can destroy it, or
        // that thread ended, so it no longer hangs.
        if (it->probe == 0 || ws.ThreadOf(it->asked) != thread) {
            ws.unanswered.erase(it);
            return true;
        }
        return false;
    }
    return true;
}

// A click holds the program for one bound in all (kSendBoundMs), from the
// delivery's first message to the messenger after it last handled its own
// events: each message gets what is left of it, and with too little left it
// counts as not answered. Returns 0 then.
std::uint32_t Left(WindowSystem& ws, std::uint32_t start) {
    const std::uint32_t spent = ws.NowMs() - start;
    return spent > kSendBoundMs - kLeastBoundMs ? 0 : kSendBoundMs - spent;
}

Sent SendButtonWithin(WindowSystem& ws, Handle button, unsigned message, std::uint32_t start) {
    const std::uint32_t left = Left(ws, start);
    // No time left, though no message ran out its bound: the messenger is
    // slow, not hung. The delivery ends, and the messenger is not passed over.
    if (left == 0) return button == 0 ? Sent::NoWindow : Sent::Failed;
    return ws.SendButton(button, message, left);
}

// Whether the delivery goes on after a message to `window`. A missing
// window does not stop it (everything below it is missing too). One that
// did not answer does: the messenger may still take the message later, and a
// press then would send whatever the box holds. A refused one does, and the
// user learns why, once a run: otherwise every smiley vanishes silently. One
// that failed for no known reason does too, as the messenger may have taken
// the message or not; it is not taken for hung.
bool GoesOn(WindowSystem& ws, Handle window, Sent result, Handle owner) {
    if (result == Sent::Failed) return false;
    if (result == Sent::NoAnswer) {
        MarkUnanswered(ws, window);
        return false;
    }
    if (result == Sent::Blocked) {
        if (!ws.toldBlocked) ws.toldBlocked = ws.TellBlocked(owner);
        return false;
    }
    return true;
}

// A set-text is sent, so it overtakes messages still queued for the
// messenger: had the previous instant message's posted Send press not been
// handled yet, this text would replace the one that press is for (after an
// empty text, whatever the user had typed) before it went out. The messenger
// empties its input box when it sends, so wait (handling the program's
// events) until the box the last press was aimed at is empty. An empty box
// proves nothing more: the press may still be queued, but it then sends the
// new text, and the new press finds the box empty, which comes to the same.
// A question that is not answered in time ends the wait too: the messenger is
// busy (with that very press, perhaps), and the text's own send waits for it.
// Returns false when the messenger is known hung and still does not answer.
// `start` becomes the time of the last question: the program has not handled
// its events since, so the delivery's bound runs from there.
bool AwaitPreviousPress(WindowSystem& ws, std::uint32_t& start) {
    const Handle input = ws.pendingInput;
    ws.pendingInput = 0;
    if (input == 0) return true;
    if (!Reachable(ws, input)) return false;
    const std::uint32_t first = ws.NowMs();
    for (start = first;;) {
        if (ws.AskBox(input, kAskBoundMs) != Box::HasText) return true;
        ws.WaitForEvents(1);
        ws.PumpEvents();
        start = ws.NowMs();
        if (start - first >= kPressBoundMs) return true;
    }
}

void DeliverToChat(WindowSystem& ws, const std::wstring& text, Handle owner) {
    const Handle chat = ws.FindTopWindow(kChatClass);
    const Handle area1 = ws.FindChildWindow(chat, 0, kTextAreaClass);
    const Handle input = ws.FindChildWindow(chat, area1, kTextAreaClass);
    // An empty text is sent too: it clears the input box.
    const std::uint32_t start = ws.NowMs();
    if (!Reachable(ws, input) || !GoesOn(ws, input, SetText(ws, input, text, start), owner)) return;
    const Handle button = ws.FindChildWindow(chat, input, kButtonClass);
    if (!Reachable(ws, button)) return;
    GoesOn(ws, button, ClickButton(ws, button, start), owner);
}

void DeliverToIm(WindowSystem& ws, const std::wstring& text, Handle owner) {
    // The instant-message window may still be opening: give it a few passes of
    // the event loop to show its edit field. Delivery goes on either way.
    for (int pass = 1;; ++pass) {
        ws.PumpEvents();
        const Handle im = ws.FindTopWindow(kImClass);
        const Handle combo = ws.FindChildWindow(im, 0, kComboClass);
        const Handle edit = ws.FindChildWindow(combo, 0, kEditClass);
        if ((im != 0 && combo != 0 && edit != 0) || pass >= kReadinessPasses) break;
    }
    std::uint32_t start = ws.NowMs();
    if (!AwaitPreviousPress(ws, start)) return;
    WaitSeconds(ws, 0);

    Handle im = ws.FindTopWindow(kImClass);
    const Handle area1 = ws.FindChildWindow(im, 0, kTextAreaClass);
    const Handle input = ws.NextSibling(area1);
    if (!text.empty() && (!Reachable(ws, input) ||
                          !GoesOn(ws, input, SetWindowTextTo(ws, input, text, start), owner)))
        return;

    im = ws.FindTopWindow(kImClass);
    const Handle button = ws.FindChildWindow(im, 0, kButtonClass);
    // Whatever the text: a press waiting in a hung messenger's queue would send
    // whatever its box holds when it wakes, the user's half-typed text perhaps.
    if (!Reachable(ws, button)) return;
    const Sent pressed = PostClick(ws, button);
    if (!GoesOn(ws, button, pressed, owner)) return;
    // Also after an empty text: its press sends what the box holds then.
    if (pressed == Sent::Done && input != 0) ws.pendingInput = input;
    WaitSeconds(ws, 0);
}

}  // namespace

void ProbeAnswered(WindowSystem& ws, std::uintptr_t probe) {
    if (probe == 0) return;
    for (WindowSystem::Unanswered& u : ws.unanswered)
        if (u.probe == probe) u.answered = true;
}

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

Sent ClickButton(WindowSystem& ws, Handle button, std::uint32_t start) {
    // A sent message the messenger has not taken from its queue when the bound
    // runs out is cancelled (Windows and Wine alike); one it has taken is
    // handled to the end. A release is posted after a press that ran out the
    // bound: it arrives after a press still being handled, so the button is not
    // left down, and alone after a cancelled one, which is harmless. A release
    // that ran out the bound may be cancelled after its press was handled: a
    // posted one follows it.
    const Sent down = SendButtonWithin(ws, button, kWmLButtonDown, start);
    if (down == Sent::NoAnswer) ws.PostButton(button, kWmLButtonUp);
    if (down != Sent::Done && down != Sent::NoWindow) return down;
    const Sent up = SendButtonWithin(ws, button, kWmLButtonUp, start);
    // The press was handled: without its release the button would stay down.
    if (up == Sent::NoAnswer || up == Sent::Failed) ws.PostButton(button, kWmLButtonUp);
    return up;
}

Sent PostClick(WindowSystem& ws, Handle button) {
    const Sent down = ws.PostButton(button, kWmLButtonDown);
    if (down == Sent::Blocked || down == Sent::Failed) return down;
    WaitSeconds(ws, 0);
    return ws.PostButton(button, kWmLButtonUp);
}

Sent SetText(WindowSystem& ws, Handle window, const std::wstring& text, std::uint32_t start) {
    const std::uint32_t left = Left(ws, start);
    if (left == 0) return window == 0 ? Sent::NoWindow : Sent::Failed;  // slow, not hung
    return ws.SendSetText(window, text, left);
}

Sent SetWindowTextTo(WindowSystem& ws, Handle window, const std::wstring& text,
                     std::uint32_t start) {
    return text.empty() ? Sent::Done : SetText(ws, window, text, start);
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
