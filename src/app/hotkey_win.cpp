#include "app/hotkey_win.h"

namespace app {

// The new combination takes the other of two ids: the system keeps a second
// registration with the same window and id beside the first, so the old one
// is given back only once the new one stands.
bool HotkeyRegistration::Set(HWND window, hotkey::Combination combination) {
    if (combination.none()) {
        Release();
        combination_ = combination;
        return true;
    }
    if (window == window_ && id_ != 0 && combination == combination_) return true;
    const int next = id_ == 1 ? 2 : 1;
    // A held hotkey comes once (Windows 7 and later; earlier ones refuse the
    // flag, and a held key there comes again with each repeat).
    const UINT noRepeat = 0x4000;  // MOD_NOREPEAT
    if (!RegisterHotKey(window, next, combination.modifiers | noRepeat, combination.key) &&
        (GetLastError() != ERROR_INVALID_PARAMETER ||
         !RegisterHotKey(window, next, combination.modifiers, combination.key)))
        return false;
    Release();
    window_ = window;
    id_ = next;
    combination_ = combination;
    return true;
}

void HotkeyRegistration::Release() {
    if (id_ != 0) UnregisterHotKey(window_, id_);
    id_ = 0;
    window_ = nullptr;
}

}  // namespace app
