#include "messenger/winsys_win.h"

#include "win/pump.h"
#include "win/text.h"

namespace Module1 {

namespace {

HWND AsHwnd(Handle h) { return reinterpret_cast<HWND>(h); }
Handle AsHandle(HWND h) { return reinterpret_cast<Handle>(h); }

Win32WindowSystem& System() {
    static Win32WindowSystem ws;
    return ws;
}

}  // namespace

HWND FindChildByClass(HWND parent, HWND after, const char* className) {
    HWND child = nullptr;
    if (after != nullptr)
        child = GetWindow(after, GW_HWNDNEXT);
    else
        child = GetWindow(parent != nullptr ? parent : GetDesktopWindow(), GW_CHILD);
    char name[256];
    for (; child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetClassNameA(child, name, sizeof name) > 0 && lstrcmpiA(name, className) == 0)
            return child;
    }
    return nullptr;
}

Handle Win32WindowSystem::FindTopWindow(const char* className) {
    return AsHandle(FindWindowA(className, nullptr));
}

Handle Win32WindowSystem::FindChildWindow(Handle parent, Handle after, const char* className) {
    return AsHandle(FindChildByClass(AsHwnd(parent), AsHwnd(after), className));
}

Handle Win32WindowSystem::NextSibling(Handle window) {
    return window == 0 ? 0 : AsHandle(GetWindow(AsHwnd(window), GW_HWNDNEXT));
}

void Win32WindowSystem::SendSetText(Handle window, const std::wstring& text) {
    if (window == 0) return;
    const std::string ansi = win::ToAnsi(text);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(AsHwnd(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.c_str()),
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, kSendBoundMs, &result);
}

void Win32WindowSystem::SendButton(Handle window, unsigned message) {
    if (window == 0) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(AsHwnd(window), message, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kSendBoundMs, &result);
}

void Win32WindowSystem::PostButton(Handle window, unsigned message) {
    // A post to no window would land in our own queue; there is nothing to press.
    if (window == 0) return;
    PostMessageA(AsHwnd(window), message, 0, 0);
}

void Win32WindowSystem::PumpEvents() { win::PumpPendingEvents(); }
void Win32WindowSystem::WaitForEvents(std::uint32_t ms) { win::WaitForEvents(ms); }
void Win32WindowSystem::Sleep(std::uint32_t ms) { ::Sleep(ms); }
std::uint32_t Win32WindowSystem::NowMs() { return win::NowMs(); }

bool Win32WindowSystem::HasText(Handle window) {
    if (window == 0) return false;
    DWORD_PTR length = 0;
    // The wide form: Wine 8 ignores the bound of an ANSI WM_GETTEXTLENGTH to
    // another process and waits for a hung messenger for as long as it hangs.
    if (!SendMessageTimeoutW(AsHwnd(window), WM_GETTEXTLENGTH, 0, 0,
                             SMTO_ABORTIFHUNG | SMTO_NORMAL, kAskBoundMs, &length))
        return false;
    return length > 0;
}

void ChatSend(const std::wstring& text) { ChatSend(System(), text); }
void IMSend(const std::wstring& text) { IMSend(System(), text); }
void TimeOut(double seconds) { TimeOut(System(), seconds); }

}  // namespace Module1
