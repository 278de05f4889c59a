// The smiley window in the notification area, driven with real input: the
// frame's minimise button hides it behind one icon with the tip " Pallimo ";
// a left click, a right click or a double click on the icon brings it back in
// front and removes the icon; the current choice survives; other pointer
// activity does nothing; a restarted taskbar gets the icon back; closing ends
// the program without leaving an icon behind, other windows included.
#include <windows.h>

#include <string>
#include <vector>

#include "app/tray_win.h"
#include "custom/custom_codes_window_ids.h"
#include "harness.h"
#include "info/info_ids.h"
#include "smileys_util.h"

namespace {

namespace ids = smiley_window_ids;

// Visible top-level windows of the process other than `except`, and any menu:
// what a click might have brought up.
std::vector<HWND> OtherShownWindows(DWORD pid, HWND except) {
    return e2e::TopLevels([&](HWND h) {
        return h != except && IsWindowVisible(h) &&
               (e2e::ProcessOf(h) == pid || e2e::ClassOf(h) == L"#32768");
    });
}

// Minimises with a real click on the frame's button; true once the window is
// hidden and exactly one icon shows.
bool Minimise(HWND main, const char* context) {
    e2e::Activate(main);
    if (!ok(smileys::ClickFrameButton(main, HTMINBUTTON), "%s: the frame has a minimise button",
            context))
        return false;
    const bool hidden = e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000);
    ok(hidden, "%s: minimising hides the window", context);
    ok(IsIconic(main) != FALSE, "%s: the hidden window is minimised", context);
    const bool one = smileys::WaitForTrayIcons(1);
    ok(one, "%s: one icon in the notification area (%u)", context,
       static_cast<unsigned>(smileys::TrayIcons().size()));
    return hidden && one;
}

POINT IconCentre() {
    const std::vector<smileys::Blob> icons = smileys::TrayIcons();
    POINT p = {0, 0};
    if (!icons.empty()) p = icons[0].centre;
    return p;
}

// After a click on the icon: the window is back, normal, in front, and the icon gone.
void CheckRestored(HWND main, const char* context) {
    ok(e2e::WaitUntil([&] { return e2e::IsShown(main); }, 5000), "%s: the window is shown again",
       context);
    ok(!IsIconic(main), "%s: in its normal state", context);
    ok(e2e::WaitUntil([&] { return GetForegroundWindow() == main; }, 5000),
       "%s: in front of the other windows", context);
    ok(smileys::WaitForTrayIcons(0), "%s: the icon is gone (%u left)", context,
       static_cast<unsigned>(smileys::TrayIcons().size()));
}

// The choice made before minimising is there after restoring, and the next face uses it.
void CheckChoiceSurvives(HWND main, const e2e::Standin& standin) {
    e2e::Click(e2e::Child(main, smileys::StyleId("Option22")));  // "Frog"
    e2e::Click(e2e::Child(main, ids::kFirstFace + 7));           // ";-)"
    std::vector<e2e::Record> records = e2e::WaitForRecords(standin.RecordPath(), 1, 10000);
    const std::wstring text1 = e2e::TextOf(e2e::Child(main, ids::kCodeBox));
    const std::wstring text2 = e2e::TextOf(e2e::Child(main, ids::kTagTailBox));
    ok(text1 == smileys::QuotedCodeOf("Option22") && text2 == L">;-)</font>",
       "the choice is made: %s %s", e2e::AnsiBytes(text1).c_str(), e2e::AnsiBytes(text2).c_str());

    if (!Minimise(main, "with a choice made")) return;
    e2e::ClickAt(IconCentre().x, IconCentre().y);
    CheckRestored(main, "left click");
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == text1,
       "Text1 survives minimise and restore");
    ok(e2e::TextOf(e2e::Child(main, ids::kTagTailBox)) == text2,
       "Text2 survives minimise and restore");

    const std::size_t before = standin.TextsInto("im").size();
    e2e::Click(e2e::Child(main, ids::kFirstFace + 15));  // ":)"
    std::vector<std::string> got;
    e2e::WaitUntil([&] { return (got = standin.TextsInto("im")).size() > before; }, 10000);
    ok(got.size() == before + 1 && got.back() == "<font sml=\"AgHSE5E=\">:)</font>",
       "a face after restoring sends the style chosen before: \"%s\"",
       got.empty() ? "" : got.back().c_str());
}

