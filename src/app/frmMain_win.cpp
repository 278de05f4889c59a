#include "app/frmMain_win.h"

#include <commctrl.h>

#include <string>

#include "app/catalogue.h"
#include "app/faces_win.h"
#include "app/frmMain_ids.h"
#include "app/resource.h"
#include "app/sys_win.h"
#include "custom/Form4_win.h"
#include "messenger/winsys_win.h"
#include "win/text.h"

namespace app {

namespace {

using win::Kind;
namespace ids = frmMain_ids;

frmMain* g_smileyWindow = nullptr;

// A style option's id from its row in the catalogue's style table.
constexpr int S(int style) { return ids::kFirstStyle + style; }
constexpr int I(int face) { return ids::kImage1 + face; }

// Fixed size with a minimise button only.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kClientWidth = 7605, kClientHeight = 2175;  // twips
constexpr int kClientLeft = 3930, kClientTop = 4110;      // twips from the screen's corner
constexpr UINT_PTR kIconRetryTimer = 1;

// The 35 style options come first, as one option group in the order they
// stand in the window (column by column, each from the top), which is the
// order the arrow keys take. Only the chosen option is a Tab stop, so the
// group is one stop of the keyboard order: the first, as the option "Red"
// was. The other controls follow in their keyboard order; the pictures take
// no focus and come last. The text boxes and "More"/"Command3" lie below the visible client
// area: they are reached only with the keyboard.
constexpr win::ControlRow kRows[] = {
    {S(0), "op1", Kind::Option, L"Blue", 2160, 240, 975, 255, 0, WS_GROUP},
    {S(1), "op2", Kind::Option, L"Red", 2160, 480, 615, 375, 0, 0},
    {S(2), "Option1", Kind::Option, L"Yellow", 2160, 840, 975, 255, 0, 0},
    {S(3), "Option5", Kind::Option, L"Green", 2160, 1080, 855, 255, 0, 0},
    {S(4), "Option4", Kind::Option, L"Purple", 2160, 1320, 1095, 255, 0, 0},
    {S(5), "Option2", Kind::Option, L"Purple 2", 2160, 1560, 1095, 255, 0, 0},
    {S(6), "Option3", Kind::Option, L"RainBow", 2160, 1800, 975, 255, 0, 0},
    {S(7), "Option6", Kind::Option, L"Blue2", 3240, 240, 855, 255, 0, 0},
    {S(8), "Option7", Kind::Option, L"Clown", 3240, 480, 975, 255, 0, 0},
    {S(9), "Option8", Kind::Option, L"Monkey", 3240, 720, 975, 255, 0, 0},
    {S(10), "Option9", Kind::Option, L"Mustash", 3240, 960, 975, 195, 0, 0},
    {S(11), "Option10", Kind::Option, L"Pig", 3240, 1200, 615, 255, 0, 0},
    {S(12), "Option11", Kind::Option, L"Gold", 3240, 1440, 735, 255, 0, 0},
    {S(13), "Option12", Kind::Option, L"X-masTree", 3240, 1680, 1215, 255, 0, 0},
    {S(14), "Option13", Kind::Option, L"Egg", 4320, 240, 735, 255, 0, 0},
    {S(15), "Option14", Kind::Option, L"B Square", 4320, 480, 975, 255, 0, 0},
    {S(16), "Option15", Kind::Option, L"USA", 4320, 720, 735, 255, 0, 0},
    {S(17), "Option16", Kind::Option, L"Pirate", 4320, 960, 855, 255, 0, 0},
    {S(18), "Option17", Kind::Option, L"Football", 4320, 1200, 855, 255, 0, 0},
    {S(19), "Option18", Kind::Option, L"Star Fish", 4320, 1440, 975, 255, 0, 0},
    {S(20), "Option19", Kind::Option, L"Hand", 4320, 1680, 735, 255, 0, 0},
    {S(21), "Option20", Kind::Option, L"Heart", 5520, 240, 735, 195, 0, 0},
    {S(22), "Option21", Kind::Option, L"Hippo", 5520, 480, 735, 255, 0, 0},
    {S(23), "Option22", Kind::Option, L"Frog", 5520, 720, 735, 255, 0, 0},
    {S(24), "Option23", Kind::Option, L"Hockey", 5520, 960, 855, 255, 0, 0},
    {S(25), "Option24", Kind::Option, L"Skull", 5520, 1200, 735, 255, 0, 0},
    {S(26), "Option25", Kind::Option, L"Cards", 5520, 1440, 735, 255, 0, 0},
    {S(27), "Option26", Kind::Option, L"Dice", 5520, 1680, 735, 255, 0, 0},
    {S(28), "Option27", Kind::Option, L"Cow", 6480, 240, 975, 255, 0, 0},
    {S(29), "Option28", Kind::Option, L"MAD", 6480, 480, 1095, 255, 0, 0},
    {S(30), "Option29", Kind::Option, L"Snow Man", 6480, 720, 1095, 255, 0, 0},
    {S(31), "Option30", Kind::Option, L"No Face", 6480, 960, 1095, 255, 0, 0},
    {S(32), "Option31", Kind::Option, L"ALien", 6480, 1200, 1095, 255, 0, 0},
    {S(33), "Option32", Kind::Option, L"Puppy", 6480, 1440, 1095, 255, 0, 0},
    {S(34), "Option33", Kind::Option, L"Panda", 6480, 1680, 1215, 255, 0, 0},
    {ids::kCommand1, "Command1", Kind::Button, L"More", 1080, 3360, 855, 375, 0, WS_GROUP},
    {ids::kCommand2, "Command2", Kind::Button, L"Extra", 120, 1680, 855, 375, 0, 0},
    {ids::kText1, "Text1", Kind::TextBox, nullptr, 5520, 3240, 2055, 285, 0, 0},
    {ids::kText2, "Text2", Kind::TextBox, nullptr, 5520, 3240, 2055, 285, 0, 0},
    {ids::kCommand3, "Command3", Kind::Button, L"Command3", 3360, 3360, 1455, 495, 0, 0},
    {I(0), "Image1", Kind::Picture, nullptr, 120, 120, 285, 285, 0, 0},
    {I(1), "Image2", Kind::Picture, nullptr, 120, 480, 285, 285, 0, 0},
    {I(2), "Image3", Kind::Picture, nullptr, 120, 840, 285, 285, 0, 0},
    {I(3), "Image4", Kind::Picture, nullptr, 120, 1200, 285, 285, 0, 0},
    {I(4), "Image5", Kind::Picture, nullptr, 600, 480, 285, 285, 0, 0},
    {I(5), "Image6", Kind::Picture, nullptr, 600, 120, 285, 285, 0, 0},
    {I(6), "Image7", Kind::Picture, nullptr, 600, 840, 285, 285, 0, 0},
    {I(7), "Image8", Kind::Picture, nullptr, 600, 1200, 285, 285, 0, 0},
    {I(8), "Image9", Kind::Picture, nullptr, 1080, 120, 285, 285, 0, 0},
    {I(9), "Image10", Kind::Picture, nullptr, 1080, 480, 285, 285, 0, 0},
    {I(10), "Image11", Kind::Picture, nullptr, 1080, 840, 285, 285, 0, 0},
    {I(11), "Image12", Kind::Picture, nullptr, 1080, 1200, 285, 285, 0, 0},
    {I(12), "Image13", Kind::Picture, nullptr, 1560, 120, 285, 285, 0, 0},
    {I(13), "Image14", Kind::Picture, nullptr, 1560, 480, 285, 285, 0, 0},
    {I(14), "Image15", Kind::Picture, nullptr, 1560, 840, 285, 285, 0, 0},
    {I(15), "Image16", Kind::Picture, nullptr, 1560, 1200, 285, 285, 0, 0},
};
constexpr std::size_t kRowCount = sizeof kRows / sizeof kRows[0];
static_assert(kRowCount == catalogue::kStyleCount + catalogue::kFaceCount + 5,
              "every style, every face, three buttons and two text boxes");

constexpr bool StylesLeadInTableOrder() {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i)
        if (kRows[i].id != S(static_cast<int>(i))) return false;
    return true;
}
static_assert(StylesLeadInTableOrder(), "the option group comes first, in the catalogue's order");

bool IsStyleId(int id) {
    return id >= ids::kFirstStyle &&
           id < ids::kFirstStyle + static_cast<int>(catalogue::kStyleCount);
}
bool IsFaceId(int id) {
    return id >= ids::kImage1 && id < ids::kImage1 + static_cast<int>(catalogue::kFaceCount);
}

}  // namespace

