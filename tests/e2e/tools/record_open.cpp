// Stands in for the mail program and the web browser in the tests: registered
// as a protocol's "open" command, it appends what the shell handed it to a file.
//   record_open.exe <record file> <target...>
// One line per start, UTF-8: the show command the starter asked for (-1 when
// it asked for none), a tab, the number of arguments after the record file, a
// tab, and those arguments joined by tabs.
#include <windows.h>
#include <shellapi.h>

#include <string>

// A windowless GUI program, so that no console window comes up over the
// windows under test.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) return 2;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    GetStartupInfoW(&si);
    const int show = (si.dwFlags & STARTF_USESHOWWINDOW) != 0 ? si.wShowWindow : -1;
    std::wstring line = std::to_wstring(show) + L"\t" + std::to_wstring(argc - 2);
    for (int i = 2; i < argc; ++i) line += std::wstring(L"\t") + argv[i];
    line += L"\r\n";

    const int n = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], n,
                        nullptr, nullptr);
    // Appending in one write keeps the lines of overlapping starts whole.
    HANDLE file = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
