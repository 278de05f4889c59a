#include "win/pump.h"

namespace win {

namespace {

// Tab, arrow keys, Enter and Esc move between controls in every window of ours.
void Dispatch(MSG& msg) {
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
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
    if (frequency.QuadPart == 0 && !QueryPerformanceFrequency(&frequency)) return GetTickCount();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const unsigned long long f = static_cast<unsigned long long>(frequency.QuadPart);
    const unsigned long long c = static_cast<unsigned long long>(now.QuadPart);
    return static_cast<std::uint32_t>(c / f * 1000ULL + c % f * 1000ULL / f);
}

}  // namespace win
