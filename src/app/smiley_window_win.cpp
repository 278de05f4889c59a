#include "app/smiley_window_win.h"

#include <commctrl.h>

#include <array>
#include <iterator>
#include <string>
#include <utility>

#include "app/catalogue.h"
#include "app/faces_win.h"
#include "app/resource.h"
#include "app/smiley_window_ids.h"
#include "messenger/winsys_win.h"
#include "win/pump.h"
#include "win/text.h"

namespace app {

namespace {

using win::Kind;
namespace ids = smiley_window_ids;

constexpr UINT_PTR kIconRetryTimer = 1;

// clang-format off
// The controls between the options and the pictures, in their keyboard
// order. The text boxes, "More" and the send button lie below the visible
// client area: they are reached only with the keyboard.
constexpr win::ControlRow kButtonsAndBoxes[] = {
    // id               name        kind           caption       left  top   width height in extra
    {ids::kMoreButton,  "Command1", Kind::Button,  L"More",      1080, 3360, 855,  375,  0, WS_GROUP},
    {ids::kExtraButton, "Command2", Kind::Button,  L"Extra",     120,  1680, 855,  375,  0, 0},
    {ids::kCodeBox,     "Text1",    Kind::TextBox, nullptr,      5520, 3240, 2055, 285,  0, 0},
    {ids::kTagTailBox,  "Text2",    Kind::TextBox, nullptr,      5520, 3240, 2055, 285,  0, 0},
    {ids::kSendButton,  "Command3", Kind::Button,  L"Command3",  3360, 3360, 1455, 495,  0, 0},
};
// clang-format on

// The first option and the first picture each start a group.
constexpr DWORD GroupStart(std::size_t index) { return index == 0 ? WS_GROUP : 0; }

constexpr std::size_t kRowCount =
    catalogue::kStyleCount + std::size(kButtonsAndBoxes) + catalogue::kFaceCount;

// The 35 style options come first, from the catalogue, as one option group in
// the order they stand in the window (column by column, each from the top),
// which is the order the arrow keys take. Only the chosen option is a Tab
// stop, so the group is one stop of the keyboard order: the first, as the
// option "Red" was. The buttons and boxes follow, and the pictures come last:
// another group, whose one Tab stop is the face the keyboard is on. The
// options and the pictures have their names in the catalogue.
// clang-format off
constexpr std::array<win::ControlRow, kRowCount> SmileyRows() {
    std::array<win::ControlRow, kRowCount> rows{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i) {
        const catalogue::Style& s = catalogue::kStyles[i];
        rows[n++] = {ids::StyleId(i), nullptr, Kind::Option, s.caption,
                     s.left, s.top, s.width, s.height, 0, GroupStart(i)};
    }
    for (const win::ControlRow& row : kButtonsAndBoxes) rows[n++] = row;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        const catalogue::Face& f = catalogue::kFaces[i];
        rows[n++] = {ids::FaceId(i), nullptr, Kind::Picture, nullptr,
                     f.left, f.top, catalogue::kFaceSize, catalogue::kFaceSize, 0, GroupStart(i)};
    }
    return rows;
}
// clang-format on
constexpr std::array<win::ControlRow, kRowCount> kRows = SmileyRows();

// The face next to `face` on the screen in direction (dx, dy): the nearest
// one in that direction on the same row or column; `face` itself at an edge.
std::size_t FaceBeside(std::size_t face, int dx, int dy) {
    const catalogue::Face& from = catalogue::kFaces[face];
    std::size_t best = face;
    int bestDistance = 0;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        const catalogue::Face& to = catalogue::kFaces[i];
        const bool inLine = dx != 0 ? to.top == from.top : to.left == from.left;
        const int distance = dx * (to.left - from.left) + dy * (to.top - from.top);
        if (inLine && distance > 0 && (best == face || distance < bestDistance)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

const win::CommandRow kCommands[] = {
    {ids::kMoreButton, BN_CLICKED, win::Handler(&SmileyWindow::OpenCustomCodes)},
    {ids::kExtraButton, BN_CLICKED, win::Handler(&SmileyWindow::OpenCustomCodes)},
    {ids::kSendButton, BN_CLICKED, win::Handler(&SmileyWindow::SendSmiley)},
};

// Fixed size and place, with a minimise button only.
const win::WindowSpec kSpec =
    win::WindowSpec(ids::kClass, L"Smileys")
        .Styles(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0)
        .ClientSize(7605, 2175)
        .ClientPlace(3930, 4110)
        .Controls(kRows.data(), kRows.size())
        .Commands(kCommands)
        .FirstFocus(ids::StyleId(0));

bool IsStyleId(int id) {
    return id >= ids::kFirstStyle &&
           id < ids::kFirstStyle + static_cast<int>(catalogue::kStyleCount);
}
bool IsFaceId(int id) {
    return id >= ids::kFirstFace && id < ids::kFirstFace + static_cast<int>(catalogue::kFaceCount);
}

}  // namespace

SmileyWindow::SmileyWindow(delivery::MessengerDelivery& messenger, tray::Icon& trayIcon,
                           std::function<bool()> openCustomCodes, std::function<void()> closed)
    : LayoutWindow(kSpec),
      messenger_(messenger),
      trayIcon_(trayIcon),
      openCustomCodes_(std::move(openCustomCodes)),
      closed_(std::move(closed)) {}

bool SmileyWindow::Open(int showCommand) {
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
    return LayoutWindow::Open(showCommand, largeIcon_.get());
}

// The announcement starts as soon as the window stands, and the controls are
// built during its one-second wait rather than before it: start-up then
// takes hardly longer than the wait.
void SmileyWindow::OnWindowCreated() {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    trayIcon_.FillRecord(hwnd_, icon_.get());
    messenger_.ChatSend(L" --^V- Pallimo Loaded -V^-- ", delivery::ToHandle(hwnd_));
    announcedAt_ = win::NowMs();
}

void SmileyWindow::OnCreate() {
    win::HwndSetText(Control(ids::kCodeBox), catalogue::StartCode());
    // "Blue" is drawn chosen, matching the start value of the code box, and
    // is the option group's one Tab stop, where the focus starts.
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i) {
        MarkOption(Control(ids::StyleId(i)), i == 0);
    }
    markedStyle_ = 0;
    // Each face carries its text, which a screen reader reads when the
    // keyboard is on it; the first one is the faces' Tab stop.
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i)
        win::HwndSetText(Control(ids::FaceId(i)), catalogue::kFaces[i].emoticon);
    currentFace_ = 0;
    win::SetTabStop(Control(ids::FaceId(0)), true);
    AddFaceHints();
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray::AllowShellMessage(hwnd_, taskbarCreated_);
    // The rest of the second since the first line, then the second line.
    const std::uint32_t spent = win::NowMs() - announcedAt_;
    if (spent < 1000) messenger_.TimeOut((1000 - spent) / 1000.0);
    messenger_.ChatSend(L" --^V- Coded By: Tarrow -V^-- ", delivery::ToHandle(hwnd_));
}

