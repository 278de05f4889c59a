// The smiley window as a person meets it: the announcement reaches the chat
// room before the window shows; its frame, icon and keyboard order; the
// starting choice; typing into the code box; choosing styles and clicking
// faces with real input; the face pictures and their hover hints; the faces
// by keyboard and their popup menu; closing.
// (Every control's rectangle and caption is checked by layout_test.)
#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"
#include "smileys_util.h"

namespace {

namespace ids = smiley_window_ids;

const std::wstring kStartCode = L"\"AgHSBfc=\"";

// Every control that takes the focus, by name: the style options as they
// stand in the window, then the others in the window's keyboard order, the
// faces' one stop last.
const char* const kControls[] = {
    "op1",      "op2",      "Option1",  "Option5",  "Option4",  "Option2",  "Option3",
    "Option6",  "Option7",  "Option8",  "Option9",  "Option10", "Option11", "Option12",
    "Option13", "Option14", "Option15", "Option16", "Option17", "Option18", "Option19",
    "Option20", "Option21", "Option22", "Option23", "Option24", "Option25", "Option26",
    "Option27", "Option28", "Option29", "Option30", "Option31", "Option32", "Option33",
    "Command1", "Command2", "Text1",    "Text2",    "Command3", "Image1",
};
const std::size_t kStyles = catalogue::kStyleCount;

int IdOf(const std::string& name) {
    if (name == "Command1") return ids::kMoreButton;
    if (name == "Command2") return ids::kExtraButton;
    if (name == "Command3") return ids::kSendButton;
    if (name == "Text1") return ids::kCodeBox;
    if (name == "Text2") return ids::kTagTailBox;
    if (name == "Image1") return ids::kFirstFace;
    return smileys::StyleId(name.c_str());
}

std::string NameOf(HWND main, HWND control) {
    for (const char* name : kControls)
        if (e2e::Child(main, IdOf(name)) == control) return name;
    return control == nullptr ? "(none)" : "(other)";
}

bool IsStyle(HWND main, HWND control) {
    const int id = GetDlgCtrlID(control);
    return GetParent(control) == main && id >= ids::kFirstStyle &&
           id < ids::kFirstStyle + static_cast<int>(kStyles);
}

std::vector<std::string> WaitForTexts(const e2e::Standin& standin, const std::string& window,
                                      std::size_t count) {
    std::vector<std::string> got;
    e2e::WaitUntil([&] { return (got = standin.TextsInto(window)).size() >= count; }, 10000);
    return got;
}

// Form_Load's two lines are in the chat room by the time the window is first seen.
HWND CheckStartUp(e2e::Process& pallimo, const e2e::Standin& standin) {
    // The record is read right after the window was first seen visible: what
    // it holds was there no later than that moment.
    const e2e::Started started = e2e::StartPallimo(pallimo, &standin);
    if (!ok(pallimo.Id() != 0, "Pallimo starts")) return nullptr;
    HWND main = started.main;
    if (!ok(main != nullptr, "the smiley window shows")) return nullptr;
    const std::vector<std::string> chatAtShow = e2e::TextsInto(started.atShow, "chat");
    ok(chatAtShow.size() == 2, "both announcement lines arrived before the window showed (%u)",
       static_cast<unsigned>(chatAtShow.size()));
    if (chatAtShow.size() == 2) {
        ok(chatAtShow[0] == " --^V- Pallimo Loaded -V^-- ", "first line: \"%s\"",
           chatAtShow[0].c_str());
        ok(chatAtShow[1] == " --^V- Coded By: Tarrow -V^-- ", "second line: \"%s\"",
           chatAtShow[1].c_str());
    }
    e2e::WaitUntil([&] { return e2e::IsShown(main); }, 5000);
    return main;
}

void CheckFrame(HWND main) {
    ok(e2e::TextOf(main) == L"Smileys", "window caption");
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    const LONG ex = GetWindowLongW(main, GWL_EXSTYLE);
    ok((style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)) ==
           (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX),
       "caption, system menu and minimise button (style %08lx)", style);
    ok((style & (WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0,
       "no maximise button, fixed size (style %08lx)", style);
    // An unowned, ordinary window: it has a taskbar button while shown.
    ok((ex & WS_EX_TOOLWINDOW) == 0 && GetWindow(main, GW_OWNER) == nullptr,
       "an unowned application window (ex style %08lx)", ex);
    // The caption shows the program icon, a yellow face, at its left end.
    POINT client = {0, 0};
    ClientToScreen(main, &client);
    const RECT frame = e2e::ScreenRect(main);
    const RECT caption = {frame.left, frame.top, client.x + 40, client.y};
    std::size_t yellow = 0;
    const std::vector<COLORREF> captionPixels = e2e::ScreenPixels(caption).px;
    for (COLORREF c : captionPixels) yellow += smileys::IsIconYellow(c);
    ok(yellow >= 30, "the caption shows the program icon (%u yellow pixels)",
       static_cast<unsigned>(yellow));
    // The small image as drawn, not the large one shrunk.
    const std::string shape = smileys::YellowShape(captionPixels, caption.right - caption.left);
    const std::string want = smileys::IconImageShape(GetSystemMetrics(SM_CXSMICON));
    ok(!want.empty() && shape == want, "the caption shows the small image:\n%s\nwant:\n%s",
       shape.c_str(), want.c_str());

    // The executable's icon holds the face at every size the system asks for at 96, 120 and
    // 144 DPI (small 16, 20, 24; large 32, 40, 48), 256 colours each.
    HMODULE exe = LoadLibraryExW(e2e::PallimoExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC res = exe ? FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))
                    : nullptr;  // RT_GROUP_ICON
    const auto* dir =
        res ? static_cast<const BYTE*>(LockResource(LoadResource(exe, res))) : nullptr;
    if (ok(dir != nullptr, "the executable has icon group 1")) {
        const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
        std::string got;
        for (WORD i = 0; i < count; ++i) {
            const BYTE* entry =
                dir + 6 + 14 * i;  // width, height, colours, reserved, planes, bits ...
            const WORD bits = *reinterpret_cast<const WORD*>(entry + 6);
            char one[32];
            wsprintfA(one, "%s%ux%u/%u", i ? " " : "", entry[0], entry[1], bits);
            got += one;
        }
        ok(got == "16x16/8 20x20/8 24x24/8 32x32/8 40x40/8 48x48/8",
           "the icon's images (size/bits a pixel): %s", got.c_str());
    }
    if (exe) FreeLibrary(exe);
}

void CheckStartingChoice(HWND main) {
    ok(e2e::TextOf(e2e::Child(main, ids::kTagTailBox)).empty(), "Text2 starts empty");
    const std::vector<int> checked = smileys::CheckedStyles(main);
    ok(checked.size() == 1 && checked[0] == smileys::StyleId("op1"),
       "\"Blue\" alone is drawn chosen");
    HWND focus = e2e::FocusOf(main);
    ok(focus == e2e::Child(main, smileys::StyleId("op1")),
       "the focus starts on the chosen option (%s)", NameOf(main, focus).c_str());
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == kStartCode,
       "Text1 starts with the \"Blue\" code");
}

