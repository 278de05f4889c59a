// The stand-in messenger: takes the AIM client's place for the demo and the
// end-to-end tests. It opens a chat room window and an instant-message window
// with the window classes and child order that delivery relies on, shows what
// arrives in a transcript a person can read, presses Send when a Send button
// gets a left-button press and release, and records every message of interest
// that its windows receive (format: record.h).
//
// Windows and the roles the record names them by, in child order:
//   "AIM_ChatWnd"   chat.format (_Oscar_IconBtn), chat.area1 (WndAte32Class,
//                   the transcript), chat.input (WndAte32Class), chat.send,
//                   chat.more (_Oscar_IconBtn)
//   "AIM_IMessage"  im.combo (_Oscar_PersistantCombo, with its child im.edit of
//                   class "Edit"), im.area1 (transcript), im.input, im.send,
//                   im.warn, im.block (_Oscar_IconBtn)
//
// Switches:
//   --record <path>      record every message of interest, one line each; the
//                        file is created (empty) once the windows exist
//   --transcript <path>  also append each transcript line to this file (UTF-8)
//   --no-chat, --no-im   leave out the chat room / the instant-message window
//   --one-area           the chat room has a single WndAte32Class (no input box)
//   --no-combo           the instant-message window has no combo box and no Edit
//   --two-chats, --two-ims
//                        open a second window of the class, created after the
//                        first and standing above it in the Z order; its roles
//                        are "chat2.*" / "im2.*"
//   --im-after-ms N      open the instant-message window(s) only N ms after start
//   --hang-after-ms N    after N ms stop reading the queue for 30 s, like a hung
//                        messenger
//   --hang-on-settext    the first text set into an input box makes the stand-in
//                        stop answering for 30 s
//   --hang-ms N          those hangs last N ms instead, then it answers again
//   --slow-send-ms N     a press of Send takes N ms before it sends, like a slow
//                        messenger (nothing is handled meanwhile)
//   --late-posts-ms N    like a busy messenger, take each posted message N ms
//                        late, while handling sent ones at once
//   --help               print this list
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "app/catalogue.h"
#include "standin/record.h"
#include "win/gdi.h"
#include "win/text.h"

