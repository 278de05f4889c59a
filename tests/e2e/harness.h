// A small harness for Windows test programs that drive the real Pallimo.exe
// and the stand-in messenger under Wine, in the style of Wine's own tests:
// ok() checks that count and report, and ok_sequence() compares what the
// stand-in recorded with an expected message sequence, dumping both side by
// side when they differ.
#pragma once
#include <windows.h>

#include <cstdarg>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// ---- checks -----------------------------------------------------------------

// Counts a check; prints the message with the test's name and line when it fails.
bool ok_(const char* file, int line, bool condition, const char* format, ...);
#define ok(cond, ...) ::e2e::ok_(__FILE__, __LINE__, (cond), __VA_ARGS__)
// Wine's todo: the checks inside `todo_if(cond) ...` are known to fail while
// `cond` holds. Such a check that fails is counted as todo, not as a
// failure; one that passes is a failure ("succeeded inside todo block"), so
// that a fix cannot go unnoticed: it must take its todo away.
#define todo_if(is_todo) for (::e2e::TodoBlock e2e_todo_(is_todo); e2e_todo_.Once();)
class TodoBlock {
  public:
    explicit TodoBlock(bool on);
    ~TodoBlock();
    bool Once();

  private:
    bool on_;
    bool done_ = false;
};
// Prints the summary line and returns the process exit code (0 when all passed).
int Finish();
// Prints a line of information (figures, context) to the test's output.
void Trace(const char* format, ...);

// ---- paths and processes ----------------------------------------------------

// Paths of the programs under test, as Windows paths (Z:\...).
std::wstring PallimoExe();
std::wstring StandinExe();
// A fresh, empty working folder for this test (a Windows path, no trailing slash).
std::wstring WorkDir();
std::wstring WinPathFromUnix(const std::string& unixPath);

class Process {
  public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();  // kills the process if it is still running

    // Starts `exe` with `args` in `cwd` (the work folder when empty) and, unless
    // told otherwise, waits (up to 5 s) until it first waits for input.
    bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& cwd = L"",
               bool waitForIdle = true);
    bool Running() const;
    // Waits up to `ms` for the process to end; true if it ended.
    bool Wait(DWORD ms);
    void Kill();
    DWORD Id() const { return pid_; }
    HANDLE Handle() const { return process_; }
    DWORD ExitCode() const;
    // User + kernel CPU time so far, in milliseconds.
    double CpuMs() const;

  private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// ---- windows ----------------------------------------------------------------

// Polls (every `everyMs`, at most `ms`) until `cond` holds; true if it did.
bool WaitUntil(const std::function<bool()>& cond, DWORD ms, DWORD everyMs = 10);
// The first top-level window of `pid` (0: any process) with this class and, if
// given, this caption; waits up to `ms` for it to be shown. Null if none
// appeared; the window if it appeared but stayed hidden.
HWND WaitForWindow(const wchar_t* cls, const wchar_t* caption, DWORD pid, DWORD ms);
HWND FindTopLevel(const wchar_t* cls, const wchar_t* caption, DWORD pid);
bool IsShown(HWND hwnd);
HWND Child(HWND parent, int id);
std::wstring TextOf(HWND hwnd);
std::wstring ClassOf(HWND hwnd);
RECT ScreenRect(HWND hwnd);
// A control's rectangle in its top-level window's client coordinates.
RECT ClientRectIn(HWND control, HWND top);
// The pixels of a w x h bitmap (top row first) after `draw` drew into it.
std::vector<COLORREF> DrawnPixels(int w, int h, const std::function<void(HDC)>& draw);
struct Pixels {
    int w = 0, h = 0;
    std::vector<COLORREF> px;  // row by row from the top
    COLORREF At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};
// The colours of a screen rectangle as it is shown now (none: 0 x 0).
Pixels ScreenPixels(const RECT& r);

// ---- real input -------------------------------------------------------------

// Moves the real pointer to a screen point (SendInput) and waits until it stays there.
void MoveTo(int x, int y);
// Moves the real pointer to a screen point and clicks there (SendInput), then
// waits until the input was handled by the target's thread as far as it can.
void ClickAt(int x, int y, bool right = false);
void DoubleClickAt(int x, int y);
// Clicks the centre of a window, as a person would.
void Click(HWND hwnd);
void DoubleClick(HWND hwnd);
// Presses and lets go of a key, with the modifiers (VK_SHIFT, VK_MENU) held if given.
void PressKey(WORD vk, WORD modifier = 0, WORD secondModifier = 0);
void TypeText(const std::wstring& text);
// Brings a window to the front so that input reaches it.
void Activate(HWND hwnd);