// The 35 options are one option group: next to each other in the window's
// child order, the first and the control after the last starting a group, and
// only the chosen one a Tab stop.
void CheckGroup(HWND main, const char* when) {
    std::string order, stops;
    HWND after = nullptr;
    bool inRun = false, groupsRight = true;
    for (HWND c = GetWindow(main, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        const bool option = IsStyle(main, c);
        if (option && !inRun && !order.empty()) order += "|";  // a second run
        if (option) {
            groupsRight &= ((style & WS_GROUP) != 0) == !inRun;
            order += "o";
            if (style & WS_TABSTOP) stops += NameOf(main, c) + " ";
        } else if (inRun) {
            after = c;
        }
        if (!option && inRun) groupsRight &= (style & WS_GROUP) != 0;
        inRun = option;
    }
    ok(order == std::string(kStyles, 'o'), "%s: the options stand together (%s)", when,
       order.c_str());
    ok(groupsRight && after != nullptr, "%s: they form one group", when);
    const std::vector<int> checked = smileys::CheckedStyles(main);
    const std::string chosen =
        checked.size() == 1 ? NameOf(main, e2e::Child(main, checked[0])) + " " : "?";
    ok(stops == chosen, "%s: only the chosen option is a Tab stop: %s", when, stops.c_str());
}

// Tab visits the chosen option, then the other controls in the window's
// keyboard order, and comes round again.
void CheckTabOrder(HWND main, const char* when) {
    const std::vector<int> checked = smileys::CheckedStyles(main);
    if (!ok(checked.size() == 1, "%s: one option is chosen", when)) return;
    std::vector<HWND> order(1, e2e::Child(main, checked[0]));
    for (std::size_t i = kStyles; i < sizeof kControls / sizeof kControls[0]; ++i)
        order.push_back(e2e::Child(main, IdOf(kControls[i])));
    HWND at = order[0];
    for (std::size_t i = 1; i <= order.size(); ++i) {
        at = GetNextDlgTabItem(main, at, FALSE);
        HWND want = order[i % order.size()];
        if (!ok(at == want, "%s: stop %u is %s, got %s", when,
                static_cast<unsigned>(i % order.size()), NameOf(main, want).c_str(),
                NameOf(main, at).c_str()))
            return;
    }
}

void TabTo(HWND main, int id) {
    HWND target = e2e::Child(main, id);
    for (int i = 0; i < 60 && e2e::FocusOf(main) != target; ++i) e2e::PressKey(VK_TAB);
}

// The arrow keys move among the options, in the order they stand, and choose
// the one they land on (round from the last to the first: option_group_test).
void CheckArrowKeys(HWND main) {
    e2e::Activate(main);
    const std::vector<int> checked = smileys::CheckedStyles(main);
    if (!ok(checked.size() == 1, "one option is chosen before the arrow keys")) return;
    TabTo(main, checked[0]);
    std::size_t at = static_cast<std::size_t>(checked[0] - ids::kFirstStyle);
    const struct {
        WORD key;
        int step;
    } keys[] = {{VK_DOWN, 1}, {VK_RIGHT, 1}, {VK_UP, -1}, {VK_LEFT, -1}, {VK_LEFT, -1}};
    for (const auto& k : keys) {
        e2e::PressKey(k.key);
        at = (at + kStyles + k.step) % kStyles;
        HWND want = e2e::Child(main, ids::kFirstStyle + static_cast<int>(at));
        const std::string name = NameOf(main, want);
        ok(e2e::FocusOf(main) == want, "an arrow key moves the focus to %s (%s)", name.c_str(),
           NameOf(main, e2e::FocusOf(main)).c_str());
        ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) ==
               catalogue::QuotedCode(catalogue::kStyles[at].code),
           "and chooses %s", name.c_str());
    }
    CheckGroup(main, "after the arrow keys");
}

