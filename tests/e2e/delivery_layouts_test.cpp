// Delivery into messenger windows laid out otherwise than usual, each run
// with its own stand-in messenger and its own Pallimo: a chat room with a
// single text area, an instant-message window without its combo box, two
// windows of each kind, an instant-message window that opens late, a busy
// messenger, a slow one, and no messenger at all.
#include <windows.h>

#include "custom/custom_codes_window_ids.h"
#include "delivery_util.h"
#include "harness.h"

namespace {

namespace ids = smiley_window_ids;

const e2e::Expected kEnd = END_SEQUENCE;

// With one text area there is no input box: the text reaches no window, and
// the button search starts at the first child, the formatting button.
void CheckOneTextArea() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--one-area"), "one area: the stand-in starts")) return;
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "one area: the smiley window shows")) return;
    const std::vector<e2e::Record> all = deliveries::FinalRecords(standin, pallimo, started.main);
    static const e2e::Expected kPresses[] = {
        SENT("chat.format", WM_LBUTTONDOWN),
        SENT("chat.format", WM_LBUTTONUP),
        SENT("chat.format", WM_LBUTTONDOWN),
        SENT("chat.format", WM_LBUTTONUP),
        kEnd,
    };
    ok_sequence(all, kPresses,
                "one text area: no text anywhere, the formatting button pressed twice");
    ok(deliveries::Transcript(deliveries::StandinWindow(standin, L"AIM_ChatWnd")).empty(),
       "one text area: the chat room shows nothing");
}

// The readiness wait gives up on the missing combo box and delivers all the same.
void CheckNoCombo() {
    e2e::Standin standin;
    e2e::Process pallimo;
    HWND main = deliveries::StartWithAnnouncement(standin, L"--no-combo", pallimo, "no combo");
    if (main == nullptr) return;
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":-D")));
    const std::string tag = deliveries::TagOf(L"Blue", L":-D");
    const e2e::Expected kSmiley[] = {
        SETTEXT("im.input", tag.c_str()),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        kEnd,
    };
    ok_sequence(deliveries::From(deliveries::FinalRecords(standin, pallimo, main), 6), kSmiley,
                "no combo: the tag still arrives");
}

// Of two windows of a class, the one standing highest gets everything; the
// stand-in creates its second window last and keeps it above the first.
void CheckTwoOfEach() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--two-chats --two-ims"), "two of each: the stand-in starts")) return;
    ok(e2e::TextOf(FindWindowW(L"AIM_IMessage", nullptr)) == L"PallimoPal2 - Instant Message",
       "two of each: the second instant-message window stands highest");
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "two of each: the smiley window shows")) return;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "two of each: the announcement arrived");
    e2e::Click(e2e::Child(started.main, deliveries::FaceId(L":-D")));
    const std::string tag = deliveries::TagOf(L"Blue", L":-D");
    const e2e::Expected kAll[] = {
        SETTEXT("chat2.input", deliveries::kLoaded),
        SENT("chat2.send", WM_LBUTTONDOWN),
        SENT("chat2.send", WM_LBUTTONUP),
        SETTEXT("chat2.input", deliveries::kCodedBy),
        SENT("chat2.send", WM_LBUTTONDOWN),
        SENT("chat2.send", WM_LBUTTONUP),
        SETTEXT("im2.input", tag.c_str()),
        POSTED("im2.send", WM_LBUTTONDOWN),
        POSTED("im2.send", WM_LBUTTONUP),
        kEnd,
    };
    ok_sequence(deliveries::FinalRecords(standin, pallimo, started.main), kAll,
                "two of each: only the highest chat room and instant-message window get anything");
}

// A face clicked before the instant-message window opens sends nothing and
// leaves the window answering; once it is open, the next click arrives.
void CheckLateImWindow() {
    e2e::Standin standin;
    e2e::Process pallimo;
    HWND main =
        deliveries::StartWithAnnouncement(standin, L"--im-after-ms 8000", pallimo, "late window");
    if (main == nullptr) return;
    const std::string first = e2e::AnsiBytes(catalogue::SmileyTag(
        e2e::TextOf(e2e::Child(main, ids::kCodeBox)), catalogue::TagTail(L":-D")));
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":-D")));
    ok(deliveries::InputBarrier(main),
       "late window: the smiley window answers after a click with nowhere to send");
    // Still missing once the click was handled: the click found no window.
    const bool missed = deliveries::StandinWindow(standin, L"AIM_IMessage") == nullptr;
    if (!missed)
        e2e::Trace(
            "late window: the instant-message window opened before the first click was handled");
    ok(e2e::WaitForWindow(L"AIM_IMessage", nullptr, standin.process().Id(), 20000) != nullptr,
       "late window: the instant-message window opens");
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":)")));
    // The barrier chose "Panda" or "Cow": the second tag carries that code.
    const std::string tag = e2e::AnsiBytes(catalogue::SmileyTag(
        e2e::TextOf(e2e::Child(main, ids::kCodeBox)), catalogue::TagTail(L":)")));
    // The first click's messages may come only if the window was there for it.
    const e2e::Expected kClicks[] = {
        {"im.input", WM_SETTEXT, false, first.c_str(), e2e::kOptional},
        {"im.send", WM_LBUTTONDOWN, true, nullptr, e2e::kOptional},
        {"im.send", WM_LBUTTONUP, true, nullptr, e2e::kOptional},
        SETTEXT("im.input", tag.c_str()),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        kEnd,
    };
    const std::vector<e2e::Record> all = deliveries::FinalRecords(standin, pallimo, main);
    ok_sequence(deliveries::From(all, 6), missed ? kClicks + 3 : kClicks,
                "late window: only the click after it opened arrives");
}

