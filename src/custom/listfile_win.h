// Saving the code list to a file and loading it back, with the file's bytes in
// the ANSI code page. Both say why a file could not be written or opened, as
// the system's error code, for the window to tell the user.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace listfile {

// How long a load adds items before it lets the windows handle their events.
// Checking the queue costs a round trip to the window server under Wine, so it
// is done by the clock, not per item.
constexpr std::uint32_t kLoadPumpEveryMs = 15;

// Writes one line per item, whole or not at all as safesave::SaveFileBytes
// does (custom/safe_save_win.h); a save that cannot start is refused before
// the list is read. ERROR_SUCCESS when the file now holds the list box's
// items, else the system's reason why it does not (never ERROR_SUCCESS then).
DWORD SaveList(const std::wstring& path, HWND list);

// How far a load got: it read nothing (an empty name, a file or folder that is
// not there), the whole file, or only part of it. A file that is there but
// cannot be read (held, refused, a folder, a device) counts as part.
enum class LoadResult { kNothing, kWhole, kPartial };

struct LoadOutcome {
    LoadResult result;
    // Why the file could not be opened for reading (an empty name, a missing
    // file, a folder, refused, not a file on disk); ERROR_SUCCESS when it was
    // opened, and when the list box is gone.
    DWORD openError;
};

// Appends the file's fields to the list box, keeping the program's windows
// answering while it reads. Reads no further than the file's size when it was
// opened, so every load ends. The load also ends, adding nothing more, when
// the list box is destroyed, when the program is ending, or when `keepGoing`
// (asked after each round of events) says so. Running out of memory ends it
// like a failed read: the items added so far stay. kWhole only when the file
// was read to its end and every field was added; after kPartial the list holds
// part of the file.
LoadOutcome LoadList(const std::wstring& path, HWND list,
                     const std::function<bool()>& keepGoing = {});

}  // namespace listfile
