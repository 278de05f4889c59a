#include "custom/safe_save_win.h"

namespace safesave {

DWORD LastError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

namespace {

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return std::wstring();
    std::wstring full(n, L'\0');
    const DWORD got = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
    if (got == 0 || got >= n) return std::wstring();
    full.resize(got);
    return full;
}

// The path of the file that `path`, an existing file, is in the end: a
// symbolic link is followed (Wine shows a Unix link as a plain file, so every
// file is asked). The empty text when the system cannot say; where it lacks
// the question (Windows XP, which has no links to files), `path` itself.
std::wstring FinalPath(const std::wstring& path) {
    // Looked up at run time: Windows XP lacks it.
    using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    FARPROC f = kernel32 ? GetProcAddress(kernel32, "GetFinalPathNameByHandleW") : nullptr;
    if (f == nullptr) return path;
    ScopedFile file(CreateFileW(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return std::wstring();
    wchar_t name[MAX_PATH + 16] = {};
    const DWORD n = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(f))(
        file.get(), name, MAX_PATH + 16, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= MAX_PATH + 16) return std::wstring();
    // "\\?\C:\..." or "\\?\UNC\server\share\...".
    std::wstring target(name, n);
    if (target.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + target.substr(8);
    if (target.compare(0, 4, L"\\\\?\\") == 0) return target.substr(4);
    return target;
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

// How long a save waits, all its steps together (making the new file, putting
// it in place), while another program holds one of its files for a moment.
// Only the pauses between tries count, so a slow write still leaves the
// replace its tries. Removing what is left afterwards has a short time of its
// own.
constexpr DWORD kRetryForMs = 1000;
constexpr DWORD kCleanUpForMs = 500;
constexpr DWORD kRetryPauseMs = 50;

// The errors of a file that another program holds open for a moment: a virus
// scanner, the search indexer or a sync client does this to a file that was
// just written, the new one as well as the old. ReplaceFileW reports it as a
// failure to remove the old file or to move the new one, with both files still
// under their own names.
bool HeldForAMoment(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
           error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// The time a save may still spend pausing between tries.
class RetryBudget {
  public:
    explicit RetryBudget(DWORD ms) : left_(ms) {}
    // Pauses before the next try; false, at once, when the time is used up.
    bool Pause() {
        if (left_ == 0) return false;
        const DWORD before = GetTickCount();
        Sleep(kRetryPauseMs);
        DWORD slept = GetTickCount() - before;
        if (slept < kRetryPauseMs) slept = kRetryPauseMs;
        left_ = slept >= left_ ? 0 : left_ - slept;
        return true;
    }

  private:
    DWORD left_;
};

// Tries `step` again while it fails because a file is held, as long as
// `budget` lasts.
template <class Step>
bool Retry(RetryBudget& budget, const Step& step) {
    for (;;) {
        if (step()) return true;
        if (!HeldForAMoment(GetLastError()) || !budget.Pause()) return false;
    }
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Remove(const std::wstring& path, RetryBudget& budget) {
    if (!Exists(path)) return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    Retry(budget, [&] { return DeleteFileW(path.c_str()) != FALSE; });
}

bool MoveTo(const std::wstring& from, const std::wstring& to, RetryBudget& budget) {
    return Retry(budget, [&] {
        return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    });
}

// A new empty file in `folder` (pal*.tmp) for the list to be written into,
// made by GetTempFileNameW so that no other program takes its name; the empty
// text when there is none.
std::wstring NewTempFile(const std::wstring& folder) {
    wchar_t name[MAX_PATH + 16] = {};
    if (folder.size() > MAX_PATH - 14) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return std::wstring();
    }
    if (GetTempFileNameW(folder.c_str(), L"pal", 0, name) == 0) return std::wstring();
    return name;
}

// A name in `folder` that no file has now (pab*.tmp), for the old content
// while it is replaced; the empty text when there is none. Only built: a file
// made just to be deleted again could stay behind when a virus scanner holds
// it. Its own prefix keeps it apart from the names GetTempFileNameW makes
// files for, and the process id in its number apart from another copy of the
// program saving at the same moment.
std::wstring FreeBackupName(const std::wstring& folder) {
    wchar_t name[MAX_PATH + 16] = {};
    if (folder.size() > MAX_PATH - 14) return std::wstring();
    // A nonzero number makes GetTempFileNameW only build the name.
    UINT unique = GetTickCount() + GetCurrentProcessId() * 40503u;
    for (int tries = 0; tries < 100; ++tries) {
        unique = (unique + 1) & 0xFFFF;
        if (unique == 0) unique = 1;
        if (GetTempFileNameW(folder.c_str(), L"pab", unique, name) == 0) return std::wstring();
        if (GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES &&
            GetLastError() == ERROR_FILE_NOT_FOUND)
            return name;
    }
    return std::wstring();
}

// Puts the finished file `temp` in the place of `target`. An existing target is
// replaced with ReplaceFileW, which keeps its attributes and security; its old
// content goes to `backup` on the way, so that a replace that stops half-way
// (the old file moved aside, the new one not in its place) can be undone.
// Where ReplaceFileW does not work at all (some network file systems), a
// rename over the target still replaces it whole, without keeping its security.
bool PutInPlace(const std::wstring& temp, const std::wstring& target, const std::wstring& backup,
                RetryBudget& budget) {
    bool replaceWorks = !backup.empty();
    for (;;) {
        BOOL done;
        bool replacing = false;
        if (!Exists(target)) {
            done = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
        } else if (replaceWorks) {
            replacing = true;
            done = ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(),
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        } else {
            done = MoveFileExW(temp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
        if (done) return true;
        const DWORD error = GetLastError();
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the old file is the backup now,
        // the new one is still `temp`; the next round moves it into place.
        if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !HeldForAMoment(error)) {
            if (!replaceWorks) return false;
            replaceWorks = false;
            continue;
        }
        if (!budget.Pause()) {
            // ReplaceFileW also needs the right to change the new file's
            // permissions: on a network share where the user may change files
            // but not permissions it is refused for good (access denied, or
            // the old file could not be removed or the new one moved, both
            // still under their own names). One rename over the target still
            // replaces it whole, without keeping its security.
            if (replacing &&
                (error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
                 error == ERROR_UNABLE_TO_MOVE_REPLACEMENT))
                return MoveFileExW(temp.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
            return false;
        }
    }
}

// The file a save to `path` writes, as a full path, and its attributes
// (INVALID_FILE_ATTRIBUTES for a new file); ERROR_SUCCESS, or the reason for a
// save that cannot start: an empty path, a folder, a read-only file, a missing
// folder, a link that leads nowhere. Cheap: asked before the list is read.
DWORD FindTarget(const std::wstring& path, std::wstring& full, DWORD& attrs) {
    if (path.empty()) return ERROR_INVALID_NAME;
    full = FullPath(path);
    if (full.empty()) return ERROR_INVALID_NAME;
    attrs = GetFileAttributesW(full.c_str());
    // A symbolic link stays as it is, and the file it leads to is replaced: a
    // rename over the link would put the new file in its place, and under Wine
    // it moved the file itself aside.
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        const std::wstring final = FinalPath(full);
        if (!final.empty()) {
            full = final;
            attrs = GetFileAttributesW(full.c_str());
        } else if ((attrs & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return ERROR_FILE_NOT_FOUND;  // a link that leads nowhere
        }
        // Else a volume that cannot name the file by a drive letter: a plain
        // file, saved under the name it was given.
    }
    const std::size_t slash = full.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash + 1 == full.size()) return ERROR_INVALID_NAME;
    // A read-only file is not to be replaced (Wine, run as root, would let us).
    // Opening a folder or a read-only file for writing is refused so on Windows.
    if (attrs != INVALID_FILE_ATTRIBUTES &&
        (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
        return ERROR_ACCESS_DENIED;
    // A missing folder; where only its attributes cannot be read, making the
    // new file in it decides.
    const DWORD folder = GetFileAttributesW(full.substr(0, slash + 1).c_str());
    if (folder != INVALID_FILE_ATTRIBUTES)
        return (folder & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return ERROR_PATH_NOT_FOUND;
    return error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_NETPATH ||
                   error == ERROR_BAD_NET_NAME
               ? error
               : ERROR_SUCCESS;
}

// Puts `bytes` into the file `full` (found by FindTarget, with its `attrs`)
// whole or not at all; the file is never written in place. ERROR_SUCCESS, or
// the error of the first step that failed.
DWORD ReplaceFileContents(const std::wstring& full, DWORD attrs, const std::string& bytes) {
    const bool exists = attrs != INVALID_FILE_ATTRIBUTES;
    // The new file goes into the same folder, so the final move is a rename.
    const std::wstring folder = full.substr(0, full.find_last_of(L"\\/") + 1);
    const std::wstring temp = NewTempFile(folder);
    if (temp.empty()) return LastError();
    // The name for the old content while it is replaced: free, as ReplaceFileW
    // wants it.
    const std::wstring backup = exists ? FreeBackupName(folder) : std::wstring();

    RetryBudget budget(kRetryForMs);
    ScopedFile file(INVALID_HANDLE_VALUE);
    Retry(budget, [&] {
        file.Reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.valid();
    });
    DWORD error = ERROR_SUCCESS;
    bool written = file.valid() && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    if (!written) error = LastError();
    if (!file.Close() && written) {
        written = false;
        error = LastError();
    }
    if (written && exists) {
        // ReplaceFileW carries them over on Windows, a rename does not.
        const DWORD keep = attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (keep != 0) SetFileAttributesW(temp.c_str(), keep);
    }
    bool ok = written && PutInPlace(temp, full, backup, budget);
    if (written && !ok) error = LastError();

    RetryBudget cleanUp(kCleanUpForMs);
    // A replace that stopped half-way leaves no file under the name: the old
    // content goes back, or else the new one, which is whole.
    if (!ok && !backup.empty() && !Exists(full)) {
        if (Exists(backup)) MoveTo(backup, full, cleanUp);
        if (!Exists(full) && written && MoveTo(temp, full, cleanUp)) ok = true;
    }
    // The old content under the backup name goes only once the new list
    // stands in its place: under the name may be another program's file.
    if (ok || backup.empty() || !Exists(backup)) {
        Remove(temp, cleanUp);
        if (!backup.empty()) Remove(backup, cleanUp);
    }
    return ok ? ERROR_SUCCESS : error;
}

}  // namespace

DWORD FindSaveTarget(const std::wstring& path, SaveTarget& target) {
    return FindTarget(path, target.path, target.attrs);
}

DWORD SaveBytes(const SaveTarget& target, const std::string& bytes) {
    return ReplaceFileContents(target.path, target.attrs, bytes);
}

DWORD SaveFileBytes(const std::wstring& path, const std::string& bytes) {
    SaveTarget target;
    const DWORD refused = FindSaveTarget(path, target);
    return refused != ERROR_SUCCESS ? refused : SaveBytes(target, bytes);
}

}  // namespace safesave
