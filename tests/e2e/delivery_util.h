// Helpers of the delivery tests: the stand-in's windows, Pallimo started
// beside it, and the point after which nothing more can reach its record.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/smiley_window_ids.h"
#include "harness.h"
#include "standin/record.h"
#include "support.h"

namespace deliveries {

const char kLoaded[] = " --^V- Pallimo Loaded -V^-- ";
const char kCodedBy[] = " --^V- Coded By: Tarrow -V^-- ";

// The tag a face sends with the given style chosen, as the messenger receives it.
inline std::string TagOf(const wchar_t* styleCaption, const wchar_t* emoticon) {
    for (const catalogue::Style& s : catalogue::kStyles)
        if (std::wstring(s.caption) == styleCaption)
            return e2e::AnsiBytes(
                catalogue::SmileyTag(catalogue::QuotedCode(s.code), catalogue::TagTail(emoticon)));
    return std::string();
}

inline int StyleId(const wchar_t* caption) {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i)
        if (std::wstring(catalogue::kStyles[i].caption) == caption)
            return smiley_window_ids::kFirstStyle + static_cast<int>(i);
    return 0;
}

inline int FaceId(const wchar_t* emoticon) {
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i)
        if (std::wstring(catalogue::kFaces[i].emoticon) == emoticon)
            return smiley_window_ids::kFirstFace + static_cast<int>(i);
    return 0;
}

// The `index`-th direct child of `parent` of class `cls` (0 is the first), in
// child order, as delivery walks them.
inline HWND NthChild(HWND parent, const char* cls, int index) {
    char name[256];
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetClassNameA(c, name, sizeof name) > 0 && lstrcmpiA(name, cls) == 0 && index-- == 0)
            return c;
    }
    return nullptr;
}

// A top-level window of the stand-in ("AIM_ChatWnd", "AIM_IMessage").
inline HWND StandinWindow(e2e::Standin& standin, const wchar_t* cls) {
    return e2e::FindTopLevel(cls, nullptr, standin.process().Id());
}

// The transcript a stand-in window shows (its first text area).
inline std::wstring Transcript(HWND top) { return e2e::TextOf(NthChild(top, "WndAte32Class", 0)); }

// Whether the stand-in reads its queue: a hung one lets a short send time out.
inline bool Answers(HWND hwnd, UINT ms = 200) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

// Starts the stand-in with `switches`, then Pallimo, and waits for the
// start-up announcement, each step a check named for `scenario`. The smiley
// window, or null when the stand-in or the window did not come up.
inline HWND StartWithAnnouncement(e2e::Standin& standin, const wchar_t* switches,
                                  e2e::Process& pallimo, const char* scenario) {
    if (!ok(standin.Start(switches), "%s: the stand-in starts", scenario)) return nullptr;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(started.main != nullptr, "%s: the smiley window shows", scenario)) return nullptr;
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6,
       "%s: the announcement arrived", scenario);
    return started.main;
}

// Clicks a style option as a person would and waits until Text1 holds its
// code. The window takes its input in order, so every click given before has
// then been handled too.
inline bool ChooseStyle(HWND main, const wchar_t* caption) {
    const std::wstring want = catalogue::QuotedCode(
        catalogue::kStyles[static_cast<std::size_t>(StyleId(caption) -
                                                    smiley_window_ids::kFirstStyle)]
            .code);
    e2e::Click(e2e::Child(main, StyleId(caption)));
    return e2e::WaitUntil(
        [&] { return e2e::TextOf(e2e::Child(main, smiley_window_ids::kCodeBox)) == want; }, 10000);
}

// A style click whose handling shows that earlier input was handled.
inline bool InputBarrier(HWND main) {
    const bool panda =
        e2e::TextOf(e2e::Child(main, smiley_window_ids::kCodeBox)) ==
        catalogue::QuotedCode(
            catalogue::kStyles[StyleId(L"Panda") - smiley_window_ids::kFirstStyle].code);
    return ChooseStyle(main, panda ? L"Cow" : L"Panda");
}

// Everything the stand-in recorded, once Pallimo can send nothing more: after
// `barrier` (by default a style click on the smiley window) Pallimo's window
// is closed and the program ends; a marker posted to the stand-in then comes
// after everything Pallimo posted, and once the marker is recorded the record
// is complete. The marker is left out; anything after it stays in.
inline std::vector<e2e::Record> FinalRecords(e2e::Standin& standin, e2e::Process& pallimo,
                                             HWND main,
                                             const std::function<bool()>& barrier = nullptr) {
    if (pallimo.Running()) {
        ok(barrier ? barrier() : InputBarrier(main),
           "Pallimo handles input given after the last step");
        PostMessageW(main, WM_CLOSE, 0, 0);
        if (!ok(pallimo.Wait(10000), "Pallimo ends when its window is closed")) pallimo.Kill();
    }
    HWND target = StandinWindow(standin, L"AIM_ChatWnd");
    if (target == nullptr) target = StandinWindow(standin, L"AIM_IMessage");
    PostMessageW(target, STANDIN_MARKER_MESSAGE, 0, 0);
    std::vector<e2e::Record> all;
    auto marked = [&] {
        for (const e2e::Record& r : all)
            if (r.message == STANDIN_MARKER_MESSAGE) return true;
        return false;
    };
    ok(e2e::WaitUntil([&] { return all = standin.Records(), marked(); }, 10000),
       "the stand-in has handled everything sent to it");
    std::vector<e2e::Record> out;
    for (const e2e::Record& r : all)
        if (r.message != STANDIN_MARKER_MESSAGE) out.push_back(r);
    return out;
}

// The records from `first` on.
inline std::vector<e2e::Record> From(const std::vector<e2e::Record>& all, std::size_t first) {
    if (first >= all.size()) return std::vector<e2e::Record>();
    return std::vector<e2e::Record>(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
}

}  // namespace deliveries
