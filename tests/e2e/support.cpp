#include "support.h"

#include <cstdio>

#include "app/smiley_window_ids.h"
#include "custom/custom_codes_window_ids.h"

namespace e2e {

std::string AnsiBytes(const std::wstring& w) {
    if (w.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), &out[0], n, nullptr,
                            nullptr);
    return out;
}

std::string Printable(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) {
        if (out.size() > 80) return out + "...";
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buf[12];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

namespace {

struct Search {
    const std::function<bool(HWND)>* keep;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if ((*s->keep)(h)) s->found.push_back(h);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevels(const std::function<bool(HWND)>& keep) {
    Search search = {&keep, {}};
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> TopLevels(const wchar_t* cls, DWORD pid) {
    return TopLevels([&](HWND h) { return ProcessOf(h) == pid && ClassOf(h) == cls; });
}

HWND FocusOf(HWND top) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
    return info.hwndFocus;
}

bool FrameButtonPoint(HWND hwnd, LRESULT hit, POINT& at) {
    const RECT r = ScreenRect(hwnd);
    long sx = 0, sy = 0, n = 0;
    for (int y = r.top; y < r.top + 48 && y < r.bottom; y += 2)
        for (int x = r.right - 1; x > r.right - 120 && x > r.left; x -= 2) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 5000,
                                    &result) &&
                static_cast<LRESULT>(result) == hit) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    if (n == 0) return false;
    at.x = static_cast<int>(sx / n);
    at.y = static_cast<int>(sy / n);
    return true;
}

std::wstring SettingsFile() { return WorkDir() + L"\\AppData\\Pallimo\\Pallimo.ini"; }

Started StartPallimo(Process& pallimo, const Standin* standin, DWORD ms, bool keepSettings) {
    Started s;
    if (!keepSettings) DeleteFileW(SettingsFile().c_str());
    if (!pallimo.Start(PallimoExe(), L"", L"", false)) return s;
    HWND main = nullptr;
    WaitUntil(
        [&] {
            if (main == nullptr)
                main = FindTopLevel(smiley_window_ids::kClass, L"Smileys", pallimo.Id());
            if (main == nullptr || !IsWindowVisible(main)) return false;
            s.shownMs = NowMs();
            if (standin != nullptr) s.atShow = standin->Records();
            return true;
        },
        ms);
    if (s.shownMs > 0) s.main = main;
    return s;
}

HWND OpenCustomCodes(HWND main, DWORD pid) {
    HWND form = nullptr;
    for (int attempt = 0; attempt < 3 && form == nullptr; ++attempt) {
        Activate(main);
        Click(Child(main, smiley_window_ids::kExtraButton));
        form = WaitForWindow(custom_codes_window_ids::kClass, L"Custom", pid, 3000);
    }
    WaitUntil([&] { return form != nullptr && IsShown(form); }, 5000);
    return form;
}

}  // namespace e2e
