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

// Waits up to `ms` for a popup menu of `pid` to be open (or, `open` false, closed).
bool MenuOpen(DWORD pid, bool open = true, DWORD ms = 3000) {
    return e2e::WaitUntil(
        [&] {
            return open == !e2e::TopLevels([&](HWND w) {
                                return IsWindowVisible(w) && e2e::ClassOf(w) == L"#32768" &&
                                       e2e::ProcessOf(w) == pid;
                            }).empty();
        },
        ms);
}

void RightClick(HWND control) {
    const RECT r = e2e::ScreenRect(control);
    e2e::ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, true);
}

// The clipboard's bytes in `format` up to the terminating zero, or "<none>".
std::string ClipboardBytes(UINT format, std::size_t unit) {
    std::string bytes = "<none>";
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE h = GetClipboardData(format)) {
        const char* at = static_cast<const char*>(GlobalLock(h));
        const std::size_t size = GlobalSize(h);
        bytes.clear();
        for (std::size_t i = 0; at != nullptr && i + unit <= size &&
                                std::string(at + i, unit) != std::string(unit, '\0');
             i += unit)
            bytes.append(at + i, unit);
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

    // Shift+Tab from "Frog" reaches the faces on Image1; Right moves to Image6.
    e2e::PressKey(VK_TAB, VK_SHIFT);
    e2e::PressKey(VK_RIGHT);
    e2e::PressKey(VK_SPACE);
    e2e::PressKey(VK_RETURN);
    e2e::PressKey(VK_F10, VK_SHIFT);
    ok(MenuOpen(pallimo.Id()), "Shift+F10 opens the face's menu");
    e2e::PressKey(VK_ESCAPE);
    ok(MenuOpen(pallimo.Id(), false), "Esc closes it");
    e2e::PressKey(VK_APPS);
    ok(MenuOpen(pallimo.Id()), "the menu key opens it");
    e2e::PressKey('H');  // "Send to c&hat room"

    const std::wstring before = L"before";
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, sizeof L"before");
        lstrcpyW(static_cast<wchar_t*>(GlobalLock(h)), before.c_str());
        GlobalUnlock(h);
        SetClipboardData(CF_UNICODETEXT, h);
        CloseClipboard();
    }
    HWND image1 = e2e::Child(main, deliveries::FaceId(L":-D"));
    RightClick(image1);
    ok(MenuOpen(pallimo.Id()), "a right click on a face opens its menu");
    e2e::PressKey('C');
    const std::wstring frogGrin = catalogue::SmileyTag(
        catalogue::QuotedCode(
            catalogue::kStyles[deliveries::StyleId(L"Frog") - ids::kFirstStyle].code),
        catalogue::TagTail(L":-D"));
    const std::string unicode(reinterpret_cast<const char*>(frogGrin.c_str()), frogGrin.size() * 2);
    ok(e2e::WaitUntil([&] { return ClipboardBytes(CF_UNICODETEXT, 2) == unicode; }, 5000) &&
           ClipboardBytes(CF_TEXT, 1) == e2e::AnsiBytes(frogGrin),
       "\"Copy\" puts the tag on the clipboard as text: \"%s\"",
       ClipboardBytes(CF_TEXT, 1).c_str());
    RightClick(image1);
    e2e::PressKey('S');
    RightClick(e2e::Child(main, deliveries::StyleId(L"Frog")));
    ok(!MenuOpen(pallimo.Id(), true, 1000), "a right click elsewhere opens no menu");

    static const e2e::Expected kSmileys[] = {
        SETTEXT("im.input", "<font sml=\"AgHSBfc=\""),
        POSTED("im.send", WM_LBUTTONDOWN),
        POSTED("im.send", WM_LBUTTONUP),
        SETTEXT("im.input", "<font sml=\"AgHSE5E=\">;-)</font>"),
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
                "Command3, Frog and the wink face, Image6 by Space and Enter, Image6 to the chat "
                "room, Image1 by its menu");
    return e2e::Finish();
}
