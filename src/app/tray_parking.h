// Minimised, the smiley window is parked in the notification area: it leaves
// the taskbar for an icon there, and the icon brings it back. The rules of
// that, portable; the window and the shell are the small interface below.
#pragma once

namespace tray {

// How the shell answered a request to add the icon.
enum class IconAdd {
    kThere,    // the icon is in the notification area
    kRefused,  // refused at once: starting, restarting or replaced by another one
    kBusy,     // refused after a second or more: the icon may still come
};

// What parking asks of the window and the shell.
class ParkingPlace {
  public:
    // Puts the icon in, or takes over one with the same id that is there;
    // with `changeFirst`, first asks for the icon that may have come since.
    virtual IconAdd AddIcon(bool changeFirst) = 0;
    virtual void DeleteIcon() = 0;  // harmless when the icon is absent
    virtual void Hide() = 0;
    virtual void ShowMinimised() = 0;  // on the taskbar, not activated
    virtual void Restore() = 0;        // normal state, as it was
    virtual void ShowInFront() = 0;    // normal state, shown, in front of the others
    // The one try again, about a second later.
    virtual void SetRetryTimer() = 0;
    virtual void KillRetryTimer() = 0;
    virtual bool Visible() const = 0;
    virtual bool Minimised() const = 0;

  protected:
    ~ParkingPlace() = default;
};

class TrayParking {
  public:
    explicit TrayParking(ParkingPlace& place) : place_(place) {}

    void OnMinimised();
    void OnRestored();
    void OnMaximised();
    void OnRetryTimer();
    // A button's release or a double click on the icon.
    void OnIconClicked();
    // The taskbar started afresh and has forgotten every icon.
    void OnTaskbarCreated();
    // The window is going: its icon goes with it.
    void OnClosed();

  private:
    void Park();

    ParkingPlace& place_;
    // The shell refused the icon when the window was last minimised: it may
    // still add it late, and the window is on the taskbar meanwhile.
    bool refused_ = false;
    // The shell was busy when it refused: the icon may come late.
    bool busy_ = false;
};

}  // namespace tray
