// The smiley window: the program's start-up and main window. It offers the
// built-in catalogue (35 style options, 16 face pictures), sends a smiley tag
// into the messenger's instant-message window on every face click, announces
// the program in the chat room while it opens, and lives in the notification
// area while minimised. The faces are also one stop of the keyboard order,
// and each has a popup menu that sends its tag to the chat room or copies it.
// The window wires pieces together: the style options are a win::OptionButtons
// group, the faces a faces::FacePictures grid, the notification area a
// tray::WindowParking.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/face_grid_win.h"
#include "app/hotkey.h"
#include "app/hotkey_win.h"
#include "app/settings.h"
#include "app/tray_win.h"
#include "messenger/delivery.h"
#include "win/gdi.h"
#include "win/layout_window.h"
#include "win/option_group_win.h"

namespace app {

// What the smiley window asks of the rest of the program.
struct SmileyWindowLinks {
    // Shows the custom codes window; false when it does not stand.
    std::function<bool()> openCustomCodes;
    std::function<void()> closed;  // ends the program
    // The style, the place or the hotkey changed: Remembered() says what to keep.
    std::function<void()> settingsChanged;
    // The window menu's "Hotkey...".
    std::function<void()> chooseHotkey;
};

class SmileyWindow : public win::LayoutWindow {
  public:
    SmileyWindow(delivery::MessengerDelivery& messenger, SmileyWindowLinks links);

    // Builds the window hidden, announces the program in the chat room, and
    // only then shows it with `showCommand`, so the announcement reaches the
    // chat room before the window is first seen. The style, place and hotkey
    // `remembered` from the last run are taken again. False if the window
    // could not be made.
    bool Open(int showCommand, const settings::Settings& remembered);

    // What the next start should take again: the chosen style, the window's
    // place and the hotkey.
    settings::Settings Remembered() const;
    hotkey::Combination hotkey() const { return hotkeyChoice_; }
    // Whether the chosen hotkey works now (another program may hold it).
    bool hotkeyActive() const { return hotkeyRegistration_.active(); }
    // Registers `combination` as the hotkey (none: no hotkey): ERROR_SUCCESS,
    // or the system's reason for refusing it, and the one before stays.
    DWORD SetHotkey(hotkey::Combination combination);
    // While the hotkey window asks for keys, the hotkey is given back, so
    // that its keys can be typed there; then taken again.
    void PauseHotkey();
    void ResumeHotkey();

    // Shows the window again after the custom codes window hid it.
    void ShowAgain();
    void Hide();

    // ---- handlers ----
    // A style option was chosen: its row of the catalogue's style table.
    void OnStyle(std::size_t style);
    // A face picture: the face's index in the catalogue.
    void OnFace(std::size_t face);
    // The face's popup menu, at screen point `at` (-1 from the keyboard).
    void OnFaceMenu(std::size_t face, LPARAM at);
    void SendSmiley();
    // "More" and "Extra".
    void OpenCustomCodes();

  private:
    void OnWindowCreated() override;
    void OnCreate() override;
    void OnOtherCommand(int id, int code, HWND control) override;
    bool OnKey(HWND control, WPARAM vk, bool repeat) override;
    bool PreTranslate(MSG& msg) override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    void OnHotkey();
    bool OnEscape();
    void BringUp();
    void PutBack();
    void OnForwardAsked();
    bool BringForwardWhatStands();
    std::wstring TagOf(std::size_t face) const;
    void SetTagTail(std::size_t face);

    delivery::MessengerDelivery& messenger_;
    const SmileyWindowLinks links_;
    win::OptionButtons styles_;
    faces::FacePictures faces_;
    tray::WindowParking parking_;
    win::Icon icon_;  // small: the caption and the notification area
    win::Icon largeIcon_;
    // When the first line of the announcement went out.
    std::uint32_t announcedAt_ = 0;
    // What the last run left, taken again while the window is built.
    settings::Settings remembered_;
    app::HotkeyRegistration hotkeyRegistration_;
    // The hotkey the user chose; kept even while another program holds it.
    hotkey::Combination hotkeyChoice_;
    hotkey::Summons summons_;
    // The window that had the foreground when the hotkey brought this one up.
    HWND previousForeground_ = nullptr;
    // A later start's request to come forward (see single_instance_win.h).
    UINT forwardMessage_ = 0;
    bool opened_ = false;  // shown once: the start-up is over
    // The hotkey's keys are still held since the press that was taken: on
    // systems without MOD_NOREPEAT each repeat comes as another press.
    bool hotkeyHeld_ = false;
};

}  // namespace app
