#include "app/smiley_window_win.h"

#include <array>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/catalogue.h"
#include "app/resource.h"
#include "app/settings_win.h"
#include "app/single_instance_win.h"
#include "app/smiley_window_ids.h"
#include "messenger/winsys_win.h"
#include "win/pump.h"
#include "win/system_dll.h"
#include "win/text.h"

namespace app {

namespace {

using win::Kind;
namespace ids = smiley_window_ids;

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

const win::CommandRow kCommands[] = {
    {ids::kMoreButton, BN_CLICKED, win::Handler(&SmileyWindow::OpenCustomCodes)},
    {ids::kExtraButton, BN_CLICKED, win::Handler(&SmileyWindow::OpenCustomCodes)},
    {ids::kSendButton, BN_CLICKED, win::Handler(&SmileyWindow::SendSmiley)},
};

// Fixed size and place, with a minimise button only.
const win::WindowPlan kPlan =
    win::WindowPlan(ids::kClass, L"Smileys")
        .Styles(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0)
        .ClientSize(7605, 2175)
        .ClientPlace(3930, 4110)
        .Controls(kRows.data(), kRows.size())
        .Commands(kCommands)
        .FirstFocus(ids::StyleId(0));

// Polls whether the hotkey's keys are still held.
constexpr UINT_PTR kHotkeyHeldTimer = 2;  // 1 is the tray parking's
constexpr UINT kHotkeyHeldPollMs = 50;

bool IsFaceId(int id) {
    return id >= ids::kFirstFace && id < ids::kFirstFace + static_cast<int>(catalogue::kFaceCount);
}

}  // namespace

SmileyWindow::SmileyWindow(delivery::MessengerDelivery& messenger, SmileyWindowLinks links)
    : LayoutWindow(kPlan),
      messenger_(messenger),
      links_(std::move(links)),
      styles_(catalogue::kStyleCount, win::OptionGroup::Arrows::kOwn,
              [this](std::size_t style) { OnStyle(style); }),
      faces_([this](std::size_t face) { OnFace(face); }) {}

bool SmileyWindow::Open(int showCommand, const settings::Settings& remembered) {
    remembered_ = remembered;
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
    const bool opened = LayoutWindow::Open(showCommand, largeIcon_.get());
    opened_ = opened && exists();
    return opened;
}

// The announcement starts as soon as the window stands, and the controls are
// built during its one-second wait rather than before it: start-up then
// takes hardly longer than the wait.
void SmileyWindow::OnWindowCreated() {
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    // A later start may ask during the announcement's wait: it is told to
    // wait for the window. One started without higher rights may ask too.
    forwardMessage_ = ForwardMessage();
    win::AllowLowerRightsMessage(hwnd_, forwardMessage_);
    messenger_.ChatSend(L" --^V- Pallimo Loaded -V^-- ", delivery::ToHandle(hwnd_));
    announcedAt_ = win::NowMs();
}

void SmileyWindow::OnCreate() {
    // The style chosen last time, else "Blue": drawn chosen, its code in the
    // code box, and the option group's one Tab stop, where the focus starts.
    const std::size_t style = remembered_.style.value_or(0);
    win::HwndSetText(Control(ids::kCodeBox), catalogue::QuotedCode(catalogue::kStyles[style].code));
    std::vector<HWND> options(catalogue::kStyleCount);
    for (std::size_t i = 0; i < options.size(); ++i) options[i] = Control(ids::StyleId(i));
    styles_.Attach(hwnd_, std::move(options), style);
    std::array<HWND, catalogue::kFaceCount> pictures = {};
    for (std::size_t i = 0; i < pictures.size(); ++i) pictures[i] = Control(ids::FaceId(i));
    faces_.Attach(hwnd_, pictures);
    parking_.Attach(hwnd_, icon_.get());
    // Where the window was left, if that is still on a screen; else the
    // layout's fixed place.
    RECT r = {};
    GetWindowRect(hwnd_, &r);
    if (remembered_.place &&
        settings::PlaceIsUsable(*remembered_.place, r.right - r.left, r.bottom - r.top))
        SetWindowPos(hwnd_, nullptr, remembered_.place->left, remembered_.place->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Held by another program now, the hotkey is kept all the same: the
    // hotkey window says so, and the next start tries again.
    if (remembered_.hotkey) {
        hotkeyChoice_ = *remembered_.hotkey;
        hotkeyRegistration_.Set(hwnd_, hotkeyChoice_);
    }
    HMENU windowMenu = GetSystemMenu(hwnd_, FALSE);
    AppendMenuW(windowMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(windowMenu, MF_STRING, ids::kHotkeyItem, L"&Hotkey...");
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
    links_.settingsChanged();
}

settings::Settings SmileyWindow::Remembered() const {
    settings::Settings now;
    now.style = exists() ? styles_.chosen() : remembered_.style.value_or(0);
    now.place = exists() ? settings::WindowPlace(hwnd_) : remembered_.place;
    if (!hotkeyChoice_.none()) now.hotkey = hotkeyChoice_;
    return now;
}

DWORD SmileyWindow::SetHotkey(hotkey::Combination combination) {
    const DWORD error = hotkeyRegistration_.Set(hwnd_, combination);
    if (error != ERROR_SUCCESS) return error;
    if (combination != hotkeyChoice_) {
        hotkeyChoice_ = combination;
        links_.settingsChanged();
    }
    return ERROR_SUCCESS;
}

void SmileyWindow::PauseHotkey() { hotkeyRegistration_.Release(); }

void SmileyWindow::ResumeHotkey() {
    if (exists() && !hotkeyChoice_.none()) hotkeyRegistration_.Set(hwnd_, hotkeyChoice_);
}

// The hotkey brings the window up in front with the keyboard on the current
// face, from the notification area or from behind other windows; pressed
// again while it is in front, it puts the window back, as Esc does.
void SmileyWindow::OnHotkey() {
    // Not before the window is first shown, nor for each repeat of held keys.
    if (!opened_ || hotkeyHeld_) return;
    if (hotkeyRegistration_.repeats()) {
        hotkeyHeld_ = true;
        SetTimer(hwnd_, kHotkeyHeldTimer, kHotkeyHeldPollMs, nullptr);
    }
    if (BringForwardWhatStands()) return;
    HWND front = GetForegroundWindow();
    const bool ours = front == hwnd_;
    hotkey::Place place = hotkey::Place::kBehind;
    if (IsIconic(hwnd_))
        place = IsWindowVisible(hwnd_) ? hotkey::Place::kTaskbar : hotkey::Place::kTray;
    switch (summons_.OnHotkey(ours, place)) {
        case hotkey::Move::kBringUp:
            if (!ours) previousForeground_ = front;
            BringUp();
            break;
        case hotkey::Move::kPutBack:
            PutBack();
            break;
        case hotkey::Move::kNone:
            break;
    }
}

// While another of the program's windows stands in this one's stead (the
// hotkey window it waits for, a message box, the custom codes window that
// hid it), that window comes forward instead: true then.
bool SmileyWindow::BringForwardWhatStands() {
    if (!IsWindowEnabled(hwnd_)) {
        // Minimised with the window it waits for: both come back.
        if (IsIconic(hwnd_)) parking_.BringBack();
        HWND popup = GetLastActivePopup(hwnd_);
        SetForegroundWindow(popup != nullptr ? popup : hwnd_);
        return true;
    }
    if (!IsWindowVisible(hwnd_) && !IsIconic(hwnd_)) {
        if (!links_.openCustomCodes()) ShowAgain();
        return true;
    }
    return false;
}

bool SmileyWindow::OnEscape() {
    if (summons_.OnEscape() != hotkey::Move::kPutBack) return false;
    PutBack();
    return true;
}

void SmileyWindow::BringUp() {
    parking_.BringBack();
    faces_.FocusCurrent();
}

// Back into the notification area (or the taskbar, or hidden) as it came,
// and the foreground to the window that had it, usually the conversation.
void SmileyWindow::PutBack() {
    // A face's menu open over the window goes with it.
    EndMenu();
    switch (summons_.from()) {
        case hotkey::Place::kTray:
        case hotkey::Place::kTaskbar:
            ShowWindow(hwnd_, SW_MINIMIZE);
            break;
        case hotkey::Place::kBehind:
        case hotkey::Place::kFront:
            break;
    }
    if (previousForeground_ != nullptr && IsWindow(previousForeground_))
        SetForegroundWindow(previousForeground_);
    previousForeground_ = nullptr;
}

// A later start of the program asks this one to come forward instead.
void SmileyWindow::OnForwardAsked() {
    if (!BringForwardWhatStands()) parking_.BringBack();
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
    faces_.OnMenuOpening();  // the hint would stand over the menu
    const int chosen = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    faces_.OnMenuClosed();
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
    if (links_.openCustomCodes())
        Hide();
    else
        MessageBeep(MB_ICONWARNING);
}

// Keys reach the window before the controls: the arrows step through the
// style options (the window does this itself rather than leave it to the
// dialog manager, which under Wine moves the focus without choosing) and
// move among the faces; Space and Enter send a face.
bool SmileyWindow::OnKey(HWND control, WPARAM vk, bool repeat) {
    if (vk == VK_ESCAPE && !repeat && OnEscape()) return true;
    return styles_.OnKey(control, vk) || faces_.OnKey(control, vk, repeat);
}

bool SmileyWindow::PreTranslate(MSG& msg) {
    faces_.RelayPointer(msg);
    return LayoutWindow::PreTranslate(msg);
}

void SmileyWindow::OnOtherCommand(int id, int code, HWND control) {
    if (code == BN_CLICKED && styles_.OnClicked(control)) return;
    // A quick second click on a face is a double click: it sends again.
    if (IsFaceId(id) && (code == STN_CLICKED || code == STN_DBLCLK))
        OnFace(static_cast<std::size_t>(id - ids::kFirstFace));
}

LRESULT SmileyWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == forwardMessage_ && forwardMessage_ != 0) {
        if (!opened_) return 0;  // asked again
        OnForwardAsked();
        return kForwardAnswer;
    }
    if (parking_.OnMessage(msg, wParam, lParam)) return 0;
    LRESULT result = 0;
    if (faces_.OnMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
        case WM_CONTEXTMENU: {
            // A face's menu; elsewhere the system's (the caption's window menu).
            const std::size_t face = faces_.IndexOf(reinterpret_cast<HWND>(wParam));
            if (face == catalogue::kFaceCount) break;
            OnFaceMenu(face, lParam);
            return 0;
        }
        case WM_HOTKEY:
            if (hotkeyRegistration_.Is(wParam)) OnHotkey();
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == ids::kHotkeyItem) {
                links_.chooseHotkey();
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // Left for a window not of its own (its menus and the hotkey
            // window are): Esc no longer puts it back.
            if (LOWORD(wParam) == WA_INACTIVE &&
                (lParam == 0 || GetWindow(reinterpret_cast<HWND>(lParam), GW_OWNER) != hwnd_))
                summons_.OnLeft();
            break;
        case WM_TIMER:
            if (wParam != kHotkeyHeldTimer) break;
            // The keys let go: the next press is a press again.
            if ((GetAsyncKeyState(static_cast<int>(hotkeyChoice_.key)) & 0x8000) == 0) {
                hotkeyHeld_ = false;
                KillTimer(hwnd_, kHotkeyHeldTimer);
            }
            return 0;
        case WM_EXITSIZEMOVE:
            links_.settingsChanged();  // a new place
            break;
        case WM_ENDSESSION:
            // The session ends without the window's close: what is kept is
            // written now.
            if (wParam) links_.closed();
            return 0;
        case WM_DESTROY:
            hotkeyRegistration_.Release();
            parking_.Detach();
            [[fallthrough]];
        case WM_CLOSE:
            // Ending: a later start is told to wait, and takes over once
            // this one is gone.
            opened_ = false;
            // Closing the smiley window ends the program at once, every
            // other window with it, without their own closing steps.
            links_.closed();
            return 0;
        default:
            break;
    }
    return LayoutWindow::HandleMessage(msg, wParam, lParam);
}

void SmileyWindow::OnDestroyed() {
    LayoutWindow::OnDestroyed();
    faces_.Detach();
}

}  // namespace app