void CheckTip() {
    const POINT p = IconCentre();
    const std::wstring tip = smileys::HoverHint(p.x, p.y, 0);
    ok(tip == L" Pallimo ", "the icon's tip is \" Pallimo \": \"%s\"", e2e::AnsiBytes(tip).c_str());
}

// Only a release of either button, or a double click, restores the window;
// other notifications and real pointer moves leave it in the tray.
void CheckOtherActivityIgnored(HWND main) {
    const WPARAM id = tray::kIconId;
    PostMessageW(main, tray::kNotifyMessage, id, WM_MOUSEMOVE);
    PostMessageW(main, tray::kNotifyMessage, id, WM_LBUTTONDOWN);
    PostMessageW(main, tray::kNotifyMessage, id, WM_RBUTTONDOWN);
    PostMessageW(main, tray::kNotifyMessage, id, WM_MBUTTONUP);
    // A pointer move whose X is the number of a button release.
    for (int x : {514, 515, 517}) PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5));
    // Posted messages are handled in order: once "Red" is chosen, the above were handled.
    const int red = smileys::StyleId("op2");
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(red, BN_CLICKED),
                 reinterpret_cast<LPARAM>(e2e::Child(main, red)));
    ok(e2e::WaitUntil(
           [&] {
               return e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == smileys::QuotedCodeOf("op2");
           },
           5000),
       "the window handled the notifications");
    ok(!IsWindowVisible(main) && IsIconic(main),
       "pointer activity other than a release leaves the window in the tray");
    ok(smileys::TrayIcons().size() == 1, "and its icon in place");
}

// A taskbar that starts afresh has forgotten the icon: the window adds it again.
void CheckTaskbarRestart(HWND main) {
    NOTIFYICONDATAA forget = {};
    forget.cbSize = NOTIFYICONDATAA_V1_SIZE;
    forget.hWnd = main;
    forget.uID = tray::kIconId;
    Shell_NotifyIconA(NIM_DELETE, &forget);
    ok(smileys::WaitForTrayIcons(0), "the taskbar has forgotten the icon");
    PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ok(smileys::WaitForTrayIcons(1), "the restarted taskbar gets the icon back (%u)",
       static_cast<unsigned>(smileys::TrayIcons().size()));
}

// Holds or frees an icon with the window's own id, as a shell does that took
// an add whose answer came too late.
bool TakeIconPlace(HWND main, DWORD message) {
    NOTIFYICONDATAA taken = {};
    taken.cbSize = NOTIFYICONDATAA_V1_SIZE;
    taken.hWnd = main;
    taken.uID = tray::kIconId;
    return Shell_NotifyIconA(message, &taken) != FALSE;
}

