#include "custom/Form4_win.h"

#include <commctrl.h>

#include <initializer_list>
#include <utility>

#include "app/frmMain_win.h"
#include "custom/Form4_ids.h"
#include "custom/listfile_win.h"
#include "info/info_win.h"
#include "info/url_win.h"
#include "messenger/winsys_win.h"
#include "win/text.h"

namespace custom {

namespace {

using namespace Form4_ids;
using win::Kind;

// The page "Get More Codes" opens.
const wchar_t kMoreCodesPage[] = L"http://www.pallimo.example/codes.html";

constexpr int kClientWidth = 3315;  // twips, below the menu bar
constexpr int kClientHeight = 3360;

// The buttons overlap by a pixel; clipping keeps each one drawn whole on top.
constexpr DWORD kOverlapping = WS_CLIPSIBLINGS;

// In tab order. The file-name box lies below the client area: it is reached
// only with the Tab key, and what is typed there goes in unseen.
const win::ControlRow kRows[] = {
    {kFrame1, "Frame1", Kind::Frame, L"Double Click To Send", 120, 120, 3015, 2175, 0, WS_GROUP},
    {kList1, "List1", Kind::ListBox, nullptr, 120, 240, 2775, 1815, kFrame1, 0},
    {kCommand1, "Command1", Kind::Button, L"Add", 120, 2640, 735, 255, 0, WS_GROUP | kOverlapping},
    {kCommand2, "Command2", Kind::Button, L"Clear", 840, 2640, 735, 255, 0, kOverlapping},
    {kCommand3, "Command3", Kind::Button, L"Load", 2280, 2640, 735, 255, 0, kOverlapping},
    {kText1, "Text1", Kind::TextBox, L"Enter Smiley Code Here", 120, 3000, 3015, 285, 0, 0},
    {kText2, "Text2", Kind::TextBox, L"App.Path", 120, 3480, 975, 285, 0, 0},
    {kCommand4, "Command4", Kind::Button, L"Save", 1560, 2640, 735, 255, 0, kOverlapping},
    {kOp1, "op1", Kind::Option, L"Send IM", 240, 2400, 1095, 195, 0, WS_GROUP},
    {kOption1, "Option1", Kind::Option, L"Send Chat", 1920, 2400, 1215, 195, 0, 0},
};

const win::ToolFormLook kLook = {
    kClass,        L"Custom",     kClientWidth, kClientHeight,
    CW_USEDEFAULT, CW_USEDEFAULT, kRows,        sizeof kRows / sizeof kRows[0],
    kList1};

}  // namespace

Form4::Form4() : ToolForm(kLook) {}

Form4::~Form4() {
    if (exists()) DestroyWindow(hwnd_);
}

void ShowForm4() {
    static Form4 form;
    form.Show();
}

// ---- building -----------------------------------------------------------------

void Form4::OnBuilt() {
    listFont_ = win::CreatePointFont(L"MS Sans Serif", 825, dpi());
    SendMessageW(Control(kList1), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
    SetWindowSubclass(Control(kText1), &Form4::Text1Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    ChooseDestination(kOp1);
    AddMenuBar();
}

void Form4::AddMenuBar() {
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, kIno, L"Clear");
    AppendMenuW(file, MF_STRING, kLoahs, L"Load");
    AppendMenuW(file, MF_STRING, kAsdsadsd, L"Save");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);  // asd
    AppendMenuW(file, MF_STRING, kSdsd, L"&Exit");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kInso, L"Instructions");
    AppendMenuW(help, MF_STRING, kGetty, L"Get More Codes");
    AppendMenuW(help, MF_SEPARATOR, 0, nullptr);  // asdsa
    AppendMenuW(help, MF_STRING, kAbby, L"About");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");  // fileiu
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");  // ass
    // The window owns the menu from here on and destroys it with itself.
    SetMenu(hwnd_, bar);

    // The client area keeps its size below the menu bar: grow the window by
    // whatever the bar took, however many rows it needed.
    const int width = win::TwipsToPixels(kClientWidth, dpi());
    const int height = win::TwipsToPixels(kClientHeight, dpi());
    RECT window = {}, client = {};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0,
                 window.right - window.left + width - (client.right - client.left),
                 window.bottom - window.top + height - (client.bottom - client.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window opens with its layout's values; nothing is loaded.
void Form4::Form_Load() {}

// ---- messages -----------------------------------------------------------------

LRESULT Form4::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        Form_Unload();
        DestroyWindow(hwnd_);
        return 0;
    }
    return ToolForm::HandleMessage(msg, wParam, lParam);
}

void Form4::OnCommand(int id, int code, HWND control) {
    if (control == nullptr) {
        // The menu, and Enter (IDOK) from the keyboard; Esc (IDCANCEL) means
        // nothing here.
        switch (id) {
            case IDOK:
                PressFocusedButton();
                break;
            case kIno:
                ino_Click();
                break;
            case kLoahs:
                loahs_Click();
                break;
            case kAsdsadsd:
                asdsadsd_Click();
                break;
            case kSdsd:
                sdsd_Click();
                break;
            case kInso:
                inso_Click();
                break;
            case kGetty:
                getty_Click();
                break;
            case kAbby:
                abby_Click();
                break;
            default:
                break;
        }
        return;
    }
    if (id == kList1) {
        if (code == LBN_DBLCLK) List1_DblClick();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kCommand1:
            Command1_Click();
            break;
        case kCommand2:
            Command2_Click();
            break;
        case kCommand3:
            Command3_Click();
            break;
        case kCommand4:
            Command4_Click();
            break;
        case kOp1:
            op1_Click();
            break;
        case kOption1:
            Option1_Click();
            break;
        default:
            break;
    }
}

