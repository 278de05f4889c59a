// The smiley window: the program's start-up and main window. It offers the
// built-in catalogue (35 style options, 16 face pictures), sends a smiley tag
// into the messenger's instant-message window on every face click, announces
// the program in the chat room while it opens, and lives in the notification
// area while minimised. The faces are also one stop of the keyboard order,
// and each has a popup menu that sends its tag to the chat room or copies it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/tray_win.h"
#include "messenger/delivery.h"
#include "win/gdi.h"
#include "win/layout_window.h"

namespace app {

class SmileyWindow : public win::LayoutWindow {
  public:
    // `openCustomCodes` shows the custom codes window and says whether it
    // stands; `closed` ends the program. The window's icon lives in `trayIcon`
    // while it is minimised.
    SmileyWindow(delivery::MessengerDelivery& messenger, tray::Icon& trayIcon,
                 std::function<bool()> openCustomCodes, std::function<void()> closed);

    // Builds the window hidden, announces the program in the chat room, and
    // only then shows it with `showCommand`, so the announcement reaches the
    // chat room before the window is first seen. False if the window could
    // not be made.
    bool Open(int showCommand);

    // Shows the window again after the custom codes window hid it.
    void ShowAgain();
    void Hide();

    // ---- handlers ----
    // A style option: its row of the catalogue's style table.
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
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

    void OnSize(WPARAM sizeType);
    void OnTrayIcon(LPARAM notification);
    void MoveToTray();
    void RetryIcon();
    void MarkStyle(std::size_t style);
    void MarkOption(HWND option, bool chosen);
    void StepStyle(HWND from, int step);
    bool OnKey(HWND control, WPARAM vk, bool repeat) override;
    bool PreTranslate(MSG& msg) override;
    void AddFaceHints();
    std::wstring TagOf(std::size_t face) const;
    void SetTagTail(std::size_t face);
    bool OnFaceKey(std::size_t face, WPARAM vk, bool repeat);
    void MoveToFace(std::size_t face);
    void OnFaceFocus(std::size_t face);
    void OnFaceFocusChange(HWND face, HWND other, bool gained);
    bool IsFace(HWND control) const;
    void ShowKeyHint(bool shown);

    delivery::MessengerDelivery& messenger_;
    tray::Icon& trayIcon_;
    const std::function<bool()> openCustomCodes_;
    const std::function<void()> closed_;
    win::Icon icon_;  // small: the caption and the notification area
    win::Icon largeIcon_;
    std::size_t markedStyle_ = 0;
    // The face the keyboard is on: the faces' one Tab stop.
    std::size_t currentFace_ = 0;
    // The current face's hint while the keyboard is on it.
    HWND keyHint_ = nullptr;
    // The pointer's hints over the faces.
    HWND hints_ = nullptr;
    UINT taskbarCreated_ = 0;
    // When the first line of the announcement went out.
    std::uint32_t announcedAt_ = 0;
    // The shell refused the icon when the window was last minimised: it may
    // still add it late, and the window is on the taskbar meanwhile.
    bool iconRefused_ = false;
    // The shell was busy when it refused: the icon may come late.
    bool shellBusy_ = false;
};

}  // namespace app
