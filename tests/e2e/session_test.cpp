// One Pallimo per session, the hotkey chosen in the smiley window's window
// menu, and the style and place remembered from one run to the next, driven
// with real keys and clicks: a second start brings the first one's window
// out of the notification area and announces nothing; the hotkey brings the
// window up with the keyboard on a face and Esc puts it back; a key another
// program holds is refused; Frog and the window's place survive a restart,
// and a garbled settings file gives the defaults.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/hotkey_window_ids.h"
#include "harness.h"
#include "smileys_util.h"

namespace {

namespace ids = smiley_window_ids;

const char kLoaded[] = " --^V- Pallimo Loaded -V^-- ";
const char kCodedBy[] = " --^V- Coded By: Tarrow -V^-- ";

std::string FileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The frame's minimise button, then the window hidden behind one icon.
bool MinimiseToTray(HWND main) {
    e2e::Activate(main);
    return smileys::ClickFrameButton(main, HTMINBUTTON) &&
           e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000) &&
           smileys::WaitForTrayIcons(1);
}

bool InFront(HWND window) {
    return e2e::WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

// Ends Pallimo as its close box does and waits for the process.
bool Close(e2e::Process& pallimo, HWND main) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    return pallimo.Wait(10000);
}

void CheckSecondStart(e2e::Standin& standin) {
    e2e::Process first;
    const e2e::Started started = e2e::StartPallimo(first, &standin, 30000, true);
    HWND main = started.main;
    if (!ok(main != nullptr && MinimiseToTray(main), "the first Pallimo is in the tray")) return;
    e2e::Process second;
    ok(second.Start(e2e::PallimoExe(), L"", L"", false) && second.Wait(15000) &&
           second.ExitCode() == 0,
       "a second start ends with exit code 0 (%lu)", second.ExitCode());
    ok(e2e::WaitUntil([&] { return e2e::IsShown(main) && !IsIconic(main); }, 5000),
       "the first one's window is restored");
    ok(InFront(main), "and in front");
    ok(smileys::WaitForTrayIcons(0), "its icon is gone");
    ok(first.Running() && e2e::TopLevels(ids::kClass, second.Id()).empty(), "one Pallimo is left");
    const std::vector<std::string> chat = standin.TextsInto("chat");
    ok(chat == std::vector<std::string>({kLoaded, kCodedBy}),
       "the chat room got one announcement (%u lines)", static_cast<unsigned>(chat.size()));

    // With the custom codes window standing in the smiley window's stead,
    // that one comes forward, and the smiley window stays hidden.
    HWND form = e2e::OpenCustomCodes(main, first.Id());
    e2e::Process another;
    ok(form != nullptr && another.Start(e2e::PallimoExe(), L"", L"", false) &&
           another.Wait(15000) && another.ExitCode() == 0 && InFront(form) &&
           !IsWindowVisible(main),
       "a second start brings the custom codes window forward");
    PostMessageW(form, WM_CLOSE, 0, 0);
    ok(e2e::WaitUntil([&] { return e2e::IsShown(main); }, 5000),
       "closed, it shows the smiley window");

    // A second start while the first is in its announcement's wait waits for
    // its window.
    ok(Close(first, main), "the first Pallimo ends");
    e2e::Process third, fourth;
    third.Start(e2e::PallimoExe(), L"", L"", false);
    ok(fourth.Start(e2e::PallimoExe(), L"", L"", false) && fourth.Wait(15000) &&
           fourth.ExitCode() == 0,
       "a start during another's start-up ends with exit code 0");
    HWND next = e2e::WaitForWindow(ids::kClass, L"Smileys", third.Id(), 10000);
    ok(next != nullptr && InFront(next), "the starting one's window comes up in front");
    ok(e2e::WaitUntil([&] { return standin.TextsInto("chat").size() >= 4; }, 5000) &&
           standin.TextsInto("chat").size() == 4,
       "and only it announced (%u lines)", static_cast<unsigned>(standin.TextsInto("chat").size()));
    Close(third, next);
}

// The window menu's "Hotkey..." with the keyboard: Alt+Space, H.
HWND OpenHotkeyWindow(HWND main, DWORD pid) {
    e2e::Activate(main);
    e2e::PressKey(VK_SPACE, VK_MENU);
    e2e::WaitUntil(
        [] {
            return !e2e::TopLevels([](HWND h) {
                        return IsWindowVisible(h) && e2e::ClassOf(h) == L"#32768";
                    }).empty();
        },
        3000);
    e2e::PressKey('H');
    HWND window = e2e::WaitForWindow(hotkey_window_ids::kClass, L"Hotkey", pid, 5000);
    return window != nullptr && e2e::IsShown(window) ? window : nullptr;
}

