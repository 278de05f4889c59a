// From launching Pallimo to its smiley window being visible, with the stand-in
// messenger running (so the start-up announcement and its one-second wait take
// place), against the floor: a plain window that waits its second before it
// shows (bare_window.exe). The two are launched in turn, so both see the same
// machine. Prints the medians, Pallimo's CPU time and the difference it makes.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/smiley_window_ids.h"
#include "bench_util.h"
#include "harness.h"

namespace {

constexpr int kRuns = 7;

std::wstring BareWindowExe() {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"bare_window.exe";
}

struct Run {
    double visibleMs = -1;
    double cpuMs = -1;
};

// Launches `exe` and waits for its window of class `cls` to be visible.
Run LaunchOnce(const std::wstring& exe, const wchar_t* cls) {
    Run run;
    e2e::Process process;
    const double t0 = e2e::NowMs();
    if (!process.Start(exe, L"", L"", false)) return run;
    HWND main = nullptr;
    if (e2e::WaitUntil(
            [&] {
                main = e2e::FindTopLevel(cls, nullptr, process.Id());
                return main != nullptr && IsWindowVisible(main);
            },
            20000, 1)) {
        run.visibleMs = e2e::NowMs() - t0;
        run.cpuMs = bench::ProcessCpuMs(process, exe);
    }
    PostMessageW(main, WM_CLOSE, 0, 0);
    process.Wait(5000);
    return run;
}

}  // namespace

int wmain() {
    e2e::Standin standin;
    if (!standin.Start()) {
        std::printf("the stand-in did not start\n");
        return 1;
    }
    const std::wstring bareExe = BareWindowExe();
    std::vector<double> bare, visible, cpu;
    for (int i = 0; i < kRuns; ++i) {
        const Run floor = LaunchOnce(bareExe, L"PallimoBareWindow");
        const std::size_t before = standin.Records().size();
        const Run run = LaunchOnce(e2e::PallimoExe(), smiley_window_ids::kClass);
        std::printf(
            "run %d: bare window visible after %7.1f ms; Pallimo after %7.1f ms, CPU %6.1f ms, "
            "chat room got %u messages\n",
            i + 1, floor.visibleMs, run.visibleMs, run.cpuMs,
            static_cast<unsigned>(standin.Records().size() - before));
        if (floor.visibleMs >= 0) bare.push_back(floor.visibleMs);
        if (run.visibleMs >= 0) {
            visible.push_back(run.visibleMs);
            cpu.push_back(run.cpuMs);
        }
    }
    if (bare.empty() || visible.empty()) {
        std::printf("no window became visible\n");
        return 1;
    }
    const double floorMs = bench::Percentile(bare, 0.5);
    const double pallimoMs = bench::Percentile(visible, 0.5);
    std::printf(
        "launch -> visible: bare window median %.1f ms, Pallimo median %.1f ms; Pallimo's CPU "
        "over start-up: median %.1f ms\n",
        floorMs, pallimoMs, bench::Percentile(cpu, 0.5));
    bench::Check("start-up over a bare window's", pallimoMs - floorMs, 50, 150, " ms");
    return 0;
}
