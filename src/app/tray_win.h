// The smiley window's notification-area icon and the one notification record
// that describes it. The record is filled once, when the smiley window opens,
// and every add and delete hands the shell the same bytes.
#pragma once
#include <windows.h>
#include <shellapi.h>

namespace tray {

// The icon tells the smiley window about pointer activity with this message.
// A private message rather than WM_MOUSEMOVE: over a window wider than 514
// pixels (at 120 DPI and more) a real pointer move would read as a button
// release on the icon.
constexpr UINT kNotifyMessage = WM_APP + 1;
constexpr UINT kIconId = 1;
constexpr UINT kTipBytes = 64;

// How the shell answered a request to add the icon.
enum class IconAdd {
    kThere,    // the icon is in the notification area
    kRefused,  // refused at once: starting, restarting or replaced by another one
    kBusy,     // refused after a second or more: the icon may still come
};

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

// Lets the shell's `message` ("TaskbarCreated") reach `window` when this
// program runs with higher rights than the shell (Vista and later filter it
// out otherwise). Does nothing on Windows XP, which has no such filter.
void AllowShellMessage(HWND window, UINT message);

}  // namespace tray
