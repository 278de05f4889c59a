#include "app/settings_win.h"

#include <shlobj.h>

#include <exception>
#include <utility>

#include "custom/safe_save_win.h"
#include "win/system_dll.h"

namespace settings {

namespace {

// How much of a window's top strip must lie on a monitor's work area for the
// window to be taken there and moved: a few words of its title.
constexpr int kMinSeenWidth = 48;

}  // namespace

std::wstring SettingsPath() {
    // The system sets %APPDATA% for every session, XP's too; asking the shell
    // instead would load shell32 at start-up, which under Wine takes longer
    // than building the window. The shell answers only where it is not set.
    std::wstring folder(MAX_PATH + 1, L'\0');
    DWORD n = GetEnvironmentVariableW(L"APPDATA", &folder[0], static_cast<DWORD>(folder.size()));
    if (n >= folder.size()) {
        folder.resize(n);
        n = GetEnvironmentVariableW(L"APPDATA", &folder[0], n);
    }
    folder.resize(n < folder.size() ? n : 0);
    if (folder.empty()) {
        const auto getFolder =
            win::SystemFunction<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
        wchar_t shellFolder[MAX_PATH + 1] = {};
        if (getFolder == nullptr ||
            getFolder(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellFolder) != S_OK)
            return std::wstring();
        folder = shellFolder;
    }
    if (folder.empty()) return std::wstring();
    if (folder.back() != L'\\') folder += L'\\';
    return folder + L"Pallimo\\Pallimo.ini";
}

Settings LoadSettings(const std::wstring& path, bool& mayReplace) {
    mayReplace = true;
    if (path.empty()) return Settings();
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    // A virus scanner or a copy program may hold the file for a moment.
    for (int attempt = 0; attempt < 10; ++attempt) {
        handle = CreateFileW(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        error = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) break;
        Sleep(100);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        mayReplace = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return Settings();
    }
    safesave::ScopedFile file(handle);
    mayReplace = false;
    // Only a file on disk: a pipe or a device could keep a read waiting.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return Settings();
    try {
        // One byte more than the reader takes tells a longer file from one of
        // just the right size.
        std::string bytes(kMaxFileBytes + 1, '\0');
        std::size_t got = 0;
        while (got < bytes.size()) {
            DWORD n = 0;
            // A file that cannot be read to its end is not trusted in part.
            if (!ReadFile(file.get(), &bytes[got], static_cast<DWORD>(bytes.size() - got), &n,
                          nullptr))
                return Settings();
            if (n == 0) break;
            got += n;
        }
        bytes.resize(got);
        // Read whole: garbled or not, it is this program's file to replace.
        mayReplace = true;
        return ParseSettings(bytes);
    } catch (const std::exception&) {
        return Settings();
    }
}

std::optional<Place> WindowPlace(HWND window) {
    if (!IsWindow(window)) return std::nullopt;
    // Shown normally or hidden, the window is where its rectangle says.
    if (!IsIconic(window) && !IsZoomed(window)) {
        RECT rect;
        if (!GetWindowRect(window, &rect)) return std::nullopt;
        return Place{rect.left, rect.top};
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return std::nullopt;
    RECT rect = placement.rcNormalPosition;
    // For a window other than a tool window these count from the top-left of
    // the work area, not of the screen: read as screen pixels, a window below
    // a taskbar at the top would creep up at every start.
    if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY), &info))
            OffsetRect(&rect, info.rcWork.left - info.rcMonitor.left,
                       info.rcWork.top - info.rcMonitor.top);
    }
    return Place{rect.left, rect.top};
}

bool PlaceIsUsable(const Place& place, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    // The strip along the window's top, where the title is.
    int strip = GetSystemMetrics(SM_CYCAPTION);
    if (strip <= 0 || strip > height) strip = height;
    const RECT top = {place.left, place.top, place.left + width, place.top + strip};
    const HMONITOR monitor = MonitorFromRect(&top, MONITOR_DEFAULTTONULL);
    if (monitor == nullptr) return false;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT seen;
    if (!GetMonitorInfoW(monitor, &info) || !IntersectRect(&seen, &top, &info.rcWork)) return false;
    // Half the strip's height, so that a title under a taskbar or above the
    // screen's top does not count.
    return seen.right - seen.left >= (width < kMinSeenWidth ? width : kMinSeenWidth) &&
           2 * (seen.bottom - seen.top) >= strip;
}

