#include "win/pump.h"

#include "win/steady_clock.h"
#include "win/window.h"

namespace win {

namespace {

// The window a message is for sees it first; then Tab, arrow keys, Enter and
// Esc move between controls in every window of ours.
void Dispatch(MSG& msg) {
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (Window* window = Window::FromHandle(root))
        if (window->PreTranslate(msg)) return;
    if (root != nullptr && IsDialogMessageW(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

void PumpPendingEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void WaitForEvents(std::uint32_t ms) {
    MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

int RunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        Dispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}

// The performance counter rather than GetTickCount, whose 16 ms steps would let
// a wait end early by up to a step.
std::uint32_t NowMs() {
    static LARGE_INTEGER frequency = {};
    static SteadyMs clock;
    if (frequency.QuadPart == 0 && !QueryPerformanceFrequency(&frequency)) return GetTickCount();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return clock.FromCounter(static_cast<std::uint64_t>(now.QuadPart),
                             static_cast<std::uint64_t>(frequency.QuadPart));
}

}  // namespace win
