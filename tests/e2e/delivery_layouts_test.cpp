// Delivery into messenger windows laid out otherwise than usual, each run
// with its own stand-in messenger and its own Pallimo: a chat room with a
// single text area, an instant-message window without its combo box, two
// windows of each kind, an instant-message window that opens late, a busy
// messenger, a slow one, and no messenger at all.
#include <windows.h>

#include <deque>

#include "custom/custom_codes_window_ids.h"
#include "delivery_util.h"
#include "harness.h"

namespace {

namespace ids = smiley_window_ids;
namespace fids = custom_codes_window_ids;
using deliveries::FaceId;
using deliveries::Transcript;

// One layout's run: its stand-in and its Pallimo, and what the user's steps
// leave for the end.
struct Run {
    e2e::Standin standin;
    e2e::Process pallimo;
    HWND main = nullptr;
    std::vector<e2e::Expected> want;  // what the messenger received (none: nothing compared)
    std::function<bool()> barrier;    // after which Pallimo sends nothing (null: a style click)
    std::function<void()> after;      // checks once the record is complete
    std::deque<std::string> texts;    // what the expected messages point into

    const char* Keep(const std::string& text) { return texts.emplace_back(text).c_str(); }
    // A delivery of `text` into `window` ("im2"): the text set, then Send
    // pressed, with posted messages in an instant-message window.
    void Delivery(const std::string& window, const std::string& text, unsigned flags = 0) {
        const bool posted = window.compare(0, 2, "im") == 0;
        const char* send = Keep(window + ".send");
        want.push_back({Keep(window + ".input"), WM_SETTEXT, false, Keep(text), flags});
        want.push_back({send, WM_LBUTTONDOWN, posted, nullptr, flags});
        want.push_back({send, WM_LBUTTONUP, posted, nullptr, flags});
    }
    HWND Window(const wchar_t* cls) { return deliveries::StandinWindow(standin, cls); }
    void Click(const wchar_t* emoticon) { e2e::Click(e2e::Child(main, FaceId(emoticon))); }
};

struct Layout {
    const char* name;         // the layout, named by every check
    const wchar_t* switches;  // the stand-in's (null: no messenger at all)
    bool announced;           // the start-up announcement's six messages come before acting
    std::size_t from;         // the first recorded message compared with `want`
    void (*act)(Run&);        // what the user does once Pallimo is up, with checks of its own
    const char* what;         // what the comparison shows
};

const Layout kLayouts[] = {
    // With one text area there is no input box: the text reaches no window, and
    // the button search starts at the first child, the formatting button.
    {"one text area", L"--one-area", false, 0,
     [](Run& run) {
         run.want = {SENT("chat.format", WM_LBUTTONDOWN), SENT("chat.format", WM_LBUTTONUP),
                     SENT("chat.format", WM_LBUTTONDOWN), SENT("chat.format", WM_LBUTTONUP)};
         run.after = [&run] {
             ok(Transcript(run.Window(L"AIM_ChatWnd")).empty(),
                "one text area: the chat room shows nothing");
         };
     },
     "no text anywhere, the formatting button pressed twice"},
    // The readiness wait gives up on the missing combo box and delivers all the same.
    {"no combo", L"--no-combo", true, 6,
     [](Run& run) {
         run.Click(L":-D");
         run.Delivery("im", deliveries::TagOf(L"Blue", L":-D"));
     },
     "the tag still arrives"},
    // Of two windows of a class, the one standing highest gets everything; the
    // stand-in creates its second window last and keeps it above the first.
    {"two of each", L"--two-chats --two-ims", true, 0,
     [](Run& run) {
         ok(e2e::TextOf(FindWindowW(L"AIM_IMessage", nullptr)) == L"PallimoPal2 - Instant Message",
            "two of each: the second instant-message window stands highest");
         run.Click(L":-D");
         run.Delivery("chat2", deliveries::kLoaded);
         run.Delivery("chat2", deliveries::kCodedBy);
         run.Delivery("im2", deliveries::TagOf(L"Blue", L":-D"));
     },
     "only the highest chat room and instant-message window get anything"},
    // A face clicked before the instant-message window opens sends nothing and
    // leaves the window answering; once it is open, the next click arrives.
    {"late window", L"--im-after-ms 8000", true, 6,
     [](Run& run) {
         const std::wstring code = e2e::TextOf(e2e::Child(run.main, ids::kCodeBox));
         run.Click(L":-D");
         ok(deliveries::InputBarrier(run.main),
            "late window: the smiley window answers after a click with nowhere to send");
         // Still missing once the click was handled: the click found no window.
         // Its messages may come only if the window was there for it.
         if (run.Window(L"AIM_IMessage") != nullptr) {
             e2e::Trace(
                 "late window: the instant-message window opened before the first click "
                 "was handled");
             run.Delivery("im",
                          e2e::AnsiBytes(catalogue::SmileyTag(code, catalogue::TagTail(L":-D"))),
                          e2e::kOptional);
         }
         ok(e2e::WaitForWindow(L"AIM_IMessage", nullptr, run.standin.process().Id(), 20000) !=
                nullptr,
            "late window: the instant-message window opens");
         run.Click(L":)");
         // The barrier chose "Panda" or "Cow": the second tag carries that code.
         run.Delivery("im", e2e::AnsiBytes(catalogue::SmileyTag(
                                e2e::TextOf(e2e::Child(run.main, ids::kCodeBox)),
                                catalogue::TagTail(L":)"))));
     },
     "only the click after it opened arrives"},
    // A busy messenger takes posted messages late and sent ones at once. An
    // instant message with an empty text (a double-click with nothing selected)
    // sets nothing, but its Send press sends what the user typed into the box:
    // the next text must wait until that went out instead of replacing it.
    {"busy", L"--late-posts-ms 200", true, 6,
     [](Run& run) {
         HWND im = run.Window(L"AIM_IMessage");
         SendMessageA(deliveries::NthChild(im, "WndAte32Class", 1), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>("typed by the user"));
         HWND form = e2e::OpenCustomCodes(run.main, run.pallimo.Id());
         if (!ok(form != nullptr, "busy: the custom codes window opens")) return;
         HWND list = e2e::Child(form, fids::kCodeList);
         SendMessageW(e2e::Child(form, fids::kCodeBox), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(L"code"));
         PostMessageW(e2e::Child(form, fids::kAddButton), BM_CLICK, 0, 0);
         ok(e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }, 10000),
            "busy: \"Add\" puts the code into the list");
         // Both double-clicks are queued before the first is handled: the second
         // delivery runs right after the first.
         for (const int index : {-1, 0}) {
             PostMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
             PostMessageW(form, WM_COMMAND, MAKEWPARAM(fids::kCodeList, LBN_DBLCLK),
                          reinterpret_cast<LPARAM>(list));
         }
         run.barrier = [im] {
             return Transcript(im) == L"Pallimo: typed by the user\r\nPallimo: code";
         };
         ok(e2e::WaitUntil(run.barrier, 10000),
            "busy: the user's text went out, then the code: \"%s\"",
            e2e::AnsiBytes(Transcript(im)).c_str());
         run.Delivery("im", "typed by the user");
         run.Delivery("im", "code");
     },
     "the code is set only after the empty message's press"},
    // A slow messenger: each press of Send takes a second, so a question about the
    // input box asked meanwhile gets no answer in time. That is no hang: every
    // smiley of a quick series goes out, and so does one clicked a little later.
    {"slow", L"--slow-send-ms 1000", true, 6,
     [](Run& run) {
         HWND im = run.Window(L"AIM_IMessage");
         run.Click(L":-D");
         run.Click(L":)");
         Sleep(1500);
         run.Click(L";-)");
         const std::wstring want =
             L"Pallimo: [Blue] :-D\r\nPallimo: [Blue] :)\r\nPallimo: [Blue] ;-)";
         ok(e2e::WaitUntil([&] { return Transcript(im) == want; }, 10000),
            "slow: all three smileys went out: \"%s\"", e2e::AnsiBytes(Transcript(im)).c_str());
         PostMessageW(run.main, WM_CLOSE, 0, 0);
         ok(run.pallimo.Wait(10000), "slow: Pallimo ends when its window is closed");
     },
     nullptr},
    // Without any messenger, start-up completes, the window shows, and a face
    // click returns to a window that goes on taking input; the program ends
    // normally when closed.
    {"no messenger", nullptr, false, 0,
     [](Run& run) {
         ok(FindWindowW(L"AIM_ChatWnd", nullptr) == nullptr &&
                FindWindowW(L"AIM_IMessage", nullptr) == nullptr,
            "no messenger: no messenger window is open");
         run.Click(L":-D");
         HWND tail = e2e::Child(run.main, ids::kTagTailBox);
         ok(e2e::WaitUntil([&] { return e2e::TextOf(tail) == L">:-D</font>"; }, 5000),
            "no messenger: the face click was handled");
         ok(deliveries::InputBarrier(run.main),
            "no messenger: the window takes input after the face click");
         ok(run.pallimo.Running(), "no messenger: Pallimo is still running");
         PostMessageW(run.main, WM_CLOSE, 0, 0);
         ok(run.pallimo.Wait(10000) && run.pallimo.ExitCode() == 0,
            "no messenger: Pallimo ends normally when closed (exit code %lu)",
            run.pallimo.ExitCode());
     },
     nullptr},
};

void CheckLayout(const Layout& layout) {
    Run run;
    if (layout.announced) {
        run.main = deliveries::StartWithAnnouncement(run.standin, layout.switches, run.pallimo,
                                                     layout.name);
    } else if (layout.switches == nullptr ||
               ok(run.standin.Start(layout.switches), "%s: the stand-in starts", layout.name)) {
        run.main = e2e::StartPallimo(run.pallimo, layout.switches ? &run.standin : nullptr).main;
        ok(run.main != nullptr, "%s: the smiley window shows", layout.name);
    }
    if (run.main == nullptr) return;
    layout.act(run);
    if (run.want.empty()) return;
    run.want.push_back(END_SEQUENCE);
    const std::string context = std::string(layout.name) + ": " + layout.what;
    ok_sequence(
        deliveries::From(deliveries::FinalRecords(run.standin, run.pallimo, run.main, run.barrier),
                         layout.from),
        run.want.data(), context.c_str());
    if (run.after) run.after();
}

}  // namespace

int main() {
    for (const Layout& layout : kLayouts) CheckLayout(layout);
    return e2e::Finish();
}