// What the user interface's thread and the writing thread share. The thread
// holds a reference from its start to its end, so a Finish whose wait ran out
// can let go of its own while the thread still writes.
struct SettingsWriter::Shared {
    explicit Shared(std::wstring file)
        : path(std::move(file)), wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        InitializeCriticalSection(&lock);
    }
    ~Shared() {
        DeleteCriticalSection(&lock);
        if (wake != nullptr) CloseHandle(wake);
    }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    void Release() {
        if (InterlockedDecrement(&refs) == 0) delete this;
    }

    // Takes the bytes waiting, if any, and says whether the thread is to end
    // once nothing waits.
    bool Take(std::string& bytes, bool& stop) {
        EnterCriticalSection(&lock);
        const bool have = hasPending;
        if (have) {
            bytes.swap(pending);
            pending.clear();
            hasPending = false;
        }
        stop = stopping;
        LeaveCriticalSection(&lock);
        return have;
    }

    void Write(const std::string& bytes) const {
        try {
            // The folders are made on the first write, each one missing on
            // the way (a profile whose application data folder is not made
            // yet). Where one cannot be, the save fails and the settings stay
            // as they were.
            for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos;
                 slash = path.find(L'\\', slash + 1))
                CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
            safesave::SaveFileBytes(path, bytes);
        } catch (const std::exception&) {
            // Out of memory: this write is dropped, the next one may do.
        }
    }

    static DWORD WINAPI Run(void* param) {
        Shared* shared = static_cast<Shared*>(param);
        std::string bytes;
        bool stop = false;
        while (!stop) {
            WaitForSingleObject(shared->wake, INFINITE);
            while (shared->Take(bytes, stop)) shared->Write(bytes);
        }
        shared->Release();
        return 0;
    }

    const std::wstring path;
    const HANDLE wake;  // set by Save and Finish; resets when the thread wakes
    LONG refs = 1;
    CRITICAL_SECTION lock;  // guards the three below
    std::string pending;
    bool hasPending = false;
    bool stopping = false;
};

SettingsWriter::SettingsWriter(std::wstring path) : shared_(new Shared(std::move(path))) {}

SettingsWriter::~SettingsWriter() { Finish(); }

void SettingsWriter::Save(std::string bytes) {
    if (shared_ == nullptr || shared_->path.empty()) return;
    EnterCriticalSection(&shared_->lock);
    shared_->pending.swap(bytes);
    shared_->hasPending = true;
    LeaveCriticalSection(&shared_->lock);
    if (thread_ == nullptr && shared_->wake != nullptr) {
        InterlockedIncrement(&shared_->refs);
        thread_ = CreateThread(nullptr, 0, &Shared::Run, shared_, 0, nullptr);
        // Ours is still held: this never frees it.
        if (thread_ == nullptr) InterlockedDecrement(&shared_->refs);
    }
    if (thread_ != nullptr) SetEvent(shared_->wake);
}

bool SettingsWriter::Finish(DWORD waitMs) {
    Shared* shared = shared_;
    if (shared == nullptr) return true;
    shared_ = nullptr;
    bool done = true;
    if (thread_ != nullptr) {
        EnterCriticalSection(&shared->lock);
        shared->stopping = true;
        LeaveCriticalSection(&shared->lock);
        SetEvent(shared->wake);
        done = WaitForSingleObject(thread_, waitMs) == WAIT_OBJECT_0;
        CloseHandle(thread_);
        thread_ = nullptr;
    } else {
        std::string bytes;
        bool stop = false;
        if (shared->Take(bytes, stop)) shared->Write(bytes);
    }
    shared->Release();
    return done;
}

}  // namespace settings