bool frmMain::Load(int showCommand) {
    g_smileyWindow = this;
    const int dpi = win::SystemDpi();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // The icon file holds the face drawn at every size the system asks for:
    // the small one for the caption and the notification area, the large one
    // for the task switcher.
    icon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PALLIMO), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    largeIcon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PALLIMO),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));

    // The layout fixes where the client area stands on the screen.
    RECT r;
    r.left = win::TwipsToPixels(kClientLeft, dpi);
    r.top = win::TwipsToPixels(kClientTop, dpi);
    r.right = r.left + win::TwipsToPixels(kClientWidth, dpi);
    r.bottom = r.top + win::TwipsToPixels(kClientHeight, dpi);
    AdjustWindowRectEx(&r, kStyle, FALSE, 0);
    if (CreateTopLevel(ids::kClass, L"Smileys", kStyle, 0, r.left, r.top, r.right - r.left,
                       r.bottom - r.top, largeIcon_.get()) == nullptr)
        return false;
    win::KeepOnScreen(hwnd_);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));

    font_ = win::CreatePointFont(L"Tahoma", 825, dpi);
    layout_.Build(hwnd_, kRows, kRowCount, dpi, font_.get());
    win::HwndSetText(layout_.Get(ids::kText1), catalogue::StartCode());
    // "Blue" is drawn chosen, matching the start value of Text1, and is the
    // option group's one Tab stop, where the focus starts.
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i) {
        HWND option = layout_.Get(S(static_cast<int>(i)));
        SetWindowSubclass(option, &frmMain::OptionProc, 0, reinterpret_cast<DWORD_PTR>(this));
        MarkOption(option, i == 0);
    }
    markedStyle_ = 0;
    lastFocus_ = layout_.Get(S(0));
    AddFaceHints();
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    sys::AllowShellMessage(hwnd_, taskbarCreated_);

    Form_Load();

    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

