// Writing a file whole or not at all: the bytes go into a new file beside the
// target, which is only then put in its place, so a save that fails half-way
// (a full disk) leaves the file as it was, and one that cannot start (an empty
// path, a folder, a missing folder, a read-only file) touches nothing. A file
// that another program holds for a moment is waited for, about a second in
// all; an existing file keeps its attributes and security (except where the
// system lets the user change the file but not its permissions), a symbolic
// link keeps leading to it, and nothing is left beside it. Every function
// answers ERROR_SUCCESS or the system's reason (never ERROR_SUCCESS then).
#pragma once
#include <windows.h>

#include <string>

namespace safesave {

// A file handle that is closed when it goes.
class ScopedFile {
  public:
    explicit ScopedFile(HANDLE h) : h_(h) {}
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    ~ScopedFile() { Close(); }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    void Reset(HANDLE h) {
        Close();
        h_ = h;
    }
    bool Close() {
        if (!valid()) return true;
        const bool ok = CloseHandle(h_) != FALSE;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

// The error the last failing call left; never ERROR_SUCCESS, as some calls
// fail without setting one.
DWORD LastError();

// The file a save writes: the full path (a symbolic link followed to its file)
// and its attributes, INVALID_FILE_ATTRIBUTES for a new file.
struct SaveTarget {
    std::wstring path;
    DWORD attrs = INVALID_FILE_ATTRIBUTES;
};

// Finds the file a save to `path` writes, or the reason the save cannot start.
// Cheap: a caller whose bytes take a while to gather asks it first.
DWORD FindSaveTarget(const std::wstring& path, SaveTarget& target);

// Puts `bytes` into the file `target` (found by FindSaveTarget) whole or not at
// all; the file is never written in place. Blocks while a held file is waited
// for: a caller that must keep answering runs it on another thread.
DWORD SaveBytes(const SaveTarget& target, const std::string& bytes);

// Both steps: `path` holds `bytes` afterwards when it answers ERROR_SUCCESS.
DWORD SaveFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace safesave