namespace {

const char kUsage[] =
    "Usage: standin [switches]\r\n"
    "The stand-in messenger: an AIM-like chat room and instant-message window.\r\n"
    "  --record <path>      record the messages its windows receive\r\n"
    "  --transcript <path>  append each transcript line to a file (UTF-8)\r\n"
    "  --no-chat            no chat room window\r\n"
    "  --no-im              no instant-message window\r\n"
    "  --one-area           chat room with one text area and no input box\r\n"
    "  --no-combo           instant-message window without its combo box\r\n"
    "  --two-chats          a second chat room (\"chat2\"), above the first\r\n"
    "  --two-ims            a second instant-message window (\"im2\"), above the first\r\n"
    "  --im-after-ms N      open the instant-message window N ms after start\r\n"
    "  --hang-after-ms N    after N ms stop reading messages for 30 s\r\n"
    "  --hang-on-settext    the first text set into an input box hangs it for 30 s\r\n"
    "  --hang-ms N          the hangs above last N ms, then it answers again\r\n"
    "  --slow-send-ms N     a press of Send takes N ms before it sends\r\n"
    "  --late-posts-ms N    handle each posted message N ms late, sent ones at once\r\n"
    "  --help               this text\r\n";

// The transcript window keeps the latest lines only, so that a long run (a
// benchmark sends thousands) costs the same per message as a short one; the
// transcript file keeps them all.
constexpr std::size_t kShownLines = 50;

const char kChatClass[] = "AIM_ChatWnd";
const char kImClass[] = "AIM_IMessage";
const char kTextAreaClass[] = "WndAte32Class";
const char kButtonClass[] = "_Oscar_IconBtn";
const char kComboClass[] = "_Oscar_PersistantCombo";

struct Options {
    std::wstring record;
    std::wstring transcript;
    bool chat = true;
    bool im = true;
    bool oneArea = false;
    bool combo = true;
    bool twoChats = false;
    bool twoIms = false;
    bool hangOnSetText = false;
    DWORD imAfterMs = 0;
    DWORD hangAfterMs = 0;
    DWORD latePostsMs = 0;
    DWORD hangMs = 30000;
    DWORD slowSendMs = 0;
};

enum class Kind { Top, Transcript, Input, Button, SendButton, Combo, Edit };

struct Room;

// What the stand-in knows about each of its windows, kept in GWLP_USERDATA.
struct Node {
    std::string role;  // "chat.input"
    Kind kind;
    Room* room;
    WNDPROC original;  // the Edit's own procedure, which the subclass calls on
};

struct Room {
    std::string prefix;  // "chat", "chat2", "im", "im2"
    HWND top = nullptr;
    HWND transcript = nullptr;
    HWND input = nullptr;
    std::deque<std::wstring> lines;  // the latest lines of the transcript
};

Options g_options;
std::deque<Room> g_rooms;  // a deque keeps the addresses that the nodes point to
std::deque<Node> g_nodes;
int g_openRooms = 0;
HWND g_pressed = nullptr;  // the icon button a left button went down on
bool g_hungOnSetText = false;
HFONT g_font = nullptr;

// ---- the record and the transcript file ----------------------------------------

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

HANDLE OpenShared(const std::wstring& path, DWORD access, DWORD disposition) {
    // Readers (the tests) see each line as soon as it is written; the file can
    // be read and deleted while the stand-in runs.
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// One unbuffered WriteFile per line: the line reaches the file at once, and a
// reader never sees a line interleaved with another.
void WriteLine(HANDLE file, const std::string& line) {
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

HANDLE g_record = INVALID_HANDLE_VALUE;
HANDLE g_transcript = INVALID_HANDLE_VALUE;
int g_seq = 0;

bool IsRecorded(UINT msg) {
    switch (msg) {
        case WM_SETTEXT:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
        case BM_CLICK:
        case STANDIN_MARKER_MESSAGE:
            return true;
        default:
            return msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK;
    }
}

void Record(const Node& node, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Stamp the arrival before anything else runs.
    const double ms = NowMs();
    const bool sent = InSendMessage() != FALSE;
    char head[128];
    std::snprintf(head, sizeof head, "%d\t%.3f\t", ++g_seq, ms);
    std::string line = head;
    line += node.role;
    if (msg == WM_SETTEXT) {
        std::snprintf(head, sizeof head, "\t%u\t%lx\t-\t%c\t", msg,
                      static_cast<unsigned long>(wParam), sent ? 'S' : 'P');
        line += head;
        const char* text = reinterpret_cast<const char*>(lParam);
        if (text == nullptr) {
            line += '-';
        } else {
            static const char kHex[] = "0123456789abcdef";
            for (; *text != '\0'; ++text) {
                const unsigned char c = static_cast<unsigned char>(*text);
                line += kHex[c >> 4];
                line += kHex[c & 15];
            }
        }
    } else {
        std::snprintf(head, sizeof head, "\t%u\t%lx\t%lx\t%c\t-", msg,
                      static_cast<unsigned long>(wParam), static_cast<unsigned long>(lParam),
                      sent ? 'S' : 'P');
        line += head;
    }
    line += '\n';
    WriteLine(g_record, line);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

// ---- what the transcript shows ---------------------------------------------------

std::wstring StyleCaption(const std::wstring& code) {
    for (const catalogue::Style& style : catalogue::kStyles)
        if (code == style.code) return style.caption;
    return code;  // a code the catalogue does not know
}

// Shows each complete smiley tag <font sml="CODE">EMOTICON</font> as
// "[Style] EMOTICON", the way the messenger would draw the picture; anything
// else, an incomplete tag included, stands as it came.
std::wstring Readable(const std::wstring& text) {
    static const std::wstring kOpen = L"<font sml=";
    static const std::wstring kClose = L"</font>";
    std::wstring out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = text.find(kOpen, pos);
        if (open == std::wstring::npos) break;
        std::size_t p = open + kOpen.size();
        const bool quoted = p < text.size() && text[p] == L'"';
        const std::size_t codeStart = quoted ? p + 1 : p;
        const std::size_t codeEnd = text.find(quoted ? L'"' : L'>', codeStart);
        p = codeEnd == std::wstring::npos ? codeEnd : codeEnd + (quoted ? 1 : 0);
        const std::size_t close =
            p < text.size() && text[p] == L'>' ? text.find(kClose, p + 1) : std::wstring::npos;
        if (close == std::wstring::npos) break;
        out.append(text, pos, open - pos);
        out += L"[" + StyleCaption(text.substr(codeStart, codeEnd - codeStart)) + L"] ";
        out.append(text, p + 1, close - p - 1);
        pos = close + kClose.size();
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}

void AddTranscriptLine(Room& room, const std::wstring& line) {
    room.lines.push_back(line);
    if (room.lines.size() > kShownLines) room.lines.pop_front();
    std::wstring shown;
    for (const std::wstring& l : room.lines) shown += (shown.empty() ? L"" : L"\r\n") + l;
    // Straight to the default procedure: the stand-in's own updates are not
    // messages received from outside, so they stay out of the record.
    DefWindowProcW(room.transcript, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    InvalidateRect(room.transcript, nullptr, TRUE);
    WriteLine(g_transcript, room.prefix + " | " + ToUtf8(line) + "\r\n");
}

// The Send button: the input box's text goes into the transcript as a message
// of the user, and the input box is emptied. Nothing happens without text.
void PressSend(Room& room) {
    if (room.input == nullptr) return;
    if (g_options.slowSendMs > 0) Sleep(g_options.slowSendMs);
    char buf[8192];
    const LRESULT n =
        DefWindowProcA(room.input, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    if (n <= 0) return;
    AddTranscriptLine(
        room,
        L"Pallimo: " + Readable(win::FromAnsi(std::string(buf, static_cast<std::size_t>(n)))));
    DefWindowProcA(room.input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    InvalidateRect(room.input, nullptr, TRUE);
}

// ---- window procedures --------------------------------------------------------

Node* NodeOf(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* node = static_cast<Node*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(node));
        return node;
    }
    return reinterpret_cast<Node*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void PaintText(HWND hwnd, bool latestAtBottom) {
    win::ScopedPaint paint(hwnd);
    const std::wstring text = win::HwndGetText(hwnd);
    RECT area;
    GetClientRect(hwnd, &area);
    InflateRect(&area, -3, -2);
    win::ScopedSelect font(paint.dc(), g_font);
    SetBkMode(paint.dc(), TRANSPARENT);
    SetTextColor(paint.dc(), GetSysColor(COLOR_WINDOWTEXT));
    const UINT format = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
    RECT box = area;
    DrawTextW(paint.dc(), text.c_str(), -1, &box, format | DT_CALCRECT);
    // A long transcript scrolls: its last lines stay in sight.
    const int height = box.bottom - box.top;
    if (latestAtBottom && height > area.bottom - area.top) area.top = area.bottom - height;
    DrawTextW(paint.dc(), text.c_str(), -1, &area, format);
}

void PaintButton(HWND hwnd) {
    win::ScopedPaint paint(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool down = g_pressed == hwnd;
    DrawFrameControl(paint.dc(), &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    if (down) OffsetRect(&rc, 1, 1);
    win::ScopedSelect font(paint.dc(), g_font);
    SetBkMode(paint.dc(), TRANSPARENT);
    SetTextColor(paint.dc(), GetSysColor(COLOR_BTNTEXT));
    const std::wstring caption = win::HwndGetText(hwnd);
    DrawTextW(paint.dc(), caption.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CALLBACK TopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Node* node = NodeOf(hwnd, msg, lParam);
    if (node != nullptr && IsRecorded(msg)) Record(*node, msg, wParam, lParam);
    if (msg == WM_DESTROY && --g_openRooms == 0) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TextAreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Node* node = NodeOf(hwnd, msg, lParam);
    if (node == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (IsRecorded(msg)) Record(*node, msg, wParam, lParam);
    switch (msg) {
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            if (node->kind == Kind::Input && g_options.hangOnSetText && !g_hungOnSetText) {
                g_hungOnSetText = true;
                Sleep(g_options.hangMs);
            }
            return result;
        }
        case WM_PAINT:
            PaintText(hwnd, node->kind == Kind::Transcript);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK IconButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Node* node = NodeOf(hwnd, msg, lParam);
    if (node == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (IsRecorded(msg)) Record(*node, msg, wParam, lParam);
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            g_pressed = hwnd;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            // Like a real button: only a release on the button the press began on counts.
            if (g_pressed == hwnd) {
                g_pressed = nullptr;
                InvalidateRect(hwnd, nullptr, FALSE);
                if (node->kind == Kind::SendButton) PressSend(*node->room);
            }
            return 0;
        case WM_PAINT:
            PaintButton(hwnd);
            return 0;
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Node* node = NodeOf(hwnd, msg, lParam);
    if (node != nullptr && IsRecorded(msg)) Record(*node, msg, wParam, lParam);
    if (msg == WM_PAINT) {
        win::ScopedPaint paint(hwnd);
        win::ScopedSelect font(paint.dc(), g_font);
        SetBkMode(paint.dc(), TRANSPARENT);
        RECT rc;
        GetClientRect(hwnd, &rc);
        rc.left += 2;
        DrawTextW(paint.dc(), L"To:", -1, &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK EditSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Node* node = reinterpret_cast<Node*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (IsRecorded(msg)) Record(*node, msg, wParam, lParam);
    return CallWindowProcA(node->original, hwnd, msg, wParam, lParam);
}

// ---- building the windows -----------------------------------------------------------

void RegisterClasses() {
    // ANSI classes and procedures: a set-text message arrives with exactly the
    // bytes its sender passed, which is what the record must show.
    const struct {
        const char* name;
        WNDPROC proc;
        int brush;
    } classes[] = {
        {kChatClass, TopProc, COLOR_BTNFACE},         {kImClass, TopProc, COLOR_BTNFACE},
        {kTextAreaClass, TextAreaProc, COLOR_WINDOW}, {kButtonClass, IconButtonProc, COLOR_BTNFACE},
        {kComboClass, ComboProc, COLOR_BTNFACE},
    };
    for (const auto& c : classes) {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = c.proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(c.brush + 1));
        wc.lpszClassName = c.name;
        RegisterClassA(&wc);
    }
}

Node* NewNode(Room& room, const char* role, Kind kind) {
    g_nodes.push_back(
        {room.prefix + (kind == Kind::Top ? "" : std::string(".") + role), kind, &room, nullptr});
    return &g_nodes.back();
}

HWND AddChild(Room& room, HWND parent, const char* cls, const char* role, Kind kind,
              const char* caption, int x, int y, int w, int h) {
    const bool textArea = kind == Kind::Transcript || kind == Kind::Input;
    const DWORD exStyle = textArea ? WS_EX_CLIENTEDGE : 0;
    HWND hwnd = CreateWindowExA(exStyle, cls, caption, WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                                nullptr, GetModuleHandleA(nullptr), NewNode(room, role, kind));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    return hwnd;
}

// A top-level window of the given client size, its right edge `fromRight`
// pixels from the work area's right edge, at its top or bottom. The places
// keep clear of the smiley window, whose client area stands at (262, 274),
// 507 by 145 pixels: chat rooms along the top, message windows along the bottom.
Room& NewRoom(const char* prefix, const char* cls, const char* caption, int clientW, int clientH,
              int fromRight, bool atBottom) {
    g_rooms.push_back(Room());
    Room& room = g_rooms.back();
    room.prefix = prefix;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame = {0, 0, clientW, clientH};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    RECT work = {0, 0, 1024, 768};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int x = work.right - w - fromRight;
    const int y = atBottom ? work.bottom - h : work.top;
    room.top = CreateWindowExA(0, cls, caption, style, x, y, w, h, nullptr, nullptr,
                               GetModuleHandleA(nullptr), NewNode(room, "", Kind::Top));
    ++g_openRooms;
    return room;
}

void CreateChatRoom(const char* prefix, const char* caption, int fromRight) {
    Room& room = NewRoom(prefix, kChatClass, caption, 400, 196, fromRight, false);
    HWND top = room.top;
    // Child order is what delivery navigates by: the formatting button comes
    // before the text areas, Send right after the input box.
    AddChild(room, top, kButtonClass, "format", Kind::Button, "Format", 8, 118, 60, 22);
    room.transcript =
        AddChild(room, top, kTextAreaClass, "area1", Kind::Transcript, "", 8, 8, 384, 104);
    if (!g_options.oneArea)
        room.input = AddChild(room, top, kTextAreaClass, "input", Kind::Input, "", 8, 146, 300, 42);
    AddChild(room, top, kButtonClass, "send", Kind::SendButton, "Send", 316, 146, 76, 20);
    AddChild(room, top, kButtonClass, "more", Kind::Button, "More", 316, 168, 76, 20);
}

void CreateImWindow(const char* prefix, const char* caption, const char* buddy, int fromRight) {
    Room& room = NewRoom(prefix, kImClass, caption, 400, 214, fromRight, true);
    HWND top = room.top;
    if (g_options.combo) {
        HWND combo = AddChild(room, top, kComboClass, "combo", Kind::Combo, "", 8, 8, 384, 24);
        Node* node = NewNode(room, "edit", Kind::Edit);
        HWND edit =
            CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", buddy, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                            28, 1, 354, 22, combo, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
        SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(node));
        node->original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc)));
    }
    room.transcript =
        AddChild(room, top, kTextAreaClass, "area1", Kind::Transcript, "", 8, 38, 384, 112);
    room.input = AddChild(room, top, kTextAreaClass, "input", Kind::Input, "", 8, 156, 384, 26);
    // The Send button is the window's first icon button.
    AddChild(room, top, kButtonClass, "send", Kind::SendButton, "Send", 316, 188, 76, 22);
    AddChild(room, top, kButtonClass, "warn", Kind::Button, "Warn", 8, 188, 60, 22);
    AddChild(room, top, kButtonClass, "block", Kind::Button, "Block", 74, 188, 60, 22);
}

// Shows the windows without taking the focus, and stacks them in the order
// they were created: the window created last stands highest.
void ShowRooms() {
    for (Room& room : g_rooms) {
        if (IsWindowVisible(room.top)) continue;
        ShowWindow(room.top, SW_SHOWNA);
    }
    for (Room& room : g_rooms)
        SetWindowPos(room.top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CreateImWindows() {
    CreateImWindow("im", "PallimoPal - Instant Message", "PallimoPal", 0);
    if (g_options.twoIms) CreateImWindow("im2", "PallimoPal2 - Instant Message", "PallimoPal2", 24);
}

void CALLBACK OpenLateImWindows(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    CreateImWindows();
    ShowRooms();
}

void CALLBACK Hang(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Sleep(g_options.hangMs);
}

// A busy messenger: a message taken from the queue waits `ms` before it is
// handled, and meanwhile only sent messages are (PeekMessage handles them
// before it looks at the queue), so a sent message can overtake posted ones.
void HandleOnlySentFor(DWORD ms) {
    const DWORD start = GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = GetTickCount() - start) {
        MsgWaitForMultipleObjectsEx(0, nullptr, ms - passed, QS_SENDMESSAGE, 0);
        MSG sent;
        PeekMessageA(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// ---- the command line -------------------------------------------------------------

void PrintUsage() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        // A GUI program started from a console has no output of its own.
        if (AttachConsole(ATTACH_PARENT_PROCESS))
            out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    }
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        MessageBoxA(nullptr, kUsage, "standin", MB_OK);
        return;
    }
    DWORD written = 0;
    WriteFile(out, kUsage, sizeof kUsage - 1, &written, nullptr);
}

bool ParseNumber(const wchar_t* text, DWORD& value) {
    wchar_t* end = nullptr;
    const unsigned long n = std::wcstoul(text, &end, 10);
    if (end == text || *end != L'\0') return false;
    value = n;
    return true;
}

// Returns false on a switch it does not know, or one missing its value.
bool ParseOptions(int argc, wchar_t** argv, Options& o, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == L"--help" || a == L"-h" || a == L"/?")
            help = true;
        else if (a == L"--no-chat")
            o.chat = false;
        else if (a == L"--no-im")
            o.im = false;
        else if (a == L"--one-area")
            o.oneArea = true;
        else if (a == L"--no-combo")
            o.combo = false;
        else if (a == L"--two-chats")
            o.twoChats = true;
        else if (a == L"--two-ims")
            o.twoIms = true;
        else if (a == L"--hang-on-settext")
            o.hangOnSetText = true;
        else if (a == L"--record" && hasValue)
            o.record = argv[++i];
        else if (a == L"--transcript" && hasValue)
            o.transcript = argv[++i];
        else if (a == L"--im-after-ms" && hasValue && ParseNumber(argv[i + 1], o.imAfterMs))
            ++i;
        else if (a == L"--hang-after-ms" && hasValue && ParseNumber(argv[i + 1], o.hangAfterMs))
            ++i;
        else if (a == L"--late-posts-ms" && hasValue && ParseNumber(argv[i + 1], o.latePostsMs))
            ++i;
        else if (a == L"--hang-ms" && hasValue && ParseNumber(argv[i + 1], o.hangMs))
            ++i;
        else if (a == L"--slow-send-ms" && hasValue && ParseNumber(argv[i + 1], o.slowSendMs))
            ++i;
        else
            return false;
    }
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool help = false;
    const bool parsed = argv != nullptr && ParseOptions(argc, argv, g_options, help);
    LocalFree(argv);
    if (!parsed || help) {
        PrintUsage();
        return parsed ? 0 : 2;
    }

    g_font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    RegisterClasses();
    if (g_options.chat) {
        CreateChatRoom("chat", "Chat Room - Pallimo Lounge", 0);
        if (g_options.twoChats) CreateChatRoom("chat2", "Chat Room - Pallimo Lounge 2", 24);
    }
    const bool lateIm = g_options.im && g_options.imAfterMs > 0;
    if (g_options.im && !lateIm) CreateImWindows();
    ShowRooms();

    // The tests wait for the record file: it appears once the windows are there.
    if (!g_options.record.empty())
        g_record = OpenShared(g_options.record, GENERIC_WRITE, CREATE_ALWAYS);
    if (!g_options.transcript.empty()) {
        g_transcript = OpenShared(g_options.transcript, FILE_APPEND_DATA, OPEN_ALWAYS);
    }
    if (lateIm) SetTimer(nullptr, 0, g_options.imAfterMs, OpenLateImWindows);
    if (g_options.hangAfterMs > 0) SetTimer(nullptr, 0, g_options.hangAfterMs, Hang);

    int code = 0;
    if (g_openRooms > 0 || lateIm) {
        MSG msg;
        BOOL got;
        while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0 && got != -1) {
            // Paints and timers are made when asked for, not posted.
            if (g_options.latePostsMs > 0 && msg.message != WM_PAINT && msg.message != WM_TIMER)
                HandleOnlySentFor(g_options.latePostsMs);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        code = got == 0 ? static_cast<int>(msg.wParam) : 1;
    }
    if (g_record != INVALID_HANDLE_VALUE) CloseHandle(g_record);
    if (g_transcript != INVALID_HANDLE_VALUE) CloseHandle(g_transcript);
    return code;
}
