// The Instructions and About windows, opened the way a user opens them: the
// smiley window's "Extra" button, then the custom codes window's Help menu.
// Their texts byte for byte (the labels' captions, with every control's
// place, are the layout test's), their frames, keyboard focus and keys, and
// the links of the About window handed to the shell, which a small recording
// program registered for mailto: and http: receives in place of a mail
// program and a browser.
#include <windows.h>
#include <tlhelp32.h>

#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "forms_util.h"
#include "harness.h"
#include "win/gdi.h"

namespace {

using forms::kLinkColour;
using forms::TextWidth;

const wchar_t kInstructions[] =
    L"- Just add the smilyer code Where Specified\r\n"
    L"- Then Save Your List\r\n"
    L"- Load Your List Uopn Use\r\n"
    L"- Chose Where you want to send\r\n"
    L"- Double click onthe list to send\r\n";

// ---- windows of the program ---------------------------------------------------

bool WaitFocus(HWND top, HWND want) {
    return e2e::WaitUntil([&] { return e2e::FocusOf(top) == want; }, 3000);
}

bool WaitGone(HWND hwnd) {
    return e2e::WaitUntil([&] { return !IsWindow(hwnd); }, 5000);
}

// A window of the table: its caption, and a tool window's frame.
void CheckToolWindow(forms::Which which, HWND hwnd) {
    const char* name = forms::Get(which).name;
    ok(e2e::TextOf(hwnd) == forms::Get(which).caption, "%s caption \"%s\"", name,
       e2e::AnsiBytes(e2e::TextOf(hwnd)).c_str());
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    ok((exStyle & WS_EX_TOOLWINDOW) != 0, "%s is a tool window", name);
    ok((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) != 0,
       "%s has a caption bar with a close box", name);
    ok((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0,
       "%s has no minimize or maximize box and is not sizable (style %08lx)", name,
       static_cast<unsigned long>(style));
    ok(GetWindow(hwnd, GW_OWNER) == nullptr && (style & WS_CHILD) == 0, "%s has no owner", name);
}

// A real click on the window's close box, found by asking the window where it is.
void ClickCloseBox(HWND hwnd) {
    POINT p;
    if (ok(e2e::FrameButtonPoint(hwnd, HTCLOSE, p), "the window has a close box"))
        e2e::ClickAt(p.x, p.y);
}

// ---- the screen -----------------------------------------------------------------

using e2e::Pixels;

int CountColour(const Pixels& p, COLORREF c) {
    int n = 0;
    for (COLORREF v : p.px) n += v == c;
    return n;
}

// The longest horizontal run of one colour: an underline, as opposed to letters.
int LongestRun(const Pixels& p, COLORREF c) {
    int best = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0, run = 0; x < p.w; ++x) {
            run = p.At(x, y) == c ? run + 1 : 0;
            if (run > best) best = run;
        }
    return best;
}

// The face the system draws a font with.
std::wstring DrawnFace(HFONT font) {
    wchar_t face[LF_FACESIZE] = L"";
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    GetTextFaceW(screen, LF_FACESIZE, face);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return face;
}

// Every font of the windows comes from win::CreatePointFont (a font handle
// cannot be read from another process, so it is made here). It keeps its name
// and takes the system's own character set (DEFAULT_CHARSET), so that a list
// item in the system's script shows; the names are installed here, so that the
// tests measure the fonts themselves and not stand-ins. The caption buttons'
// symbols come from Marlett.
void CheckFonts() {
    for (const wchar_t* face : {L"Tahoma", L"MS Sans Serif"}) {
        win::Font font = win::CreatePointFont(face, 825, 96);
        LOGFONTW lf = {};
        GetObjectW(font.get(), sizeof lf, &lf);
        ok(lstrcmpW(lf.lfFaceName, face) == 0 && lf.lfCharSet == DEFAULT_CHARSET,
           "%s is made with the default character set (got \"%s\", set %d)",
           e2e::AnsiBytes(face).c_str(), e2e::AnsiBytes(lf.lfFaceName).c_str(), lf.lfCharSet);
        const std::wstring drawn = DrawnFace(font.get());
        ok(lstrcmpiW(drawn.c_str(), face) == 0, "%s is installed (drawn in \"%s\")",
           e2e::AnsiBytes(face).c_str(), e2e::AnsiBytes(drawn).c_str());
    }
    LOGFONTW marlett = {};
    marlett.lfCharSet = SYMBOL_CHARSET;
    lstrcpynW(marlett.lfFaceName, L"Marlett", LF_FACESIZE);
    win::Font symbols(CreateFontIndirectW(&marlett));
    const std::wstring drawn = DrawnFace(symbols.get());
    ok(drawn == L"Marlett", "Marlett is installed (drawn in \"%s\")",
       e2e::AnsiBytes(drawn).c_str());
}

void MovePointer(HWND over) {
    const RECT r = e2e::ScreenRect(over);
    e2e::MoveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

HCURSOR PointerShape() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

// ---- the shell's mail program and browser ------------------------------------

// Registers the recording program as the "open" command of the mailto: and
// http: protocols for the test's life, and puts back what was there.
class ShellRecorder {
  public:
    ShellRecorder() : record_(e2e::WorkDir() + L"\\opened.txt") {
        DeleteFileW(record_.c_str());
        const std::wstring command =
            L"\"" + e2e::WinPathFromUnix(RECORD_OPEN_EXE) + L"\" \"" + record_ + L"\" \"%1\"";
        for (const wchar_t* scheme : {L"mailto", L"http"}) {
            Saved s;
            s.key = std::wstring(scheme) + L"\\shell\\open\\command";
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_CLASSES_ROOT, s.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr) != ERROR_SUCCESS)
                continue;
            wchar_t old[1024];
            DWORD size = sizeof old, type = 0;
            s.had = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old),
                                     &size) == ERROR_SUCCESS;
            if (s.had) s.value.assign(old, size / sizeof(wchar_t) - (size > 0 ? 1 : 0));
            s.type = type;
            RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
            saved_.push_back(s);
        }
    }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;
    ~ShellRecorder() {
        for (const Saved& s : saved_) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, s.key.c_str(), 0, KEY_ALL_ACCESS, &key) !=
                ERROR_SUCCESS)
                continue;
            if (s.had)
                RegSetValueExW(key, nullptr, 0, s.type,
                               reinterpret_cast<const BYTE*>(s.value.c_str()),
                               static_cast<DWORD>((s.value.size() + 1) * sizeof(wchar_t)));
            else
                RegDeleteValueW(key, nullptr);
            RegCloseKey(key);
        }
    }

    bool Registered() const { return saved_.size() == 2; }

    // One line per start of the recording program: show command, argument
    // count, the arguments.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream in(e2e::AnsiBytes(record_).c_str(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // Waits for `count` lines and for every started recorder to have ended, so
    // that a start nobody expected has written its line too.
    std::vector<std::string> WaitForLines(std::size_t count) const {
        e2e::WaitUntil([&] { return Lines().size() >= count; }, 15000);
        e2e::WaitUntil([] { return RecordersRunning() == 0; }, 15000);
        return Lines();
    }

  private:
    struct Saved {
        std::wstring key;
        bool had = false;
        DWORD type = REG_SZ;
        std::wstring value;
    };

    static int RecordersRunning() {
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snap == INVALID_HANDLE_VALUE) return 0;
        PROCESSENTRY32W pe = {};
        pe.dwSize = sizeof pe;
        int n = 0;
        for (BOOL more = Process32FirstW(snap, &pe); more; more = Process32NextW(snap, &pe))
            n += lstrcmpiW(pe.szExeFile, L"record_open.exe") == 0;
        CloseHandle(snap);
        return n;
    }

    std::wstring record_;
    std::vector<Saved> saved_;
};

