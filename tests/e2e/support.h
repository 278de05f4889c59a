// What the e2e tests, the benchmarks and the soak share beyond the harness's
// checks: text at the boundary, the top-level windows of a process, the focus,
// the frame's buttons, and Pallimo started and its custom codes window opened.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// The ANSI code page form of a text: what Pallimo hands to the messenger and
// writes to its files.
std::string AnsiBytes(const std::wstring& w);
// A text for a message: printable ASCII, everything else escaped, long texts cut.
std::string Printable(const std::wstring& w);

// The process a window belongs to.
DWORD ProcessOf(HWND hwnd);
// Every top-level window for which `keep` holds, front to back.
std::vector<HWND> TopLevels(const std::function<bool(HWND)>& keep);
// Every top-level window of this class in the process, shown or not.
std::vector<HWND> TopLevels(const wchar_t* cls, DWORD pid);
// The control that has the keyboard focus in `top`'s thread.
HWND FocusOf(HWND top);
// A screen point on the frame's button with this hit-test code (HTMINBUTTON,
// HTCLOSE), found by asking the window itself across its top right corner
// (below the caption a menu bar may follow).
bool FrameButtonPoint(HWND hwnd, LRESULT hit, POINT& at);

struct Started {
    HWND main = nullptr;
    double shownMs = 0;          // NowMs() when the window was first seen visible
    std::vector<Record> atShow;  // the stand-in's record read at that moment
};

// Starts Pallimo and waits until the smiley window is visible. The record is
// read right after visibility was seen, so it holds everything that arrived
// before the window showed. Pallimo starts with nothing remembered from an
// earlier start in the test, unless `keepSettings`.
Started StartPallimo(Process& pallimo, const Standin* standin = nullptr, DWORD ms = 30000,
                     bool keepSettings = false);
// Where the test's Pallimo keeps its settings.
std::wstring SettingsFile();
// Clicks "Extra" on the smiley window and waits for the custom codes window to
// show; null if it did not. A click lost by Wine on a desktop that has just
// started is given again, as a person would.
HWND OpenCustomCodes(HWND main, DWORD pid);

}  // namespace e2e
