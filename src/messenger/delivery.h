// Delivery of a text into the messenger's chat room and instant-message
// windows, written once over a narrow window-system interface. The program
// uses the Win32 one (winsys_win.h); tests use an in-memory window tree.
#pragma once
#include <cstdint>
#include <list>
#include <string>

#include "messenger/run_queue.h"

namespace delivery {

using Handle = std::uintptr_t;  // a window; 0 is no window

constexpr unsigned kWmLButtonDown = 0x0201;
constexpr unsigned kWmLButtonUp = 0x0202;

// How many times IMSend looks for the instant-message window to be ready.
constexpr int kReadinessPasses = 10;
// How long an instant message waits for the messenger to send the previous
// one's text before it puts its own text in.
constexpr std::uint32_t kPressBoundMs = 1000;
// How long a sent message may wait for the messenger to handle it. A
// messenger that stops reading its queue costs at most this per message.
constexpr std::uint32_t kSendBoundMs = 2000;
// How long a question about the input box may wait for an answer. One that
// gets none only ends the wait for the previous press: a busy messenger is
// not a hung one.
constexpr std::uint32_t kAskBoundMs = 250;

// What became of one message to a messenger window.
enum class Sent {
    Done,      // handled (a post: queued)
    NoWindow,  // a zero or vanished window: nothing happened
    NoAnswer,  // the messenger did not handle it within the bound
    Blocked,   // refused: the messenger runs with higher rights than Pallimo
    Failed,    // failed for no known reason, the window still there
};

// What the messenger's input box holds, as far as it answers.
enum class Box { Empty, HasText, NoAnswer };

// Told when the messenger answers a question put with WindowSystem::Probe.
class ProbeAnswer {
  public:
    virtual void Answered() = 0;

  protected:
    ~ProbeAnswer() = default;
};

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
    // it, up to `boundMs`. A zero or stale window does nothing.
    virtual Sent SendSetText(Handle window, const std::wstring& text, std::uint32_t boundMs) = 0;
    // A left-button message with wParam 0 and lParam 0, sent (waits, up to
    // `boundMs`) or posted (returns at once).
    virtual Sent SendButton(Handle window, unsigned message, std::uint32_t boundMs) = 0;
    virtual Sent PostButton(Handle window, unsigned message) = 0;
    // Asks the messenger that owns `window` whether it reads its queue again,
    // without waiting: once it has, `answer.Answered()` runs, once, while the
    // program handles its events. `answer` must stay alive until then or until
    // the program handles no more events. Returns false if the question could
    // not be put (the window is gone): no answer will come.
    virtual bool Probe(Handle window, ProbeAnswer& answer) = 0;
    // The messenger thread that owns `window`; 0 for no window.
    virtual unsigned ThreadOf(Handle window) = 0;
    // Tells the user, in a message box owned by `owner`, that the messenger
    // refuses Pallimo's messages because it runs with higher rights. Returns
    // whether the box was shown.
    virtual bool TellBlocked(Handle owner) = 0;

    // Handles every event already queued for the program, then returns.
    virtual void PumpEvents() = 0;
    // Returns when an event is queued or `ms` have passed.
    virtual void WaitForEvents(std::uint32_t ms) = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
    // Monotonic milliseconds; differences stay right across the wrap.
    virtual std::uint32_t NowMs() = 0;
    // Whether `window` holds text (WM_GETTEXTLENGTH), asked with a bound of
    // `boundMs`; a window that is gone holds none.
    virtual Box AskBox(Handle window, std::uint32_t boundMs) = 0;
};

// Types texts into the messenger over a window system, one delivery at a
// time, and remembers between deliveries what the messenger has not yet done.
// A messenger may answer a question long after it was put: keep the object
// for as long as the program handles its events.
class MessengerDelivery {
  public:
    explicit MessengerDelivery(WindowSystem& ws);
    MessengerDelivery(const MessengerDelivery&) = delete;
    MessengerDelivery& operator=(const MessengerDelivery&) = delete;

    // Sets the chat room's input box and presses its Send button. `owner` is
    // the window the user acted in: it owns the message box that says why
    // nothing could be typed into the messenger.
    void ChatSend(const std::wstring& text, Handle owner = 0);
    // Waits briefly for the instant-message window, sets its input box and
    // clicks Send.
    void IMSend(const std::wstring& text, Handle owner = 0);
    // Called while a delivery is running (a click handled inside its wait),
    // both return at once and the text goes out when the running delivery
    // (and any asked for before) has finished.
    // Keeps the program's windows answering for at least `seconds`, without
    // spinning.
    void TimeOut(double seconds);
    // The program is ending: the running delivery and TimeOut stop at their
    // next handling of events, or as soon as the message to the messenger in
    // whose wait this was called returns; what waits is dropped, and later
    // deliveries do nothing. Nothing more reaches the messenger, and no
    // message box is shown.
    void Stop();

  private:
    struct Job {
        bool chat;
        std::wstring text;
        Handle owner;
    };
    // A messenger thread that let a send run out its bound: later sends to it
    // are skipped until it has answered the one question put to it. A record
    // is the question's answer, so it stays while that answer may still come.
    struct Unanswered final : ProbeAnswer {
        Unanswered(unsigned t, Handle w) : thread(t), asked(w) {}
        void Answered() override { answered = true; }
        unsigned thread;
        Handle asked;           // the window the question went to
        bool put = false;       // the question could be put: an answer may come
        bool answered = false;  // it has come
        // Stands for its thread. A forgotten record's late answer changes nothing.
        bool current = true;
    };

    void Deliver(Job job);
    void DeliverToChat(const std::wstring& text, Handle owner);
    void DeliverToIm(const std::wstring& text, Handle owner);
    void MarkUnanswered(Handle window);
    void Forget(std::list<Unanswered>::iterator record);
    bool Reachable(Handle window);
    bool GoesOn(Handle window, Sent result, Handle owner);
    bool AwaitPreviousPress(std::uint32_t& start);
    bool Pump();

    WindowSystem& ws_;
    RunQueue<Job> deliveries_;
    // The input box whose text the last instant message's posted Send press
    // may not have taken yet.
    Handle pendingInput_ = 0;
    // In a list, as an answer holds on to its record.
    std::list<Unanswered> unanswered_;
    bool toldBlocked_ = false;  // the user is told once a run
    bool stopped_ = false;
};

}  // namespace delivery