// The code box takes typed text; "Command3" sends the tag as the fields stand.
void CheckTypingAndCommand3(HWND main, const e2e::Standin& standin) {
    e2e::Activate(main);
    ok(e2e::FocusOf(main) == e2e::Child(main, smileys::StyleId("op1")),
       "activating the window puts the focus back on the chosen option");
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == kStartCode,
       "the focus alone chooses nothing");
    for (int i = 0; i < 3; ++i) e2e::PressKey(VK_TAB);
    HWND text1 = e2e::Child(main, ids::kCodeBox);
    ok(e2e::FocusOf(main) == text1, "three Tabs from the chosen option reach Text1");
    e2e::TypeText(L"\"AgHStest\"");
    ok(e2e::TextOf(text1) == L"\"AgHStest\"", "typing replaces Text1's text (%s)",
       e2e::AnsiBytes(e2e::TextOf(text1)).c_str());

    TabTo(main, ids::kSendButton);
    HWND command3 = e2e::Child(main, ids::kSendButton);
    if (!ok(e2e::FocusOf(main) == command3, "Tab reaches Command3")) return;
    // Tab chooses no option on its way: the typed code goes out.
    const std::string want = "<font sml=\"AgHStest\"";
    const std::size_t before = standin.TextsInto("im").size();
    e2e::PressKey(VK_SPACE);
    std::vector<std::string> got = WaitForTexts(standin, "im", before + 1);
    ok(got.size() == before + 1 && got.back() == want,
       "Space on Command3 sends the tag without a tail: \"%s\"",
       got.empty() ? "" : got.back().c_str());
    e2e::PressKey(VK_RETURN);
    got = WaitForTexts(standin, "im", before + 2);
    ok(got.size() == before + 2 && got.back() == want, "Enter on Command3 sends it again");

    e2e::Click(e2e::Child(main, ids::kFirstFace + 15));
    got = WaitForTexts(standin, "im", before + 3);
    ok(got.size() == before + 3 &&
           got.back() == e2e::AnsiBytes(catalogue::SmileyTag(e2e::TextOf(text1), L">:)</font>")),
       "a face sends the typed code: \"%s\"", got.empty() ? "" : got.back().c_str());
}

