// Delivery into messenger windows laid out otherwise than usual, each run
// with its own stand-in messenger and its own Pallimo: a chat room with a
// single text area, an instant-message window without its combo box, two
// windows of each kind, an instant-message window that opens late, and no
// messenger at all.
#include <windows.h>

#include "delivery_util.h"
#include "harness.h"

namespace {

namespace ids = frmMain_ids;

const e2e::Expected kEnd = {nullptr, 0, false, nullptr};

// With one text area there is no input box: the text reaches no window, and
// the button search starts at the first child, the formatting button.
void CheckOneTextArea() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--one-area"), "one area: the stand-in starts")) return;
    e2e::Process pallimo;
    const delivery::Started started = delivery::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "one area: the smiley window shows")) return;
    const std::vector<e2e::Record> all = delivery::FinalRecords(standin, pallimo, started.main);
    static const e2e::Expected kPresses[] = {
        SENT("chat.format", WM_LBUTTONDOWN),
        SENT("chat.format", WM_LBUTTONUP),
        SENT("chat.format", WM_LBUTTONDOWN),
        SENT("chat.format", WM_LBUTTONUP),
        kEnd,
    };
    ok_sequence(all, kPresses,
                "one text area: no text anywhere, the formatting button pressed twice");
    ok(delivery::Transcript(delivery::StandinWindow(standin, L"AIM_ChatWnd")).empty(),
       "one text area: the chat room shows nothing");
}

// The readiness wait gives up on the missing combo box and delivers all the same.
void CheckNoCombo() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--no-combo"), "no combo: the stand-in starts")) return;
    e2e::Process pallimo;
    const delivery::Started started = delivery::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "no combo: the smiley window shows")) return;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "no combo: the announcement arrived");
    e2e::Click(e2e::Child(started.main, delivery::FaceId(L":-D")));
    const std::string tag = delivery::TagOf(L"Blue", L":-D");
    const e2e::Expected kSmiley[] = {
        SETTEXT("im.input", tag.c_str()),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        kEnd,
    };
    ok_sequence(delivery::From(delivery::FinalRecords(standin, pallimo, started.main), 6), kSmiley,
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
    const delivery::Started started = delivery::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "two of each: the smiley window shows")) return;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "two of each: the announcement arrived");
    e2e::Click(e2e::Child(started.main, delivery::FaceId(L":-D")));
    const std::string tag = delivery::TagOf(L"Blue", L":-D");
    const e2e::Expected kAll[] = {
        SETTEXT("chat2.input", delivery::kLoaded), SENT("chat2.send", WM_LBUTTONDOWN),
        SENT("chat2.send", WM_LBUTTONUP),          SETTEXT("chat2.input", delivery::kCodedBy),
        SENT("chat2.send", WM_LBUTTONDOWN),        SENT("chat2.send", WM_LBUTTONUP),
        SETTEXT("im2.input", tag.c_str()),         POSTED("im2.send", WM_LBUTTONDOWN),
        POSTED("im2.send", WM_LBUTTONUP),          kEnd,
    };
    ok_sequence(delivery::FinalRecords(standin, pallimo, started.main), kAll,
                "two of each: only the highest chat room and instant-message window get anything");
}

// A face clicked before the instant-message window opens sends nothing and
// leaves the window answering; once it is open, the next click arrives.
void CheckLateImWindow() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--im-after-ms 8000"), "late window: the stand-in starts")) return;
    e2e::Process pallimo;
    const delivery::Started started = delivery::StartPallimo(pallimo, &standin);
    HWND main = started.main;
    if (!ok(main != nullptr, "late window: the smiley window shows")) return;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "late window: the announcement arrived");
    const bool early = delivery::StandinWindow(standin, L"AIM_IMessage") == nullptr;
    e2e::Click(e2e::Child(main, delivery::FaceId(L":-D")));
    ok(delivery::InputBarrier(main),
       "late window: the smiley window answers after a click with nowhere to send");
    if (!early || delivery::StandinWindow(standin, L"AIM_IMessage") != nullptr)
        e2e::Trace(
            "late window: the instant-message window opened before the first click was handled");
    ok(e2e::WaitForWindow(L"AIM_IMessage", nullptr, standin.process().Id(), 20000) != nullptr,
       "late window: the instant-message window opens");
    e2e::Click(e2e::Child(main, delivery::FaceId(L":)")));
    // The barrier chose "Panda" or "Cow": the second tag carries that code.
    const std::string tag = delivery::Ascii(catalogue::SmileyTag(
        e2e::TextOf(e2e::Child(main, ids::kText1)), catalogue::TagTail(L":)")));
    const e2e::Expected kSecondOnly[] = {
        SETTEXT("im.input", tag.c_str()),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        kEnd,
    };
    const std::vector<e2e::Record> all = delivery::FinalRecords(standin, pallimo, main);
    if (early)
        ok_sequence(delivery::From(all, 6), kSecondOnly,
                    "late window: only the click after it opened arrives");
}

// Without any messenger, start-up completes, the window shows, and a face
// click returns to a window that goes on taking input; the program ends
// normally when closed.
void CheckNoMessenger() {
    ok(FindWindowW(L"AIM_ChatWnd", nullptr) == nullptr &&
           FindWindowW(L"AIM_IMessage", nullptr) == nullptr,
       "no messenger: no messenger window is open");
    e2e::Process pallimo;
    const delivery::Started started = delivery::StartPallimo(pallimo, nullptr);
    HWND main = started.main;
    if (!ok(main != nullptr, "no messenger: the smiley window shows")) return;
    e2e::Click(e2e::Child(main, delivery::FaceId(L":-D")));
    ok(e2e::WaitUntil([&] { return e2e::TextOf(e2e::Child(main, ids::kText2)) == L">:-D</font>"; },
                      5000),
       "no messenger: the face click was handled");
    ok(delivery::InputBarrier(main), "no messenger: the window takes input after the face click");
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
    CheckNoMessenger();
    return e2e::Finish();
}