// A shell of another make in front of the taskbar: Shell_NotifyIcon hands
// every request to the first window of the class "Shell_TrayWnd", and this
// one answers each with failure. kSlow is busy with the first request only:
// it passes it on to the taskbar and answers failure after more than a
// second, like a busy shell whose answer comes after the caller gave up (the
// icon is there, and the call failed), and answers later ones as the taskbar
// does.
class RefusingShell {
  public:
    enum Mode { kRefuse, kSlow };
    explicit RefusingShell(Mode mode) : mode_(mode) {
        ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        answered_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &RefusingShell::Run, this, 0, nullptr);
        WaitForSingleObject(ready_, 5000);
    }
    ~RefusingShell() {
        if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(answered_);
    }
    // True when Shell_NotifyIcon would reach this shell first.
    bool InFront() const {
        return window_ != nullptr && FindWindowW(L"Shell_TrayWnd", nullptr) == window_;
    }
    LONG Requests() const { return requests_; }
    // True once the first request has been answered, within `ms`.
    bool FirstAnswered(DWORD ms) const { return WaitForSingleObject(answered_, ms) == 0; }

  private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        auto* shell = reinterpret_cast<RefusingShell*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (msg == WM_COPYDATA && shell != nullptr) {
            const bool first = InterlockedIncrement(&shell->requests_) == 1;
            LRESULT answer = FALSE;
            if (shell->mode_ == kSlow) {
                answer = SendMessageW(smileys::Taskbar(), WM_COPYDATA, wp, lp);
                if (first) {
                    Sleep(1200);
                    answer = FALSE;
                }
            }
            if (first) SetEvent(shell->answered_);
            return answer;
        }
        if (msg == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(h, msg, wp, lp);
    }
    static DWORD WINAPI Run(void* self) {
        auto* shell = static_cast<RefusingShell*>(self);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &RefusingShell::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&wc);  // already there from an earlier shell is fine
        shell->window_ =
            CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", nullptr, WS_POPUP,
                            0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        if (shell->window_ != nullptr)
            SetWindowLongPtrW(shell->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shell));
        SetEvent(shell->ready_);
        MSG m;
        while (shell->window_ != nullptr && GetMessageW(&m, nullptr, 0, 0) > 0)
            DispatchMessageW(&m);
        return 0;
    }
    Mode mode_;
    volatile LONG requests_ = 0;
    HANDLE ready_ = nullptr;
    HANDLE answered_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

// Minimises with the system command, as the taskbar does; true once minimised.
bool MinimiseBySystem(HWND main, const char* context) {
    e2e::Activate(main);
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return ok(e2e::WaitUntil([&] { return IsIconic(main) != FALSE; }, 5000), "%s: minimised",
              context);
}

// An icon with the window's id is in the notification area already (the
// shell took an earlier add it reported as failed): the add is refused as a
// second one, and the window takes that icon as its own and goes to the tray.
void CheckIconAlreadyThere(HWND main) {
    if (!ok(TakeIconPlace(main, NIM_ADD), "an icon with the window's id is there already")) return;
    MinimiseBySystem(main, "icon there already");
    ok(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 3000),
       "with its icon there already, the window goes to the tray");
    ok(smileys::WaitForTrayIcons(1), "that icon shows the program's face");
    const POINT p = IconCentre();
    e2e::ClickAt(p.x, p.y);
    CheckRestored(main, "from an icon that was there already");
    if (TakeIconPlace(main, NIM_DELETE) || IsIconic(main)) {  // left behind: clear up
        PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
        e2e::WaitUntil([&] { return e2e::IsShown(main) && !IsIconic(main); }, 5000);
    }
}