// Styles only record their code; the next face sends the last one chosen.
void CheckStylesAndFaces(HWND main, const e2e::Standin& standin) {
    e2e::Activate(main);
    const std::size_t before = standin.TextsInto("im").size();
    e2e::Click(e2e::Child(main, smileys::StyleId("Option10")));  // "Pig"
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == smileys::QuotedCodeOf("Option10"),
       "\"Pig\" sets Text1");
    e2e::Click(e2e::Child(main, smileys::StyleId("op2")));  // "Red", the tall one
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == smileys::QuotedCodeOf("op2"),
       "\"Red\" sets Text1");
    e2e::Click(e2e::Child(main, smileys::StyleId("Option22")));  // "Frog"
    ok(e2e::TextOf(e2e::Child(main, ids::kCodeBox)) == smileys::QuotedCodeOf("Option22"),
       "\"Frog\" sets Text1");
    const std::vector<int> checked = smileys::CheckedStyles(main);
    ok(checked.size() == 1 && checked[0] == smileys::StyleId("Option22"),
       "\"Frog\" alone is drawn chosen");
    CheckGroup(main, "after choosing styles");
    CheckTabOrder(main, "after choosing styles");

    e2e::Click(e2e::Child(main, ids::kFirstFace + 7));  // ";-)"
    const std::vector<std::string> got = WaitForTexts(standin, "im", before + 1);
    ok(got.size() == before + 1, "three styles and one face send one tag (%u)",
       static_cast<unsigned>(got.size() - before));
    ok(!got.empty() && got.back() == "<font sml=\"AgHSE5E=\">;-)</font>",
       "the tag has the last code: \"%s\"", got.empty() ? "" : got.back().c_str());
    ok(e2e::TextOf(e2e::Child(main, ids::kTagTailBox)) == L">;-)</font>", "the face sets Text2");
}