// The recorder's line for a target handed over with SW_SHOWMAXIMIZED.
std::string Opened(const std::wstring& target) { return "3\t1\t" + e2e::AnsiBytes(target); }

// ---- the Instructions window -----------------------------------------------------

void CheckInstructionsLook(HWND form2) {
    CheckToolWindow(forms::kInstructions, form2);
    HWND text = e2e::Child(form2, instructions_window_ids::kInstructionsBox);
    const std::wstring got = e2e::TextOf(text);
    ok(got.size() == 162 && got == kInstructions,
       "Text1 holds the 162 characters of the instructions (got %u: \"%s\")",
       static_cast<unsigned>(got.size()), e2e::AnsiBytes(got).c_str());

    const LONG style = GetWindowLongW(text, GWL_STYLE);
    ok((style & ES_MULTILINE) && (style & WS_VSCROLL) && !(style & WS_HSCROLL),
       "Text1 is multi-line with a vertical scroll bar only");
    ok(!(style & ES_AUTOHSCROLL) && !(style & ES_READONLY),
       "Text1 wraps long lines and is editable");
    // The last CR LF leaves an empty line after the fifth, and the box shows
    // fewer lines than it holds: the scroll bar reaches the rest.
    const LRESULT lines = SendMessageW(text, EM_GETLINECOUNT, 0, 0);
    const LRESULT last = SendMessageW(text, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    ok(lines >= 6 && SendMessageW(text, EM_LINELENGTH, static_cast<WPARAM>(last), 0) == 0,
       "Text1 ends with an empty line (%ld lines)", static_cast<long>(lines));
    ok(WaitFocus(form2, text), "Text1 has the focus when the Instructions window opens");
}

// Typing changes the text; Esc (which a multi-line box under dialog
// navigation turns into a close) leaves the window open; the close box
// destroys it.
void CheckInstructionsEditing(HWND form2) {
    HWND text = e2e::Child(form2, instructions_window_ids::kInstructionsBox);
    e2e::Activate(form2);
    WaitFocus(form2, text);
    e2e::TypeText(L"Q");
    ok(e2e::WaitUntil([&] { return e2e::TextOf(text).size() == 163; }, 3000),
       "typing into Text1 changes its text");
    e2e::PressKey(VK_RETURN);
    ok(e2e::WaitUntil([&] { return e2e::TextOf(text).size() == 165; }, 3000),
       "Enter in Text1 starts a new line");
    e2e::PressKey(VK_ESCAPE);
    e2e::TypeText(L"W");  // handled after anything Esc brought about
    ok(e2e::WaitUntil([&] { return e2e::TextOf(text).find(L'W') != std::wstring::npos; }, 3000),
       "Text1 takes keys after Esc");
    ok(IsWindow(form2) && e2e::IsShown(form2), "Esc leaves the Instructions window open");

    ClickCloseBox(form2);
    ok(WaitGone(form2), "the close box destroys the Instructions window");
}

// ---- the About window --------------------------------------------------------------

// (Each label's caption, and that it stands in Picture1, is the layout test's.)
void CheckAboutLook(HWND form3) {
    CheckToolWindow(forms::kAbout, form3);
    HWND panel = e2e::Child(form3, about_window_ids::kPanel);
    ok((GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0,
       "Picture1 has a sunken border");

    // The links: an address on a reserved example domain, each fitting its label.
    const std::wstring mail = e2e::TextOf(e2e::Child(form3, about_window_ids::kEmailLink));
    const std::wstring web = e2e::TextOf(e2e::Child(form3, about_window_ids::kWebsiteLink));
    const auto endsWith = [](const std::wstring& s, const std::wstring& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    ok(mail.find(L'@') != std::wstring::npos && endsWith(mail, L".example"),
       "Label7 shows an e-mail address (\"%s\")", e2e::AnsiBytes(mail).c_str());
    ok(web.rfind(L"http://", 0) == 0 && endsWith(web, L".example/"),
       "Label9 shows http://, a host name and / (\"%s\")", e2e::AnsiBytes(web).c_str());
    for (int id : {about_window_ids::kEmailLink, about_window_ids::kWebsiteLink}) {
        HWND h = e2e::Child(form3, id);
        const RECT r = e2e::ScreenRect(h);
        const int need = TextWidth(e2e::TextOf(h));
        ok(need <= r.right - r.left, "link %d fits its label: %d of %ld pixels", id, need,
           r.right - r.left);
    }
    ok(WaitFocus(form3, panel), "Picture1 has the focus when the About window opens");
}

// The links in dark blue and underlined, the other labels in the button-text
// colour, the line one pixel of window-text colour across its length. With
// High Contrast on, the links take the system's hyperlink colour; Wine always
// reports it off (SPI_SETHIGHCONTRAST is not implemented there), so here the
// links keep their colour through the system's notices of a change.
void CheckAboutColours(HWND form3) {
    e2e::Activate(form3);
    HWND mail = e2e::Child(form3, about_window_ids::kEmailLink);
    HWND web = e2e::Child(form3, about_window_ids::kWebsiteLink);
    SendMessageW(form3, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    SendMessageW(form3, WM_SYSCOLORCHANGE, 0, 0);
    for (HWND link : {mail, web}) {
        Pixels p;
        e2e::WaitUntil(
            [&] {
                return CountColour(p = e2e::ScreenPixels(e2e::ScreenRect(link)), kLinkColour) > 0;
            },
            3000);
        const int textWidth = TextWidth(e2e::TextOf(link));
        ok(LongestRun(p, kLinkColour) >= textWidth * 8 / 10,
           "link \"%s\" is dark blue and underlined (run %d of %d)",
           e2e::AnsiBytes(e2e::TextOf(link)).c_str(), LongestRun(p, kLinkColour), textWidth);
    }
    for (int id : {about_window_ids::kEmailLabel, about_window_ids::kWebsiteLabel,
                   about_window_ids::kNameLabel}) {
        const Pixels p = e2e::ScreenPixels(e2e::ScreenRect(e2e::Child(form3, id)));
        ok(CountColour(p, kLinkColour) == 0 && CountColour(p, GetSysColor(COLOR_BTNTEXT)) > 0 &&
               LongestRun(p, GetSysColor(COLOR_BTNTEXT)) <
                   TextWidth(e2e::TextOf(e2e::Child(form3, id))) / 2,
           "label %d is plain button text", id);
    }
    HWND line = e2e::Child(form3, about_window_ids::kRule);
    const RECT lr = e2e::ScreenRect(line);
    const Pixels p = e2e::ScreenPixels(lr);
    ok(p.h == 1 && CountColour(p, GetSysColor(COLOR_WINDOWTEXT)) == p.w && p.w > 0,
       "Line1 is one pixel of window text across %d pixels", p.w);
}

// The pointer over the links is the arrow it is over the other labels. The
// pointer first goes over a text box (an I-beam), so that a change back
// shows that the About window has set its pointer.
void CheckAboutPointer(HWND form3, HWND textBox) {
    MovePointer(e2e::Child(form3, about_window_ids::kNameLabel));
    HCURSOR arrow = nullptr;
    e2e::WaitUntil([&] { return (arrow = PointerShape()) != nullptr; }, 2000);
    for (int id : {about_window_ids::kEmailLink, about_window_ids::kWebsiteLink}) {
        MovePointer(textBox);
        // Budgets a loaded machine meets: the pointer changes once the
        // window under it has handled the move.
        const bool beam = e2e::WaitUntil([&] { return PointerShape() != arrow; }, 10000);
        MovePointer(e2e::Child(form3, id));
        const bool back = e2e::WaitUntil([&] { return PointerShape() == arrow; }, 10000);
        ok(beam && back, "the pointer over link %d is the arrow", id);
    }
}

// Enter right after opening does nothing (the panel has the focus), Tab goes
// Picture1 -> OK -> Picture1, Esc never closes. Each key is followed by a Tab
// whose effect shows that the window has handled the key before it.
void CheckAboutKeys(HWND form3) {
    HWND panel = e2e::Child(form3, about_window_ids::kPanel);
    HWND okButton = e2e::Child(form3, about_window_ids::kOkButton);
    e2e::Activate(form3);
    ok(WaitFocus(form3, panel), "Picture1 has the focus");
    e2e::PressKey(VK_RETURN);
    e2e::PressKey(VK_TAB);
    ok(WaitFocus(form3, okButton), "one Tab moves the focus to OK");
    ok(IsWindow(form3), "Enter with the focus on Picture1 leaves the About window open");
    e2e::PressKey(VK_ESCAPE);
    e2e::PressKey(VK_TAB);
    ok(WaitFocus(form3, panel), "Tab from OK goes back to Picture1");
    ok(IsWindow(form3), "Esc with the focus on OK leaves the About window open");
    e2e::PressKey(VK_ESCAPE);
    e2e::PressKey(VK_TAB);
    ok(WaitFocus(form3, okButton) && IsWindow(form3),
       "Esc with the focus on Picture1 leaves the About window open");
}

// Only the two links hand anything to the shell, each exactly its target,
// asking for a maximised window; the window stays open and unchanged.
void CheckAboutLinks(HWND form3, const ShellRecorder& shell) {
    HWND mail = e2e::Child(form3, about_window_ids::kEmailLink);
    HWND web = e2e::Child(form3, about_window_ids::kWebsiteLink);
    const std::wstring mailText = e2e::TextOf(mail), webText = e2e::TextOf(web);
    e2e::Activate(form3);
    for (int id : {about_window_ids::kEmailLabel, about_window_ids::kWebsiteLabel,
                   about_window_ids::kNameLabel, about_window_ids::kVersionLabel,
                   about_window_ids::kAuthorLabel, about_window_ids::kContactLabel,
                   about_window_ids::kRule, about_window_ids::kPanel})
        e2e::Click(e2e::Child(form3, id));
    e2e::Click(mail);
    std::vector<std::string> lines = shell.WaitForLines(1);
    ok(lines.size() == 1 && lines[0] == Opened(L"mailto:" + mailText),
       "the e-mail link alone hands over \"mailto:%s\" (got %u: \"%s\")",
       e2e::AnsiBytes(mailText).c_str(), static_cast<unsigned>(lines.size()),
       lines.empty() ? "" : lines.back().c_str());

    e2e::Click(web);
    lines = shell.WaitForLines(2);
    ok(lines.size() == 2 && lines[1] == Opened(webText),
       "the web link hands over \"%s\" (got \"%s\")", e2e::AnsiBytes(webText).c_str(),
       lines.size() < 2 ? "" : lines[1].c_str());

    ok(IsWindow(form3) && e2e::IsShown(form3) && e2e::TextOf(mail) == mailText &&
           e2e::TextOf(web) == webText,
       "the About window stays open and unchanged after the link clicks");
}

}  // namespace

int main() {
    e2e::Trace("screen at %d DPI", forms::ScreenDpi());

    CheckFonts();

    ShellRecorder shell;
    ok(shell.Registered(), "the recorder is registered for mailto: and http:");

    e2e::Process pallimo;
    HWND main = e2e::StartPallimo(pallimo).main;
    ok(pallimo.Id() != 0, "Pallimo starts");
    const DWORD pid = pallimo.Id();
    if (!ok(main != nullptr, "the smiley window shows")) return e2e::Finish();
    HWND form4 = e2e::OpenCustomCodes(main, pid);
    if (!ok(form4 != nullptr, "\"Extra\" opens the custom codes window")) return e2e::Finish();
    const auto Show = [&](forms::Which which) {
        return forms::ShowFromHelp(form4, forms::Get(which), pid);
    };

    // The Instructions window: its look, then typing into it; the next one
    // opened is built afresh.
    HWND form2 = Show(forms::kInstructions);
    if (ok(form2 != nullptr, "Help > Instructions shows the Instructions window")) {
        CheckInstructionsLook(form2);
        CheckInstructionsEditing(form2);
        form2 = Show(forms::kInstructions);
        ok(form2 != nullptr &&
               e2e::TextOf(e2e::Child(form2, instructions_window_ids::kInstructionsBox)) ==
                   kInstructions,
           "the Instructions window opens again with the instructions as they were");
    }

    // The About window, out of the Instructions window's way.
    HWND form3 = Show(forms::kAbout);
    if (ok(form3 != nullptr, "Help > About shows the About window")) {
        CheckAboutLook(form3);
        if (form2 != nullptr)
            SetWindowPos(form2, nullptr, 600, 500, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CheckAboutColours(form3);
        if (form2 != nullptr)
            CheckAboutPointer(form3, e2e::Child(form2, instructions_window_ids::kInstructionsBox));
        CheckAboutKeys(form3);
        CheckAboutLinks(form3, shell);
    }

    // One window of each kind: showing an open one brings the same one forward,
    // with the focus where it was.
    if (form2 != nullptr && form3 != nullptr) {
        HWND okButton = e2e::Child(form3, about_window_ids::kOkButton);
        e2e::Activate(form3);
        e2e::PressKey(VK_TAB);
        ok(WaitFocus(form3, okButton), "Tab from Picture1 to OK");
        ok(Show(forms::kInstructions) == form2 &&
               e2e::TopLevels(instructions_window_ids::kClass, pid).size() == 1,
           "Instructions twice leaves one Instructions window, brought forward");
        ok(WaitFocus(form2, e2e::Child(form2, instructions_window_ids::kInstructionsBox)),
           "the Instructions window comes back with the focus on Text1");
        ok(Show(forms::kAbout) == form3 &&
               e2e::TopLevels(about_window_ids::kClass, pid).size() == 1,
           "About twice leaves one About window, brought forward");
        ok(WaitFocus(form3, okButton), "the About window comes back with the focus on OK");
    }

    // Closing the custom codes window leaves both open.
    PostMessageW(form4, WM_CLOSE, 0, 0);
    ok(WaitGone(form4), "the custom codes window closes");
    ok(form2 != nullptr && IsWindow(form2) && e2e::IsShown(form2) && form3 != nullptr &&
           IsWindow(form3) && e2e::IsShown(form3),
       "the Instructions and About windows stay open when the custom codes window closes");

    // "OK" closes and destroys the About window; Enter does too once OK has the focus.
    if (form3 != nullptr && IsWindow(form3)) {
        e2e::Activate(form3);
        e2e::Click(e2e::Child(form3, about_window_ids::kOkButton));
        ok(WaitGone(form3) && e2e::TopLevels(about_window_ids::kClass, pid).empty(),
           "OK closes and destroys the About window");
    }
    form4 = e2e::OpenCustomCodes(main, pid);
    form3 = form4 != nullptr ? Show(forms::kAbout) : nullptr;
    if (ok(form3 != nullptr, "the About window opens again")) {
        HWND panel = e2e::Child(form3, about_window_ids::kPanel);
        ok(WaitFocus(form3, panel), "afresh, with the focus on Picture1");
        e2e::PressKey(VK_TAB);
        WaitFocus(form3, e2e::Child(form3, about_window_ids::kOkButton));
        e2e::PressKey(VK_RETURN);
        ok(WaitGone(form3), "Enter with the focus on OK closes the About window");
    }

    PostMessageW(main, WM_CLOSE, 0, 0);
    ok(pallimo.Wait(10000), "closing the smiley window ends the program");
    ok(form2 == nullptr || !IsWindow(form2), "the Instructions window ends with the program");
    return e2e::Finish();
}
