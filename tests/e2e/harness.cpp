#include "harness.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support.h"

namespace e2e {

namespace {

int g_checks = 0;
int g_failures = 0;
int g_todos = 0;
int g_todoLevel = 0;

const char* BaseName(const char* path) {
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    return base;
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out;
}

std::string Describe(const char* window, unsigned msg, bool posted, const std::string* text) {
    char buf[64];
    const char* name = msg == WM_SETTEXT       ? "WM_SETTEXT"
                       : msg == WM_LBUTTONDOWN ? "WM_LBUTTONDOWN"
                       : msg == WM_LBUTTONUP   ? "WM_LBUTTONUP"
                                               : nullptr;
    if (name == nullptr) {
        std::snprintf(buf, sizeof buf, "msg %u", msg);
        name = buf;
    }
    std::string s = std::string(window) + " " + name + (posted ? " posted" : " sent");
    if (text != nullptr) s += " \"" + Printable(*text) + "\"";
    return s;
}

std::string HexDecode(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    return out;
}

}  // namespace

bool ok_(const char* file, int line, bool condition, const char* format, ...) {
    ++g_checks;
    const char* verdict = nullptr;
    if (g_todoLevel > 0) {
        ++(condition ? g_failures : g_todos);
        verdict = condition ? "Test succeeded inside todo block" : "Test marked todo";
    } else if (!condition) {
        ++g_failures;
        verdict = "Test failed";
    }
    if (verdict != nullptr) {
        std::fprintf(stdout, "%s:%d: %s: ", BaseName(file), line, verdict);
        va_list args;
        va_start(args, format);
        std::vfprintf(stdout, format, args);
        va_end(args);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return condition;
}

TodoBlock::TodoBlock(bool on) : on_(on) {
    if (on_) ++g_todoLevel;
}

TodoBlock::~TodoBlock() {
    if (on_) --g_todoLevel;
}

bool TodoBlock::Once() {
    if (done_) return false;
    done_ = true;
    return true;
}

void Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Finish() {
    std::fprintf(stdout, "%d tests executed (%d marked as todo), %d failures.\n", g_checks, g_todos,
                 g_failures);
    std::fflush(stdout);
    return g_failures == 0 && g_checks > 0 ? 0 : 1;
}

std::wstring WinPathFromUnix(const std::string& unixPath) {
    std::wstring out = L"Z:";
    for (char c : unixPath) out += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return out;
}

std::wstring PallimoExe() { return WinPathFromUnix(PALLIMO_EXE); }
std::wstring StandinExe() { return WinPathFromUnix(STANDIN_EXE); }

std::wstring WorkDir() {
    static std::wstring dir;
    if (dir.empty()) {
        dir = WinPathFromUnix(E2E_WORK_ROOT);
        CreateDirectoryW(dir.c_str(), nullptr);
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring name = exe;
        name = name.substr(name.find_last_of(L"\\/") + 1);
        name = name.substr(0, name.find_last_of(L'.'));
        dir += L"\\" + name;
        // Start from an empty folder every run.
        std::wstring cmd = L"cmd /c rmdir /s /q \"" + dir + L"\" >nul 2>nul";
        _wsystem(cmd.c_str());
        CreateDirectoryW(dir.c_str(), nullptr);
        // Each test's Pallimo keeps its settings in the test's own folder,
        // starting from none, whatever another test chose.
        SetEnvironmentVariableW(L"APPDATA", (dir + L"\\AppData").c_str());
    }
    return dir;
}

Process::Process(Process&& other) noexcept : process_(other.process_), pid_(other.pid_) {
    other.process_ = nullptr;
    other.pid_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Kill();
        process_ = other.process_;
        pid_ = other.pid_;
        other.process_ = nullptr;
        other.pid_ = 0;
    }
    return *this;
}

Process::~Process() { Kill(); }

bool Process::Start(const std::wstring& exe, const std::wstring& args, const std::wstring& cwd,
                    bool waitForIdle) {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const std::wstring dir = cwd.empty() ? WorkDir() : cwd;
    // Wine now and then fails a start with an internal error while the
    // server is busy with another process's end: asked once more.
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        started = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                                 &si, &pi) != FALSE;
        if (!started) {
            Trace("CreateProcess failed for %s (error %lu)", AnsiBytes(cmd).c_str(),
                  GetLastError());
            Sleep(500);
        }
    }
    if (!started) return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    if (waitForIdle) WaitForInputIdle(process_, 5000);
    return true;
}

