// The code list file in the real Pallimo.exe: how long a 100,000-line file
// takes to fill the custom codes window's list, how long a message sent to
// the window in the middle of that load waits to be handled, and how long
// saving those 100,000 items takes. Each round also measures the floor, a
// bare list box in this process: the same 100,000 lines added with drawing
// off, then read back and written to a file. Prints the figures and their
// ratios to the floor.
//
// Goals: the load at most 1.5 times the bare fill (the list full within
// 1.0 s), no message waiting more than 50 ms, the save at most 1.3 times the
// bare read-back and write (within 0.3 s).
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/smiley_window_ids.h"
#include "bench_util.h"
#include "custom/custom_codes_window_ids.h"
#include "custom_util.h"
#include "harness.h"

namespace {

constexpr int kLines = 100000;

void SetText(HWND edit, const wchar_t* text) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The floor: a list box as the custom codes window has one, in a window of
// this process, filled with `lines` with drawing off, then read back item by
// item and written to `path` in the ANSI code page, a line each.
struct BareList {
    double fillMs = 0;
    double saveMs = 0;
};

BareList MeasureBareList(const std::vector<std::wstring>& lines, const std::wstring& path) {
    BareList bare;
    HWND frame = CreateWindowExW(0, L"STATIC", L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 100,
                                 240, 200, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 8, 8,
        185, 121, frame, nullptr, nullptr, nullptr);
    double t0 = e2e::NowMs();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const std::wstring& line : lines)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    bare.fillMs = e2e::NowMs() - t0;

    t0 = e2e::NowMs();
    std::string bytes;
    std::wstring item;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        item.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1);
        const int n =
            static_cast<int>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&item[0])));
        char ansi[512];
        const int m =
            WideCharToMultiByte(CP_ACP, 0, item.c_str(), n, ansi, sizeof ansi, nullptr, nullptr);
        bytes.append(ansi, static_cast<std::size_t>(m > 0 ? m : 0));
        bytes += "\r\n";
    }
    customs::WriteBytes(path, bytes);
    bare.saveMs = e2e::NowMs() - t0;
    DestroyWindow(frame);
    return bare;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 5;
    const std::wstring file = e2e::WorkDir() + L"\\codes.txt";
    std::string bytes;
    std::vector<std::wstring> lines;
    for (int i = 0; i < kLines; ++i) {
        const std::string line = "<font sml=\"AgHSBfc=\">code " + std::to_string(i) + "</font>";
        bytes += line + "\r\n";
        lines.push_back(std::wstring(line.begin(), line.end()));
    }
    customs::WriteBytes(file, bytes);
    std::printf("list file: %d lines, %u bytes\n", kLines, static_cast<unsigned>(bytes.size()));

    e2e::Process pallimo;
    const HWND main = e2e::StartPallimo(pallimo).main;
    if (main == nullptr) {
        std::printf("the smiley window did not show\n");
        return 1;
    }
    HWND form = e2e::OpenCustomCodes(main, pallimo.Id());
    if (form == nullptr || e2e::Child(form, custom_codes_window_ids::kFileNameBox) == nullptr) {
        std::printf("the custom codes window did not open\n");
        return 1;
    }
    HWND path = e2e::Child(form, custom_codes_window_ids::kFileNameBox);

    std::vector<double> fullMs, waitMs, saveMs, bareFillMs, bareSaveMs;
    double worstWait = 0;
    for (int round = 0; round < rounds; ++round) {
        const BareList bare = MeasureBareList(lines, e2e::WorkDir() + L"\\bare.txt");
        bareFillMs.push_back(bare.fillMs);
        bareSaveMs.push_back(bare.saveMs);
        SendMessageW(form, WM_COMMAND, custom_codes_window_ids::kFileClearItem,
                     0);  // Clear, which also empties the path
        SetText(path, file.c_str());
        const double start = e2e::NowMs();
        PostMessageW(form, WM_COMMAND, custom_codes_window_ids::kFileLoadItem, 0);
        // Until the list is full, one message after another: each waits until
        // the load next lets the window handle its events.
        int count = 0;
        std::vector<double> waits;
        while (count < kLines && e2e::NowMs() - start < 60000) {
            const double sent = e2e::NowMs();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            const double back = e2e::NowMs();
            count = customs::Count(form);
            // The first one may come before the load began; the last after it ended.
            if (count > 0 && count < kLines) waits.push_back(back - sent);
        }
        fullMs.push_back(e2e::NowMs() - start);
        for (double w : waits) worstWait = w > worstWait ? w : worstWait;
        waitMs.insert(waitMs.end(), waits.begin(), waits.end());

        const std::wstring saved = e2e::WorkDir() + L"\\saved.txt";
        DeleteFileW(saved.c_str());
        SetText(path, saved.c_str());
        const double saveStart = e2e::NowMs();
        SendMessageW(form, WM_COMMAND, custom_codes_window_ids::kFileSaveItem, 0);
        saveMs.push_back(e2e::NowMs() - saveStart);
        if (customs::FileSize(saved) != static_cast<long long>(bytes.size()))
            std::printf("round %d: the saved file has %lld bytes, not %u\n", round,
                        customs::FileSize(saved), static_cast<unsigned>(bytes.size()));
        std::printf(
            "round %d: list full (%d items) after %.1f ms, %u messages handled during the "
            "load, saved in %.1f ms; bare list filled in %.1f ms, read back and written in "
            "%.1f ms\n",
            round, count, fullMs.back(), static_cast<unsigned>(waits.size()), saveMs.back(),
            bare.fillMs, bare.saveMs);
    }
    bench::PrintStats("load 100,000 lines until the list is full", fullMs);
    bench::PrintStats("wait of a message sent mid-load", waitMs);
    bench::PrintStats("save 100,000 items", saveMs);
    bench::PrintStats("floor: bare list box fill", bareFillMs);
    bench::PrintStats("floor: bare read-back and write", bareSaveMs);
    std::printf(
        "goals: full <= 1000 ms, message wait <= 50 ms (worst seen %.1f ms), save <= 300 ms\n",
        worstWait);
    bench::Check("load over a bare list box fill",
                 bench::Percentile(fullMs, 0.5) / bench::Percentile(bareFillMs, 0.5), 1.5, 3, "x");
    bench::Check("save over a bare read-back and write",
                 bench::Percentile(saveMs, 0.5) / bench::Percentile(bareSaveMs, 0.5), 1.3, 3, "x");
    std::printf("Pallimo CPU time: %.0f ms\n", pallimo.CpuMs());
    return 0;
}
