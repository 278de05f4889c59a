#include "custom/listfile_win.h"

#include <exception>

#include "custom/listfile.h"
#include "custom/safe_save_win.h"
#include "win/pump.h"
#include "win/text.h"

namespace listfile {

namespace {

bool QuitPending() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

// Adds items with drawing off, and lets the windows handle their events (the
// list drawn as far as it got) every few milliseconds.
class ListFiller {
  public:
    ListFiller(HWND list, const std::function<bool()>& keepGoing)
        : list_(list), keepGoing_(keepGoing), lastPump_(win::NowMs()) {
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    }
    ListFiller(const ListFiller&) = delete;
    ListFiller& operator=(const ListFiller&) = delete;
    ~ListFiller() {
        if (alive_) Redraw();
    }

    bool alive() const { return alive_; }

    // False once the load is to end, and when the list box refused the item
    // (no room left for it).
    bool Add(const std::string& field) {
        if (win::LbAddString(list_, win::FromAnsi(field)) < 0) return false;
        // The clock is cheap but not free: look at it every few items.
        if ((++count_ & 31u) == 0) return Tick();
        return alive_;
    }

    // Lets the windows handle their events when it is time; false once the
    // load is to end. Called after each piece of the file too, since one field
    // may run over many pieces.
    bool Tick() {
        if (win::NowMs() - lastPump_ >= kLoadPumpEveryMs) Pump();
        return alive_;
    }

  private:
    void Redraw() {
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }

    void Pump() {
        Redraw();
        win::PumpPendingEvents();
        alive_ = !QuitPending() && IsWindow(list_) && (!keepGoing_ || keepGoing_());
        if (alive_) SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        lastPump_ = win::NowMs();
    }

    HWND list_;
    const std::function<bool()>& keepGoing_;
    std::uint32_t lastPump_;
    unsigned count_ = 0;
    bool alive_ = true;
};

}  // namespace

DWORD SaveList(const std::wstring& path, HWND list) {
    safesave::SaveTarget target;
    // Before the list is read: reading a huge one takes a while.
    const DWORD refused = safesave::FindSaveTarget(path, target);
    if (refused != ERROR_SUCCESS) return refused;
    try {
        std::string bytes;
        const int count = win::LbGetCount(list);
        for (int i = 0; i < count; ++i) AppendListLine(bytes, win::ToAnsi(win::LbGetText(list, i)));
        return safesave::SaveBytes(target, bytes);
    } catch (const std::exception&) {
        // Out of memory for a huge list: nothing was written yet.
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

namespace {

// Reads the rest of the file's `left` bytes into the list; true when every
// field was added.
bool ReadFields(HANDLE file, unsigned long long left, HWND list,
                const std::function<bool()>& keepGoing) {
    FieldReader reader;
    ListFiller filler(list, keepGoing);
    std::string chunk(64 * 1024, '\0');
    std::string field;
    while (!reader.Done()) {
        if (left == 0) {
            reader.Finish();
        } else {
            const DWORD want = static_cast<DWORD>(left < chunk.size() ? left : chunk.size());
            DWORD got = 0;
            // A failed read ends the load; the field it cut off is not added.
            if (!ReadFile(file, &chunk[0], want, &got, nullptr)) return false;
            if (got == 0) {
                left = 0;  // the file got shorter while we read it
                continue;
            }
            left -= got;
            reader.Feed(std::string_view(chunk.data(), got));
            if (!filler.Tick()) return false;
        }
        while (reader.Next(field))
            if (!filler.Add(field)) return false;
    }
    return true;
}

}  // namespace

LoadOutcome LoadList(const std::wstring& path, HWND list, const std::function<bool()>& keepGoing) {
    if (!IsWindow(list)) return {LoadResult::kNothing, ERROR_SUCCESS};
    if (path.empty()) return {LoadResult::kNothing, ERROR_INVALID_NAME};
    safesave::ScopedFile file(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Only a file that is not there has nothing to lose. One that is there but
    // cannot be read now (held by another program, refused, not a disk file)
    // ends like a load that stopped, so a Save waiting behind it does not
    // replace what it could not read.
    if (!file.valid()) {
        const DWORD error = safesave::LastError();
        return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                    ? LoadResult::kNothing
                    : LoadResult::kPartial,
                error};
    }
    // Only files on disk: a console or a pipe could keep a read waiting for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return {LoadResult::kPartial, ERROR_NOT_SUPPORTED};
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return {LoadResult::kPartial, ERROR_SUCCESS};
    try {
        return {
            ReadFields(file.get(), static_cast<unsigned long long>(size.QuadPart), list, keepGoing)
                ? LoadResult::kWhole
                : LoadResult::kPartial,
            ERROR_SUCCESS};
    } catch (const std::exception&) {
        // Out of memory (a field of a gigabyte in a 32-bit process) ends the
        // load like a failed read: the items added so far stay.
        return {LoadResult::kPartial, ERROR_SUCCESS};
    }
}

}  // namespace listfile
