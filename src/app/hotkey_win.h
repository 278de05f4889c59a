// The hotkey's registration with the system, for one window.
#pragma once
#include <windows.h>

#include "app/hotkey.h"

namespace app {

class HotkeyRegistration {
  public:
    HotkeyRegistration() = default;
    HotkeyRegistration(const HotkeyRegistration&) = delete;
    HotkeyRegistration& operator=(const HotkeyRegistration&) = delete;
    ~HotkeyRegistration() { Release(); }

    // Registers `combination` for `window` (none takes the hotkey away).
    // ERROR_SUCCESS, or the system's reason for refusing it
    // (ERROR_HOTKEY_ALREADY_REGISTERED: another program has it); on refusal
    // the one before stays.
    DWORD Set(HWND window, hotkey::Combination combination);
    // Gives the hotkey back to the system; it is still remembered, for the
    // window built afresh to take again.
    void Release();

    hotkey::Combination combination() const { return combination_; }
    bool active() const { return id_ != 0; }
    // The system sends a press for each repeat of the held keys (it took the
    // hotkey without MOD_NOREPEAT, which Windows before 7 lack).
    bool repeats() const { return repeats_; }
    // True for the WM_HOTKEY id of this registration.
    bool Is(WPARAM id) const { return id_ != 0 && static_cast<int>(id) == id_; }

  private:
    HWND window_ = nullptr;
    int id_ = 0;  // 0 while nothing is registered
    hotkey::Combination combination_;
    bool repeats_ = false;
};

}  // namespace app
