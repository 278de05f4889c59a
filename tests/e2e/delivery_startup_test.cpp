// The start-up announcement as the messenger receives it: two lines, each set
// into the chat room's input box and sent with a press of the Send button
// that waits for the messenger, at least a second apart, both before the
// smiley window is first seen, and nothing else.
#include <windows.h>

#include "app/smiley_window_ids.h"
#include "delivery_util.h"
#include "harness.h"

namespace {

const e2e::Expected kAnnouncement[] = {
    SETTEXT("chat.input", deliveries::kLoaded),
    SENT("chat.send", WM_LBUTTONDOWN),
    SENT("chat.send", WM_LBUTTONUP),
    SETTEXT("chat.input", deliveries::kCodedBy),
    SENT("chat.send", WM_LBUTTONDOWN),
    SENT("chat.send", WM_LBUTTONUP),
    END_SEQUENCE,
};

// Closed in the second's wait between the lines (the window exists, not yet
// shown), the program ends at once, and the second line never goes out.
void CheckClosedBetweenTheLines() {
    e2e::Standin standin;
    e2e::Process pallimo;
    if (!ok(standin.Start() && pallimo.Start(e2e::PallimoExe(), L"", L"", false),
            "closed early: both start"))
        return;
    const bool first = e2e::WaitForRecords(standin.RecordPath(), 3, 10000).size() == 3;
    const double seen = e2e::NowMs();
    HWND main = e2e::FindTopLevel(smiley_window_ids::kClass, L"Smileys", pallimo.Id());
    if (!ok(first && main != nullptr, "closed early: the first line arrived")) return;
    PostMessageW(main, WM_CLOSE, 0, 0);
    const double late = e2e::NowMs() - seen;
    ok(pallimo.Wait(5000) && pallimo.ExitCode() == 0, "closed early: Pallimo ends with code 0");
    if (late < 500)
        ok(standin.Records().size() == 3, "closed early: the second line never went out");
    else
        e2e::Trace("closed early: the close was posted %.0f ms late; the second line may go", late);
}

}  // namespace

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "the smiley window shows")) return e2e::Finish();

    ok_sequence(started.atShow, kAnnouncement,
                "recorded by the time the smiley window was first seen");
    if (started.atShow.size() == 6) {
        const double gap = started.atShow[3].ms - started.atShow[0].ms;
        e2e::Trace(
            "the two lines arrived %.1f ms apart; the window was seen %.1f ms after the second",
            gap, started.shownMs - started.atShow[3].ms);
        ok(gap >= 1000.0, "the second line comes at least one second after the first (%.1f ms)",
           gap);
        ok(started.atShow[5].ms <= started.shownMs,
           "the second press came before the window showed");
    }
    HWND chat = deliveries::StandinWindow(standin, L"AIM_ChatWnd");
    const std::wstring shown = deliveries::Transcript(chat);
    ok(shown == L"Pallimo:  --^V- Pallimo Loaded -V^-- \r\nPallimo:  --^V- Coded By: Tarrow -V^-- ",
       "the chat room shows both lines, each sent once: \"%s\"", e2e::AnsiBytes(shown).c_str());

    const std::vector<e2e::Record> all = deliveries::FinalRecords(standin, pallimo, started.main);
    ok_sequence(all, kAnnouncement, "the whole run: the announcement and nothing else");
    CheckClosedBetweenTheLines();
    return e2e::Finish();
}
