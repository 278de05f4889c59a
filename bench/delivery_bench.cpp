// How fast a face click reaches the messenger's Send button, beside the bare
// cost of the messages themselves, and what becomes of 1,000 clicks queued at
// once. Prints figures, and the click's ratio to the bare messages' cost.
//
// A click is a left-button press and release posted to the face picture, which
// reaches the picture's handler the way a click of the mouse does. Its time is
// from the post to the stand-in's record of the Send button's release.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/smiley_window_ids.h"
#include "bench_util.h"
#include "harness.h"
#include "standin/record.h"

namespace {

bool IsSendRelease(const e2e::Record& r) {
    return r.window == "im.send" && r.message == WM_LBUTTONUP;
}

void PostClick(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

std::vector<std::string> ImTranscriptLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 5, "im | ") == 0) lines.push_back(line.substr(5));
    }
    return lines;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // The number of clicks may be given, for a quick look.
    const int kClicks = argc > 1 ? _wtoi(argv[1]) : 1000;
    const std::wstring transcript = e2e::WorkDir() + L"\\transcript.txt";
    DeleteFileW(transcript.c_str());
    e2e::Standin standin;
    if (!standin.Start(L"--transcript \"" + transcript + L"\"")) {
        std::printf("the stand-in did not start\n");
        return 1;
    }
    e2e::Process pallimo;
    const HWND main = e2e::StartPallimo(pallimo).main;
    if (!e2e::IsShown(main)) {
        std::printf("the smiley window did not appear\n");
        return 1;
    }
    e2e::RecordTail tail;
    tail.Open(standin.RecordPath());
    std::vector<e2e::Record> seen;
    // The start-up announcement: two lines, each a set-text and a press.
    e2e::WaitUntil([&] { return tail.Poll(seen), seen.size() >= 6; }, 10000, 1);

    HWND im = FindWindowA("AIM_IMessage", nullptr);
    HWND input = deliveries::NthChild(im, "WndAte32Class", 1);
    HWND send = deliveries::NthChild(im, "_Oscar_IconBtn", 0);
    HWND wink = e2e::Child(main, smiley_window_ids::kFirstFace + 7);
    const std::string tag =
        e2e::AnsiBytes(catalogue::SmileyTag(catalogue::StartCode(), catalogue::TagTail(L";-)")));

    // Alternating, so that both see the same conditions.
    std::vector<double> clicks, bare, bareAsked;
    for (int i = 0; i < kClicks; ++i) {
        e2e::Record r;
        double t0 = e2e::NowMs();
        PostClick(wink);
        if (!tail.WaitFor(IsSendRelease, 5000, seen, &r)) {
            std::printf("click %d: no press of Send within 5 s\n", i + 1);
            break;
        }
        clicks.push_back(r.ms - t0);

        t0 = e2e::NowMs();
        SendMessageA(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tag.c_str()));
        PostMessageA(send, WM_LBUTTONDOWN, 0, 0);
        PostMessageA(send, WM_LBUTTONUP, 0, 0);
        if (!tail.WaitFor(IsSendRelease, 5000, seen, &r)) break;
        bare.push_back(r.ms - t0);

        // The messages a click sends: before its text, it asks whether the
        // input box has sent the previous one.
        t0 = e2e::NowMs();
        DWORD_PTR length = 0;
        SendMessageTimeoutW(input, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 250, &length);
        SendMessageA(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tag.c_str()));
        PostMessageA(send, WM_LBUTTONDOWN, 0, 0);
        PostMessageA(send, WM_LBUTTONUP, 0, 0);
        if (!tail.WaitFor(IsSendRelease, 5000, seen, &r)) break;
        bareAsked.push_back(r.ms - t0);
    }
    bench::PrintStats("face click -> Send released (stand-in)", clicks);
    bench::PrintStats("bare SETTEXT + 2 posts -> Send released", bare);
    bench::PrintStats("bare question + SETTEXT + 2 posts -> released", bareAsked);
    if (clicks.empty() || bare.empty() || bareAsked.empty()) {
        std::printf("no click reached the stand-in\n");
        return 1;
    }
    const double click = bench::Percentile(clicks, 0.5);
    std::printf("face click over a bare set-text and two posts: %.2fx\n",
                click / bench::Percentile(bare, 0.5));
    // Held against the same messages sent bare: what Pallimo adds to them.
    bench::Check("face click over the same messages sent bare",
                 click / bench::Percentile(bareAsked, 0.5), 2, 3, "x");

    // 1,000 clicks queued at once, the faces in turn: every one should arrive,
    // once, in the order clicked.
    const std::size_t linesBefore = ImTranscriptLines(transcript).size();
    const std::size_t recordsBefore = seen.size();
    std::vector<std::string> expected;
    const double t0 = e2e::NowMs();
    for (int i = 0; i < kClicks; ++i) {
        const catalogue::Face& face = catalogue::kFaces[i % catalogue::kFaceCount];
        expected.push_back(std::string("Pallimo: [Blue] ") + e2e::AnsiBytes(face.emoticon));
        PostClick(e2e::Child(
            main, smiley_window_ids::kFirstFace + i % static_cast<int>(catalogue::kFaceCount)));
    }
    // Done when the stand-in has handled everything queued before a marker
    // posted after the last Send press arrived, or when nothing moved for 5 s.
    std::size_t releases = 0, lastCount = 0;
    DWORD lastProgress = GetTickCount();
    while (releases < static_cast<std::size_t>(kClicks) && GetTickCount() - lastProgress < 5000) {
        tail.Poll(seen);
        releases = 0;
        for (std::size_t i = recordsBefore; i < seen.size(); ++i)
            releases += IsSendRelease(seen[i]);
        if (seen.size() != lastCount) {
            lastCount = seen.size();
            lastProgress = GetTickCount();
        }
        Sleep(5);
    }
    const double queuedMs = (seen.size() > recordsBefore ? seen.back().ms : t0) - t0;
    PostMessageW(im, STANDIN_MARKER_MESSAGE, 0, 0);
    tail.WaitFor([](const e2e::Record& r) { return r.message == STANDIN_MARKER_MESSAGE; }, 10000,
                 seen);

    std::size_t settexts = 0, downs = 0, ups = 0, inOrderTexts = 0, other = 0;
    for (std::size_t i = recordsBefore; i < seen.size(); ++i) {
        const e2e::Record& r = seen[i];
        if (r.message == STANDIN_MARKER_MESSAGE) continue;
        if (r.window == "im.input" && r.message == WM_SETTEXT) {
            const std::string want = e2e::AnsiBytes(catalogue::SmileyTag(
                catalogue::StartCode(),
                catalogue::TagTail(catalogue::kFaces[settexts % catalogue::kFaceCount].emoticon)));
            inOrderTexts += r.text == want;
            ++settexts;
        } else if (r.window == "im.send" && r.message == WM_LBUTTONDOWN) {
            ++downs;
        } else if (IsSendRelease(r)) {
            ++ups;
        } else {
            ++other;
        }
    }
    const std::vector<std::string> lines = ImTranscriptLines(transcript);
    std::size_t sent = lines.size() - linesBefore, inOrder = 0;
    for (std::size_t i = 0; i < sent && i < expected.size(); ++i)
        inOrder += lines[linesBefore + i] == expected[i];
    std::printf(
        "%d queued clicks: %u set-texts (%u in click order), %u presses, %u releases, "
        "%u other messages; %u messages sent, %u of them in click order; %.0f ms\n",
        kClicks, static_cast<unsigned>(settexts), static_cast<unsigned>(inOrderTexts),
        static_cast<unsigned>(downs), static_cast<unsigned>(ups), static_cast<unsigned>(other),
        static_cast<unsigned>(sent), static_cast<unsigned>(inOrder), queuedMs);
    // Afterwards Pallimo should be idle again.
    const double cpu0 = bench::ProcessCpuMs(pallimo, e2e::PallimoExe());
    Sleep(1000);
    const double cpu1 = bench::ProcessCpuMs(pallimo, e2e::PallimoExe());
    std::printf("afterwards Pallimo is %s and used %.0f ms of CPU in the next second\n",
                pallimo.Running() ? "running" : "GONE", cpu1 - cpu0);

    PostMessageW(main, WM_CLOSE, 0, 0);
    pallimo.Wait(5000);
    return 0;
}
