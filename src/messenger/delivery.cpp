#include "messenger/delivery.h"

#include <cmath>
#include <utility>

namespace delivery {

namespace {

const char kChatClass[] = "AIM_ChatWnd";
const char kImClass[] = "AIM_IMessage";
const char kTextAreaClass[] = "WndAte32Class";
const char kButtonClass[] = "_Oscar_IconBtn";
const char kComboClass[] = "_Oscar_PersistantCombo";
const char kEditClass[] = "Edit";

// The longest wait TimeOut accepts, about 24 days: well inside the millisecond
// clock's wrap, so elapsed times stay unambiguous.
constexpr double kLongestWaitMs = 2147483647.0;

// How many messenger threads that stopped answering are remembered.
constexpr std::size_t kUnansweredKept = 8;

// The shortest wait worth giving a sent message: with less of the delivery's
// bound left, it counts as not answered without being sent.
constexpr std::uint32_t kLeastBoundMs = 50;

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

// The steps of a delivery. Each returns the message that ended it early
// (NoAnswer, Blocked, Failed), or the last one's result; a sent message gets
// what is left of one bound counted from `start`.

// `stopped` turns true when the program ends inside a sent message (another
// program's WM_CLOSE handled while the send waits): nothing more goes out then,
// not even the release, which would complete the press.
Sent ClickButton(WindowSystem& ws, Handle button, std::uint32_t start, const bool& stopped) {
    // A sent message the messenger has not taken from its queue when the bound
    // runs out is cancelled (Windows and Wine alike); one it has taken is
    // handled to the end. A release is posted after a press that ran out the
    // bound: it arrives after a press still being handled, so the button is not
    // left down, and alone after a cancelled one, which is harmless. A release
    // that ran out the bound may be cancelled after its press was handled: a
    // posted one follows it.
    const Sent down = SendButtonWithin(ws, button, kWmLButtonDown, start);
    if (stopped) return down;
    if (down == Sent::NoAnswer) ws.PostButton(button, kWmLButtonUp);
    if (down != Sent::Done && down != Sent::NoWindow) return down;
    const Sent up = SendButtonWithin(ws, button, kWmLButtonUp, start);
    // The press was handled: without its release the button would stay down.
    if (!stopped && (up == Sent::NoAnswer || up == Sent::Failed))
        ws.PostButton(button, kWmLButtonUp);
    return up;
}

Sent PostClick(WindowSystem& ws, Handle button) {
    const Sent down = ws.PostButton(button, kWmLButtonDown);
    if (down == Sent::Blocked || down == Sent::Failed) return down;
    ws.Sleep(0);
    return ws.PostButton(button, kWmLButtonUp);
}

Sent SetText(WindowSystem& ws, Handle window, const std::wstring& text, std::uint32_t start) {
    const std::uint32_t left = Left(ws, start);
    if (left == 0) return window == 0 ? Sent::NoWindow : Sent::Failed;  // slow, not hung
    return ws.SendSetText(window, text, left);
}

}  // namespace

MessengerDelivery::MessengerDelivery(WindowSystem& ws) : ws_(ws) {}

void MessengerDelivery::ChatSend(const std::wstring& text, Handle owner) {
    Deliver({true, text, owner});
}

void MessengerDelivery::IMSend(const std::wstring& text, Handle owner) {
    Deliver({false, text, owner});
}

// Runs one delivery, then every one asked for meanwhile, oldest first. Without
// this a burst of clicks would nest one delivery inside another's wait: the
// inner text would overwrite the input box before the outer Send press is
// handled, and enough of them nest deeper than the window manager allows.
void MessengerDelivery::Deliver(Job job) {
    if (stopped_) return;
    deliveries_.Submit(std::move(job), [this](const Job& next) {
        next.chat ? DeliverToChat(next.text, next.owner) : DeliverToIm(next.text, next.owner);
        return !stopped_;
    });
}

void MessengerDelivery::Stop() {
    stopped_ = true;
    deliveries_.Waiting().clear();
}

// Handles the program's events; false once the program is ending.
bool MessengerDelivery::Pump() {
    ws_.PumpEvents();
    return !stopped_;
}

void MessengerDelivery::TimeOut(double seconds) {
    if (!(seconds > 0)) return;  // zero, negative and NaN return at once
    const double wantedMs = std::ceil(seconds * 1000.0);
    const std::uint32_t duration =
        static_cast<std::uint32_t>(wantedMs < kLongestWaitMs ? wantedMs : kLongestWaitMs);
    const std::uint32_t start = ws_.NowMs();
    for (;;) {
        const std::uint32_t elapsed = ws_.NowMs() - start;
        if (elapsed >= duration) return;
        ws_.WaitForEvents(duration - elapsed);
        if (!Pump()) return;
    }
}

// Marks the messenger that owns `window` as one that let a send run out its
// bound, and asks it once, without waiting, to say when it reads its queue
// again. A thread id may be long gone and reused, so the oldest is forgotten
// first. The answer comes back as an event; the record it is for is in place
// before the question is put, so an answer can never find it missing.
void MessengerDelivery::MarkUnanswered(Handle window) {
    const unsigned thread = ws_.ThreadOf(window);
    if (thread == 0) return;
    std::size_t kept = 0;
    for (auto it = unanswered_.begin(); it != unanswered_.end();) {
        if (!it->current && it->answered) {  // forgotten, and its answer has come
            it = unanswered_.erase(it);
            continue;
        }
        if (it->current && it->thread == thread) return;
        if (it->current) ++kept;
        ++it;
    }
    if (kept >= kUnansweredKept)
        for (auto it = unanswered_.begin(); it != unanswered_.end(); ++it)
            if (it->current) {
                Forget(it);
                break;
            }
    unanswered_.emplace_back(thread, window);
    unanswered_.back().put = ws_.Probe(window, unanswered_.back());
}

// A record whose answer may still come stays, but no longer stands for its
// thread: the answer then finds nothing to change.
void MessengerDelivery::Forget(std::list<Unanswered>::iterator record) {
    if (record->put && !record->answered)
        record->current = false;
    else
        unanswered_.erase(record);
}

// False while the messenger that owns `window` let a send run out its bound
// and has not answered the question put to it then: a hung messenger so costs
// one send's bound once and nothing per click after it. Once the answer has
// come, it is sent to again. Only a message that runs out what is left of
// the click's bound marks it; a click with no time left for its next message
// marks nothing (Left, SendButtonWithin). The answer arrives only as an
// event, so nothing here waits; the records change only by this thread's own
// calls, and an answer arriving in between only sets a flag.
bool MessengerDelivery::Reachable(Handle window) {
    if (window == 0 || unanswered_.empty()) return true;
    const unsigned thread = ws_.ThreadOf(window);
    for (auto it = unanswered_.begin(); it != unanswered_.end(); ++it) {
        if (!it->current || it->thread != thread) continue;
        // Answered, or the window asked is gone (or the question could not be
        // put, which only a vanished window does): only its own thread can
        // destroy it, or that thread ended, so it no longer hangs.
        if (it->answered || !it->put || ws_.ThreadOf(it->asked) != thread) {
            Forget(it);
            return true;
        }
        return false;
    }
    return true;
}

// Whether the delivery goes on after a message to `window`: never once the
// program is ending. A missing
// window does not stop it (everything below it is missing too). One that
// did not answer does: the messenger may still take the message later, and a
// press then would send whatever the box holds. A refused one does, and the
// user learns why, once a run: otherwise every smiley vanishes silently. One
// that failed for no known reason does too, as the messenger may have taken
// the message or not; it is not taken for hung.
bool MessengerDelivery::GoesOn(Handle window, Sent result, Handle owner) {
    // A sent message lets other programs' sent messages in while it waits: the
    // program may have ended meanwhile. Then nothing is pressed, asked or told.
    if (stopped_ || result == Sent::Failed) return false;
    if (result == Sent::NoAnswer) {
        MarkUnanswered(window);
        return false;
    }
    if (result == Sent::Blocked) {
        if (!toldBlocked_) toldBlocked_ = ws_.TellBlocked(owner);
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
// Returns false when the messenger is known hung and still does not answer,
// or when the program is ending.
// `start` becomes the time of the last question: the program has not handled
// its events since, so the delivery's bound runs from there.
bool MessengerDelivery::AwaitPreviousPress(std::uint32_t& start) {
    const Handle input = pendingInput_;
    pendingInput_ = 0;
    if (input == 0) return true;
    if (!Reachable(input)) return false;
    const std::uint32_t first = ws_.NowMs();
    for (start = first;;) {
        const Box box = ws_.AskBox(input, kAskBoundMs);
        if (stopped_) return false;  // ended while the question waited
        if (box != Box::HasText) return true;
        ws_.WaitForEvents(1);
        if (!Pump()) return false;
        start = ws_.NowMs();
        if (start - first >= kPressBoundMs) return true;
    }
}

void MessengerDelivery::DeliverToChat(const std::wstring& text, Handle owner) {
    const Handle chat = ws_.FindTopWindow(kChatClass);
    const Handle area1 = ws_.FindChildWindow(chat, 0, kTextAreaClass);
    const Handle input = ws_.FindChildWindow(chat, area1, kTextAreaClass);
    // An empty text is sent too: it clears the input box.
    const std::uint32_t start = ws_.NowMs();
    if (!Reachable(input) || !GoesOn(input, SetText(ws_, input, text, start), owner)) return;
    const Handle button = ws_.FindChildWindow(chat, input, kButtonClass);
    if (!Reachable(button)) return;
    GoesOn(button, ClickButton(ws_, button, start, stopped_), owner);
}

void MessengerDelivery::DeliverToIm(const std::wstring& text, Handle owner) {
    // The instant-message window may still be opening: give it a few passes of
    // the event loop to show its edit field. Delivery goes on either way.
    for (int pass = 1;; ++pass) {
        if (!Pump()) return;
        const Handle im = ws_.FindTopWindow(kImClass);
        const Handle combo = ws_.FindChildWindow(im, 0, kComboClass);
        const Handle edit = ws_.FindChildWindow(combo, 0, kEditClass);
        if ((im != 0 && combo != 0 && edit != 0) || pass >= kReadinessPasses) break;
    }
    std::uint32_t start = ws_.NowMs();
    if (!AwaitPreviousPress(start)) return;
    ws_.Sleep(0);

    Handle im = ws_.FindTopWindow(kImClass);
    const Handle area1 = ws_.FindChildWindow(im, 0, kTextAreaClass);
    const Handle input = ws_.NextSibling(area1);
    if (!text.empty() &&
        (!Reachable(input) || !GoesOn(input, SetText(ws_, input, text, start), owner)))
        return;

    im = ws_.FindTopWindow(kImClass);
    const Handle button = ws_.FindChildWindow(im, 0, kButtonClass);
    // Whatever the text: a press waiting in a hung messenger's queue would send
    // whatever its box holds when it wakes, the user's half-typed text perhaps.
    if (!Reachable(button)) return;
    const Sent pressed = PostClick(ws_, button);
    if (!GoesOn(button, pressed, owner)) return;
    // Also after an empty text: its press sends what the box holds then.
    if (pressed == Sent::Done && input != 0) pendingInput_ = input;
    ws_.Sleep(0);
}

}  // namespace delivery
