#include "custom/listfile_win.h"

#include "custom/listfile.h"
#include "win/pump.h"
#include "win/text.h"

namespace Module1 {

namespace {

class ScopedFile {
public:
    explicit ScopedFile(HANDLE h) : h_(h) {}
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    ~ScopedFile() { Close(); }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool Close() {
        if (!valid()) return true;
        const bool ok = CloseHandle(h_) != FALSE;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::wstring();
    std::wstring full(n, L'\0');
    const DWORD got = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (got == 0 || got >= n) return std::wstring();
    full.resize(got);
    return full;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    constexpr std::size_t kPiece = 1 << 20;
    for (std::size_t at = 0; at < bytes.size();) {
        const DWORD want =
            static_cast<DWORD>(bytes.size() - at < kPiece ? bytes.size() - at : kPiece);
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + at, want, &wrote, nullptr) || wrote == 0) return false;
        at += wrote;
    }
    return true;
}

// Puts `bytes` into the file at `path` whole or not at all.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes) {
    if (path.empty()) return false;
    const std::wstring full = FullPath(path);
    const std::size_t slash = full.find_last_of(L"\\/");
    if (full.empty() || slash == std::wstring::npos || slash + 1 == full.size()) return false;

    const DWORD attrs = GetFileAttributesW(full.c_str());
    const bool exists = attrs != INVALID_FILE_ATTRIBUTES;
    // A read-only file is not to be replaced (Wine, run as root, would let us).
    if (exists && (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;

    // The new file goes into the same folder, so the final move is a rename.
    const std::wstring folder = full.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 16] = {};
    if (folder.size() > MAX_PATH - 14 || GetTempFileNameW(folder.c_str(), L"pal", 0, temp) == 0)
        return false;

    ScopedFile file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    bool ok = file.valid() && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    ok = file.Close() && ok;
    if (ok && exists) {
        const DWORD keep = attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (keep != 0) SetFileAttributesW(temp, keep);
    }
    ok = ok && MoveFileExW(temp, full.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        SetFileAttributesW(temp, FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temp);
    }
    return ok;
}

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

    // False once the load is to end.
    bool Add(const std::string& field) {
        win::LbAddString(list_, win::FromAnsi(field));
        // The clock is cheap but not free: look at it every few items.
        if ((++count_ & 31u) == 0 && win::NowMs() - lastPump_ >= kLoadPumpEveryMs) Pump();
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

bool SaveList(const std::wstring& path, HWND list) {
    if (path.empty()) return false;
    std::string bytes;
    const int count = win::LbGetCount(list);
    for (int i = 0; i < count; ++i) AppendListLine(bytes, win::ToAnsi(win::LbGetText(list, i)));
    return ReplaceFileContents(path, bytes);
}

void LoadList(const std::wstring& path, HWND list, const std::function<bool()>& keepGoing) {
    if (path.empty() || !IsWindow(list)) return;
    ScopedFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr));
    // Only files on disk: a console or a pipe could keep a read waiting for ever.
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return;
    unsigned long long left = static_cast<unsigned long long>(size.QuadPart);

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
            if (!ReadFile(file.get(), &chunk[0], want, &got, nullptr)) return;
            if (got == 0) {
                left = 0;  // the file got shorter while we read it
                continue;
            }
            left -= got;
            reader.Feed(std::string_view(chunk.data(), got));
        }
        while (reader.Next(field))
            if (!filler.Add(field)) return;
    }
}

}  // namespace Module1