bool Process::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::Wait(DWORD ms) {
    return process_ == nullptr || WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

void Process::Kill() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr) GetExitCodeProcess(process_, &code);
    return code;
}

double Process::CpuMs() const {
    FILETIME created, exited, kernel, user;
    if (process_ == nullptr || !GetProcessTimes(process_, &created, &exited, &kernel, &user))
        return -1;
    auto ms = [](const FILETIME& f) {
        return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD ms, DWORD everyMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= ms) return cond();
        Sleep(everyMs);
    }
}

HWND FindTopLevel(const wchar_t* cls, const wchar_t* caption, DWORD pid) {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, cls, caption)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (pid == 0 || owner == pid) return h;
    }
    return nullptr;
}

HWND WaitForWindow(const wchar_t* cls, const wchar_t* caption, DWORD pid, DWORD ms) {
    HWND found = nullptr;
    // A window is found as soon as it is made, before its controls are: wait
    // until it is shown, which our windows are once they are built.
    WaitUntil(
        [&] {
            found = FindTopLevel(cls, caption, pid);
            return found != nullptr && IsWindowVisible(found);
        },
        ms);
    return found;
}

bool IsShown(HWND hwnd) { return hwnd != nullptr && IsWindowVisible(hwnd) && !IsIconic(hwnd); }