// Sixteen distinct pictures, each more than background, each with its text as a hint.
void CheckFaces(HWND main, DWORD pid) {
    e2e::Activate(main);
    const RECT frame = e2e::ScreenRect(main);
    e2e::MoveTo(frame.right - 10, frame.bottom - 10);
    e2e::WaitUntil([&] { return smileys::ShownHint(pid).empty(); }, 5000);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    std::vector<std::vector<COLORREF>> pictures;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        const RECT r = e2e::ScreenRect(e2e::Child(main, ids::kFirstFace + static_cast<int>(i)));
        pictures.push_back(e2e::ScreenPixels(r).px);
        std::size_t drawn = 0;
        for (COLORREF c : pictures.back()) drawn += c != face;
        ok(drawn * 2 > pictures.back().size(), "%s is drawn (%u of %u pixels)",
           catalogue::kFaces[i].control, static_cast<unsigned>(drawn),
           static_cast<unsigned>(pictures.back().size()));
        for (std::size_t j = 0; j < i; ++j)
            ok(pictures[j] != pictures[i], "%s differs from %s", catalogue::kFaces[i].control,
               catalogue::kFaces[j].control);
    }

    for (std::size_t i : {std::size_t(0), std::size_t(12), std::size_t(15)}) {
        const RECT r = e2e::ScreenRect(e2e::Child(main, ids::kFirstFace + static_cast<int>(i)));
        e2e::MoveTo(frame.right - 10, frame.bottom - 10);
        e2e::WaitUntil([&] { return smileys::ShownHint(pid).empty(); }, 5000);
        const std::wstring hint =
            smileys::HoverHint((r.left + r.right) / 2, (r.top + r.bottom) / 2, pid);
        ok(hint == catalogue::kFaces[i].emoticon, "%s's hint: \"%s\"", catalogue::kFaces[i].control,
           e2e::AnsiBytes(hint).c_str());
    }
}

std::string g_named;  // the names of name-change events, one after the other
void CALLBACK OnNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        g_named += e2e::AnsiBytes(e2e::TextOf(hwnd)) + " ";
}

// The faces by keyboard: one Tab stop, after Command3 and so before the first
// stop; the arrows move by the places on the screen;
// the current face has the focus rectangle, its text as the focused control's
// name (with a name-change event) and its hint. (What they send is checked
// by delivery_smiley_test.)
void CheckFaceKeys(HWND main, DWORD pid) {
    e2e::Activate(main);
    const RECT frame = e2e::ScreenRect(main);
    e2e::MoveTo(frame.right - 10, frame.bottom - 10);  // no pointer on a face
    e2e::WaitUntil([&] { return smileys::ShownHint(pid).empty(); }, 5000);
    TabTo(main, smileys::CheckedStyles(main).at(0));
    HWND image1 = e2e::Child(main, ids::kFirstFace);
    const RECT r1 = e2e::ScreenRect(image1);
    const std::vector<COLORREF> plain = e2e::ScreenPixels(r1).px;
    e2e::PressKey(VK_TAB, VK_SHIFT);
    ok(e2e::FocusOf(main) == image1, "Shift+Tab from the first stop reaches Image1 (%s)",
       NameOf(main, e2e::FocusOf(main)).c_str());
    ok(e2e::WaitUntil([&] { return e2e::ScreenPixels(r1).px != plain; }, 3000),
       "a focus rectangle marks it");
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                         OnNameChange, pid, 0, WINEVENT_OUTOFCONTEXT);
    // From Image1: Image6, Image5, Image10, Image14, Image15, Image16 (where
    // the arrows stop at the edges: face_grid_test).
    const struct {
        WORD key;
        int face;
    } moves[] = {{VK_RIGHT, 5},  {VK_DOWN, 4},  {VK_RIGHT, 9},
                 {VK_RIGHT, 13}, {VK_DOWN, 14}, {VK_DOWN, 15}};
    std::string wantNamed;
    for (const auto& m : moves) {
        e2e::PressKey(m.key);
        const std::wstring emoticon = catalogue::kFaces[m.face].emoticon;
        std::wstring hint;
        e2e::WaitUntil([&] { return (hint = smileys::ShownHint(pid)) == emoticon; }, 3000);
        HWND focus = e2e::FocusOf(main);
        ok(focus == e2e::Child(main, ids::kFirstFace + m.face) && e2e::TextOf(focus) == emoticon &&
               hint == emoticon,
           "the arrow moves to %s, named and hinted \"%s\" (\"%s\", \"%s\")",
           catalogue::kFaces[m.face].control, e2e::AnsiBytes(emoticon).c_str(),
           e2e::AnsiBytes(e2e::TextOf(focus)).c_str(), e2e::AnsiBytes(hint).c_str());
        wantNamed += e2e::AnsiBytes(emoticon) + " ";
    }
    // The events come through this thread's queue.
    e2e::WaitUntil(
        [&] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            return g_named == wantNamed;
        },
        3000);
    UnhookWinEvent(hook);
    ok(e2e::ScreenPixels(r1).px == plain, "the focus rectangle left Image1");
    ok(hook != nullptr && g_named == wantNamed, "a name change for each move: %s", g_named.c_str());
    e2e::PressKey(VK_TAB);
    ok(e2e::WaitUntil([&] { return smileys::ShownHint(pid).empty(); }, 3000),
       "the hint goes with the focus");
}