void SmileyWindow::ShowAgain() {
    if (hwnd_ == nullptr) return;
    ShowWindow(hwnd_, SW_SHOW);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

void SmileyWindow::Hide() {
    if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_HIDE);
}

void SmileyWindow::OnStyle(std::size_t style) {
    if (style >= catalogue::kStyleCount) return;
    win::HwndSetText(Control(ids::kCodeBox), catalogue::QuotedCode(catalogue::kStyles[style].code));
    MarkStyle(style);
}

void SmileyWindow::OnFace(std::size_t face) {
    if (face >= catalogue::kFaceCount) return;
    SetTagTail(face);
    SendSmiley();
}

// Setting a text box's text costs more than the rest of a click's own work
// (under Wine, a few tenths of a millisecond): a face whose tail the box
// holds already leaves it as it is.
void SmileyWindow::SetTagTail(std::size_t face) {
    HWND box = Control(ids::kTagTailBox);
    const std::wstring tail = catalogue::TagTail(catalogue::kFaces[face].emoticon);
    if (win::HwndGetText(box) != tail) win::HwndSetText(box, tail);
}

void SmileyWindow::OnFaceMenu(std::size_t face, LPARAM at) {
    if (face >= catalogue::kFaceCount) return;
    POINT p = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (p.x == -1 && p.y == -1) {  // from the keyboard: below the face
        RECT r = {};
        GetWindowRect(Control(ids::FaceId(face)), &r);
        p = {r.left, r.bottom};
    }
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    AppendMenuW(menu, MF_STRING, ids::kFaceSendItem, L"&Send");
    AppendMenuW(menu, MF_STRING, ids::kFaceChatItem, L"Send to c&hat room");
    AppendMenuW(menu, MF_STRING, ids::kFaceCopyItem, L"&Copy");
    SetMenuDefaultItem(menu, ids::kFaceSendItem, FALSE);
    // The hint would stand over the menu.
    const bool hinted = keyHint_ != nullptr && IsWindowVisible(keyHint_);
    ShowKeyHint(false);
    const int chosen = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    ShowKeyHint(hinted);
    if (chosen == ids::kFaceSendItem) {
        OnFace(face);
    } else if (chosen == ids::kFaceChatItem) {
        SetTagTail(face);
        messenger_.ChatSend(TagOf(face), delivery::ToHandle(hwnd_));
    } else if (chosen == ids::kFaceCopyItem) {
        // The window and the messenger are left as they are.
        if (!win::ClipboardSetText(hwnd_, TagOf(face))) MessageBeep(MB_ICONWARNING);
    }
}