// The notification area can refuse the icon. The window stays minimised on the
// taskbar rather than vanishing, and is asked once more about a second later.
void CheckRefusedIcon(HWND main) {
    double minimised = 0;
    {
        RefusingShell shell(RefusingShell::kRefuse);
        if (!ok(shell.InFront(), "a shell that refuses icons stands in front of the taskbar"))
            return;
        MinimiseBySystem(main, "refused");
        minimised = e2e::NowMs();
        ok(!e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 400),
           "a refused icon leaves the window on the taskbar");
        ok(smileys::TrayIcons().empty(), "without an icon");
    }  // gone: the taskbar takes icons again
    ok(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 3000),
       "the second try, once the taskbar takes the icon, hides the window");
    e2e::Trace("the window went to the tray %.0f ms after it was minimised",
               e2e::NowMs() - minimised);
    ok(smileys::WaitForTrayIcons(1) && smileys::IconKept(main), "its icon is there");
    const POINT p = IconCentre();
    e2e::ClickAt(p.x, p.y);
    CheckRestored(main, "after a second try");

    // Restored before the second try, and refused twice with the icon coming
    // late: the rules' tables (tray_parking_test) hold what the window does.

    // A shell that adds the icon but is busy for more than a second before it
    // answers failure: the window asks nothing more at once (a busy shell
    // would keep it waiting again); a second later it finds the icon that
    // came late and goes to the tray.
    {
        RefusingShell shell(RefusingShell::kSlow);
        MinimiseBySystem(main, "refused slowly");
        ok(shell.FirstAnswered(5000), "the busy shell answered the add");
        const bool more = e2e::WaitUntil([&] { return shell.Requests() > 1; }, 500);
        ok(!more, "after a slow refusal the shell is asked nothing more at once (%ld requests)",
           shell.Requests());
        ok(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 3000),
           "the second try finds the icon that came late and hides the window");
        ok(shell.Requests() == 2, "the second try asks once (%ld requests in all)",
           shell.Requests());
    }
    ok(smileys::WaitForTrayIcons(1) && smileys::IconKept(main),
       "the icon that came late is its own");
    const POINT late = IconCentre();
    e2e::ClickAt(late.x, late.y);
    CheckRestored(main, "after a slow refusal");
}

// Closing the smiley window while the custom codes window and the About window
// are open ends the program with every window.
void CheckCloseWithOtherWindows() {
    e2e::Process pallimo;
    HWND main = e2e::StartPallimo(pallimo).main;
    if (!ok(main != nullptr, "Pallimo starts again")) return;
    HWND form4 = e2e::OpenCustomCodes(main, pallimo.Id());
    if (form4 == nullptr) {
        e2e::Trace("no custom codes window: closing with other windows open is not checked");
        return;
    }
    ok(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000),
       "\"Extra\" hides the smiley window");
    ok(smileys::TrayIcons().empty(), "without an icon in the notification area");
    PostMessageW(form4, WM_COMMAND, custom_codes_window_ids::kHelpAboutItem, 0);
    HWND about = e2e::WaitForWindow(about_window_ids::kClass, nullptr, pallimo.Id(), 5000);
    ok(about != nullptr, "the About window opens");
    PostMessageW(form4, WM_CLOSE, 0, 0);
    ok(e2e::WaitUntil([&] { return e2e::IsShown(main); }, 5000),
       "closing the custom codes window shows the smiley window");
    if (!e2e::IsShown(main)) return;
    e2e::Activate(main);
    smileys::ClickFrameButton(main, HTCLOSE);
    ok(pallimo.Wait(10000), "closing the smiley window ends the program, the About window open");
    ok(pallimo.ExitCode() == 0, "with exit code 0 (%lu)", pallimo.ExitCode());
    ok(!smileys::IconKept(main) && smileys::TrayIcons().empty(), "no icon is left behind");
}

// A shortcut set to "Maximized" or "Minimized" starts the program that way
// (here through start /max and /min). Maximised, the fixed window shows at its
// size and place, as it does for a later request to maximise; minimised, it
// goes to the notification area.
HWND StartedAs(e2e::Process& start, const wchar_t* option) {
    // Unquoted: start takes a quoted first word for a title.
    if (!start.Start(L"start.exe", std::wstring(L"/wait ") + option + L" " + e2e::PallimoExe(), L"",
                     false))
        return nullptr;
    HWND main = nullptr;
    e2e::WaitUntil(
        [&] { return (main = e2e::FindTopLevel(ids::kClass, L"Smileys", 0)) != nullptr; }, 20000);
    return main;
}

bool AtFixedPlace(HWND main, const RECT& normal) {
    const RECT got = e2e::ScreenRect(main);
    return e2e::IsShown(main) && !IsZoomed(main) && EqualRect(&got, &normal);
}

