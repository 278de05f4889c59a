// Smileys as the messenger receives them: "Command3" before any face sends the
// bare start code; choosing "Frog" and clicking the wink face with the mouse
// sends the whole tag, and so do Space and Enter on a face reached with the
// keyboard and "Send" in a face's popup menu. Each is one set-text sent to the
// instant message's input box with the exact bytes, then a press and a
// release posted to its Send button, and nothing else. The menu's "Send to
// chat room" sends into the chat room; its "Copy" and Esc send nothing.
#include <windows.h>

#include "delivery_util.h"
#include "harness.h"

namespace ids = smiley_window_ids;

namespace {

// The first shown window of `pid` of this class and, if given, this text.
HWND Shown(DWORD pid, const wchar_t* cls, const wchar_t* text = nullptr) {
    const std::vector<HWND> found = e2e::TopLevels([&](HWND w) {
        return IsWindowVisible(w) && e2e::ClassOf(w) == cls && e2e::ProcessOf(w) == pid &&
               (text == nullptr || e2e::TextOf(w) == text);
    });
    return found.empty() ? nullptr : found[0];
}

// Where the popup menu of `pid` stands once one is open; empty if none opened within `ms`.
RECT MenuRect(DWORD pid, DWORD ms = 3000) {
    RECT r = {};
    e2e::WaitUntil([&] { return Shown(pid, L"#32768") != nullptr; }, ms);
    if (HWND menu = Shown(pid, L"#32768")) r = e2e::ScreenRect(menu);
    return r;
}

void RightClick(HWND control) {
    const RECT r = e2e::ScreenRect(control);
    e2e::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, true);
}

