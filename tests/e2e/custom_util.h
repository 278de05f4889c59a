// Helpers of the tests that drive the custom codes window from outside: its
// list read with the wide messages (the ANSI ones overrun their buffer across
// processes under Wine), the files it saves and loads, byte for byte, and the
// message box it tells a failed save or load in.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "custom/custom_codes_window_ids.h"
#include "harness.h"

namespace customs {

inline int Count(HWND form) {
    return static_cast<int>(
        SendMessageW(e2e::Child(form, custom_codes_window_ids::kCodeList), LB_GETCOUNT, 0, 0));
}

inline std::wstring Item(HWND form, int index) {
    HWND list = e2e::Child(form, custom_codes_window_ids::kCodeList);
    const LRESULT n = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (n == LB_ERR) return L"<none>";
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

inline std::vector<std::wstring> Items(HWND form) {
    std::vector<std::wstring> items;
    for (int i = 0, n = Count(form); i < n; ++i) items.push_back(Item(form, i));
    return items;
}

inline bool Checked(HWND form, int id) {
    return SendMessageW(e2e::Child(form, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadBytes(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    return bytes;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool done =
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
        wrote == bytes.size();
    CloseHandle(f);
    return done;
}

// The file's size in bytes; -1 when it is not there.
inline long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The message box shown over `form` (a dialog it owns), or null.
inline HWND Box(HWND form) {
    HWND found = nullptr;
    for (HWND w = GetTopWindow(nullptr); w != nullptr && found == nullptr;
         w = GetWindow(w, GW_HWNDNEXT))
        if (GetWindow(w, GW_OWNER) == form && IsWindowVisible(w) && e2e::ClassOf(w) == L"#32770")
            found = w;
    return found;
}

inline HWND WaitForBox(HWND form, DWORD ms) {
    HWND box = nullptr;
    e2e::WaitUntil([&] { return (box = Box(form)) != nullptr; }, ms);
    return box;
}

// The box's message (its static text 0xFFFF, as MessageBox lays it out).
inline std::wstring BoxText(HWND box) { return e2e::TextOf(GetDlgItem(box, 0xFFFF)); }

// Whether `icon`'s pixels are the system's warning icon over its background
// (an icon handle cannot be compared across processes).
inline bool ShowsWarningIcon(HWND icon) {
    const e2e::Pixels shown = e2e::ScreenPixels(e2e::ScreenRect(icon));
    if (shown.px.empty()) return false;
    const COLORREF background = shown.At(0, 0);
    return e2e::DrawnPixels(shown.w, shown.h, [&](HDC dc) {
               HBRUSH brush = CreateSolidBrush(background);
               const RECT all = {0, 0, shown.w, shown.h};
               FillRect(dc, &all, brush);
               DeleteObject(brush);
               DrawIconEx(dc, 0, 0, LoadIconW(nullptr, IDI_WARNING), 0, 0, 0, nullptr, DI_NORMAL);
           }) == shown.px;
}

// Whether the box shows the warning icon, once it is drawn.
inline bool BoxWarns(HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        if (e2e::ClassOf(c) == L"Static" && (GetWindowLongW(c, GWL_STYLE) & SS_ICON) != 0)
            return e2e::WaitUntil([&] { return ShowsWarningIcon(c); }, 5000);
    return false;
}

// Presses the box's OK button and waits until it is gone.
inline bool CloseBox(HWND box) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return e2e::WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000);
}

// The system's words for `error`, as FormatMessage gives them, without their line end.
inline std::wstring SystemReason(DWORD error) {
    wchar_t buf[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   buf, 512, nullptr);
    std::wstring text = buf;
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

// Files a save left behind while writing beside its target: the new file
// (pal*.tmp) and the name the old content had on the way (pab*.tmp).
inline int LeftoverTemps(const std::wstring& folder) {
    int n = 0;
    for (const wchar_t* pattern : {L"\\pal*.tmp", L"\\pab*.tmp"}) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((folder + pattern).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do ++n;
        while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    return n;
}

}  // namespace customs
