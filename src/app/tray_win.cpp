#include "app/tray_win.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "win/pump.h"
#include "win/system_dll.h"
#include "win/text.h"

namespace tray {

// Only the first 88 bytes reach the shell on a 32-bit build: cbSize says so.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88,
              "the original notification record is 88 bytes");

namespace {

// A refusal that took this long came from a busy shell.
constexpr std::uint32_t kBusyMs = 1000;

constexpr UINT_PTR kRetryTimer = 1;

// " Pallimo ", a NUL, then spaces: the tip is a fixed text of 64 characters,
// of which the shell shows the part before the NUL.
std::wstring FixedTip() {
    std::wstring tip = L" Pallimo ";
    tip += L'\0';
    tip.resize(kTipBytes, L' ');
    return tip;
}
}  // namespace

Icon::Icon() { std::memset(&record_, 0, sizeof record_); }

// Hands the shell one request for the icon; `busy` is set when it took a
// second or more to refuse it. Windows gives up waiting for the shell's answer
// after about four seconds, and a busy shell may still carry out the request
// after that: asking it anything more now would keep the window waiting as
// long once more.
bool Icon::Notify(DWORD message, bool& busy) {
    const std::uint32_t start = win::NowMs();
    const auto notify =
        win::SystemFunction<decltype(&Shell_NotifyIconA)>(L"shell32.dll", "Shell_NotifyIconA");
    if (notify != nullptr && notify(message, &record_)) return true;
    busy = win::NowMs() - start >= kBusyMs;
    return false;
}

void Icon::FillRecord(HWND owner, HICON icon) {
    std::memset(&record_, 0, sizeof record_);
    record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record_.hWnd = owner;
    record_.uID = kIconId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = kNotifyMessage;
    record_.hIcon = icon;
    const std::string tip = win::ToAnsi(FixedTip());
    std::memcpy(record_.szTip, tip.data(), tip.size() < kTipBytes ? tip.size() : kTipBytes);
}

IconAdd Icon::Add(bool changeFirst) {
    // Changing the icon succeeds only when it is there (added late for an
    // earlier request, or by a run of this window before; the add is then
    // refused as a second one), and makes it this record's.
    bool busy = false;
    if (changeFirst && Notify(NIM_MODIFY, busy)) return IconAdd::kThere;
    if (!busy && Notify(NIM_ADD, busy)) return IconAdd::kThere;
    if (!busy && Notify(NIM_MODIFY, busy)) return IconAdd::kThere;
    return busy ? IconAdd::kBusy : IconAdd::kRefused;
}

// Before the shell's DLL is loaded, no icon was added.
void Icon::Delete() {
    const auto notify = win::SystemFunction<decltype(&Shell_NotifyIconA)>(
        L"shell32.dll", "Shell_NotifyIconA", true);
    if (notify != nullptr) notify(NIM_DELETE, &record_);
}

void WindowParking::Attach(HWND window, HICON icon) {
    window_ = window;
    icon_.FillRecord(window, icon);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    win::AllowLowerRightsMessage(window, taskbarCreated_);
}

bool WindowParking::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kNotifyMessage) {
        // Only a release of either button, or a double click, brings the
        // window back: a press or a move does nothing.
        const UINT pointer = LOWORD(lParam);
        if (pointer == WM_LBUTTONUP || pointer == WM_LBUTTONDBLCLK || pointer == WM_RBUTTONUP)
            rules_.OnIconClicked();
        return true;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        rules_.OnTaskbarCreated();
        return true;
    }
    if (msg == WM_TIMER && wParam == kRetryTimer) {
        rules_.OnRetryTimer();
        return true;
    }
    if (msg != WM_SIZE) return false;
    if (wParam == SIZE_MAXIMIZED)
        rules_.OnMaximised();
    else if (wParam == SIZE_MINIMIZED)
        rules_.OnMinimised();
    else if (wParam == SIZE_RESTORED)
        rules_.OnRestored();
    return true;
}

void WindowParking::ShowInFront() {
    ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
    ShowWindow(window_, SW_SHOW);
}

void WindowParking::SetRetryTimer() { SetTimer(window_, kRetryTimer, 1000, nullptr); }
void WindowParking::KillRetryTimer() { KillTimer(window_, kRetryTimer); }

}  // namespace tray
