// The settings file on Windows: where it is, reading it, writing it off the
// user interface's thread, and whether a remembered place can still be used.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "app/settings.h"

namespace settings {

// How long the program's end waits for the last write: enough for a write
// that waits for a held file (about a second) and one more after it.
constexpr DWORD kFinishWaitMs = 4000;

// %APPDATA%\Pallimo\Pallimo.ini for the user running the program; the empty
// text when the system names no such folder. Asks the shell (loading shell32)
// only when the environment has no APPDATA.
std::wstring SettingsPath();

// The settings in the file at `path`: the defaults for a file that is missing,
// cannot be read, is no file on disk or is longer than kMaxFileBytes, and for
// whatever the file holds spoiled. A file another program holds is waited for
// about a second. `mayReplace` is false when a file is there that could not
// be read whole: writing this run's settings over it would lose what it
// holds.
Settings LoadSettings(const std::wstring& path, bool& mayReplace);

// The place of `window`'s normal position (where it is when neither minimized
// nor maximized) in screen pixels; none when the window is gone.
std::optional<Place> WindowPlace(HWND window);

// True when a window of `width` by `height` pixels at `place` can be seen and
// taken by its top to be moved: enough of its top strip lies in the work area
// of a monitor there now. A place remembered from a monitor since unplugged,
// or from a larger screen, is not.
bool PlaceIsUsable(const Place& place, int width, int height);

// Writes the settings file on a thread of its own, so that a file another
// program holds (waited for about a second) never holds up the user interface
// or a delivery. Only the latest bytes handed over are written: changes that
// come while a write is under way are written together after it.
// Save and Finish are called from one thread, the user interface's.
class SettingsWriter {
  public:
    // Writes to `path`, making its folder when first written. The thread is
    // started by the first Save.
    explicit SettingsWriter(std::wstring path);
    // Finishes with the default wait.
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    // Hands over the whole file to be written, in place of any bytes still
    // waiting; returns at once. Ignored after Finish.
    void Save(std::string bytes);

    // Lets the thread write what it still has, waits for it at most `waitMs`
    // and ends it; false when the wait ran out (the thread is then left to end
    // with the process). Where no thread could be started, the bytes still
    // waiting are written here. Later calls do nothing and answer true.
    bool Finish(DWORD waitMs = kFinishWaitMs);

  private:
    struct Shared;
    Shared* shared_;  // with the thread: whichever lets go of it last frees it
    HANDLE thread_ = nullptr;
};

}  // namespace settings
