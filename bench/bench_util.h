// What the benchmarks share: the stand-in's record read as it grows, order
// statistics, and the CPU time of another process. The delivery tests' helpers
// (delivery_util.h) find the windows.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "delivery_util.h"
#include "harness.h"

namespace bench {

// Reads the records appended to the stand-in's record since the last poll,
// without parsing the whole file again each time.
class RecordTail {
public:
    explicit RecordTail(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    RecordTail(const RecordTail&) = delete;
    RecordTail& operator=(const RecordTail&) = delete;
    ~RecordTail() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }

    // Appends the complete records written since the last call to `out`.
    std::size_t Poll(std::vector<e2e::Record>& out) {
        if (file_ == INVALID_HANDLE_VALUE) return 0;
        char buf[65536];
        DWORD got = 0;
        while (ReadFile(file_, buf, sizeof buf, &got, nullptr) && got > 0) pending_.append(buf, got);
        std::size_t added = 0, start = 0, end;
        while ((end = pending_.find('\n', start)) != std::string::npos) {
            e2e::Record r;
            if (e2e::ParseRecordLine(pending_.substr(start, end - start), r)) {
                out.push_back(r);
                ++added;
            }
            start = end + 1;
        }
        pending_.erase(0, start);
        return added;
    }

    // Polls (about every millisecond) until a new record satisfies `match`,
    // at most `ms`; every record read on the way is appended to `seen`.
    bool WaitFor(const std::function<bool(const e2e::Record&)>& match, DWORD ms,
                 std::vector<e2e::Record>& seen, e2e::Record* found = nullptr) {
        const DWORD start = GetTickCount();
        std::size_t checked = seen.size();
        for (;;) {
            Poll(seen);
            for (; checked < seen.size(); ++checked) {
                if (match(seen[checked])) {
                    if (found != nullptr) *found = seen[checked];
                    return true;
                }
            }
            if (GetTickCount() - start >= ms) return false;
            Sleep(1);
        }
    }

private:
    HANDLE file_;
    std::string pending_;
};

// The value below which `fraction` of the samples lie (nearest rank).
inline double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    std::size_t rank = static_cast<std::size_t>(fraction * static_cast<double>(samples.size()) + 0.999999);
    if (rank < 1) rank = 1;
    if (rank > samples.size()) rank = samples.size();
    return samples[rank - 1];
}

inline void PrintStats(const char* what, const std::vector<double>& ms) {
    std::printf("%-44s n=%-5u median %8.3f ms  p99 %8.3f ms  min %8.3f  max %8.3f\n", what,
                static_cast<unsigned>(ms.size()), Percentile(ms, 0.5), Percentile(ms, 0.99),
                Percentile(ms, 0.0), Percentile(ms, 1.0));
    std::fflush(stdout);
}

// Polls (about every millisecond) until `cond` holds, at most `ms`.
inline bool SpinUntil(const std::function<bool()>& cond, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start >= ms) return false;
        Sleep(1);
    }
    return true;
}

// The CPU time (user + kernel) of the running process whose executable is
// `name`, in milliseconds. Under Wine, GetProcessTimes on another process
// reports the caller's own times; the kernel's account of the Wine process,
// read through Z:\proc in 10 ms ticks, is the true figure. Elsewhere, or if
// no such process is found, asks GetProcessTimes on `process`.
inline double ProcessCpuMs(const char* name, const e2e::Process& process) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
    double best = -1;
    unsigned long long latestStart = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (found.cFileName[0] < '1' || found.cFileName[0] > '9') continue;
            std::ifstream in((std::string("Z:\\proc\\") + found.cFileName + "\\stat").c_str());
            std::string stat;
            std::getline(in, stat);
            const std::size_t open = stat.find('('), close = stat.rfind(')');
            if (open == std::string::npos || close == std::string::npos || close < open) continue;
            if (stat.compare(open + 1, close - open - 1, name) != 0) continue;
            // After the name: state, then fields 4 to 22 of proc(5); utime and
            // stime are fields 14 and 15, the start time field 22.
            std::istringstream rest(stat.substr(close + 1));
            std::string state;
            unsigned long long field[23] = {};
            rest >> state;
            for (int i = 4; i <= 22; ++i) rest >> field[i];
            if (!rest || state == "Z" || field[22] < latestStart) continue;
            latestStart = field[22];
            best = static_cast<double>(field[14] + field[15]) * 10.0;
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    return best >= 0 ? best : process.CpuMs();
}

}  // namespace bench
