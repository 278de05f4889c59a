#include "win/text.h"

#include <cstring>
#include <vector>

namespace win {

std::string ToAnsi(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

std::wstring FromAnsi(std::string_view text) {
    if (text.empty()) return std::wstring();
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::wstring HwndGetText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    if (n <= 0) return std::wstring();
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1);
    const int got = GetWindowTextW(hwnd, buf.data(), n + 1);
    return std::wstring(buf.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

void HwndSetText(HWND hwnd, const std::wstring& text) { SetWindowTextW(hwnd, text.c_str()); }

int LbAddString(HWND list, const std::wstring& text) {
    return static_cast<int>(
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int LbGetCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

std::wstring LbGetText(HWND list, int index) {
    const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR || n <= 0) return std::wstring();
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1);
    const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buf.data()));
    if (got == LB_ERR || got < 0) return std::wstring();
    return std::wstring(buf.data(), static_cast<std::size_t>(got));
}

std::wstring LbGetSelectedText(HWND list) {
    const LRESULT sel = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR) return std::wstring();
    return LbGetText(list, static_cast<int>(sel));
}

namespace {

// Hands `bytes` to the clipboard as `format`; the clipboard owns them once it
// took them.
bool ClipboardPut(UINT format, const void* data, std::size_t bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    void* at = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (at == nullptr) {
        if (memory != nullptr) GlobalFree(memory);
        return false;
    }
    std::memcpy(at, data, bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(format, memory) != nullptr) return true;
    GlobalFree(memory);
    return false;
}

}  // namespace

bool ClipboardSetText(HWND owner, const std::wstring& text) {
    // Another program (a clipboard viewer, a remote desktop) may hold the
    // clipboard for a moment: a few tries, a fifth of a second at most.
    bool open = OpenClipboard(owner) != FALSE;
    for (int i = 0; i < 10 && !open; ++i) {
        Sleep(20);
        open = OpenClipboard(owner) != FALSE;
    }
    if (!open) return false;
    const std::string ansi = ToAnsi(text);
    const bool done =
        EmptyClipboard() &&
        ClipboardPut(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) &&
        ClipboardPut(CF_TEXT, ansi.c_str(), ansi.size() + 1);
    CloseClipboard();
    return done;
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace win