// The clipboard's text in `format` (CF_TEXT or CF_UNICODETEXT) as bytes, or "<none>".
std::string ClipboardBytes(UINT format) {
    std::string bytes = "<none>";
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE h = GetClipboardData(format);
    if (const char* at = h != nullptr ? static_cast<const char*>(GlobalLock(h)) : nullptr) {
        bytes = format == CF_TEXT ? std::string(at)
                                  : std::string(at, 2 * static_cast<std::size_t>(lstrlenW(
                                                            reinterpret_cast<const wchar_t*>(at))));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return bytes;
}

}  // namespace

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    HWND main = started.main;
    if (!ok(main != nullptr, "the smiley window shows")) return e2e::Finish();
    ok(e2e::WaitForRecords(standin.RecordPath(), 6, 10000).size() == 6, "the announcement arrived");
    HWND im = deliveries::StandinWindow(standin, L"AIM_IMessage");

    // Command3 lies below the visible client area: press it as a program would.
    PostMessageW(e2e::Child(main, ids::kSendButton), BM_CLICK, 0, 0);
    ok(e2e::WaitForRecords(standin.RecordPath(), 9, 10000).size() == 9, "Command3 sends something");
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == catalogue::StartCode(),
       "Command3 leaves Text1 alone");
    ok(e2e::TextOf(e2e::Child(main, ids::kTagTailBox)).empty(), "Command3 leaves Text2 empty");

    e2e::Activate(main);
    ok(deliveries::ChooseStyle(main, L"Frog"), "a click on \"Frog\" chooses its code");
    e2e::Click(e2e::Child(main, deliveries::FaceId(L";-)")));
    ok(e2e::WaitForRecords(standin.RecordPath(), 12, 10000).size() == 12,
       "the wink face sends something");
    // Each press and release reached Send as one click: both messages went out.
    const std::wstring sent = L"Pallimo: <font sml=\"AgHSBfc=\"\r\nPallimo: [Frog] ;-)";
    ok(e2e::WaitUntil([&] { return deliveries::Transcript(im) == sent; }, 5000),
       "the messenger sent the bare code and the Frog wink: \"%s\"",
       e2e::AnsiBytes(deliveries::Transcript(im)).c_str());

    // Shift+Tab from "Frog" reaches the faces on Image1; Right moves to Image6,
    // whose hint covers part of Image5 below it and lets a click through.
    const DWORD pid = pallimo.Id();
    e2e::PressKey(VK_TAB, VK_SHIFT);
    e2e::PressKey(VK_RIGHT);
    HWND image6 = e2e::Child(main, deliveries::FaceId(L":-["));
    e2e::WaitUntil([&] { return Shown(pid, L"tooltips_class32", L":-[") != nullptr; }, 3000);
    const RECT hint = e2e::ScreenRect(Shown(pid, L"tooltips_class32", L":-["));
    const RECT image5 = e2e::ScreenRect(e2e::Child(main, deliveries::FaceId(L":-X")));
    RECT covered = {};
    ok(IntersectRect(&covered, &hint, &image5) != FALSE, "Image6's hint covers part of Image5");
    e2e::ClickAt((covered.left + covered.right) / 2, (covered.top + covered.bottom) / 2);
    e2e::PressKey(VK_SPACE);
    e2e::PressKey(VK_RETURN);
    ok(e2e::WaitUntil(
           [&] { return e2e::TextOf(e2e::Child(main, ids::kTagTailBox)) == L">:-[</font>"; }, 5000),
       "Space and Enter set Text2 as a click does");
    RECT image6At = e2e::ScreenRect(image6), menu = {};
    e2e::PressKey(VK_F10, VK_SHIFT);
    menu = MenuRect(pid);
    ok(menu.left == image6At.left && menu.top == image6At.bottom,
       "Shift+F10 opens the face's menu below it (%ld,%ld)", menu.left, menu.top);
    e2e::PressKey(VK_ESCAPE);
    ok(e2e::WaitUntil([&] { return Shown(pid, L"#32768") == nullptr; }, 3000), "Esc closes it");
    e2e::PressKey(VK_APPS);
    menu = MenuRect(pid);
    ok(menu.left == image6At.left && menu.top == image6At.bottom, "so does the menu key");
    e2e::PressKey('H');  // "Send to c&hat room"

    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    HWND image1 = e2e::Child(main, deliveries::FaceId(L":-D"));
    RightClick(image1);
    ok(!IsRectEmpty(&(menu = MenuRect(pid))), "a right click on a face opens its menu");
    e2e::PressKey('C');
    const std::wstring frogGrin = catalogue::SmileyTag(
        catalogue::QuotedCode(
            catalogue::kStyles[deliveries::StyleId(L"Frog") - ids::kFirstStyle].code),
        catalogue::TagTail(L":-D"));
    const std::string unicode(reinterpret_cast<const char*>(frogGrin.c_str()), frogGrin.size() * 2);
    ok(e2e::WaitUntil([&] { return ClipboardBytes(CF_UNICODETEXT) == unicode; }, 5000) &&
           ClipboardBytes(CF_TEXT) == e2e::AnsiBytes(frogGrin),
       "\"Copy\" puts the tag on the clipboard as text: \"%s\"", ClipboardBytes(CF_TEXT).c_str());
    RightClick(image1);
    e2e::PressKey('S');
    RightClick(e2e::Child(main, deliveries::StyleId(L"Frog")));
    ok(IsRectEmpty(&(menu = MenuRect(pid, 1000))) != FALSE,
       "a right click elsewhere opens no menu");

    static const e2e::Expected kSmileys[] = {
        SETTEXT("im.input", "<font sml=\"AgHSBfc=\""),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">;-)</font>"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">:-X</font>"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">:-[</font>"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">:-[</font>"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("chat.input", "<font sml=\"AgHSE5E=\">:-[</font>"),
        SENT("chat.send", WM_LBUTTONDOWN),
        SENT("chat.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">:-D</font>"),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        END_SEQUENCE,
    };
    const std::vector<e2e::Record> all = deliveries::FinalRecords(standin, pallimo, main);
    ok_sequence(deliveries::From(all, 6), kSmileys,
                "Command3, Frog and the wink face, Image5 through the hint, Image6 by Space and "
                "Enter, Image6 to the chat room, Image1 by its menu");
    return e2e::Finish();
}