bool KeyHintShown(DWORD pid) {
    return e2e::WaitUntil(
        [&] {
            return !e2e::TopLevels([&](HWND h) {
                        return e2e::ProcessOf(h) == pid && IsWindowVisible(h) &&
                               e2e::ClassOf(h) == L"tooltips_class32";
                    }).empty();
        },
        3000);
}

void CheckHotkey(e2e::Standin& standin, HWND main, DWORD pid) {
    HWND window = OpenHotkeyWindow(main, pid);
    if (!ok(window != nullptr, "the window menu opens the hotkey window")) return;
    ok(!IsWindowEnabled(main), "the smiley window waits for it");
    HWND box = e2e::Child(window, hotkey_window_ids::kKeyBox);
    e2e::PressKey('P');
    ok(SendMessageW(box, HKM_GETHOTKEY, 0, 0) == MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_SHIFT),
       "a key alone becomes Ctrl+Shift and the key");
    e2e::PressKey(VK_RETURN);
    ok(e2e::WaitUntil([&] { return !IsWindow(window); }, 5000) && IsWindowEnabled(main),
       "Enter takes it and closes the window");
    ok(e2e::WaitUntil(
           [&] { return FileBytes(e2e::SettingsFile()).find("HotkeyKey=80") != std::string::npos; },
           5000),
       "the hotkey is kept in the settings file");

    // Taken by another program: refused, the old one stays.
    ok(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_SHIFT, 'Q') != FALSE,
       "the test takes Ctrl+Shift+Q");
    window = OpenHotkeyWindow(main, pid);
    HWND box2 = e2e::Child(window, hotkey_window_ids::kKeyBox);
    ok(e2e::TextOf(e2e::Child(window, hotkey_window_ids::kPrompt)) ==
           L"Press the keys that bring Pallimo up:",
       "with its hotkey working, the window asks for keys");
    e2e::PressKey('Q');
    e2e::PressKey(VK_RETURN);
    ok(e2e::WaitUntil([&] { return e2e::FindTopLevel(L"#32770", L"Pallimo", pid) != nullptr; },
                      5000),
       "keys another program holds are refused with a message");
    e2e::PressKey(VK_RETURN);
    ok(window != nullptr && IsWindow(window), "the hotkey window stays for another choice");
    // Its own keys, given back while the window asks, can be typed again.
    e2e::PressKey('P', VK_CONTROL, VK_SHIFT);
    ok(SendMessageW(box2, HKM_GETHOTKEY, 0, 0) == MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_SHIFT),
       "the hotkey's own keys can be typed in the box");
    e2e::PressKey(VK_ESCAPE);
    ok(e2e::WaitUntil([&] { return !IsWindow(window); }, 5000), "Esc closes it");
    UnregisterHotKey(nullptr, 7);

    // From behind the messenger: up in front, the keyboard on the face, then back.
    HWND im = e2e::FindTopLevel(L"AIM_IMessage", nullptr, standin.process().Id());
    struct Case {
        const char* name;
        bool tray;
    };
    for (const Case& c : {Case{"from behind the messenger", false}, Case{"from the tray", true}}) {
        e2e::Activate(im);
        if (c.tray && !ok(MinimiseToTray(main), "%s: in the tray", c.name)) continue;
        if (c.tray) e2e::Activate(im);
        e2e::PressKey('P', VK_CONTROL, VK_SHIFT);
        ok(InFront(main) && e2e::IsShown(main) && !IsIconic(main), "%s: the hotkey brings it up",
           c.name);
        ok(e2e::FocusOf(main) == e2e::Child(main, ids::FaceId(0)) && KeyHintShown(pid),
           "%s: with the keyboard on the face and its hint", c.name);
        if (c.tray) ok(smileys::WaitForTrayIcons(0), "%s: the icon goes", c.name);
        e2e::PressKey(VK_ESCAPE);
        ok(InFront(im), "%s: Esc gives the messenger the foreground back", c.name);
        if (c.tray)
            ok(e2e::WaitUntil([&] { return !IsWindowVisible(main); }, 5000) &&
                   smileys::WaitForTrayIcons(1),
               "%s: and the window goes back to the tray", c.name);
        else
            ok(e2e::IsShown(main) && !IsIconic(main), "%s: and the window stays behind", c.name);
    }
    e2e::PressKey('P', VK_CONTROL, VK_SHIFT);
    ok(InFront(main), "the hotkey brings it up again");
    e2e::PressKey('P', VK_CONTROL, VK_SHIFT);
    ok(InFront(im), "and, pressed again while it is in front, puts it back");
}

