// Helpers of the smiley window's tests: its styles, the program icon's face,
// the notification area of the taskbar and hover hints.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/smiley_window_ids.h"
#include "app/tray_win.h"
#include "harness.h"
#include "support.h"

namespace smileys {

// The id of a style option from its control name ("op1", "Option22").
inline int StyleId(const char* control) {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i)
        if (std::string(catalogue::kStyles[i].control) == control)
            return smiley_window_ids::kFirstStyle + static_cast<int>(i);
    return 0;
}

inline std::wstring QuotedCodeOf(const char* control) {
    for (const catalogue::Style& s : catalogue::kStyles)
        if (std::string(s.control) == control) return catalogue::QuotedCode(s.code);
    return std::wstring();
}

// The style options that are drawn chosen, as ids.
inline std::vector<int> CheckedStyles(HWND main) {
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(catalogue::kStyleCount); ++i) {
        HWND option = e2e::Child(main, smiley_window_ids::kFirstStyle + i);
        if (SendMessageW(option, BM_GETCHECK, 0, 0) == BST_CHECKED)
            out.push_back(smiley_window_ids::kFirstStyle + i);
    }
    return out;
}

inline bool ClickFrameButton(HWND hwnd, LRESULT hit) {
    POINT p;
    if (!e2e::FrameButtonPoint(hwnd, hit, p)) return false;
    e2e::ClickAt(p.x, p.y);
    return true;
}

// The program icon is a yellow face; nothing else on the screen is that yellow.
inline bool IsIconYellow(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) > 130 && GetBValue(c) < 140;
}

// The program icon's face as drawn in a picture `width` pixels wide: its
// icon-yellow pixels ('#') row by row, trimmed to their bounding box.
inline std::string YellowShape(const std::vector<COLORREF>& px, int width) {
    const int height = width > 0 ? static_cast<int>(px.size()) / width : 0;
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (IsIconYellow(px[y * width + x])) {
                if (x < left) left = x;
                if (x > right) right = x;
                if (y < top) top = y;
                if (y > bottom) bottom = y;
            }
    std::string shape;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) shape += IsIconYellow(px[y * width + x]) ? '#' : '.';
        shape += '\n';
    }
    return shape;
}

// The face of the executable's icon image of `size` pixels, drawn as it is.
inline std::string IconImageShape(int size) {
    std::vector<COLORREF> px;
    HMODULE exe = LoadLibraryExW(e2e::PallimoExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HICON icon = exe ? static_cast<HICON>(LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, size,
                                                     size, LR_DEFAULTCOLOR))
                     : nullptr;
    if (icon != nullptr) {
        px = e2e::DrawnPixels(size, size, [&](HDC dc) {
            const RECT all = {0, 0, size, size};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        });
        DestroyIcon(icon);
    }
    if (exe) FreeLibrary(exe);
    return YellowShape(px, size);
}

// ---- the notification area -------------------------------------------------

// The part of the taskbar where notification icons stand: its right end, past
// the task buttons of the few windows a test has open.
// The taskbar: the first window of its class that is not the test's own.
inline HWND Taskbar() {
    HWND tray = nullptr;
    DWORD owner = 0;
    do {
        tray = FindWindowExW(nullptr, tray, L"Shell_TrayWnd", nullptr);
        owner = 0;
        if (tray != nullptr) GetWindowThreadProcessId(tray, &owner);
    } while (tray != nullptr && owner == GetCurrentProcessId());
    return tray;
}

inline RECT TrayArea() {
    RECT r = {0, 0, 0, 0};
    HWND tray = Taskbar();
    if (tray == nullptr) return r;
    GetWindowRect(tray, &r);
    if (r.right - r.left > 200) r.left = r.right - 200;
    return r;
}

struct Blob {
    int pixels;
    POINT centre;  // screen coordinates
};

// The notification area holds as many program icons as it has yellow patches
// of icon size.
inline std::vector<Blob> TrayIcons() {
    const RECT area = TrayArea();
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<Blob> blobs;
    if (w <= 0 || h <= 0) return blobs;
    const std::vector<COLORREF> px = e2e::ScreenPixels(area).px;
    std::vector<char> seen(px.size(), 0);
    for (int start = 0; start < w * h; ++start) {
        if (seen[start] || !IsIconYellow(px[start])) continue;
        long sx = 0, sy = 0;
        int n = 0;
        std::vector<int> stack(1, start);
        seen[start] = 1;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int x = i % w, y = i / w;
            sx += x;
            sy += y;
            ++n;
            const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
            for (const auto& nb : next) {
                if (nb[0] < 0 || nb[1] < 0 || nb[0] >= w || nb[1] >= h) continue;
                const int j = nb[1] * w + nb[0];
                if (!seen[j] && IsIconYellow(px[j])) {
                    seen[j] = 1;
                    stack.push_back(j);
                }
            }
        }
        if (n >= 30) blobs.push_back({n, {area.left + sx / n, area.top + sy / n}});
    }
    return blobs;
}

// Whether the taskbar keeps an icon for this window: changing nothing about
// it succeeds only then.
inline bool IconKept(HWND main) {
    NOTIFYICONDATAA probe = {};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = main;
    probe.uID = tray::kIconId;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The face of the one program icon in the notification area.
inline std::string TrayIconShape() {
    const RECT area = TrayArea();
    return YellowShape(e2e::ScreenPixels(area).px, area.right - area.left);
}

// Waits until the notification area shows `count` program icons.
inline bool WaitForTrayIcons(std::size_t count, DWORD ms = 5000) {
    return e2e::WaitUntil([&] { return TrayIcons().size() == count; }, ms);
}

// ---- hover hints --------------------------------------------------------------

// The text of a shown hover hint of process `pid` (any process when 0), or "".
inline std::wstring ShownHint(DWORD pid) {
    for (HWND h : e2e::TopLevels([&](HWND w) {
             return IsWindowVisible(w) && e2e::ClassOf(w) == L"tooltips_class32" &&
                    (pid == 0 || e2e::ProcessOf(w) == pid);
         })) {
        const std::wstring text = e2e::TextOf(h);
        if (!text.empty()) return text;
    }
    return std::wstring();
}

// Rests the pointer at a point until a hint with text shows; returns its text.
inline std::wstring HoverHint(int x, int y, DWORD pid) {
    e2e::MoveTo(x, y - 1);
    e2e::MoveTo(x, y);
    std::wstring text;
    e2e::WaitUntil([&] { return !(text = ShownHint(pid)).empty(); }, 5000);
    return text;
}

}  // namespace smileys
