// A messenger that stops answering must not take Pallimo with it: the waits
// for the messenger are bounded, so start-up completes and the smiley window
// takes input again while the messenger is still hung (the stand-in hangs for
// 30 s). Prints how long Pallimo was held up, beside the goals: the window
// shows at most one send's bound later than with a working messenger, and a
// click holds Pallimo for at most one bound.
#include <windows.h>

#include "delivery_util.h"
#include "harness.h"

namespace {

const double kBoundMs = 2000;  // a send's bound in Pallimo

void Goal(const char* what, double ms, double goalMs) {
    e2e::Trace("goal: %s %.0f ms, at most %.0f ms: %s", what, ms, goalMs,
               ms >= 0 && ms <= goalMs ? "met" : "missed");
}

// From launch to the smiley window shown, with a messenger that answers; also
// from the first line's arrival, which leaves out how long the launch took.
double WorkingStartMs(double* fromFirstLineMs) {
    e2e::Standin standin;
    if (!ok(standin.Start(), "working: the stand-in starts")) return -1;
    e2e::Process pallimo;
    const double t0 = e2e::NowMs();
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "working: the smiley window shows")) return -1;
    const std::vector<e2e::Record> got = standin.Records();
    *fromFirstLineMs = got.empty() ? -1 : started.shownMs - got[0].ms;
    PostMessageW(started.main, WM_CLOSE, 0, 0);
    pallimo.Wait(10000);
    e2e::Trace("working messenger: launch to window shown %.0f ms (%.0f ms after the first line)",
               started.shownMs - t0, *fromFirstLineMs);
    return started.shownMs - t0;
}

// Clicks a face with the messenger hung, then waits until a style click given
// right after it has been handled; returns the milliseconds in between, or -1.
double FaceClickHoldsFor(HWND main, HWND standinWindow, const char* when) {
    // The style click that measures the hold takes its own time.
    double t0 = e2e::NowMs();
    deliveries::InputBarrier(main);
    const double barrierMs = e2e::NowMs() - t0;
    t0 = e2e::NowMs();
    e2e::Click(e2e::Child(main, deliveries::FaceId(L":-D")));
    const bool answered = deliveries::InputBarrier(main);
    const double held = e2e::NowMs() - t0;
    ok(answered, "%s: the smiley window takes input again after a face click", when);
    ok(!deliveries::Answers(standinWindow), "%s: ... while the messenger is still hung", when);
    DWORD_PTR result = 0;
    ok(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0,
       "%s: the smiley window answers a message", when);
    if (!answered) return -1;
    Goal("a face click holds the window (less the measuring style click)", held - barrierMs,
         kBoundMs);
    return held;
}

// The first text set into an input box (the first announcement line) hangs
// the messenger inside its handling of the set-text message.
void CheckHangOnSetText(double workingMs, double workingFromFirstLineMs) {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--hang-on-settext"), "hang on set-text: the stand-in starts")) return;
    HWND chat = deliveries::StandinWindow(standin, L"AIM_ChatWnd");
    e2e::Process pallimo;
    const double t0 = e2e::NowMs();
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin, 60000);
    if (!ok(started.main != nullptr, "hang on set-text: the smiley window shows")) return;
    const bool stillHung = !deliveries::Answers(chat);
    ok(stillHung, "hang on set-text: the window showed while the messenger was still hung");
    const std::vector<e2e::Record> got = standin.Records();
    ok(!got.empty() && got[0].window == "chat.input" && got[0].text == deliveries::kLoaded,
       "hang on set-text: the first line reached the messenger before it hung");
    e2e::Trace(
        "hang on set-text: launch to window shown %.0f ms (%.0f ms after the messenger hung)",
        started.shownMs - t0, got.empty() ? 0.0 : started.shownMs - got[0].ms);
    if (workingMs >= 0)
        Goal("start-up with a hung messenger, launch to window shown", started.shownMs - t0,
             workingMs + kBoundMs);
    if (workingFromFirstLineMs >= 0 && !got.empty())
        Goal("start-up with a hung messenger, first line to window shown",
             started.shownMs - got[0].ms, workingFromFirstLineMs + kBoundMs);
    const double held = FaceClickHoldsFor(started.main, chat, "hang on set-text");
    e2e::Trace("hang on set-text: a face click held the window for %.0f ms", held);
}

// The messenger stops reading its queue a while after start, with nothing
// being delivered at that moment, and answers again 12 s later. A face sent
// before the hang makes the first click after it ask about the box before its
// own text goes in: question and text share the click's one bound.
void CheckHangLater() {
    e2e::Standin standin;
    if (!ok(standin.Start(L"--hang-after-ms 7000 --hang-ms 12000"),
            "hang later: the stand-in starts"))
        return;
    HWND im = deliveries::StandinWindow(standin, L"AIM_IMessage");
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "hang later: the smiley window shows")) return;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "hang later: the announcement arrived");
    e2e::Click(e2e::Child(started.main, deliveries::FaceId(L":-D")));
    ok(e2e::WaitForRecords(standin.RecordPath(), 9, 5000).size() >= 9,
       "hang later: a face clicked before the hang arrived (text and press)");
    if (!ok(e2e::WaitUntil([&] { return !deliveries::Answers(im); }, 20000),
            "hang later: the messenger hangs"))
        return;
    const double held = FaceClickHoldsFor(started.main, im, "hang later");
    e2e::Trace("hang later: a face click held the window for %.0f ms", held);
    // A second click meets a messenger that has been silent for a while.
    const double again = FaceClickHoldsFor(started.main, im, "hang later, second click");
    e2e::Trace("hang later: the next face click held it for %.0f ms", again);
    // Once the messenger answers again, the next click reaches it.
    if (!ok(e2e::WaitUntil([&] { return deliveries::Answers(im); }, 30000),
            "hang later: the messenger answers again"))
        return;
    const double clicked = e2e::NowMs();
    e2e::Click(e2e::Child(started.main, deliveries::FaceId(L":)")));
    const bool out = e2e::WaitUntil(
        [&] {
            const std::wstring t = deliveries::Transcript(im), last = L"] :)";
            return t.size() >= last.size() &&
                   t.compare(t.size() - last.size(), last.size(), last) == 0;
        },
        10000);
    ok(out, "hang later: a face clicked after the messenger answers again goes out: \"%s\"",
       e2e::AnsiBytes(deliveries::Transcript(im)).c_str());
    if (out)
        e2e::Trace("hang later: after the messenger answers again, a click is sent in %.0f ms",
                   e2e::NowMs() - clicked);
}

}  // namespace

int main() {
    double workingFromFirstLineMs = -1;
    const double workingMs = WorkingStartMs(&workingFromFirstLineMs);
    CheckHangOnSetText(workingMs, workingFromFirstLineMs);
    CheckHangLater();
    return e2e::Finish();
}