void frmMain::ShowAgain() {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, SW_SHOW);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

void frmMain::Hide() {
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

void frmMain::Form_Load() {
    sys::FillRecord(hwnd_, icon_.get());
    delivery::ChatSend(L" --^V- Pallimo Loaded -V^-- ", hwnd_);
    delivery::TimeOut(1);
    delivery::ChatSend(L" --^V- Coded By: Tarrow -V^-- ", hwnd_);
}

void frmMain::Option_Click(std::size_t style) {
    if (style >= catalogue::kStyleCount) return;
    win::HwndSetText(layout_.Get(ids::kText1),
                     catalogue::QuotedCode(catalogue::kStyles[style].code));
    MarkStyle(style);
}

void frmMain::Image_Click(std::size_t face) {
    if (face >= catalogue::kFaceCount) return;
    win::HwndSetText(layout_.Get(ids::kText2),
                     catalogue::TagTail(catalogue::kFaces[face].emoticon));
    smile();
}

void frmMain::smile() {
    delivery::IMSend(catalogue::SmileyTag(win::HwndGetText(layout_.Get(ids::kText1)),
                                          win::HwndGetText(layout_.Get(ids::kText2))),
                     hwnd_);
}

void frmMain::Command1_Click() { OpenCustomCodes(); }
void frmMain::Command2_Click() { OpenCustomCodes(); }
void frmMain::Command3_Click() { smile(); }

// "More" and "Extra" show the custom codes window (modeless, no owner, loaded
// afresh if it was closed) and hide this one, without a notification icon;
// its close shows this window again with ShowSmileyWindow().
void frmMain::OpenCustomCodes() {
    custom::ShowForm4();
    Hide();
}

void frmMain::Form_Resize(WPARAM sizeType) {
    if (sizeType == SIZE_MAXIMIZED) {
        // The window has one size and place: a request to maximise it (a
        // shortcut set to "Maximized", which Windows applies to the first
        // show whatever the program asks) shows it as it is, and out of the
        // tray if it was there.
        ShowWindow(hwnd_, SW_RESTORE);
        sys::DeleteIcon();
        return;
    }
    // A hidden window is in the tray already: the system may report the
    // minimised size twice when it first shows the window minimised.
    if (sizeType == SIZE_MINIMIZED && IsWindowVisible(hwnd_)) MoveToTray();
    // Restored from the taskbar after the icon was refused: an icon the
    // shell added after it reported failure goes away.
    if (sizeType == SIZE_RESTORED && iconRefused_) {
        iconRefused_ = false;
        sys::DeleteIcon();
    }
}

// Minimised, the window lives in the notification area instead of the
// taskbar, but only once its icon is there: a shell that is busy, restarting
// or replaced may refuse the icon, and a hidden window without one could not
// be brought back. It is asked once more about a second later; until then,
// and if it refuses again, the window stays minimised on the taskbar.
// A shell that answered too late may show the icon all the same: the second
// try then finds it, and restored from the taskbar, the window takes it away
// (Form_Resize).
void frmMain::MoveToTray() {
    const sys::IconAdd added = sys::AddIcon(false);
    if (added == sys::IconAdd::kThere) {
        KillTimer(hwnd_, kIconRetryTimer);
        iconRefused_ = false;
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    iconRefused_ = true;
    shellBusy_ = added == sys::IconAdd::kBusy;
    if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
    SetTimer(hwnd_, kIconRetryTimer, 1000, nullptr);
}

void frmMain::RetryIcon() {
    KillTimer(hwnd_, kIconRetryTimer);
    // Restored in the meantime, or already in the tray: nothing to do.
    if (!IsIconic(hwnd_) || !IsWindowVisible(hwnd_)) return;
    if (sys::AddIcon(shellBusy_) == sys::IconAdd::kThere) {
        iconRefused_ = false;
        ShowWindow(hwnd_, SW_HIDE);
    }
}

void frmMain::Form_MouseMove(LPARAM notification) {
    switch (LOWORD(notification)) {
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP:
            ShowWindow(hwnd_, SW_RESTORE);
            SetForegroundWindow(hwnd_);
            ShowWindow(hwnd_, SW_SHOW);
            sys::DeleteIcon();
            break;
        default:
            break;
    }
}

void frmMain::Form_Unload() {
    sys::DeleteIcon();
    // Closing the smiley window ends the program at once, every other window
    // with it, without their own closing steps.
    ExitProcess(0);
}

void frmMain::MarkStyle(std::size_t style) {
    if (style == markedStyle_) return;
    MarkOption(layout_.Get(S(static_cast<int>(markedStyle_))), false);
    MarkOption(layout_.Get(S(static_cast<int>(style))), true);
    markedStyle_ = style;
}

// As in a dialog's option group, only the chosen option is a Tab stop, so
// tabbing through the window passes the group once and chooses nothing.
void frmMain::MarkOption(HWND option, bool chosen) {
    win::SetChecked(option, chosen);
    const LONG_PTR style = GetWindowLongPtrW(option, GWL_STYLE);
    SetWindowLongPtrW(option, GWL_STYLE,
                      chosen ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP)));
}

