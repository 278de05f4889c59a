// The hotkey window: the smiley window's "Hotkey..." asks here for the key
// combination that brings it up, in the system's hot-key control. It is
// modal to the smiley window, which it disables while it stands.
#pragma once
#include <windows.h>

#include <functional>

#include "app/hotkey.h"
#include "win/layout_window.h"

namespace app {

struct HotkeyWindowLinks {
    std::function<hotkey::Combination()> current;
    // Whether the current hotkey works now (another program may hold it).
    std::function<bool()> active;
    // Takes the combination chosen: ERROR_SUCCESS, or the system's reason
    // for refusing it, and then the one before stays.
    std::function<DWORD(hotkey::Combination)> choose;
    // The window stands (the hotkey is given back meanwhile), and is gone.
    std::function<void()> opened;
    std::function<void()> closed;
};

class HotkeyWindow : public win::LayoutWindow {
  public:
    explicit HotkeyWindow(HotkeyWindowLinks links);

    // Opens over `owner`, which stays disabled until this one closes.
    bool OpenOver(HWND owner);

    // ---- handlers ----
    void OnOk();
    void OnCancel();

  private:
    void OnCreate() override;
    void OnOtherCommand(int id, int code, HWND control) override;
    bool OnKey(HWND control, WPARAM vk, bool repeat) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;
    void Close();

    const HotkeyWindowLinks links_;
    HWND owner_ = nullptr;
    // Another program held the hotkey when the window opened.
    bool heldElsewhere_ = false;
};

}  // namespace app
