// The headless demo: starts the stand-in messenger and Pallimo, chooses the
// "Frog" style, clicks the wink face as a person would, prints what arrived in
// the messenger's transcript and saves a screenshot of the whole screen.
//
//   demo.exe <screenshot.bmp>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "delivery_util.h"
#include "harness.h"

namespace {

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A 24-bit bottom-up BMP of the whole screen.
bool SaveScreenshot(const std::wstring& path) {
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const std::vector<COLORREF> px = e2e::ScreenPixels(screen).px;
    const int w = screen.right, h = screen.bottom;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    BITMAPINFOHEADER bi = {};
    bi.biSize = sizeof bi;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    bi.biCompression = BI_RGB;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi;
    fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(h);
    std::string rows(static_cast<std::size_t>(stride) * h, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = px[static_cast<std::size_t>(h - 1 - y) * w + x];
            char* p = &rows[static_cast<std::size_t>(y) * stride + 3 * x];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi), sizeof bi);
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    return out.good();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring shot = argc > 1 ? argv[1] : e2e::WorkDir() + L"\\screenshot.bmp";
    const std::wstring transcript = e2e::WorkDir() + L"\\transcript.txt";
    DeleteFileW(transcript.c_str());

    e2e::Standin standin;
    if (!standin.Start(L"--transcript \"" + transcript + L"\"")) {
        std::printf("demo: the stand-in messenger did not start\n");
        return 1;
    }
    e2e::Process pallimo;
    const HWND main = e2e::StartPallimo(pallimo, &standin).main;
    if (main == nullptr) {
        std::printf("demo: the smiley window did not appear\n");
        return 1;
    }
    e2e::Activate(main);
    e2e::Click(e2e::Child(main, deliveries::StyleId(L"Frog")));
    e2e::Click(e2e::Child(main, deliveries::FaceId(L";-)")));

    // Two announcement lines, then the smiley: wait for the third transcript line.
    e2e::WaitUntil(
        [&] {
            const std::string t = ReadFile(transcript);
            return std::count(t.begin(), t.end(), '\n') >= 3;
        },
        10000);
    Sleep(300);  // let both windows finish painting for the screenshot
    const std::string t = ReadFile(transcript);
    std::printf("--- the stand-in messenger's transcript ---\n%s", t.c_str());
    std::printf("-------------------------------------------\n");
    SaveScreenshot(shot);

    PostMessageW(main, WM_CLOSE, 0, 0);
    pallimo.Wait(5000);
    return t.find(";-)") != std::string::npos ? 0 : 1;
}