void CheckRemembered(e2e::Standin& standin) {
    const int frog = smileys::StyleId("Option22");
    e2e::Process pallimo;
    HWND main = e2e::StartPallimo(pallimo, &standin, 30000, true).main;
    if (!ok(main != nullptr, "Pallimo starts")) return;
    const RECT fixed = e2e::ScreenRect(main);
    CheckHotkey(standin, main, pallimo.Id());
    // Put back into the tray last: the hotkey brings it up once more.
    e2e::PressKey('P', VK_CONTROL, VK_SHIFT);
    ok(InFront(main) && e2e::IsShown(main), "the hotkey brings the window out of the tray");
    e2e::Click(e2e::Child(main, frog));
    SetWindowPos(main, nullptr, fixed.left + 40, fixed.top + 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT moved = e2e::ScreenRect(main);
    ok(Close(pallimo, main), "Pallimo ends");

    e2e::Process again;
    main = e2e::StartPallimo(again, &standin, 30000, true).main;
    if (!ok(main != nullptr, "Pallimo starts again")) return;
    ok(smileys::CheckedStyles(main) == std::vector<int>({frog}), "Frog is chosen again");
    const RECT at = e2e::ScreenRect(main);
    ok(at.left == moved.left && at.top == moved.top, "the window is where it was left (%ld,%ld)",
       at.left, at.top);
    const std::size_t before = standin.TextsInto("im").size();
    e2e::Click(e2e::Child(main, ids::FaceId(0)));
    ok(e2e::WaitUntil([&] { return standin.TextsInto("im").size() > before; }, 5000) &&
           standin.TextsInto("im").back() ==
               e2e::AnsiBytes(
                   catalogue::SmileyTag(smileys::QuotedCodeOf("Option22"),
                                        catalogue::TagTail(catalogue::kFaces[0].emoticon))),
       "the first face click sends Frog's tag");
    ok(RegisterHotKey(nullptr, 8, MOD_CONTROL | MOD_SHIFT, 'P') == FALSE,
       "the hotkey is Pallimo's again");
    UnregisterHotKey(nullptr, 8);
    // Backspace in the key box: no hotkey.
    HWND window = OpenHotkeyWindow(main, again.Id());
    e2e::PressKey(VK_BACK);
    e2e::PressKey(VK_RETURN);
    ok(window != nullptr && e2e::WaitUntil([&] { return !IsWindow(window); }, 5000) &&
           RegisterHotKey(nullptr, 8, MOD_CONTROL | MOD_SHIFT, 'P') != FALSE,
       "no keys given back the hotkey");
    UnregisterHotKey(nullptr, 8);
    ok(Close(again, main), "Pallimo ends again");

    // A garbled file: the defaults.
    std::string garbage(64 * 1024, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream(e2e::SettingsFile().c_str(), std::ios::binary) << garbage;
    e2e::Process garbled;
    main = e2e::StartPallimo(garbled, &standin, 30000, true).main;
    if (!ok(main != nullptr, "Pallimo starts with a garbled settings file")) return;
    ok(smileys::CheckedStyles(main) == std::vector<int>({smileys::StyleId("op1")}),
       "the first style is chosen");
    const RECT plain = e2e::ScreenRect(main);
    ok(plain.left == fixed.left && plain.top == fixed.top, "the window stands at its fixed place");
    Close(garbled, main);

    // A place off every screen spoils only the place.
    std::ofstream(e2e::SettingsFile().c_str(), std::ios::binary)
        << "[Pallimo]\r\nStyle=Frog\r\nWindowLeft=30000\r\nWindowTop=-30000\r\n";
    e2e::Process offScreen;
    main = e2e::StartPallimo(offScreen, &standin, 30000, true).main;
    if (!ok(main != nullptr, "Pallimo starts with a place off every screen")) return;
    const RECT back = e2e::ScreenRect(main);
    ok(smileys::CheckedStyles(main) == std::vector<int>({frog}) && back.left == fixed.left &&
           back.top == fixed.top,
       "Frog is chosen, at the fixed place (%ld,%ld)", back.left, back.top);
    Close(offScreen, main);
}

}  // namespace

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in starts")) return e2e::Finish();
    CheckSecondStart(standin);
    CheckRemembered(standin);
    return e2e::Finish();
}