void CheckShowRequests(const RECT& normal) {
    e2e::Process start;
    HWND main = StartedAs(start, L"/max");
    if (ok(main != nullptr, "started maximised, the window is made")) {
        const bool fixed = e2e::WaitUntil([&] { return AtFixedPlace(main, normal); }, 5000);
        const RECT got = e2e::ScreenRect(main);
        ok(fixed,
           "started maximised, the window shows at its fixed size and place: "
           "(%ld,%ld)-(%ld,%ld), zoomed %d, visible %d",
           got.left, got.top, got.right, got.bottom, IsZoomed(main), IsWindowVisible(main));
        ShowWindow(main, SW_MAXIMIZE);
        ok(e2e::WaitUntil([&] { return AtFixedPlace(main, normal); }, 5000),
           "a request to maximise keeps the fixed size and place (zoomed %d)", IsZoomed(main));
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    ok(start.Wait(10000), "the program started maximised ends on close");

    e2e::Process startMin;
    main = StartedAs(startMin, L"/min");
    if (ok(main != nullptr, "started minimised, the window is made")) {
        ok(e2e::WaitUntil([&] { return IsIconic(main) && !IsWindowVisible(main); }, 5000),
           "started minimised, the window is in the tray (minimised %d, visible %d)",
           IsIconic(main), IsWindowVisible(main));
        ok(smileys::WaitForTrayIcons(1), "with its icon");
        const POINT p = IconCentre();
        e2e::ClickAt(p.x, p.y);
        CheckRestored(main, "started minimised");
        ok(AtFixedPlace(main, normal), "restored at its fixed size and place");
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    ok(startMin.Wait(10000), "the program started minimised ends on close");
}

}  // namespace

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    HWND main = e2e::StartPallimo(pallimo).main;
    if (!ok(main != nullptr, "the smiley window shows")) return e2e::Finish();
    ok(smileys::TrayIcons().empty(), "no icon while the window is shown (%u)",
       static_cast<unsigned>(smileys::TrayIcons().size()));
    const RECT normal = e2e::ScreenRect(main);

    CheckChoiceSurvives(main, standin);

    if (Minimise(main, "before the tip")) {
        // The notification area shows the small image as drawn, not the large one shrunk.
        const std::string shape = smileys::TrayIconShape();
        const std::string want = smileys::IconImageShape(GetSystemMetrics(SM_CXSMICON));
        ok(!want.empty() && shape == want, "the icon shows the small image:\n%s\nwant:\n%s",
           shape.c_str(), want.c_str());
        CheckTip();
        const POINT p = IconCentre();
        e2e::ClickAt(p.x, p.y, true);
        CheckRestored(main, "right click");
        ok(OtherShownWindows(pallimo.Id(), main).empty(), "the right button brings up no menu");
    }

    if (Minimise(main, "before the double click")) {
        const POINT p = IconCentre();
        e2e::DoubleClickAt(p.x, p.y);
        CheckRestored(main, "double click");
    }

    for (int i = 1; i <= 3; ++i) {
        char context[32];
        wsprintfA(context, "cycle %d", i);
        if (!Minimise(main, context)) break;
        const POINT p = IconCentre();
        e2e::ClickAt(p.x, p.y);
        CheckRestored(main, context);
    }

    CheckIconAlreadyThere(main);
    CheckRefusedIcon(main);

    if (Minimise(main, "before other activity")) {
        ok(smileys::IconKept(main), "the taskbar keeps the icon of the window in the tray");
        CheckOtherActivityIgnored(main);
        CheckTaskbarRestart(main);
        // Closed while in the tray (as a session end or a task manager does).
        PostMessageW(main, WM_CLOSE, 0, 0);
        ok(pallimo.Wait(10000), "closing the window in the tray ends the program");
        ok(!smileys::IconKept(main), "and takes its icon away");
        ok(smileys::WaitForTrayIcons(0), "the notification area is empty");
    }

    CheckCloseWithOtherWindows();
    CheckShowRequests(normal);
    return e2e::Finish();
}
