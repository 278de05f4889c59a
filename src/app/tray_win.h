// The smiley window's notification-area icon and the one notification record
// that describes it, and the window parked behind it while minimised. The
// record is filled once, when the smiley window opens, and every add and
// delete hands the shell the same bytes.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "app/tray_parking.h"

namespace tray {

// The icon tells the smiley window about pointer activity with this message.
// A private message rather than WM_MOUSEMOVE: over a window wider than 514
// pixels (at 120 DPI and more) a real pointer move would read as a button
// release on the icon.
constexpr UINT kNotifyMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
constexpr UINT kTipBytes = 64;

class Icon {
  public:
    Icon();
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;

    // Fills the record for `owner` with its icon and the tip " Pallimo ".
    void FillRecord(HWND owner, HICON icon);

    // Puts the icon into the notification area, or takes over an icon with
    // the same id that is there already. A shell that was busy is asked
    // nothing more; asked again later with `changeFirst`, it is first asked
    // for the icon that may have come since, then for a new one.
    IconAdd Add(bool changeFirst);
    // Takes the icon out; deleting an absent icon is harmless.
    void Delete();

  private:
    bool Notify(DWORD message, bool& busy);

    // The original, 88-byte ANSI form: every shell since Windows 95 reads
    // it, and it carries nothing the icon does not need.
    NOTIFYICONDATAA record_;
};

// A window parked in the notification area while minimised (TrayParking's
// rules), with the icon it owns.
class WindowParking : private ParkingPlace {
  public:
    WindowParking() : rules_(*this) {}

    // The window stands: its icon is `icon`, and a restarted taskbar tells it.
    void Attach(HWND window, HICON icon);
    // The messages parking answers: the icon's, the taskbar's restart, the
    // window's size changes, the retry's timer. True when it took `msg`.
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Brings the window up in front from wherever it is (the notification
    // area, the taskbar, hidden, behind), as a click on the icon does.
    void BringBack() { rules_.OnIconClicked(); }
    // The window is going: its icon goes with it.
    void Detach() { rules_.OnClosed(); }

  private:
    IconAdd AddIcon(bool changeFirst) override { return icon_.Add(changeFirst); }
    void DeleteIcon() override { icon_.Delete(); }
    void Hide() override { ShowWindow(window_, SW_HIDE); }
    void ShowMinimised() override { ShowWindow(window_, SW_SHOWMINNOACTIVE); }
    void Restore() override { ShowWindow(window_, SW_RESTORE); }
    void ShowInFront() override;
    void SetRetryTimer() override;
    void KillRetryTimer() override;
    bool Visible() const override { return IsWindowVisible(window_) != FALSE; }
    bool Minimised() const override { return IsIconic(window_) != FALSE; }

    Icon icon_;
    TrayParking rules_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
};

}  // namespace tray