// Every click into the code box empties it, not only the first.
LRESULT CALLBACK Form4::Text1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR self) {
    if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &Form4::Text1Proc, id);
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_LBUTTONUP) {
        RECT r;
        GetClientRect(hwnd, &r);
        const POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&r, p)) reinterpret_cast<Form4*>(self)->Text1_Click();
    }
    return result;
}

void Form4::OnDestroyed() {
    // A load still reading into this window stops at its next look, and what
    // was waiting for it goes with the window.
    if (loading_ != nullptr) loading_->cancelled = true;
    loading_ = nullptr;
    waiting_.clear();
    ToolForm::OnDestroyed();
    listFont_.reset();
}

// ---- handlers -----------------------------------------------------------------

void Form4::Form_Unload() {
    // Nothing is saved and nothing asks: unsaved items go with the window.
    app::ShowSmileyWindow();
}

void Form4::Text1_Click() { win::HwndSetText(Control(kText1), L""); }

void Form4::Command1_Click() {
    win::LbAddString(Control(kList1), win::HwndGetText(Control(kText1)));
}

// What waits for a running load goes too: a Save pressed before the Clear
// would write the items read after it over the file being read.
void Form4::Command2_Click() {
    waiting_.clear();
    SendMessageW(Control(kList1), LB_RESETCONTENT, 0, 0);
    win::HwndSetText(Control(kText2), L"");
}

void Form4::Command3_Click() { RunFileJob({false, win::HwndGetText(Control(kText2))}); }

void Form4::Command4_Click() { RunFileJob({true, win::HwndGetText(Control(kText2))}); }

void Form4::List1_DblClick() {
    const std::wstring text = win::LbGetSelectedText(Control(kList1));
    if (win::IsChecked(Control(kOp1)))
        delivery::IMSend(text, hwnd());
    else if (win::IsChecked(Control(kOption1)))
        delivery::ChatSend(text, hwnd());
}

void Form4::op1_Click() { ChooseDestination(kOp1); }
void Form4::Option1_Click() { ChooseDestination(kOption1); }

void Form4::ino_Click() { Command2_Click(); }
void Form4::loahs_Click() { Command3_Click(); }
void Form4::asdsadsd_Click() { Command4_Click(); }

void Form4::sdsd_Click() {
    Form_Unload();
    DestroyWindow(hwnd_);
    app::ShowSmileyWindow();
}

void Form4::inso_Click() { info::ShowInstructions(); }
void Form4::getty_Click() { url::OpenLink(kMoreCodesPage); }
void Form4::abby_Click() { info::ShowAbout(); }

// ---- helpers ------------------------------------------------------------------

// The two options form one group. As in a dialog, only the chosen one is a
// tab stop, so tabbing through the window does not change the destination.
void Form4::ChooseDestination(int id) {
    for (int option : {kOp1, kOption1}) {
        HWND h = Control(option);
        win::SetChecked(h, option == id);
        const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
        SetWindowLongPtrW(h, GWL_STYLE,
                          option == id ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
    }
}

// Enter on a focused button presses it, as in a dialog; elsewhere it does nothing.
void Form4::PressFocusedButton() {
    HWND focus = GetFocus();
    for (int id : {kCommand1, kCommand2, kCommand3, kCommand4})
        if (focus == Control(id)) SendMessageW(focus, BM_CLICK, 0, 0);
}

// A load lets the window handle its events while it reads, so Save and Load
// can be pressed in the middle of one. They wait for it: a save then writes
// the whole list rather than the part read so far (which, saved over the file
// being read, would lose the rest), and a second load appends its items after
// the first one's, just as when it is pressed after the first has ended. A
// load that stops part-way (a failed read, no memory, no room in the list, a
// file it cannot open) drops what waits for it, as "Clear" does: a save would
// write the part read over the file. Only a missing file drops nothing.
void Form4::RunFileJob(FileJob job) {
    if (loading_ != nullptr) {
        // Saves one after the other to the same file are one save, since the
        // list is read when it runs: each would wait for a held file again.
        const bool sameSave = job.save && !waiting_.empty() && waiting_.back().save &&
                              waiting_.back().path == job.path;
        if (!sameSave) waiting_.push_back(std::move(job));
        return;
    }
    for (;;) {
        if (job.save) {
            Module1::SaveList(job.path, Control(kList1));
        } else if (!RunLoad(job.path)) {
            // Closed in the middle: the window, and whatever opened since, is
            // no longer this load's business.
            return;
        }
        if (waiting_.empty()) return;
        job = std::move(waiting_.front());
        waiting_.pop_front();
    }
}

// False when the window closed during the load.
bool Form4::RunLoad(const std::wstring& path) {
    LoadRun run;
    // However the load ends, even by an exception, the window no longer
    // points at it afterwards; when it stopped part-way through its file, what
    // waits for it goes. A load that read nothing (a missing file) leaves the
    // list as it was, so what waits still runs.
    struct Mark {
        LoadRun*& loading;
        std::deque<FileJob>& waiting;
        LoadRun* run;
        bool partial;
        ~Mark() {
            if (loading != run) return;  // the window closed: all went with it
            loading = nullptr;
            if (partial) waiting.clear();
        }
    } mark{loading_, waiting_, &run, true};
    loading_ = &run;
    mark.partial = Module1::LoadList(path, Control(kList1), [&run] { return !run.cancelled; }) ==
                   Module1::LoadResult::kPartial;
    return !run.cancelled;
}

}  // namespace custom
