// Helpers of the tests that drive the custom codes window from outside: its
// list read with the wide messages (the ANSI ones overrun their buffer across
// processes under Wine), and the files it saves and loads, byte for byte.
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