// The tag a click on the face sends with the code chosen now.
std::wstring SmileyWindow::TagOf(std::size_t face) const {
    return catalogue::SmileyTag(win::HwndGetText(Control(ids::kCodeBox)),
                                catalogue::TagTail(catalogue::kFaces[face].emoticon));
}

void SmileyWindow::SendSmiley() {
    messenger_.IMSend(catalogue::SmileyTag(win::HwndGetText(Control(ids::kCodeBox)),
                                           win::HwndGetText(Control(ids::kTagTailBox))),
                      delivery::ToHandle(hwnd_));
}

// "More" and "Extra" show the custom codes window (modeless, no owner, built
// afresh if it was closed) and hide this one, without a notification icon;
// the custom codes window's close shows this one again. Only once that window
// stands: one that could not be made (no desktop heap left) would leave the
// program running with no window at all.
void SmileyWindow::OpenCustomCodes() {
    if (openCustomCodes_())
        Hide();
    else
        MessageBeep(MB_ICONWARNING);
}

void SmileyWindow::OnSize(WPARAM sizeType) {
    if (sizeType == SIZE_MAXIMIZED) {
        // The window has one size and place: a request to maximise it (a
        // shortcut set to "Maximized", which Windows applies to the first
        // show whatever the program asks) shows it as it is, and out of the
        // tray if it was there.
        ShowWindow(hwnd_, SW_RESTORE);
        trayIcon_.Delete();
        return;
    }
    // A hidden window is in the tray already: the system may report the
    // minimised size twice when it first shows the window minimised.
    if (sizeType == SIZE_MINIMIZED && IsWindowVisible(hwnd_)) MoveToTray();
    // Restored from the taskbar after the icon was refused: an icon the
    // shell added after it reported failure goes away.
    if (sizeType == SIZE_RESTORED && iconRefused_) {
        iconRefused_ = false;
        trayIcon_.Delete();
    }
}

