#include "win/system_dll.h"

#include <commctrl.h>

namespace win {

bool LoadCommonControls() {
    const auto init =
        SystemFunction<decltype(&InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    return init != nullptr && init(&icc) != FALSE;
}

void AllowLowerRightsMessage(HWND window, UINT message) {
    // Looked up at run time: Windows XP lacks both functions and would refuse
    // to start a program that imports them.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr || message == 0) return;
    // Windows 7 and later: for this window only (MSGFLT_ALLOW).
    using FilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    if (FARPROC f = GetProcAddress(user32, "ChangeWindowMessageFilterEx")) {
        reinterpret_cast<FilterEx>(reinterpret_cast<void*>(f))(window, message, 1, nullptr);
        return;
    }
    // Windows Vista: for the whole process (MSGFLT_ADD).
    using Filter = BOOL(WINAPI*)(UINT, DWORD);
    if (FARPROC f = GetProcAddress(user32, "ChangeWindowMessageFilter"))
        reinterpret_cast<Filter>(reinterpret_cast<void*>(f))(message, 1);
}

}  // namespace win
