// A messenger that stops answering must not take Pallimo with it: the waits
// for the messenger are bounded, so start-up completes and the smiley window
// takes input again while the messenger is still hung (the stand-in hangs for
// 30 s). Prints how long Pallimo was held up.
#include <windows.h>

#include "delivery_util.h"
#include "harness.h"

namespace {

// Clicks a face with the messenger hung, then waits until a style click given
// right after it has been handled; returns the milliseconds in between, or -1.
double FaceClickHoldsFor(HWND main, HWND standinWindow, const char* when) {
    const double t0 = e2e::NowMs();
    e2e::Click(e2e::Child(main, delivery::FaceId(L":-D")));
    const bool answered = delivery::InputBarrier(main);
    const double held = e2e::NowMs() - t0;
    ok(answered, "%s: the smiley window takes input again after a face click", when);
    ok(!delivery::Answers(standinWindow), "%s: ... while the messenger is still hung", when);
    DWORD_PTR result = 0;
    ok(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0,
       "%s: the smiley window answers a message", when);
    return answered ? held : -1;
}

// The first text set into an input box (the first announcement line) hangs
// the messenger inside its handling of the set-text message.
void CheckHangOnSetText() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--hang-on-settext"), "hang on set-text: the stand-in starts")) return;
    HWND chat = delivery::StandinWindow(standin, L"AIM_ChatWnd");
    e2e::Process pallimo;
    const double t0 = e2e::NowMs();
    const delivery::Started started = delivery::StartPallimo(pallimo, &standin, 60000);
    if (!ok(started.main != nullptr, "hang on set-text: the smiley window shows")) return;
    const bool stillHung = !delivery::Answers(chat);
    ok(stillHung, "hang on set-text: the window showed while the messenger was still hung");
    const std::vector<e2e::Record> got = standin.Records();
    ok(!got.empty() && got[0].window == "chat.input" && got[0].text == delivery::kLoaded,
       "hang on set-text: the first line reached the messenger before it hung");
    e2e::Trace(
        "hang on set-text: launch to window shown %.0f ms (%.0f ms after the messenger hung)",
        started.shownMs - t0, got.empty() ? 0.0 : started.shownMs - got[0].ms);
    const double held = FaceClickHoldsFor(started.main, chat, "hang on set-text");
    e2e::Trace("hang on set-text: a face click held the window for %.0f ms", held);
}

// The messenger stops reading its queue a while after start, with nothing
// being delivered at that moment.
void CheckHangLater() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--hang-after-ms 4000"), "hang later: the stand-in starts")) return;
    HWND im = delivery::StandinWindow(standin, L"AIM_IMessage");
    e2e::Process pallimo;
    const delivery::Started started = delivery::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "hang later: the smiley window shows")) return;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "hang later: the announcement arrived");
    if (!ok(e2e::WaitUntil([&] { return !delivery::Answers(im); }, 20000),
            "hang later: the messenger hangs"))
        return;
    const double held = FaceClickHoldsFor(started.main, im, "hang later");
    e2e::Trace("hang later: a face click held the window for %.0f ms", held);
    // A second click meets a messenger that has been silent for a while.
    const double again = FaceClickHoldsFor(started.main, im, "hang later, second click");
    e2e::Trace("hang later: the next face click held it for %.0f ms", again);
}

}  // namespace

int main() {
    CheckHangOnSetText();
    CheckHangLater();
    return e2e::Finish();
}
