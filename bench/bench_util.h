// What the benchmarks share beyond the e2e support library: order statistics
// and the CPU time of another process. The delivery tests' helpers
// (delivery_util.h) find the windows.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "delivery_util.h"
#include "harness.h"
#include "support.h"

namespace bench {

// The value below which `fraction` of the samples lie (nearest rank).
inline double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    std::size_t rank =
        static_cast<std::size_t>(fraction * static_cast<double>(samples.size()) + 0.999999);
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

// One figure held against its goal and against the coarse ceiling that
// `bench.sh --check` fails on (a regression, not noise on a shared machine).
// The figure is a ratio to a floor measured in the same run, or a difference
// from it; `unit` says which ("x" or " ms").
inline void Check(const char* what, double value, double goal, double ceiling, const char* unit) {
    const char* verdict = value > ceiling ? "OVER CEILING" : value > goal ? "over goal" : "ok";
    std::printf("check %-44s %8.2f%s  goal <= %g%s  ceiling <= %g%s  %s\n", what, value, unit, goal,
                unit, ceiling, unit, verdict);
    std::fflush(stdout);
}

// A file of Z:\\proc\\<pid>, whole.
inline std::string ProcFile(const char* pid, const char* name) {
    std::ifstream in((std::string("Z:\\proc\\") + pid + "\\" + name).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lower case, forward slashes, no drive: a path as both sides of Wine can compare it.
inline std::string Comparable(std::string path) {
    for (char& c : path)
        c = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (path.size() > 1 && path[1] == ':') path.erase(0, 2);
    return path;
}

// The CPU time (user + kernel) of `process`, started from `exe`, in
// milliseconds. Under Wine, GetProcessTimes on another process reports the
// caller's own times; the kernel's account of the Wine process is the true
// figure (10 ms ticks). It is read through Z:\\proc, from the newest process
// of this executable in this Wine prefix (others may be running Pallimo in
// prefixes of their own). Elsewhere, GetProcessTimes.
inline double ProcessCpuMs(const e2e::Process& process, const std::wstring& exe) {
    const std::string wanted = Comparable(std::string(exe.begin(), exe.end()));
    char prefix[MAX_PATH] = "";
    const bool hasPrefix = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix) > 0;
    const std::string prefixEntry = std::string("WINEPREFIX=") + prefix + '\0';
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
    double best = -1;
    unsigned long long latestStart = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const char* pid = found.cFileName;
            if (pid[0] < '1' || pid[0] > '9') continue;
            const std::string cmdline = ProcFile(pid, "cmdline");
            if (Comparable(cmdline.substr(0, cmdline.find('\0'))).find(wanted) == std::string::npos)
                continue;
            if (hasPrefix && ProcFile(pid, "environ").find(prefixEntry) == std::string::npos)
                continue;
            const std::string stat = ProcFile(pid, "stat");
            const std::size_t close = stat.rfind(')');
            if (close == std::string::npos) continue;
            // After the name: the state, then fields 4 to 22 of proc(5); utime
            // and stime are fields 14 and 15, the start time field 22.
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