// ---- the stand-in messenger's record ----------------------------------------

struct Record {
    int seq = 0;
    double ms = 0;
    std::string window;
    unsigned message = 0;
    unsigned long wparam = 0;
    unsigned long lparam = 0;
    bool posted = false;
    std::string text;  // WM_SETTEXT bytes
    bool hasText = false;
};

// Parses one line of the record (without its newline); false if it is not one.
bool ParseRecordLine(std::string line, Record& r);
// Reads the record file (a Windows path); missing file: empty.
std::vector<Record> ReadRecords(const std::wstring& path);
// Waits up to `ms` until the record holds at least `count` messages.
std::vector<Record> WaitForRecords(const std::wstring& path, std::size_t count, DWORD ms);

// The texts the messenger's input box of `window` ("chat", "im") was given.
std::vector<std::string> TextsInto(const std::vector<Record>& records, const std::string& window);

// Reads the record as it grows. A long run records tens of thousands of
// messages: reading the whole file for every look would cost more with every
// message, so each look parses only the lines completed since the one before.
class RecordTail {
  public:
    RecordTail() = default;
    RecordTail(const RecordTail&) = delete;
    RecordTail& operator=(const RecordTail&) = delete;
    ~RecordTail();
    // Follows the record at `path` from its start.
    bool Open(const std::wstring& path);
    // Appends the messages recorded since the last call to `out`; returns how
    // many. A line still being written waits for the next call.
    std::size_t Poll(std::vector<Record>& out);
    // Polls (about every millisecond) until a new record satisfies `match`,
    // at most `ms`; every record read on the way is appended to `seen`.
    bool WaitFor(const std::function<bool(const Record&)>& match, DWORD ms,
                 std::vector<Record>& seen, Record* found = nullptr);

  private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string pending_;
};

// Flags of an expected message, as in Wine's message tests: one that may be
// missing, and parameters that are not compared (otherwise a message other
// than WM_SETTEXT must carry zero in both).
enum ExpectedFlags : unsigned { kOptional = 1, kAnyWParam = 2, kAnyLParam = 4 };

// One expected message. `text` is compared byte for byte when `message` is
// WM_SETTEXT and `text` is given; a null `window` ends an array.
struct Expected {
    const char* window;
    unsigned message;
    bool posted;
    const char* text;
    unsigned flags;
};
#define SETTEXT(win, txt) \
    { win, WM_SETTEXT, false, txt, 0 }
#define SENT(win, msg) \
    { win, msg, false, nullptr, 0 }
#define POSTED(win, msg) \
    { win, msg, true, nullptr, 0 }
#define END_SEQUENCE \
    { nullptr, 0, false, nullptr, 0 }

// Whether one recorded message is the expected one.
bool Matches(const Record& got, const Expected& want);
// Whether `got` is the `n` expected messages in order, those marked optional
// allowed to be missing.
bool SameSequence(const std::vector<Record>& got, const Expected* expected, std::size_t n);

// Compares `got` with the END_SEQUENCE-terminated `expected`; counts one
// check and dumps both sides when they differ.
#define ok_sequence(got, expected, context) \
    ::e2e::ok_sequence_(__FILE__, __LINE__, (got), (expected), (context))
bool ok_sequence_(const char* file, int line, const std::vector<Record>& got,
                  const Expected* expected, const char* context);

// The system-wide monotonic clock the stand-in stamps its records with.
double NowMs();

// ---- the stand-in -----------------------------------------------------------

// Starts the stand-in messenger with extra switches, recording into
// `recordPath` (in the work folder when empty), and waits for its windows.
class Standin {
  public:
    bool Start(const std::wstring& switches = L"");
    const std::wstring& RecordPath() const { return record_; }
    std::vector<Record> Records() const { return ReadRecords(record_); }
    std::vector<std::string> TextsInto(const std::string& window) const;
    Process& process() { return process_; }

  private:
    Process process_;
    std::wstring record_;
};

}  // namespace e2e
