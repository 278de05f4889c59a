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

#include "app/catalogue.h"
#include "app/frmMain_ids.h"
#include "harness.h"

namespace {

int StyleId(const wchar_t* caption) {
    for (std::size_t i = 0; i < catalogue::kStyleCount; ++i)
        if (std::wstring(catalogue::kStyles[i].caption) == caption)
            return frmMain_ids::kFirstStyle + static_cast<int>(i);
    return 0;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool SaveScreenshot(const std::wstring& path) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(h);
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride) * h);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
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
    if (!pallimo.Start(e2e::PallimoExe(), L"")) return 1;
    HWND main = nullptr;
    e2e::WaitUntil(
        [&] {
            main = e2e::FindTopLevel(frmMain_ids::kClass, nullptr, pallimo.Id());
            return main != nullptr && e2e::IsShown(main);
        },
        20000);
    if (main == nullptr) {
        std::printf("demo: the smiley window did not appear\n");
        return 1;
    }
    e2e::Activate(main);
    e2e::Click(e2e::Child(main, StyleId(L"Frog")));
    e2e::Click(e2e::Child(main, frmMain_ids::kImage1 + 7));  // ";-)"

    // Two announcement lines, then the smiley: wait for the third transcript line.
    e2e::WaitUntil(
        [&] {
            const std::string t = ReadFile(transcript);
            return std::count(t.begin(), t.end(), '\n') >= 3;
        },
        10000);
    Sleep(300);  // let both windows finish painting for the screenshot
    const std::string t = ReadFile(transcript);
    std::printf("--- the stand-in messenger's transcript ---\n%s-------------------------------------------\n",
                t.c_str());
    SaveScreenshot(shot);

    PostMessageW(main, WM_CLOSE, 0, 0);
    pallimo.Wait(5000);
    return t.find(";-)") != std::string::npos ? 0 : 1;
}
