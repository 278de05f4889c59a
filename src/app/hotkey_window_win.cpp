#include "app/hotkey_window_win.h"

#include <commctrl.h>

#include <utility>

#include "app/hotkey_window_ids.h"
#include "win/text.h"

namespace app {

namespace {

using win::Kind;
namespace ids = hotkey_window_ids;

// clang-format off
constexpr win::ControlRow kRows[] = {
    // id                name     kind           caption                                 left top  width height in extra
    {ids::kPrompt,       nullptr, Kind::Label,   L"Press the keys that bring Pallimo up:", 120, 120, 3375, 255,  0, 0},
    {ids::kKeyBox,       nullptr, Kind::HotKey,  nullptr,                                120, 420, 3375, 285,  0, WS_GROUP},
    {ids::kOkButton,     nullptr, Kind::Button,  L"OK",                                  1200, 900, 1095, 345, 0, WS_GROUP | BS_DEFPUSHBUTTON},
    {ids::kCancelButton, nullptr, Kind::Button,  L"Cancel",                              2400, 900, 1095, 345, 0, 0},
};
// clang-format on

const win::CommandRow kCommands[] = {
    {ids::kOkButton, BN_CLICKED, win::Handler(&HotkeyWindow::OnOk)},
    {ids::kCancelButton, BN_CLICKED, win::Handler(&HotkeyWindow::OnCancel)},
};

const win::WindowPlan kPlan = win::WindowPlan(ids::kClass, L"Hotkey")
                                  .ClientSize(3615, 1365)
                                  .Controls(kRows)
                                  .Commands(kCommands)
                                  .FirstFocus(ids::kKeyBox);

}  // namespace

HotkeyWindow::HotkeyWindow(HotkeyWindowLinks links)
    : LayoutWindow(kPlan), links_(std::move(links)) {}

bool HotkeyWindow::OpenOver(HWND owner) {
    if (exists()) return LayoutWindow::Open();
    owner_ = owner;
    // Asked before the hotkey is given back while this window stands.
    heldElsewhere_ = !links_.current().none() && !links_.active();
    links_.opened();
    if (!OpenOwned(owner)) {
        links_.closed();
        owner_ = nullptr;
        return false;
    }
    return exists();
}

void HotkeyWindow::OnCreate() {
    HWND box = Control(ids::kKeyBox);
    // A key alone or with Shift would be taken from everybody's typing, with
    // Ctrl alone from every program's own shortcuts (Ctrl+C), with Alt alone
    // from their menus, and Ctrl+Alt is AltGr on many keyboards (@, the euro
    // sign): such keys become Ctrl+Shift+key.
    SendMessageW(box, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_CA,
                 MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_SHIFT, 0));
    SendMessageW(box, HKM_SETHOTKEY, hotkey::ToControlWord(links_.current()), 0);
    if (heldElsewhere_)
        win::HwndSetText(Control(ids::kPrompt), L"Another program holds these keys now:");
    // Centred over the smiley window, which waits for this one.
    if (owner_ != nullptr) {
        RECT over = {}, own = {};
        GetWindowRect(owner_, &over);
        GetWindowRect(hwnd_, &own);
        const int w = own.right - own.left, h = own.bottom - own.top;
        SetWindowPos(hwnd_, nullptr, over.left + (over.right - over.left - w) / 2,
                     over.top + (over.bottom - over.top - h) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EnableWindow(owner_, FALSE);
    }
}

void HotkeyWindow::OnOk() {
    const auto word =
        static_cast<std::uint16_t>(SendMessageW(Control(ids::kKeyBox), HKM_GETHOTKEY, 0, 0));
    const hotkey::Combination chosen = hotkey::FromControlWord(word);
    // Keys without Ctrl, Alt or Win would take typing from every program
    // (and would not be taken back from the settings file).
    const DWORD error = chosen.none() || hotkey::IsUsable(chosen)
                            ? links_.choose(chosen)
                            : static_cast<DWORD>(ERROR_INVALID_PARAMETER);
    if (error != ERROR_SUCCESS) {
        MessageBoxW(hwnd_,
                    error == ERROR_HOTKEY_ALREADY_REGISTERED
                        ? L"Another program uses these keys already. Pallimo keeps the keys it "
                          L"had: choose others, or Cancel."
                        : L"Windows does not take these keys as a hotkey. Pallimo keeps the keys "
                          L"it had: choose others, or Cancel.",
                    L"Pallimo", MB_OK | MB_ICONWARNING);
        SetFocus(Control(ids::kKeyBox));
        return;
    }
    Close();
}

void HotkeyWindow::OnCancel() { Close(); }

// Esc, and the close box.
void HotkeyWindow::OnOtherCommand(int id, int code, HWND control) {
    if (id == IDCANCEL && control == nullptr) Close();
}

// Enter in the key box says OK, as in a dialog; Esc there cancels (the
// hot-key control would take both as keys).
bool HotkeyWindow::OnKey(HWND control, WPARAM vk, bool repeat) {
    if (control != Control(ids::kKeyBox) || repeat) return false;
    if (vk == VK_RETURN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0 &&
        GetKeyState(VK_SHIFT) >= 0) {
        OnOk();
        return true;
    }
    return false;
}

LRESULT HotkeyWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        Close();
        return 0;
    }
    return LayoutWindow::HandleMessage(msg, wParam, lParam);
}

// The owner is enabled again before this window goes, so that the system
// hands the activation back to it rather than to another program.
void HotkeyWindow::Close() {
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    Destroy();
}

void HotkeyWindow::OnDestroyed() {
    if (owner_ != nullptr) {
        EnableWindow(owner_, TRUE);
        links_.closed();
    }
    owner_ = nullptr;
    LayoutWindow::OnDestroyed();
}

}  // namespace app
