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

void AddIcon() { Shell_NotifyIconA(NIM_ADD, &nid); }

void DeleteIcon() { Shell_NotifyIconA(NIM_DELETE, &nid); }

}  // namespace sys
