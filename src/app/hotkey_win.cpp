#include "app/hotkey_win.h"

namespace app {

// The new combination takes the other of two ids: the system keeps a second
// registration with the same window and id beside the first, so the old one
// is given back only once the new one stands.
DWORD HotkeyRegistration::Set(HWND window, hotkey::Combination combination) {
    if (combination.none()) {
        Release();
        combination_ = combination;
        return ERROR_SUCCESS;
    }
    if (window == window_ && id_ != 0 && combination == combination_) return ERROR_SUCCESS;
    const int next = id_ == 1 ? 2 : 1;
    // A held hotkey comes once (Windows 7 and later). Earlier versions refuse
    // the flag, with a reason that is not "taken": asked again without it,
    // they send one press for each repeat of the held keys, which the window
    // passes over.
    const UINT noRepeat = 0x4000;  // MOD_NOREPEAT
    bool repeats = false;
    if (!RegisterHotKey(window, next, combination.modifiers | noRepeat, combination.key)) {
        const DWORD error = GetLastError();
        if (error == ERROR_HOTKEY_ALREADY_REGISTERED ||
            !RegisterHotKey(window, next, combination.modifiers, combination.key)) {
            const DWORD again = GetLastError();
            return again != ERROR_SUCCESS ? again : ERROR_HOTKEY_ALREADY_REGISTERED;
        }
        repeats = true;
    }
    Release();
    repeats_ = repeats;
    window_ = window;
    id_ = next;
    combination_ = combination;
    return ERROR_SUCCESS;
}

void HotkeyRegistration::Release() {
    if (id_ != 0) UnregisterHotKey(window_, id_);
    id_ = 0;
    window_ = nullptr;
}

}  // namespace app