// The arrow keys move to the next or the previous option, round from the
// last to the first, and choose it. The window does this itself rather than
// leave it to the dialog manager: that one chooses an option only through the
// click Windows reports when an unchecked option gets the focus, and Wine
// does not report it.
void frmMain::StepStyle(HWND from, int step) {
    const win::ControlRow* row = layout_.RowOf(from);
    if (row == nullptr || !IsStyleId(row->id)) return;
    const int count = static_cast<int>(catalogue::kStyleCount);
    const int next = (row->id - ids::kFirstStyle + step + count) % count;
    // Chosen before it has the focus, the option reports no click for it.
    Option_Click(static_cast<std::size_t>(next));
    SetFocus(layout_.Get(S(next)));
    // The keyboard is in use: show the focus rectangle if the mouse hid it, as
    // the dialog manager does for the keys it handles itself.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

LRESULT CALLBACK frmMain::OptionProc(HWND option, UINT msg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self) {
    auto* window = reinterpret_cast<frmMain*>(self);
    switch (msg) {
        case WM_GETDLGCODE:
            return DefSubclassProc(option, msg, wParam, lParam) | DLGC_WANTARROWS;
        case WM_KEYDOWN:
            if (wParam == VK_DOWN || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_LEFT) {
                window->StepStyle(option, wParam == VK_DOWN || wParam == VK_RIGHT ? 1 : -1);
                return 0;
            }
            break;
        case WM_SETFOCUS: {
            // On Windows an unchecked option reports a click when it merely
            // gets the focus (by Tab, at start-up, on activation): that
            // chooses nothing. Windows' button code sends that click from
            // inside its WM_SETFOCUS, before it returns (unless the button is
            // being clicked); Wine 8 sends none, so no test under Wine
            // reaches this guard.
            const bool outer = window->focusArriving_;
            window->focusArriving_ = true;
            const LRESULT result = DefSubclassProc(option, msg, wParam, lParam);
            window->focusArriving_ = outer;
            return result;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(option, &frmMain::OptionProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(option, msg, wParam, lParam);
}

void frmMain::AddFaceHints() {
    hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (hints_ == nullptr) return;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(layout_.Get(I(static_cast<int>(i))));
        ti.lpszText = const_cast<wchar_t*>(catalogue::kFaces[i].emoticon);
        SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void frmMain::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam) != 0 || lastFocus_ == nullptr) return;  // minimised
    SetFocus(lastFocus_);
}

bool frmMain::OnCommand(int id, int code) {
    if (IsStyleId(id)) {
        if (code == BN_CLICKED && !focusArriving_)
            Option_Click(static_cast<std::size_t>(id - ids::kFirstStyle));
        return true;
    }
    if (IsFaceId(id)) {
        // A quick second click on a face is a double click: it sends again.
        if (code == STN_CLICKED || code == STN_DBLCLK)
            Image_Click(static_cast<std::size_t>(id - ids::kImage1));
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case ids::kCommand1:
            Command1_Click();
            return true;
        case ids::kCommand2:
            Command2_Click();
            return true;
        case ids::kCommand3:
            Command3_Click();
            return true;
        case IDOK: {
            // Enter on a focused push button presses it, as in a dialog.
            HWND focus = GetFocus();
            if (focus == layout_.Get(ids::kCommand1) || focus == layout_.Get(ids::kCommand2) ||
                focus == layout_.Get(ids::kCommand3))
                SendMessageW(focus, BM_CLICK, 0, 0);
            return true;
        }
        default:
            return false;
    }
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == sys::kNotifyMessage) {
        Form_MouseMove(lParam);
        return 0;
    }
    // A restarted taskbar has forgotten the icon of a window that is in the
    // tray, and takes the icon that an earlier one refused.
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        if (IsIconic(hwnd_)) MoveToTray();
        return 0;
    }
    switch (msg) {
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
            break;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item != nullptr && IsFaceId(static_cast<int>(item->CtlID))) {
                faces::DrawFace(item->hDC, item->rcItem, item->CtlID - ids::kImage1);
                return TRUE;
            }
            break;
        }
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case WM_SIZE:
            Form_Resize(wParam);
            return 0;
        case WM_TIMER:
            if (wParam == kIconRetryTimer) {
                RetryIcon();
                return 0;
            }
            break;
        case WM_CLOSE:
        case WM_DESTROY:
            Form_Unload();
            return 0;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

void ShowSmileyWindow() {
    if (g_smileyWindow != nullptr) g_smileyWindow->ShowAgain();
}

void HideSmileyWindow() {
    if (g_smileyWindow != nullptr) g_smileyWindow->Hide();
}

}  // namespace app
