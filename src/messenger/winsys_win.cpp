#include "messenger/winsys_win.h"

#include <algorithm>
#include <vector>

#include "win/pump.h"
#include "win/system_dll.h"
#include "win/text.h"

namespace delivery {

namespace {

HWND AsHwnd(Handle h) { return reinterpret_cast<HWND>(h); }

// Whether the thread of `window` has not read its queue for a while (5 s on
// Windows and under Wine); its root window is the one Windows judges.
bool Hangs(HWND window) { return IsHungAppWindow(GetAncestor(window, GA_ROOT)) != FALSE; }

// Why a send to `window` failed. Privilege isolation (Vista and later) refuses
// messages to a process of higher integrity with ERROR_ACCESS_DENIED, while it
// lets the lookups and WM_GETTEXTLENGTH through. A time-out says ERROR_TIMEOUT;
// with SMTO_ABORTIFHUNG a hung thread may fail the call without it, so a hung
// root window is no answer too. A vanished window is no window: nothing
// happened. Anything else (the failure Windows reports with no error at all,
// say) is a failure: the messenger is not taken for hung.
Sent Failure(HWND window) {
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) return Sent::Blocked;
    if (error == ERROR_TIMEOUT || Hangs(window)) return Sent::NoAnswer;
    return IsWindow(window) ? Sent::Failed : Sent::NoWindow;
}

Sent SendBounded(Handle window, UINT message, LPARAM lParam, std::uint32_t boundMs) {
    if (window == 0) return Sent::NoWindow;
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    if (SendMessageTimeoutA(AsHwnd(window), message, 0, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                            boundMs, &result))
        return Sent::Done;
    return Failure(AsHwnd(window));
}

}  // namespace

Handle Win32WindowSystem::FindTopWindow(const char* className) {
    return ToHandle(FindWindowA(className, nullptr));
}

// The first child of the class is one question to the window manager. After
// a given window, Wine's FindWindowEx finds nothing when `after` is of
// another class: the children of the class are found one after the other
// (each after one of its own class, which works everywhere), and the first of
// them that follows `after` is the one. Asking every child for its class
// instead would cost a question per child, in the middle of every click.
Handle Win32WindowSystem::FindChildWindow(Handle parent, Handle after, const char* className) {
    HWND within = AsHwnd(parent);  // null: the top-level windows
    HWND first = FindWindowExA(within, nullptr, className, nullptr);
    if (after == 0 || first == nullptr) return ToHandle(first);
    constexpr std::size_t kMostOfClass = 64;
    std::vector<HWND> ofClass;
    for (HWND c = first; c != nullptr && ofClass.size() < kMostOfClass;
         c = FindWindowExA(within, c, className, nullptr))
        ofClass.push_back(c);
    for (HWND c = GetWindow(AsHwnd(after), GW_HWNDNEXT); c != nullptr;
         c = GetWindow(c, GW_HWNDNEXT))
        if (std::find(ofClass.begin(), ofClass.end(), c) != ofClass.end()) return ToHandle(c);
    return 0;
}

Handle Win32WindowSystem::NextSibling(Handle window) {
    return window == 0 ? 0 : ToHandle(GetWindow(AsHwnd(window), GW_HWNDNEXT));
}

Sent Win32WindowSystem::SendSetText(Handle window, const std::wstring& text,
                                    std::uint32_t boundMs) {
    const std::string ansi = win::ToAnsi(text);
    return SendBounded(window, WM_SETTEXT, reinterpret_cast<LPARAM>(ansi.c_str()), boundMs);
}

Sent Win32WindowSystem::SendButton(Handle window, unsigned message, std::uint32_t boundMs) {
    return SendBounded(window, message, 0, boundMs);
}

Sent Win32WindowSystem::PostButton(Handle window, unsigned message) {
    // A post to no window would land in our own queue; there is nothing to press.
    if (window == 0) return Sent::NoWindow;
    SetLastError(ERROR_SUCCESS);
    if (PostMessageA(AsHwnd(window), message, 0, 0)) return Sent::Done;
    if (GetLastError() == ERROR_ACCESS_DENIED) return Sent::Blocked;
    return IsWindow(AsHwnd(window)) ? Sent::Failed : Sent::NoWindow;
}

// The messenger has handled a probe's WM_NULL. Windows calls this once, on our
// own thread, only while it handles its messages (GetMessage, PeekMessage,
// WaitMessage), possibly long after the window is gone. `answer` is the
// delivery's record of the question: the delivery keeps every record whose
// answer may still come, and the application keeps the delivery for as long
// as its thread handles messages, so the pointer is always to a living record.
namespace {
void CALLBACK ProbeReturned(HWND, UINT, ULONG_PTR answer, LRESULT) {
    reinterpret_cast<ProbeAnswer*>(answer)->Answered();
}
}  // namespace

bool Win32WindowSystem::Probe(Handle window, ProbeAnswer& answer) {
    // Returns at once; a messenger that never reads its queue again never answers.
    return window != 0 && SendMessageCallbackW(AsHwnd(window), WM_NULL, 0, 0, ProbeReturned,
                                               reinterpret_cast<ULONG_PTR>(&answer)) != FALSE;
}

unsigned Win32WindowSystem::ThreadOf(Handle window) {
    return window == 0 ? 0 : GetWindowThreadProcessId(AsHwnd(window), nullptr);
}

bool Win32WindowSystem::TellBlocked(Handle owner) {
    // The first line of the announcement may be refused before any window of
    // ours has loaded the common controls that the box's buttons are.
    win::LoadCommonControls();
    // The window the action came from may be gone by now (the custom codes
    // window closed meanwhile), or hidden (the smiley window at start-up): the
    // box then has no owner, or stands above every window, so it is not lost
    // behind another one.
    HWND window = IsWindow(AsHwnd(owner)) ? AsHwnd(owner) : nullptr;
    UINT style = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND;
    if (window == nullptr || !IsWindowVisible(window)) style |= MB_TOPMOST;
    return MessageBoxW(window,
                       L"Pallimo cannot type into the messenger, because the messenger runs with "
                       L"higher rights than Pallimo.\n\nStart Pallimo the same way as the "
                       L"messenger: both as administrator, or both not.",
                       L"Pallimo", style) != 0;
}

void Win32WindowSystem::PumpEvents() { win::PumpPendingEvents(); }
void Win32WindowSystem::WaitForEvents(std::uint32_t ms) { win::WaitForEvents(ms); }
void Win32WindowSystem::Sleep(std::uint32_t ms) { ::Sleep(ms); }
std::uint32_t Win32WindowSystem::NowMs() { return win::NowMs(); }

Box Win32WindowSystem::AskBox(Handle window, std::uint32_t boundMs) {
    if (window == 0) return Box::Empty;
    DWORD_PTR length = 0;
    SetLastError(ERROR_SUCCESS);
    // The wide form: Wine 8 ignores the bound of an ANSI WM_GETTEXTLENGTH to
    // another process and waits for a hung messenger for as long as it hangs.
    if (!SendMessageTimeoutW(AsHwnd(window), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                             boundMs, &length))
        return Failure(AsHwnd(window)) == Sent::NoAnswer ? Box::NoAnswer : Box::Empty;
    return length > 0 ? Box::HasText : Box::Empty;
}

}  // namespace delivery