// Minimised, the window lives in the notification area instead of the
// taskbar, but only once its icon is there: a shell that is busy, restarting
// or replaced may refuse the icon, and a hidden window without one could not
// be brought back. It is asked once more about a second later; until then,
// and if it refuses again, the window stays minimised on the taskbar.
// A shell that answered too late may show the icon all the same: the second
// try then finds it, and restored from the taskbar, the window takes it away
// (OnSize).
void SmileyWindow::MoveToTray() {
    const tray::IconAdd added = trayIcon_.Add(false);
    if (added == tray::IconAdd::kThere) {
        KillTimer(hwnd_, kIconRetryTimer);
        iconRefused_ = false;
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    iconRefused_ = true;
    shellBusy_ = added == tray::IconAdd::kBusy;
    if (!IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
    SetTimer(hwnd_, kIconRetryTimer, 1000, nullptr);
}

void SmileyWindow::RetryIcon() {
    KillTimer(hwnd_, kIconRetryTimer);
    // Restored in the meantime, or already in the tray: nothing to do.
    if (!IsIconic(hwnd_) || !IsWindowVisible(hwnd_)) return;
    if (trayIcon_.Add(shellBusy_) == tray::IconAdd::kThere) {
        iconRefused_ = false;
        ShowWindow(hwnd_, SW_HIDE);
    }
}

void SmileyWindow::OnTrayIcon(LPARAM notification) {
    switch (LOWORD(notification)) {
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONUP:
            ShowWindow(hwnd_, SW_RESTORE);
            SetForegroundWindow(hwnd_);
            ShowWindow(hwnd_, SW_SHOW);
            trayIcon_.Delete();
            break;
        default:
            break;
    }
}

void SmileyWindow::MarkStyle(std::size_t style) {
    if (style == markedStyle_) return;
    MarkOption(Control(ids::StyleId(markedStyle_)), false);
    MarkOption(Control(ids::StyleId(style)), true);
    markedStyle_ = style;
}

// As in a dialog's option group, only the chosen option is a Tab stop, so
// tabbing through the window passes the group once and chooses nothing.
void SmileyWindow::MarkOption(HWND option, bool chosen) {
    win::SetChecked(option, chosen);
    win::SetTabStop(option, chosen);
}

// The arrow keys move to the next or the previous option, round from the
// last to the first, and choose it. The window does this itself rather than
// leave it to the dialog manager: that one chooses an option only through the
// click Windows reports when an unchecked option gets the focus, and Wine
// does not report it.
void SmileyWindow::StepStyle(HWND from, int step) {
    const int id = GetDlgCtrlID(from);
    if (!IsStyleId(id) || Control(id) != from) return;
    const int count = static_cast<int>(catalogue::kStyleCount);
    const int next = (id - ids::kFirstStyle + step + count) % count;
    // Chosen before it has the focus, the option reports no click for it.
    OnStyle(static_cast<std::size_t>(next));
    SetFocus(Control(ids::StyleId(next)));
    // The keyboard is in use: show the focus rectangle if the mouse hid it, as
    // the dialog manager does for the keys it handles itself.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// The faces are a grid the keyboard moves in by their places on the screen,
// stopping at its edges; Space and Enter send the face as a click does, once
// however long the key is held.
bool SmileyWindow::OnFaceKey(std::size_t face, WPARAM vk, bool repeat) {
    switch (vk) {
        case VK_LEFT:
            MoveToFace(FaceBeside(face, -1, 0));
            return true;
        case VK_RIGHT:
            MoveToFace(FaceBeside(face, 1, 0));
            return true;
        case VK_UP:
            MoveToFace(FaceBeside(face, 0, -1));
            return true;
        case VK_DOWN:
            MoveToFace(FaceBeside(face, 0, 1));
            return true;
        case VK_SPACE:
        case VK_RETURN:
            if (!repeat) OnFace(face);
            return true;
        default:
            return false;
    }
}

// The face takes the focus, with its hint.
void SmileyWindow::MoveToFace(std::size_t face) {
    // The keyboard is in use: show the focus rectangle if the mouse hid it.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    HWND to = Control(ids::FaceId(face));
    if (GetFocus() != to) SetFocus(to);
    ShowKeyHint(true);
}

// The face that has the focus, however it came, is the current one: the
// faces' one Tab stop.
void SmileyWindow::OnFaceFocus(std::size_t face) {
    if (face == currentFace_) return;
    win::SetTabStop(Control(ids::FaceId(currentFace_)), false);
    currentFace_ = face;
    HWND to = Control(ids::FaceId(face));
    win::SetTabStop(to, true);
    // A screen reader that follows the focused control's name says the new face.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, to, OBJID_CLIENT, CHILDID_SELF);
}

bool SmileyWindow::IsFace(HWND control) const {
    const int id = GetDlgCtrlID(control);
    return control != nullptr && IsFaceId(id) && control == Control(id);
}

namespace {

// Shows the tracking tip `tip` (tool `ti`) with its top-left corner at `at`,
// kept whole on the monitor of `face`. TTM_TRACKPOSITION carries the point as
// two 16-bit halves, and some tooltip versions (Wine's) read them unsigned: a
// point left of or above the primary monitor would put the tip far away. A
// tip that did not come to its place is moved there.
void TrackTipAt(HWND tip, const TOOLINFOW& ti, POINT at, HWND face) {
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    RECT r = {};
    GetWindowRect(tip, &r);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(face, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (at.x + (r.right - r.left) > work.right) at.x = work.right - (r.right - r.left);
        if (at.y + (r.bottom - r.top) > work.bottom) at.y = work.bottom - (r.bottom - r.top);
        if (at.x < work.left) at.x = work.left;
        if (at.y < work.top) at.y = work.top;
    }
    if (r.left != at.x || r.top != at.y)
        SetWindowPos(tip, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// When the keyboard brings the focus to a face, its hint stands below it as
// if the pointer rested on it, until the focus leaves the face. A click goes
// through it to the face it covers.
void SmileyWindow::ShowKeyHint(bool shown) {
    if (keyHint_ == nullptr || !IsWindow(keyHint_)) return;
    HWND face = Control(ids::FaceId(currentFace_));
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = hwnd_;
    if (!shown || GetFocus() != face || IsIconic(hwnd_)) {
        SendMessageW(keyHint_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
        // Hidden with the window when it was minimised, it may have been
        // shown again with the window behind the tip control's back.
        ShowWindow(keyHint_, SW_HIDE);
        return;
    }
    ti.lpszText = const_cast<wchar_t*>(catalogue::kFaces[currentFace_].emoticon);
    SendMessageW(keyHint_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    RECT r = {};
    GetWindowRect(face, &r);
    TrackTipAt(keyHint_, ti, {r.left, r.bottom + 2}, face);
}

// Keys reach the window before the controls: the arrows step through the
// style options and move among the faces; Space and Enter send a face.
bool SmileyWindow::OnKey(HWND control, WPARAM vk, bool repeat) {
    const int id = GetDlgCtrlID(control);
    if (control != Control(id)) return false;
    if (IsStyleId(id)) {
        if (vk != VK_DOWN && vk != VK_RIGHT && vk != VK_UP && vk != VK_LEFT) return false;
        StepStyle(control, vk == VK_DOWN || vk == VK_RIGHT ? 1 : -1);
        return true;
    }
    if (IsFaceId(id)) return OnFaceKey(static_cast<std::size_t>(id - ids::kFirstFace), vk, repeat);
    return false;
}

// The pointer's hints follow the mouse over the faces.
bool SmileyWindow::PreTranslate(MSG& msg) {
    if (hints_ != nullptr && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
        IsFace(msg.hwnd))
        SendMessageW(hints_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return LayoutWindow::PreTranslate(msg);
}

// The hint comes with Tab and the arrows, not when the window takes the focus
// back; between two faces it stays up for the arrow to move it.
void SmileyWindow::OnFaceFocusChange(HWND face, HWND other, bool gained) {
    const bool fromOrToFace = IsFace(other);
    if (gained) {
        OnFaceFocus(static_cast<std::size_t>(GetDlgCtrlID(face) - ids::kFirstFace));
        if (GetKeyState(VK_TAB) < 0)
            ShowKeyHint(true);
        else if (!fromOrToFace)
            ShowKeyHint(false);
    } else if (!fromOrToFace) {
        ShowKeyHint(false);
    }
}

void SmileyWindow::AddFaceHints() {
    // The tip window belongs to this window and goes with it.
    HWND hints = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (hints == nullptr) return;
    hints_ = hints;
    for (std::size_t i = 0; i < catalogue::kFaceCount; ++i) {
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(Control(ids::FaceId(i)));
        ti.lpszText = const_cast<wchar_t*>(catalogue::kFaces[i].emoticon);
        SendMessageW(hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    // The keyboard's hint is its own tip, placed by the window rather than
    // by the pointer. Layered and transparent, it lets clicks through to the
    // face below it.
    keyHint_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TRANSPARENT, TOOLTIPS_CLASSW,
                               nullptr, WS_POPUP | TTS_NOPREFIX | TTS_NOFADE | TTS_NOANIMATE,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (keyHint_ == nullptr) return;
    SetLayeredWindowAttributes(keyHint_, 0, 255, LWA_ALPHA);
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    ti.hwnd = hwnd_;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(keyHint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void SmileyWindow::OnOtherCommand(int id, int code, HWND control) {
    if (IsStyleId(id)) {
        if (code == BN_CLICKED && !win::OptionTakingFocus(control))
            OnStyle(static_cast<std::size_t>(id - ids::kFirstStyle));
    } else if (IsFaceId(id)) {
        // A quick second click on a face is a double click: it sends again.
        if (code == STN_CLICKED || code == STN_DBLCLK)
            OnFace(static_cast<std::size_t>(id - ids::kFirstFace));
    }
}

LRESULT SmileyWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == tray::kNotifyMessage) {
        OnTrayIcon(lParam);
        return 0;
    }
    // A restarted taskbar has forgotten the icon of a window that is in the
    // tray, and takes the icon that an earlier one refused.
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        if (IsIconic(hwnd_)) MoveToTray();
        return 0;
    }
    switch (msg) {
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item != nullptr && IsFaceId(static_cast<int>(item->CtlID))) {
                faces::DrawFace(item->hDC, item->rcItem, item->CtlID - ids::kFirstFace);
                // The system's focus rectangle, round the picture's outer
                // edge, which the faces hardly touch.
                if (item->hwndItem == GetFocus() &&
                    (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0)
                    DrawFocusRect(item->hDC, &item->rcItem);
                return TRUE;
            }
            break;
        }
        case win::kPictureFocusGained:
        case win::kPictureFocusLost:
            if (IsFace(reinterpret_cast<HWND>(wParam)))
                OnFaceFocusChange(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam),
                                  msg == win::kPictureFocusGained);
            return 0;
        case WM_CONTEXTMENU: {
            // A face's menu; elsewhere the system's (the caption's window menu).
            HWND from = reinterpret_cast<HWND>(wParam);
            if (IsFace(from)) {
                OnFaceMenu(static_cast<std::size_t>(GetDlgCtrlID(from) - ids::kFirstFace), lParam);
                return 0;
            }
            break;
        }
        case WM_MOVE:
            // The hint follows the window. Minimised or hidden, the window
            // takes it away, even where its face keeps the focus.
            if (keyHint_ != nullptr && IsWindowVisible(keyHint_)) ShowKeyHint(true);
            break;
        case WM_SHOWWINDOW:
            if (!wParam) ShowKeyHint(false);
            break;
        case WM_SIZE:
            OnSize(wParam);
            return 0;
        case WM_TIMER:
            if (wParam == kIconRetryTimer) {
                RetryIcon();
                return 0;
            }
            break;
        case WM_CLOSE:
        case WM_DESTROY:
            // Closing the smiley window ends the program at once, every
            // other window with it, without their own closing steps.
            closed_();
            return 0;
        default:
            break;
    }
    return LayoutWindow::HandleMessage(msg, wParam, lParam);
}

void SmileyWindow::OnDestroyed() {
    LayoutWindow::OnDestroyed();
    iconRefused_ = false;
    shellBusy_ = false;
    hints_ = nullptr;
    currentFace_ = 0;
    keyHint_ = nullptr;
}

}  // namespace app
