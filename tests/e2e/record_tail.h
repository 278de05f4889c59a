// Reads the stand-in messenger's record as it grows. A long run records tens
// of thousands of messages: reading the whole file for every look would cost
// more with every message, so each look parses only the lines completed since
// the one before.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

class RecordTail {
  public:
    RecordTail() = default;
    RecordTail(const RecordTail&) = delete;
    RecordTail& operator=(const RecordTail&) = delete;
    ~RecordTail() { Close(); }

    // Follows the record at `path` from its start.
    bool Open(const std::wstring& path) {
        Close();
        file_ = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
        pending_.clear();
        return file_ != INVALID_HANDLE_VALUE;
    }

    // Appends the messages recorded since the last call to `out`; returns how
    // many. A line still being written waits for the next call.
    std::size_t Poll(std::vector<Record>& out) {
        if (file_ == INVALID_HANDLE_VALUE) return 0;
        char buf[65536];
        DWORD got = 0;
        while (ReadFile(file_, buf, sizeof buf, &got, nullptr) && got > 0)
            pending_.append(buf, got);
        std::size_t added = 0, start = 0;
        for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos;
             start = end + 1) {
            Record r;
            if (ParseRecordLine(pending_.substr(start, end - start), r)) {
                out.push_back(r);
                ++added;
            }
        }
        pending_.erase(0, start);
        return added;
    }

  private:
    void Close() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string pending_;
};

}  // namespace e2e