// The shown hint of process `pid` with this text, or null.
HWND HintWindow(DWORD pid, const std::wstring& text) {
    const std::vector<HWND> found = e2e::TopLevels([&](HWND w) {
        return IsWindowVisible(w) && e2e::ClassOf(w) == L"tooltips_class32" &&
               e2e::ProcessOf(w) == pid && e2e::TextOf(w) == text;
    });
    return found.empty() ? nullptr : found[0];
}

// The hint follows the window as it moves: below its face, and where the face
// stands partly left of the screen (a negative position, which Wine's tooltip
// reads as a large one), at the screen's left edge.
void CheckHintFollowsOffTheScreen(HWND main, DWORD pid) {
    e2e::Activate(main);
    const RECT home = e2e::ScreenRect(main);
    TabTo(main, ids::kFirstFace + 15);  // where CheckFaceKeys left the faces
    HWND face = e2e::Child(main, ids::kFirstFace + 15);
    const std::wstring emoticon = catalogue::kFaces[15].emoticon;
    const int shift = e2e::ScreenRect(face).left + 30;  // the face's left edge to x = -30
    SetWindowPos(main, nullptr, home.left - shift, home.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT want = {}, got = {};
    const auto placed = [&] {
        const RECT f = e2e::ScreenRect(face);
        HWND hint = HintWindow(pid, emoticon);
        if (hint == nullptr) return false;
        got = e2e::ScreenRect(hint);
        want = {f.left < 0 ? 0 : f.left, f.bottom + 2, 0, 0};
        return got.left == want.left && got.top == want.top;
    };
    ok(e2e::WaitUntil(placed, 5000),
       "left of the screen, the hint stands at its edge below the face (%ld,%ld, not %ld,%ld)",
       want.left, want.top, got.left, got.top);
    SetWindowPos(main, nullptr, home.left, home.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ok(e2e::WaitUntil(placed, 5000) && want.left > 0,
       "back in place, it stands below the face again (%ld,%ld, not %ld,%ld)", want.left, want.top,
       got.left, got.top);
    e2e::PressKey(VK_TAB);
}

}  // namespace

int main() {
    e2e::Standin standin;
    if (!ok(standin.Start(), "the stand-in messenger starts")) return e2e::Finish();
    e2e::Process pallimo;
    HWND main = CheckStartUp(pallimo, standin);
    if (main == nullptr) return e2e::Finish();

    CheckFrame(main);
    CheckStartingChoice(main);
    CheckGroup(main, "at start");
    CheckTabOrder(main, "at start");
    CheckTypingAndCommand3(main, standin);
    CheckStylesAndFaces(main, standin);
    CheckArrowKeys(main);
    CheckFaces(main, pallimo.Id());
    CheckFaceKeys(main, pallimo.Id());
    CheckHintFollowsOffTheScreen(main, pallimo.Id());

    e2e::Activate(main);
    ok(smileys::ClickFrameButton(main, HTCLOSE), "the frame has a close button");
    ok(pallimo.Wait(10000), "closing the smiley window ends the program");
    ok(pallimo.ExitCode() == 0, "with exit code 0 (%lu)", pallimo.ExitCode());
    return e2e::Finish();
}
