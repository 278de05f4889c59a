// Smileys as the messenger receives them: "Command3" before any face sends the
// bare start code; choosing "Frog" and clicking the wink face with the mouse
// sends the whole tag. Each is one set-text sent to the instant message's
// input box with the exact bytes, then a press and a release posted to its
// Send button, and nothing else.
#include <windows.h>

#include "delivery_util.h"
#include "harness.h"

namespace ids = smiley_window_ids;

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    HWND main = started.main;
    if (!ok(main != nullptr, "the smiley window shows")) return e2e::Finish();
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6, "the announcement arrived");
    HWND im = deliveries::StandinWindow(standin, L"AIM_IMessage");

    // Command3 lies below the visible client area: press it as a program would.
    PostMessageW(e2e::Child(main, ids::kSendButton), BM_CLICK, 0, 0);
    ok(e2e::WaitForRecords(standin.RecordPath(), 9, 10000).size() == 9, "Command3 sends something");
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == catalogue::StartCode(),
       "Command3 leaves Text1 alone");
    ok(e2e::TextOf(e2e::Child(main, ids::kTagTailBox)).empty(), "Command3 leaves Text2 empty");

    e2e::Activate(main);
    ok(deliveries::ChooseStyle(main, L"Frog"), "a click on \"Frog\" chooses its code");
    e2e::Click(e2e::Child(main, deliveries::FaceId(L";-)")));
    ok(e2e::WaitForRecords(standin.RecordPath(), 12, 10000).size() == 12,
       "the wink face sends something");
    // Each press and release reached Send as one click: both messages went out.
    const std::wstring sent = L"Pallimo: <font sml=\"AgHSBfc=\"\r\nPallimo: [Frog] ;-)";
    ok(e2e::WaitUntil([&] { return deliveries::Transcript(im) == sent; }, 5000),
       "the messenger sent the bare code and the Frog wink: \"%s\"",
       e2e::AnsiBytes(deliveries::Transcript(im)).c_str());

    static const e2e::Expected kSmileys[] = {
        SETTEXT("im.input", "<font sml=\"AgHSBfc=\""),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">;-)</font>"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        END_SEQUENCE,
    };
    const std::vector<e2e::Record> all = deliveries::FinalRecords(standin, pallimo, main);
    ok_sequence(deliveries::From(all, 6), kSmileys, "Command3, then Frog and the wink face");
    return e2e::Finish();
}