// A busy messenger takes posted messages late and sent ones at once. An
// instant message with an empty text (a double-click with nothing selected)
// sets nothing, but its Send press sends what the user typed into the box:
// the next text must wait until that went out instead of replacing it.
void CheckBusyMessenger() {
    e2e::Standin standin;
    e2e::Process pallimo;
    HWND main = deliveries::StartWithAnnouncement(standin, L"--late-posts-ms 200", pallimo, "busy");
    if (main == nullptr) return;
    HWND im = deliveries::StandinWindow(standin, L"AIM_IMessage");
    SendMessageA(deliveries::NthChild(im, "WndAte32Class", 1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("typed by the user"));
    HWND form = e2e::OpenCustomCodes(main, pallimo.Id());
    if (!ok(form != nullptr, "busy: the custom codes window opens")) return;
    HWND list = e2e::Child(form, custom_codes_window_ids::kCodeList);
    SendMessageW(e2e::Child(form, custom_codes_window_ids::kCodeBox), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"code"));
    PostMessageW(e2e::Child(form, custom_codes_window_ids::kAddButton), BM_CLICK, 0, 0);
    ok(e2e::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }, 10000),
       "busy: \"Add\" puts the code into the list");
    // Both double-clicks are queued before the first is handled: the second
    // delivery runs right after the first.
    for (const int index : {-1, 0}) {
        PostMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageW(form, WM_COMMAND, MAKEWPARAM(custom_codes_window_ids::kCodeList, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
    }
    const std::wstring want = L"Pallimo: typed by the user\r\nPallimo: code";
    const auto sent = [&] { return deliveries::Transcript(im) == want; };
    const bool both = e2e::WaitUntil(sent, 10000);
    ok(both, "busy: the user's text went out, then the code: \"%s\"",
       e2e::AnsiBytes(deliveries::Transcript(im)).c_str());
    static const e2e::Expected kOrder[] = {
        SETTEXT("im.input", "typed by the user"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "code"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        kEnd,
    };
    ok_sequence(deliveries::From(deliveries::FinalRecords(standin, pallimo, main, sent), 6), kOrder,
                "busy: the code is set only after the empty message's press");
}

// A slow messenger: each press of Send takes a second, so a question about the
// input box asked meanwhile gets no answer in time. That is no hang: every
// smiley of a quick series goes out, and so does one clicked a little later.
void CheckSlowMessenger() {
    e2e::Standin standin;
    e2e::Process pallimo;
    HWND main = deliveries::StartWithAnnouncement(standin, L"--slow-send-ms 1000", pallimo, "slow");
    if (main == nullptr) return;
    HWND im = deliveries::StandinWindow(standin, L"AIM_IMessage");
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":-D")));
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":)")));
    Sleep(1500);
    e2e::Click(e2e::Child(main, deliveries::FaceId(L";-)")));
    const std::wstring want = L"Pallimo: [Blue] :-D\r\nPallimo: [Blue] :)\r\nPallimo: [Blue] ;-)";
    ok(e2e::WaitUntil([&] { return deliveries::Transcript(im) == want; }, 10000),
       "slow: all three smileys went out: \"%s\"",
       e2e::AnsiBytes(deliveries::Transcript(im)).c_str());
    PostMessageW(main, WM_CLOSE, 0, 0);
    ok(pallimo.Wait(10000), "slow: Pallimo ends when its window is closed");
}

// Without any messenger, start-up completes, the window shows, and a face
// click returns to a window that goes on taking input; the program ends
// normally when closed.
void CheckNoMessenger() {
    ok(FindWindowW(L"AIM_ChatWnd", nullptr) == nullptr &&
           FindWindowW(L"AIM_IMessage", nullptr) == nullptr,
       "no messenger: no messenger window is open");
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, nullptr);
    HWND main = started.main;
    if (!ok(main != nullptr, "no messenger: the smiley window shows")) return;
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":-D")));
    ok(e2e::WaitUntil(
           [&] { return e2e::TextOf(e2e::Child(main, ids::kTagTailBox)) == L">:-D</font>"; }, 5000),
       "no messenger: the face click was handled");
    ok(deliveries::InputBarrier(main), "no messenger: the window takes input after the face click");
    ok(pallimo.Running(), "no messenger: Pallimo is still running");
    PostMessageW(main, WM_CLOSE, 0, 0);
    ok(pallimo.Wait(10000) && pallimo.ExitCode() == 0,
       "no messenger: Pallimo ends normally when closed (exit code %lu)", pallimo.ExitCode());
}

}  // namespace

int main() {
    CheckOneTextArea();
    CheckNoCombo();
    CheckTwoOfEach();
    CheckLateImWindow();
    CheckBusyMessenger();
    CheckSlowMessenger();
    CheckNoMessenger();
    return e2e::Finish();
}
