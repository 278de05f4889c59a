#include "app/sys_win.h"

#include <cstring>
#include <string>

#include "win/text.h"

namespace sys {

// Only the first 88 bytes reach the shell on a 32-bit build: cbSize says so.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88,
              "the original notification record is 88 bytes");

NOTIFYICONDATAA nid = {};

namespace {

// " Pallimo ", a NUL, then spaces: the tip is a fixed text of 64 characters,
// of which the shell shows the part before the NUL.
std::wstring FixedTip() {
    std::wstring tip = L" Pallimo ";
    tip += L'\0';
    tip.resize(kTipBytes, L' ');
    return tip;
}

}  // namespace

void FillRecord(HWND owner, HICON icon) {
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = owner;
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kNotifyMessage;
    nid.hIcon = icon;
    const std::string tip = win::ToAnsi(FixedTip());
    std::memcpy(nid.szTip, tip.data(), tip.size() < kTipBytes ? tip.size() : kTipBytes);
}

bool AddIcon() {
    if (Shell_NotifyIconA(NIM_ADD, &nid)) return true;
    // A busy shell may add the icon after the call gave up waiting for it
    // (about four seconds), and refuses the next add as a second one; the
    // icon may also be there from a run of this window before. Changing the
    // icon succeeds only when it is there, and makes it this record's.
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

void DeleteIcon() { Shell_NotifyIconA(NIM_DELETE, &nid); }

void AllowShellMessage(HWND window, UINT message) {
    // Looked up at run time: Windows XP lacks both functions and would refuse
    // to start a program that imports them.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr || message == 0) return;
    // Windows 7 and later: for this window only (MSGFLT_ALLOW).
    using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    if (FARPROC f = GetProcAddress(user32, "ChangeWindowMessageFilterEx")) {
        reinterpret_cast<FilterEx>(reinterpret_cast<void*>(f))(window, message, 1, nullptr);
        return;
    }
    // Windows Vista: for the whole process (MSGFLT_ADD).
    using Filter = BOOL(WINAPI*)(UINT, DWORD);
    if (FARPROC f = GetProcAddress(user32, "ChangeWindowMessageFilter"))
        reinterpret_cast<Filter>(reinterpret_cast<void*>(f))(message, 1);
}

}  // namespace sys
