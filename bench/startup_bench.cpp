// From launching Pallimo to its smiley window being visible, and the CPU time
// the process spent on the way, with the stand-in messenger running (so the
// start-up announcement and its one-second wait take place) and without it.
// Prints figures; asserts nothing.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/smiley_window_ids.h"
#include "bench_util.h"
#include "harness.h"

namespace {

constexpr int kRuns = 5;

struct Run {
    double visibleMs = -1;
    double cpuMs = -1;
    std::size_t chatMessages = 0;
};

Run LaunchOnce(bool withStandin) {
    Run run;
    e2e::Standin standin;
    if (withStandin && !standin.Start()) return run;
    e2e::Process pallimo;
    const double t0 = e2e::NowMs();
    if (!pallimo.Start(e2e::PallimoExe(), L"", L"", false)) return run;
    HWND main = nullptr;
    if (e2e::WaitUntil(
            [&] {
                main = e2e::FindTopLevel(smiley_window_ids::kClass, nullptr, pallimo.Id());
                return main != nullptr && IsWindowVisible(main);
            },
            20000, 1)) {
        run.visibleMs = e2e::NowMs() - t0;
        run.cpuMs = bench::ProcessCpuMs(pallimo, e2e::PallimoExe());
    }
    if (withStandin) run.chatMessages = standin.Records().size();
    PostMessageW(main, WM_CLOSE, 0, 0);
    pallimo.Wait(5000);
    return run;
}

}  // namespace

int wmain() {
    for (int withStandin = 1; withStandin >= 0; --withStandin) {
        std::vector<double> visible, cpu;
        for (int i = 0; i < kRuns; ++i) {
            const Run run = LaunchOnce(withStandin != 0);
            std::printf(
                "%s run %d: visible after %8.1f ms, CPU %6.1f ms, chat room got %u messages\n",
                withStandin ? "with stand-in   " : "without stand-in", i + 1, run.visibleMs,
                run.cpuMs, static_cast<unsigned>(run.chatMessages));
            if (run.visibleMs >= 0) {
                visible.push_back(run.visibleMs);
                cpu.push_back(run.cpuMs);
            }
        }
        std::printf("%s launch -> visible: median %.1f ms; CPU over start-up: median %.1f ms\n",
                    withStandin ? "with stand-in:   " : "without stand-in:",
                    bench::Percentile(visible, 0.5), bench::Percentile(cpu, 0.5));
        std::fflush(stdout);
    }
    return 0;
}
