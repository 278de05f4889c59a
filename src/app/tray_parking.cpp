#include "app/tray_parking.h"

namespace tray {

// A hidden window is in the tray already: the system may report the
// minimised size twice when it first shows the window minimised.
void TrayParking::OnMinimised() {
    if (place_.Visible()) Park();
}

// Restored from the taskbar after the icon was refused: an icon the shell
// added after it reported failure goes away.
void TrayParking::OnRestored() {
    if (!refused_) return;
    refused_ = false;
    place_.DeleteIcon();
}

// The window has one size and place: a request to maximise it (a shortcut
// set to "Maximized", which Windows applies to the first show whatever the
// program asks) shows it as it is, and out of the tray if it was there.
void TrayParking::OnMaximised() {
    place_.Restore();
    place_.DeleteIcon();
}

// Minimised, the window lives in the notification area instead of the
// taskbar, but only once its icon is there: a shell that is busy, restarting
// or replaced may refuse the icon, and a hidden window without one could not
// be brought back. It is asked once more about a second later; until then,
// and if it refuses again, the window stays minimised on the taskbar.
// A shell that answered too late may show the icon all the same: the second
// try then finds it, and restored from the taskbar, the window takes it away.
void TrayParking::Park() {
    const IconAdd added = place_.AddIcon(false);
    if (added == IconAdd::kThere) {
        place_.KillRetryTimer();
        refused_ = false;
        place_.Hide();
        return;
    }
    refused_ = true;
    busy_ = added == IconAdd::kBusy;
    if (!place_.Visible()) place_.ShowMinimised();
    place_.SetRetryTimer();
}

// Restored in the meantime, or already in the tray: nothing to do.
void TrayParking::OnRetryTimer() {
    place_.KillRetryTimer();
    if (!place_.Minimised() || !place_.Visible()) return;
    if (place_.AddIcon(busy_) == IconAdd::kThere) {
        refused_ = false;
        place_.Hide();
    }
}

void TrayParking::OnIconClicked() {
    place_.ShowInFront();
    place_.DeleteIcon();
}

// A restarted taskbar has forgotten the icon of a window that is in the
// tray, and takes the icon that an earlier one refused.
void TrayParking::OnTaskbarCreated() {
    if (place_.Minimised()) Park();
}

void TrayParking::OnClosed() {
    place_.DeleteIcon();
    refused_ = false;
    busy_ = false;
}

}  // namespace tray