HWND Child(HWND parent, int id) {
    HWND direct = GetDlgItem(parent, id);
    if (direct != nullptr) return direct;
    // Controls inside a panel are its children, not the window's.
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        if (HWND inner = GetDlgItem(c, id)) return inner;
    return nullptr;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buf[4096];
    // WM_GETTEXT works across processes for any window class.
    const LRESULT n =
        SendMessageW(hwnd, WM_GETTEXT, sizeof buf / sizeof buf[0], reinterpret_cast<LPARAM>(buf));
    return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buf[256];
    const int n = GetClassNameW(hwnd, buf, 256);
    return std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

RECT ScreenRect(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT ClientRectIn(HWND control, HWND top) {
    RECT r = ScreenRect(control);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<COLORREF> DrawnPixels(int w, int h, const std::function<void(HDC)>& draw) {
    std::vector<COLORREF> out;
    if (w <= 0 || h <= 0) return out;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    draw(mem);
    GdiFlush();
    const auto* px = static_cast<const unsigned char*>(bits);
    out.reserve(static_cast<std::size_t>(w) * h);
    for (int i = 0; i < w * h; ++i) out.push_back(RGB(px[4 * i + 2], px[4 * i + 1], px[4 * i]));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

Pixels ScreenPixels(const RECT& r) {
    Pixels p;
    p.px = DrawnPixels(r.right - r.left, r.bottom - r.top, [&](HDC dc) {
        HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
    if (!p.px.empty()) {
        p.w = r.right - r.left;
        p.h = r.bottom - r.top;
    }
    return p;
}

namespace {

bool PointerNear(int x, int y) {
    POINT p;
    return GetCursorPos(&p) && p.x - x <= 1 && x - p.x <= 1 && p.y - y <= 1 && y - p.y <= 1;
}

}  // namespace

// Wine can undo a synthetic pointer move: an X enter event queued before the
// move (a window just mapped or raised, as on a desktop that has just
// started) still carries the X pointer's old place, and whichever Wine
// process reads it puts the pointer back there; a process busy with a click
// (the taskbar's, say) can read it a good while later. Send the move again
// until the pointer has stayed put for 200 ms, so that the button press that
// follows lands where it was meant to.
void MoveTo(int x, int y) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    for (int attempt = 0; attempt < 20; ++attempt) {
        SendInput(1, &in, sizeof in);
        if (!WaitUntil([&] { return PointerNear(x, y); }, 100)) continue;
        int still = 0;
        while (still < 20 && PointerNear(x, y)) {
            Sleep(10);
            ++still;
        }
        if (still == 20 && PointerNear(x, y)) return;
    }
}

namespace {

// A button event that carries its own position, so that a late report of an
// older pointer place cannot move it elsewhere.
void Button(int x, int y, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &in, sizeof in);
}

// Lets the target's thread take the input before the next step.
void Settle() { Sleep(60); }

}  // namespace

void ClickAt(int x, int y, bool right) {
    MoveTo(x, y);
    Sleep(20);
    Button(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Sleep(20);
    Button(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    Settle();
}

void DoubleClickAt(int x, int y) {
    MoveTo(x, y);
    Sleep(20);
    for (int i = 0; i < 2; ++i) {
        Button(x, y, MOUSEEVENTF_LEFTDOWN);
        Sleep(10);
        Button(x, y, MOUSEEVENTF_LEFTUP);
        Sleep(10);
    }
    Settle();
}

static POINT Centre(HWND hwnd) {
    const RECT r = ScreenRect(hwnd);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return p;
}

void Click(HWND hwnd) {
    const POINT p = Centre(hwnd);
    ClickAt(p.x, p.y);
}

void DoubleClick(HWND hwnd) {
    const POINT p = Centre(hwnd);
    DoubleClickAt(p.x, p.y);
}

void PressKey(WORD vk, WORD modifier, WORD secondModifier) {
    INPUT in[6] = {};
    int n = 0;
    for (WORD m : {modifier, secondModifier})
        if (m != 0) in[n++].ki.wVk = m;
    const int held = n;
    in[n++].ki.wVk = vk;
    in[n].ki.wVk = vk;
    in[n++].ki.dwFlags = KEYEVENTF_KEYUP;
    for (int i = held - 1; i >= 0; --i) {
        in[n].ki.wVk = in[i].ki.wVk;
        in[n++].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        // A letter or a digit carries its scan code, as a keyboard's does:
        // without one, Wine hands a control a key code of its own choosing.
        const WORD key = i.ki.wVk;
        if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
            i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    }
    SendInput(static_cast<UINT>(n), in, sizeof in[0]);
    Settle();
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
        Sleep(5);
    }
    Settle();
}

void Activate(HWND hwnd) {
    SetForegroundWindow(hwnd);
    WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 2000);
}

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

bool ParseRecordLine(std::string line, Record& r) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> f;
    std::stringstream ss(line);
    std::string field;
    while (std::getline(ss, field, '\t')) f.push_back(field);
    // getline drops a last empty field: the text of an empty WM_SETTEXT.
    if (!line.empty() && line.back() == '\t') f.push_back(std::string());
    if (f.size() < 8) return false;
    r = Record();
    r.seq = std::atoi(f[0].c_str());
    r.ms = std::atof(f[1].c_str());
    r.window = f[2];
    r.message = static_cast<unsigned>(std::strtoul(f[3].c_str(), nullptr, 10));
    r.wparam = std::strtoul(f[4].c_str(), nullptr, 16);
    r.lparam = f[5] == "-" ? 0 : std::strtoul(f[5].c_str(), nullptr, 16);
    r.posted = f[6] == "P";
    r.hasText = f[7] != "-";
    if (r.hasText) r.text = HexDecode(f[7]);
    return true;
}

std::vector<Record> ReadRecords(const std::wstring& path) {
    std::vector<Record> out;
    std::ifstream in(AnsiBytes(path).c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (in.eof()) break;  // no newline yet: a line still being written
        Record r;
        if (ParseRecordLine(line, r)) out.push_back(r);
    }
    return out;
}

std::vector<Record> WaitForRecords(const std::wstring& path, std::size_t count, DWORD ms) {
    std::vector<Record> got;
    WaitUntil([&] { return (got = ReadRecords(path)).size() >= count; }, ms);
    return got;
}

RecordTail::~RecordTail() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

bool RecordTail::Open(const std::wstring& path) {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = CreateFileW(path.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    pending_.clear();
    return file_ != INVALID_HANDLE_VALUE;
}

std::size_t RecordTail::Poll(std::vector<Record>& out) {
    if (file_ == INVALID_HANDLE_VALUE) return 0;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(file_, buf, sizeof buf, &got, nullptr) && got > 0) pending_.append(buf, got);
    std::size_t added = 0, start = 0;
    for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos;
         start = end + 1) {
        Record r;
        if (ParseRecordLine(pending_.substr(start, end - start), r)) {
            out.push_back(r);
            ++added;
        }
    }
    pending_.erase(0, start);
    return added;
}

bool RecordTail::WaitFor(const std::function<bool(const Record&)>& match, DWORD ms,
                         std::vector<Record>& seen, Record* found) {
    const DWORD start = GetTickCount();
    for (std::size_t checked = seen.size();;) {
        Poll(seen);
        for (; checked < seen.size(); ++checked)
            if (match(seen[checked])) {
                if (found != nullptr) *found = seen[checked];
                return true;
            }
        if (GetTickCount() - start >= ms) return false;
        Sleep(1);
    }
}

bool Matches(const Record& got, const Expected& want) {
    if (got.window != want.window || got.message != want.message || got.posted != want.posted)
        return false;
    if (want.message == WM_SETTEXT) return want.text == nullptr || got.text == want.text;
    return ((want.flags & kAnyWParam) != 0 || got.wparam == 0) &&
           ((want.flags & kAnyLParam) != 0 || got.lparam == 0);
}

bool SameSequence(const std::vector<Record>& got, const Expected* expected, std::size_t n) {
    std::size_t g = 0;
    for (std::size_t e = 0; e < n; ++e) {
        if (g < got.size() && Matches(got[g], expected[e]))
            ++g;
        else if ((expected[e].flags & kOptional) == 0)
            return false;
    }
    return g == got.size();
}

// Prints the expected messages beside those received.
static void PrintSequences(const char* file, int line, const char* context,
                           const std::vector<Record>& got, const Expected* expected,
                           std::size_t n) {
    std::fprintf(stdout, "%s:%d: %s: message sequence differs\n", BaseName(file), line, context);
    std::fprintf(stdout, "  %-48s | %s\n", "expected", "received");
    const std::size_t rows = got.size() > n ? got.size() : n;
    for (std::size_t i = 0; i < rows; ++i) {
        std::string left, right;
        if (i < n) {
            std::string t = expected[i].text != nullptr ? expected[i].text : "";
            left = Describe(expected[i].window, expected[i].message, expected[i].posted,
                            expected[i].message == WM_SETTEXT ? &t : nullptr);
            if (expected[i].flags & kOptional) left += " (optional)";
        }
        if (i < got.size()) {
            char extra[64] = "";
            if (got[i].message != WM_SETTEXT && (got[i].wparam != 0 || got[i].lparam != 0))
                std::snprintf(extra, sizeof extra, " (%lx, %lx)", got[i].wparam, got[i].lparam);
            right = Describe(got[i].window.c_str(), got[i].message, got[i].posted,
                             got[i].hasText ? &got[i].text : nullptr) +
                    extra;
        }
        std::fprintf(stdout, "  %-48s | %s\n", left.c_str(), right.c_str());
    }
    std::fflush(stdout);
}

bool ok_sequence_(const char* file, int line, const std::vector<Record>& got,
                  const Expected* expected, const char* context) {
    std::size_t n = 0;
    while (expected[n].window != nullptr) ++n;
    const bool same = SameSequence(got, expected, n);
    if (!same) PrintSequences(file, line, context, got, expected, n);
    return ok_(file, line, same, "%s: expected sequence of %u messages", context,
               static_cast<unsigned>(n));
}

std::vector<std::string> TextsInto(const std::vector<Record>& records, const std::string& window) {
    std::vector<std::string> out;
    for (const Record& r : records)
        if (r.message == WM_SETTEXT && r.window == window + ".input") out.push_back(r.text);
    return out;
}

std::vector<std::string> Standin::TextsInto(const std::string& window) const {
    return e2e::TextsInto(Records(), window);
}

bool Standin::Start(const std::wstring& switches) {
    record_ = WorkDir() + L"\\standin-record.txt";
    DeleteFileW(record_.c_str());
    std::wstring args = L"--record \"" + record_ + L"\"";
    if (!switches.empty()) args += L" " + switches;
    if (!process_.Start(StandinExe(), args)) return false;
    // The stand-in creates its record once its windows are up.
    return WaitUntil([&] { return GetFileAttributesW(record_.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     15000);
}

}  // namespace e2e
